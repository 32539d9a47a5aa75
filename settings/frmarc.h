#pragma once
#include <QDialog>
#include <QPoint>
#include <array>

class App;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTabWidget;
class QTimer;
class Klassenseite;

// The settings dialog ("Einstellungen"): sounds, the practice reminder with
// its duration, the colour design with a pipette that reads any pixel of the
// screen, the user's name and the statistics and animation switches. It
// shows the option variables when it loads; "OK" copies them back and stores
// them, "Abbrechen" (also Escape, and Enter where no button has the focus)
// leaves them. The duration slider and the pipette take effect and are
// stored at once.
class frmarc : public QDialog {
    Q_OBJECT
public:
    explicit frmarc(App& app);
    ~frmarc() override;

    enum Tab { TabAudio = 0, TabReminder = 1, TabFarbdesign = 2, TabVerschiedenes = 3, TabKlasse = 4, TabAbschrift = 5 };

    // The reminder's signal, a file of the program directory.
    static const QString kSignal;

    // Controls, named as the dialog names them.
    QTabWidget* SSTab1 = nullptr;
    // Tab "Audio".
    QCheckBox* Check3 = nullptr;  // Fehlermeldung
    QCheckBox* Check4 = nullptr;  // Maschinengeräusch
    QCheckBox* Check6 = nullptr;  // Sprachausgabe
    QLabel* Label4 = nullptr;
    // Tab "Reminder".
    QCheckBox* Check1 = nullptr;
    QSlider* Slider2 = nullptr;  // the training duration, 1 to 60 minutes
    QLineEdit* Text4 = nullptr;  // "5 min"
    QPushButton* Command2 = nullptr;   // starts the reminder
    QPushButton* Command10 = nullptr;  // signal test
    QTimer* Timer2 = nullptr;          // the reminder's minute tick (it lives in App::reminder())
    QLabel* Label9 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label8 = nullptr;
    // Tab "Farbdesign".
    QLabel* Picture2 = nullptr;  // the pipette
    QFrame* Picture1 = nullptr;  // preview of the picked colour
    QTimer* Timer1 = nullptr;    // samples the pixel under the pipette, 50 ms
    QFrame* Shape1 = nullptr;    // the original colour
    QFrame* Shape2 = nullptr;    // suggestion 1
    QFrame* Shape3 = nullptr;    // suggestion 2
    QLabel* Image2 = nullptr;    // colour wheel
    QLabel* Label14 = nullptr;
    std::array<QLabel*, 3> Label15{};
    QLabel* Label13 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* lblHinweis = nullptr;  // says when the screen cannot be read
    // Tab "Verschiedenes".
    QLineEdit* Text5 = nullptr;  // the user's name
    QCheckBox* Check2 = nullptr;  // Statistik
    QCheckBox* Check5 = nullptr;  // Animation
    QLabel* Label3 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Image1 = nullptr;  // the dino
    // Always shown.
    QPushButton* Command14 = nullptr;  // OK
    QPushButton* Command7 = nullptr;   // Abbrechen

    // Shows the dialog modal on one tab (the menu commands, the writing
    // window's options button).
    void zeigen(int tab);

    // Handlers.
    void Command14_Click();
    void Command7_Click();
    void Slider2_Change();
    void Command10_Click();
    void Command2_Click();
    void Picture2_MouseDown();
    void Picture2_MouseUp();
    void Timer1_Timer();
    void Timer2_Timer();
    // Starts or stops the reminder as Check1 says.
    void remind();

    // Takes the original colour (0) or a suggestion (1, 2) as the pipette
    // takes a colour: shown, stored and applied at once. The colour
    // preview takes the focus and steps through them with the arrow keys.
    void farbvorschlag(int nr);

    // True while the pipette is held.
    bool pipetteAktiv() const { return pipette_; }

    static const QString kNichtLesbar;

protected:
    void reject() override { Command7_Click(); }
    void accept() override { Command7_Click(); }
    bool eventFilter(QObject* watched, QEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    Klassenseite* klassenseite_ = nullptr;  // tab "Klasse"
    void buildLayout();
    void Form_Load();
    void pipetteLoslassen();  // ends the grab and the override pointer
    void zeigeFarbe(QFrame* feld, const QColor& farbe);

    App& app_;
    QPoint letztePos_;  // the last pointer position the pipette read
    bool pipette_ = false;
    bool geschlossen_ = false;
    int vorschlag_ = -1;  // the swatch last taken with the keys
};
