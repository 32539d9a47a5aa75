#pragma once
#include <QString>

class PlatformServices;
class QLineEdit;
class RichTextView;

// The walk through a target text, shared by the writing window and the
// keypad trainer: the next character is selected, red and marked, and the
// display names it ("LEER" for a space, the window's own word for a line
// break, "ENDE" after the last character). Positions are 1-based in the
// view's text with CR LF line breaks; at a line break textpos stands on the
// LF and nothing is marked. The text is read from the view at each step.
struct Textgang {
    RichTextView& view;
    QLineEdit& anzeige;
    int& textpos;
    QString umbruch;  // the display's word for a line break
    PlatformServices& services;

    // Clears all marking and marks the first character.
    void strt();
    // Unmarks the character just accepted and marks the next one; beeps at
    // a line break and at the end.
    void weiter();

private:
    void entmarkiere();
    void markiere(QChar c);
};
