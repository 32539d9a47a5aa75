#pragma once
#include "platform/animfigur.h"

#include <QColor>
#include <QStringList>
#include <QWidget>
#include <array>

class App;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class RichTextView;
class KeyButton;
struct Textgang;
class QMenu;

// The writing window ("Schreibmodus"): target view, input box, expected-key
// display, statistics panel, on-screen keyboard and tool buttons. It holds
// the exercise engine that counts, marks and walks the target text.
class frmSchreiben : public QWidget {
    Q_OBJECT
public:
    explicit frmSchreiben(App& app);
    ~frmSchreiben() override;

    // Controls, named as the window names them.
    QFrame* Frame4 = nullptr;
    RichTextView* rtb1 = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QLabel* Label1 = nullptr;  // "Anschl./min:"
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;  // "Fehler:"
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;  // "MaxZeichen:"
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;  // "Fehler in %:"
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;  // "Zeit:"
    QLabel* Label10 = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label13 = nullptr;  // "sec"
    QLabel* Label14 = nullptr;  // "="
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;
    QFrame* Frame1 = nullptr;
    std::array<KeyButton*, 61> Command1{};  // the on-screen keys by index
    QWidget* Picture1 = nullptr;
    QPushButton* Command7 = nullptr;
    QPushButton* Command9 = nullptr;
    QPushButton* Command10 = nullptr;
    QPushButton* Command11 = nullptr;
    QPushButton* Command12 = nullptr;
    QPushButton* Command13 = nullptr;
    QPushButton* Command14 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QLineEdit* Text5 = nullptr;

    // The sound list: keystroke, (unused), error.
    QStringList Klang;
    // 1-based position of the current target character.
    int textpos = 0;
    // The progress figure in the strip.
    AnimFigur animFigur;

    // The exercise engine.
    void zaehlen();
    void strt();
    void weiter();
    void Text2_Change();

    void Form_Resize();
    // Applies the colour design stored as "Farbwert1".
    void farbesetzen();

    // Key events of the input box, as its event filter delivers them.
    // KeyAscii is the Windows-1252 code; setting it to 0 cancels the key.
    void Text1_KeyDown(int KeyCode, int Shift);
    void Text1_KeyPress(int& KeyAscii);
    void Text1_KeyUp(int KeyCode, int Shift);

    // Attributes a wrong key to hand and finger by the expected character.
    void fingerfehler();
    // Error rate, rating and warning messages of the finished exercise.
    void rechnen();

    // On-screen keyboard.
    void hintergrundfarbe();
    // Every key lit as held goes back to the base colour, as its release
    // would make it: a release that reaches another window (a menu, a
    // dialog opened by a shortcut) leaves no key lit. Caps Lock and the
    // expected Enter keep their red.
    void tastenLoslassen();
    // Brings the writing window to the front of the main window, with the
    // keyboard in the input box (an exercise starts).
    void nachVorn();
    void setTastenfarbe(int index, const QColor& c);
    QColor tastenfarbe(int index) const;
    void musik();
    void PositionAnimat();

    // Commands of the buttons.
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Command9_Click();
    // Opens the statistics overview when the switch is on, otherwise says
    // where to switch it on (the statistics button and the menu).
    void statistikOeffnen(bool aktiv);
    void Command10_Click();
    void Command11_Click();
    void Command12_Click();
    void Command13_Click();
    void Command14_Click();
    // Right mouse button: the lesson menu as a pop-up.
    void Form_MouseUp(Qt::MouseButton button, const QPoint& globalPos);
    // The menu that Form_MouseUp shows (the main window's lesson menu).
    QMenu* lektionsMenue() const;

    // Loads a text file into the target view. A file that is too long or
    // cannot be read is refused with a message naming it (the view keeps its
    // text); a missing file is reported only when reportMissing is set.
    // With nurMitText a file of nothing but blanks and line breaks is
    // refused too. Returns true when the text was loaded.
    bool ladeText(const QString& path, bool reportMissing, bool allowUtf8 = false,
                  bool nurMitText = false);

    // The prompt that replaces the text once it is typed.
    static const QString kAuswertungPrompt;

    static const QString kHomepage;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void uebungsende();
    void falscheTaste(int& KeyAscii);
    // Tells the listeners of a key typed where erwartet was expected.
    void melden(bool angenommen, QChar erwartet, const QString& getippt);
    // Judges one typed character (Windows-1252 code, 0 for none) and puts
    // it into the input box when it is accepted.
    void zeichenEingabe(int code);
    void buildLayout();
    void Form_Load();
    Textgang textgang();  // the walk over the target view

    App& app_;
    int totetaste_ = 0;  // the dead key last pressed or released, until a character follows
};
