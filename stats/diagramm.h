#pragma once
#include "stats/datenbank.h"

#include <QList>
#include <QPair>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <QWidget>

class App;
class QChart;
class QChartView;
class QLabel;
class QPushButton;
class QSqlQuery;

// The data grid of a chart: labelled rows, labelled columns, a value in
// every cell.
struct Datengitter {
    QStringList zeilen;
    QStringList spalten;
    QVector<QVector<double>> werte;  // [row][column]

    void leeren();
};

// Fills a grid from rows: one grid row per distinct x (in the order of first
// occurrence), labelled with x as text; the value y as a number (null as 0).
// With a z column (z not empty) every distinct z is a grid column of its
// own; otherwise there is the one column. A key that occurs again
// overwrites its cell.
void gitterFuellen(Datengitter& g, const QList<QVariantList>& zeilen, int x, int y, int z = -1);

// What one lesson chart draws.
struct Diagrammart {
    const char* objektname;
    const char* titel;
    QString anweisung;     // grouping command, by exercise number
    const char* wertSpalte;
    const char* kategorieTitel;
    const char* wertTitel;
};

// A chart of one value per exercise number: mean keystrokes per minute
// (chart) or training units (chart1). It reads its data once, when loaded.
class Lektionsdiagramm : public QWidget {
    Q_OBJECT
private:
    Verbindung verbindung_;

public:
    ~Lektionsdiagramm() override;

    QChartView* chtReport = nullptr;
    QLabel* Label1 = nullptr;  // "Keine Daten!", seen while the chart is hidden
    QPushButton* cmdClose = nullptr;
    QString verbindung;  // the connection description

    const Datengitter& gitter() const { return gitter_; }
    QChart* diagramm() const;

    void cmdClose_Click();

protected:
    Lektionsdiagramm(App& app, const Diagrammart& art);
    void resizeEvent(QResizeEvent* e) override;

private:
    void Form_Load();
    void Form_Resize();
    void diagrammFuellen(const QList<QVariantList>& rs, int x, int y, int z);
    void zeichnen();
    void serienEinstellen(bool b);
    void fehlerZeigen(const QString& fehler);

    App& app_;
    const Diagrammart& art_;
    Datengitter gitter_;
};

// Mean keystrokes per minute for each exercise number.
class chart : public Lektionsdiagramm {
    Q_OBJECT
public:
    explicit chart(App& app);
    static const Diagrammart& kArt();
};

// Number of stored exercises for each exercise number.
class chart1 : public Lektionsdiagramm {
    Q_OBJECT
public:
    explicit chart1(App& app);
    static const Diagrammart& kArt();
};

// Errors of each finger over all exercises, one bar per column of the
// finger database's relation "statistik".
class frmblockchart : public QWidget {
    Q_OBJECT
private:
    Verbindung verbindung_;

public:
    explicit frmblockchart(App& app);
    ~frmblockchart() override;

    QChartView* MSChart1 = nullptr;
    QLabel* Label1 = nullptr;  // "Keine Daten!" when nothing could be read
    QPushButton* cmdClose = nullptr;

    // The data set behind the chart: ("Finger", "Fehler") per category.
    const QList<QPair<QString, qint64>>& daten() const { return daten_; }

    void cmdClose_Click();

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void Form_Load();
    void Form_Resize();
    void zeichnen();

    App& app_;
    QList<QPair<QString, qint64>> daten_;
};
