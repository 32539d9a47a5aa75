#pragma once
#include "insight/verlauf.h"
#include "stats/datenbank.h"

#include <QWidget>

class App;
class QChart;
class QChartView;
class QDateTimeAxis;
class QLabel;
class QLineSeries;
class QScatterSeries;
class QTableView;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QValueAxis;

// Progress over time: per day of practice the mean keystrokes per minute and
// the mean error percentage as lines over a date axis, a goal line of
// keystrokes per minute the learner sets, and the days with their number of
// exercises as a table. Days without practice leave a gap in the lines. It
// reads the results database when it loads and when the choice of
// exercises changes.
class frmFortschritt : public QWidget {
    Q_OBJECT
private:
    Verbindung verbindung_;

public:
    explicit frmFortschritt(App& app);
    ~frmFortschritt() override;

    QRadioButton* optAlle = nullptr;
    QRadioButton* optLektionen = nullptr;
    QRadioButton* optTexte = nullptr;
    QSpinBox* txtZiel = nullptr;  // goal in keystrokes per minute, 0: none
    QChartView* chtFortschritt = nullptr;
    QLabel* Label1 = nullptr;  // "Keine Daten!", instead of the chart
    QTableView* lstTage = nullptr;  // the days, newest first
    QPushButton* cmdClose = nullptr;

    // What is shown: the days of the current choice, oldest first.
    const QList<Tageswert>& tage() const { return tage_; }
    Uebungsauswahl auswahl() const;
    // The runs of days one after the other: each is drawn as a line of its
    // own, between them lies a gap.
    const QList<QList<Tageswert>>& laeufe() const { return laeufe_; }
    // The days' points of both values, and the goal line (nullptr without
    // a goal).
    QScatterSeries* anschlaegeSerie() const { return anschlaege_; }
    QScatterSeries* fehlerSerie() const { return fehler_; }
    QLineSeries* zielSerie() const { return ziel_; }

    void zeigen();
    void cmdClose_Click();

private:
    void Form_Load();
    void einlesen();
    void zeichnen();
    void tabelleFuellen();
    void zielZeichnen();
    void txtZiel_Change(int wert);
    void punktGezeigt(const QPointF& p, bool drauf);

    App& app_;
    QList<Tageswert> tage_;
    QList<QList<Tageswert>> laeufe_;
    class Tagesmodell* modell_ = nullptr;
    QScatterSeries* anschlaege_ = nullptr;
    QScatterSeries* fehler_ = nullptr;
    QLineSeries* ziel_ = nullptr;
    QDateTimeAxis* achseTage_ = nullptr;
    QValueAxis* achseAnschlaege_ = nullptr;
    QValueAxis* achseFehler_ = nullptr;
    double maxAnschlaege_ = 0;
    bool zielFehlerGemeldet_ = false;
};
