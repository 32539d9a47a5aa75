#pragma once
#include <QHash>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>

class App;
class KeyButton;
class QFrame;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class RichTextView;
struct Textgang;

// The numeric keypad trainer ("NumBlock-Trainer"): a short lesson text with
// the next character marked, a box naming the expected key, the typing box
// and an on-screen keypad that lights the pressed keys. It walks the text
// like the writing window but counts nothing and records nothing. While it
// is open the main window is minimised.
class frmNumBlock : public QWidget {
    Q_OBJECT
public:
    explicit frmNumBlock(App& app);
    ~frmNumBlock() override;

    // Controls, named as the window names them.
    RichTextView* rtb2 = nullptr;   // the lesson text
    QLineEdit* Text2 = nullptr;     // the expected key
    QPlainTextEdit* Text1 = nullptr;  // the typing box
    std::array<QPushButton*, 6> Command3{};  // "Lektion 1" to "Lektion 6"
    QFrame* Frame1 = nullptr;                // holds the keypad
    std::array<KeyButton*, 17> Command1{};   // the on-screen keypad by index
    QLineEdit* Text3 = nullptr;
    QPushButton* Command2 = nullptr;  // "Beenden"
    QTimer* TimerNumBlock = nullptr;  // Num Lock blinking, 1000 ms

    // 1-based position of the current character in the text of rtb2.
    int textpos = 0;
    // Phase of the Num Lock blinking.
    bool blinkAn = false;
    // The sound list: keystroke, (unused), error.
    QStringList Klang;
    QString helpFile;

    // Shows the window in front (the main menu and the writing window's button).
    void zeigen();

    // Handlers.
    void Command2_Click();
    void Command3_Click(int Index);
    void TimerNumBlock_Timer();
    // Key events of the typing box, as its event filter delivers them.
    // KeyAscii is the Windows-1252 code; setting it to 0 swallows the key.
    void Text1_KeyDown(int KeyCode, int Shift);
    void Text1_KeyPress(int& KeyAscii);
    void Text1_KeyUp(int KeyCode, int Shift);

    void lektionStarten();
    void strt();
    void weiter();
    void tastenRuhe();
    // Every key lit as held shows the released colour, as its release
    // would make it: a release that reached another window leaves no key lit.
    void tastenLoslassen();
    void tastenton();
    void blinkenAus();

    // The file names of the three lessons, by button index.
    static QString lektionsDatei(int Index);
    // The text the typing box shows once a lesson is done.
    static const QString kLektionBeendet;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void buildLayout();
    void Form_Load();
    void Form_Unload();
    void setMainState(Qt::WindowState state);
    Textgang textgang();  // the walk over rtb2
    void falscheTaste(int& KeyAscii);

    App& app_;
    // Virtual-key code of each physical key held down, by its scan code.
    QHash<quint32, int> gedrueckt_;
};
