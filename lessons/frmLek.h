#pragma once
#include "lessons/catalogue.h"

#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class App;
class QCheckBox;
struct Wortschatz;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QTabWidget;
class QTimer;

// The lesson selection window ("Lektionen"): the lessons with a preview of
// their new keys, the intensive trainings of either hand, the practice texts
// and the user's own texts. "OK" starts the chosen exercise in the writing
// window. The window also carries the exercise stopwatch, so after a start it
// is only hidden; "Abbrechen" unloads it.
class frmLek : public QWidget {
    Q_OBJECT
public:
    explicit frmLek(App& app);
    ~frmLek() override;

    // Controls, named as the window names them.
    QTabWidget* SSTab1 = nullptr;
    // Tab "Lektionen".
    std::array<QLabel*, 1> Label1{};  // "Lektion:"
    std::array<QLabel*, 2> Label4{};  // the slider ranges of tabs 0 and 3
    QSlider* Slider1 = nullptr;
    QLineEdit* Text2 = nullptr;       // selector: the lesson number
    QPlainTextEdit* Text1 = nullptr;  // preview of the lesson
    QPushButton* Command1 = nullptr;  // OK
    QPushButton* Command8 = nullptr;  // Abbrechen
    // Tab "Linke Hand".
    std::array<QLabel*, 2> Label3{};  // the headings of tabs 1 and 2
    QLabel* Label6 = nullptr;
    QSlider* Slider3 = nullptr;
    QLineEdit* Text6 = nullptr;  // selector: the part
    QLineEdit* Text5 = nullptr;  // caption of the part
    QPushButton* Command5 = nullptr;
    QPushButton* Command7 = nullptr;
    // Tab "Rechte Hand".
    QLabel* Label5 = nullptr;
    QSlider* Slider4 = nullptr;
    QLineEdit* Text7 = nullptr;
    QLineEdit* Text8 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command6 = nullptr;
    // Tab "Übungstexte".
    QLabel* Label2 = nullptr;  // "Text:"
    QSlider* Slider2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command4 = nullptr;
    // Tab "Eigene Texte".
    QPushButton* Command9 = nullptr;  // "Datei öffnen"
    QLineEdit* Text9 = nullptr;       // name of the chosen file

    // Tab "Lektionen": the lessons passed and the one to take next.
    QLabel* lblBestanden = nullptr;
    QPushButton* cmdVorschlag = nullptr;  // moves the slider to that lesson
    // Tab "Schwächen üben": an exercise made from the weakest keys and pairs.
    QLabel* lblGeuebt = nullptr;  // "Geübt werden: …", one line
    QLabel* lblTasten = nullptr;  // the keys the text is made of
    QCheckBox* chkAlleTasten = nullptr;
    QPushButton* cmdSchwaechen = nullptr;           // OK
    QPushButton* cmdSchwaechenAbbrechen = nullptr;  // Abbrechen
    int tabSchwaechen = -1;

    QTimer* Timer3 = nullptr;  // the stopwatch tick, 1000 ms
    double ergeb = 0;          // elapsed minutes

    // The file name of the own text last started.
    QString eigeneDatei;
    // Asks the user for an own text and returns its full path, empty when
    // cancelled. The window's file-open dialog unless replaced (tests).
    std::function<QString()> CommonDialog1;

    // Shows the window on its first tab with the lesson slider focused (the
    // lesson menu and the writing window's lesson button).
    void zeigen();

    // Starts the exercise a selector picks in a group. Returns false, with
    // nothing changed, when the selector picks nothing or its file cannot be
    // loaded (the latter with a message).
    bool starteUebung(Gruppe gruppe, const QString& auswahl);
    // Starts the own text at this path. Returns false, with nothing changed,
    // when it cannot be loaded or holds no text (with a message).
    bool LadeDatei(const QString& pfad);

    // Shows the window on the tab "Schwächen üben" (the lesson menu).
    void zeigenSchwaechen();
    // Starts "Schwächen üben" with the records stored now. Returns false,
    // with a message and nothing changed, when no text can be made.
    bool starteSchwaechen();
    // The lesson the window proposes (0: all are passed).
    int vorgeschlageneLektion() const { return vorschlag_; }

    // Starts the stopwatch and mirrors it on the writing window's buttons.
    void Stoppuhr();
    void Timer3_Timer();
    double rechne();

    // Handlers.
    void SSTab1_Click(int tab);
    void Slider1_Change();
    void Slider2_Change();
    void Slider3_Change();
    void Slider4_Change();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command5_Click();
    void Command9_Click();
    void Abbrechen_Click();  // Command4, Command6, Command7, Command8

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void buildLayout();
    void verbinden();
    void Form_Load();
    void Form_Unload();
    // The steps every start shares.
    void todolektionen();
    void felder();
    void FingerHand();
    // Empties and shows the writing window's error-rate line (every slider change).
    void sliderVorspann();
    void lektionsVorschau(int nummer);
    void setzeTitel(const QString& titel);
    void schwaechenTabBauen();
    void schwaechenVorbereiten();
    void bestandenZeigen();
    void cmdVorschlag_Click();
    // Reads the word list once per window; the reason when it cannot.
    const QString& wortschatzLesen();

    App& app_;
    bool unloaded_ = false;
    int vorschlag_ = 1;
    std::shared_ptr<Wortschatz> wortschatz_;
    QString wortschatzFehler_;
};
