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
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;
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
    QTableWidget* lstTage = nullptr;
    QPushButton* cmdClose = nullptr;

    // What is shown: the days of the current choice, oldest first.
    const QList<Tageswert>& tage() const { return tage_; }
    Uebungsauswahl auswahl() const;
    // The line series drawn for the days (one per run of days and value)
    // and the goal line (nullptr without a goal).
    QList<QLineSeries*> tagesSerien() const;
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
    QLineSeries* ziel_ = nullptr;
    QDateTimeAxis* achseTage_ = nullptr;
    QValueAxis* achseAnschlaege_ = nullptr;
    QValueAxis* achseFehler_ = nullptr;
    double maxAnschlaege_ = 0;
    bool zielFehlerGemeldet_ = false;
};
