#pragma once
#include <QString>

class QWidget;

// What a screen reader says about the controls of a window. Controls keep
// the names and descriptions a window gave them; the rest are filled in the
// way a sighted user reads the window:
//  - the description is the tool tip;
//  - a button's name is its caption, or its tool tip when it shows only a
//    picture;
//  - an input control (text box, slider, list, ...) is named by the label
//    that names it: the label whose buddy it is, else the nearest label just
//    left of or above it, else the title of its group box, else its tool tip;
//  - a few controls without any caption have names of their own in a table
//    (by window and control name), e.g. the writing window's boxes; a table
//    entry can ask that a read-only box announce each new value.
// Runs on the window and all its children; running it again fills only what
// is still missing, so it may follow later additions.
void zugaenglichMachen(QWidget* fenster);

// Keeps zugaenglichMachen following a window: it runs now and again each
// time the window is shown.
void zugaenglichHalten(QWidget* fenster);

// The name a screen reader reads for a widget (empty when it has none).
QString zugangsname(QWidget* w);
// True for the controls a user works with (buttons, boxes, sliders, lists),
// not counting the parts Qt composes them of (a spin box's edit, scroll bars).
bool istBedienelement(QWidget* w);

// Keyboard use of the windows the registry holds (zugaenglichHalten sets it
// up): Return presses the focused push button, else the window's standard
// button; Escape presses the window's cancel button, else closes the window
// (not the main window, the writing window inside it or the wait window;
// dialogs keep their own Escape). The marks are properties only: a standard
// button does not get the look of a dialog's default button.
void alsStandardknopf(QWidget* knopf);
void alsAbbruchknopf(QWidget* knopf);
// Marks a widget that only shows something (an on-screen key, a display
// box): no control to reach with Tab.
void alsAnzeige(QWidget* w);
// Marks a hidden box that only carries a value for other windows: a screen
// reader finds no text in it and hears nothing of its changes. Marked
// before the box is first shown or asked about.
void alsStumm(QWidget* w);
// True for displays: marked ones and read-only boxes that take no focus.
bool istAnzeige(QWidget* w);

// Tells a screen reader something through the name of the control in
// focus, which becomes "basis: text" (a screen reader speaks a new name of
// the focused control at once). The same text twice is told apart by a
// trailing blank, so that it is spoken again.
void ansagen(QWidget* w, const QString& basis, const QString& text);
// Tells a screen reader that the box's value was shown anew although it did
// not change (the same key once more).
void wertErneut(QWidget* w);

// How a value shown in a key display is spoken: "LEER" as "Leertaste",
// "RETURN" and "ENTER" as "Eingabetaste", a single sign as itself.
QString gesprochenerWert(const QString& wert);
