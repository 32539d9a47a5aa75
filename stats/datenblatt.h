#pragma once
#include <utility>
#include "stats/datenbank.h"
#include "stats/zeilensatz.h"

#include <QColor>
#include <QWidget>
#include <vector>

class App;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// How a field shows its column's value.
enum class Feldformat {
    Datum,  // stored ISO date, shown as 17.05.2024
    Zeit,   // stored time of day, shown as stored
    Ganz,   // whole number ("0")
    Zwei,   // two decimals with the locale's separator ("0,00")
};

// One field of a record browser.
struct Datenfeld {
    const char* spalte;
    const char* beschriftung;
    Feldformat format = Feldformat::Ganz;
    QColor hintergrund = QColor();  // invalid: the style's own
    bool versteckt = false;
};

// What one record browser shows.
struct Datenblattart {
    const char* objektname;
    const char* titel;
    QString verbindungSuffix;  // the database file in the connection description
    QString anweisung;         // the statement of the row set
    QString tabelle;           // where appended rows go
    std::vector<Datenfeld> felder;
    bool startAufLetzter;  // after loading: on the newest row instead of the oldest
    bool haende;           // the fields drawn as two stylised hands
};

// A number with a fixed count of decimals (halves to even), the locale's
// decimal separator and no grouping: the formats "0", "0,0", "0,00".
QString festkomma(double v, int stellen);

// A value as a field of the given format shows it; null shows nothing.
QString feldText(const QVariant& wert, Feldformat format);

// What a key does in a record browser (codes and shift state as the
// keyboard layer delivers them: 1 Shift, 2 Ctrl, 4 Alt).
enum class Blaettern { Keine, Schliessen, Erster, Letzter, Vorheriger, Naechster };
Blaettern tastenAktion(int keyCode, int shift);

// A record browser: one row of its table at a time, with buttons and keys
// to page through the rows. It also owns the row set into which finished
// exercises are recorded, so an open browser stands on the newest row.
class Datenblatt : public QWidget {
    Q_OBJECT
private:
    // Declared before the row set, which must go first.
    Verbindung verbindung_;

public:
    ~Datenblatt() override;

    // Controls, named as the window names them.
    std::vector<QLineEdit*> txtFields;
    std::vector<QLabel*> lblLabels;
    QWidget* picStatBox = nullptr;
    QToolButton* cmdFirst = nullptr;
    QToolButton* cmdPrevious = nullptr;
    QLabel* lblStatus = nullptr;
    QToolButton* cmdNext = nullptr;
    QToolButton* cmdLast = nullptr;
    QWidget* picButtons = nullptr;
    QPushButton* cmdClose = nullptr;

    Zeilensatz adoPrimaryRS;

    // Opens the row set when the window's load could not (the database was
    // missing or locked then). False when it still cannot be opened;
    // ladeFehler() then says why.
    bool datensaetzeBereit();
    // Rows the recording stored in this browser's table: an open row set
    // takes them as its last rows, one whose file was replaced is read
    // again; either way the browser then stands on the newest row.
    void zeilenGespeichert(const QList<Tabellenzeile>& zeilen);
    const QString& ladeFehler() const { return ladeFehler_; }
    // The database file (as found, or as looked for when missing).
    QString datei() const;
    const Datenblattart& art() const { return art_; }

    void cmdFirst_Click();
    void cmdPrevious_Click();
    void cmdNext_Click();
    void cmdLast_Click();
    void cmdClose_Click();
    void Form_KeyDown(int KeyCode, int Shift);

protected:
    Datenblatt(App& app, const Datenblattart& art);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* e) override;

private:
    void Form_Load();
    bool datenLaden();
    void adoPrimaryRS_MoveComplete();
    bool fehlerRegel(bool ok);
    // The caption and value box of field i, named and recorded in lblLabels/txtFields.
    std::pair<QLabel*, QLineEdit*> feldPaar(size_t i, QWidget* bereich);
    void buildFelder(QWidget* bereich);
    void buildHaende(QWidget* bereich);
    void buildLeiste();

    App& app_;
    const Datenblattart& art_;
    QString ladeFehler_;
    bool ladeFehlerFrisch_ = false;  // the load failed and nobody has looked yet
};

// The browser over the results of every exercise (table Auswertung).
class frmdaten : public Datenblatt {
    Q_OBJECT
public:
    explicit frmdaten(App& app);
    static const Datenblattart& kArt();
};

// The browser over the finger errors of every exercise (table fehlerliste).
class frmblockdat : public Datenblatt {
    Q_OBJECT
public:
    explicit frmblockdat(App& app);
    static const Datenblattart& kArt();
};
