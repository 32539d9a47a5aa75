#include "stats/diagramm.h"
#include "insight/export.h"
#include "platform/numbers.h"
#include "platform/units.h"
#include "shell/app.h"
#include "shell/fenster.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QBarSeries>
#include <QChart>
#include <QChartView>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QLegendMarker>
#include <QLocale>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace {
const QColor kBalken(120, 120, 230);
const QColor kBalkenRand(60, 60, 150);

// 60 twips: the margin around the chart and the close button.
int rand60() { return twipsToPx(60); }

// The value of a cell as a number; null, text and the like count as 0.
double zahl(const QVariant& v) {
    if (!v.isValid() || v.isNull()) return 0;
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok && std::isfinite(d) ? d : 0;
}

QString alsText(const QVariant& v) { return v.isNull() ? QString() : v.toString(); }

// A step of 1, 2 or 5 times a power of ten, never below 1: the values are
// counts and keystrokes, so every tick is a whole number.
double glatterSchritt(double roh) {
    if (!(roh > 1)) return 1;
    const double p = std::pow(10.0, std::floor(std::log10(roh)));
    const double m = roh / p;
    return (m <= 1 ? 1 : m <= 2 ? 2 : m <= 5 ? 5 : 10) * p;
}

// A value axis from 0 with about five whole-numbered steps and room above
// the highest bar for its label.
QValueAxis* werteAchse(double max, const QString& titel) {
    auto* a = new QValueAxis;
    const double schritt = glatterSchritt(max * 1.12 / 5);
    const double oben = std::max(schritt, std::ceil(max * 1.12 / schritt) * schritt);
    a->setRange(0, oben);
    a->setTickType(QValueAxis::TicksDynamic);
    a->setTickAnchor(0);
    a->setTickInterval(schritt);
    a->setLabelFormat(QStringLiteral("%.0f"));
    a->setTitleText(titel);
    return a;
}

void gestalten(QChart* c) {
    c->setLocale(QLocale());
    c->setLocalizeNumbers(true);
    c->legend()->hide();
    c->setBackgroundRoundness(0);
    c->setMargins(QMargins(6, 6, 6, 6));
}

// The parts every chart window has: the "Keine Daten!" label, the chart
// view (named as the window names it) and the close button.
struct Diagrammteile {
    QLabel* leer;
    QChartView* ansicht;
    QPushButton* schliessen;
};

Diagrammteile diagrammteile(QWidget* fenster, const QString& ansichtName) {
    auto* leer = new QLabel(QStringLiteral("Keine Daten!"), fenster);
    leer->setObjectName(QStringLiteral("Label1"));
    QFont f = leer->font();
    f.setPointSize(24);
    leer->setFont(f);
    leer->setAlignment(Qt::AlignCenter);

    auto* ansicht = new QChartView(new QChart, fenster);
    ansicht->setObjectName(ansichtName);
    ansicht->setRenderHint(QPainter::Antialiasing);
    gestalten(ansicht->chart());

    auto* schliessen = new QPushButton(QStringLiteral("Schließen"), fenster);
    schliessen->setObjectName(QStringLiteral("cmdClose"));
    schliessen->setAutoDefault(false);
    schliessen->resize(100, 28);
    return {leer, ansicht, schliessen};
}
}  // namespace

void Datengitter::leeren() {
    zeilen.clear();
    spalten.clear();
    werte.clear();
}

void gitterFuellen(Datengitter& g, const QList<QVariantList>& zeilen, int x, int y, int z) {
    const bool spaltenserien = z >= 0;
    g.leeren();
    if (!spaltenserien) {
        g.spalten << QString();
    }
    for (const QVariantList& r : zeilen) {
        const QString key = alsText(r.value(x));
        qsizetype zeile = g.zeilen.indexOf(key);
        if (zeile < 0) {
            g.zeilen << key;
            g.werte.append(QVector<double>(g.spalten.size(), 0.0));
            zeile = g.zeilen.size() - 1;
        }
        qsizetype spalte = 0;
        if (spaltenserien) {
            const QString s = alsText(r.value(z));
            spalte = g.spalten.indexOf(s);
            if (spalte < 0) {
                g.spalten << s;
                for (auto& w : g.werte) w.append(0.0);
                spalte = g.spalten.size() - 1;
            }
        }
        g.werte[zeile][spalte] = zahl(r.value(y));
    }
}

// ---- lesson charts ----

Lektionsdiagramm::Lektionsdiagramm(App& app, const Diagrammart& art)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint), app_(app), art_(art) {
    setObjectName(QString::fromLatin1(art.objektname));
    setWindowTitle(QString::fromUtf8(art.titel));
    setAttribute(Qt::WA_DeleteOnClose);

    const Diagrammteile teile = diagrammteile(this, QStringLiteral("chtReport"));
    Label1 = teile.leer;
    chtReport = teile.ansicht;
    cmdClose = teile.schliessen;
    connect(cmdClose, &QPushButton::clicked, this, &Lektionsdiagramm::cmdClose_Click);

    resize(760, 460);
    Form_Load();
}

Lektionsdiagramm::~Lektionsdiagramm() = default;

QChart* Lektionsdiagramm::diagramm() const { return chtReport->chart(); }

void Lektionsdiagramm::Form_Load() {
    verbindung = verbindungstext(Verbindungstext::kShape, app_.databaseDir(),
                                 Verbindungstext::kVelkoraShape);
    unterHauptfenster(app_, this);
    if (!verbindung_.oeffnen(verbindung)) {
        fehlerZeigen(verbindung_.fehler());
        return;
    }
    const QString sql = shapeAlsSql(art_.anweisung);
    QSqlQuery rs(verbindung_.db());
    rs.setForwardOnly(true);
    if (!rs.exec(sql)) {
        fehlerZeigen(engineText(rs.lastError()));
        return;
    }
    const QSqlRecord rec = rs.record();
    const int x = rec.indexOf(QStringLiteral("IDLektion"));
    const int y = rec.indexOf(QString::fromLatin1(art_.wertSpalte));
    QList<QVariantList> zeilen;
    while (rs.next()) {
        QVariantList r;
        for (int i = 0; i < rec.count(); ++i) r << rs.value(i);
        zeilen << r;
    }
    if (rs.lastError().isValid()) {
        fehlerZeigen(engineText(rs.lastError()));
        return;
    }
    rs.finish();
    if (zeilen.isEmpty()) {
        chtReport->hide();  // "Keine Daten!" shows
        return;
    }
    if (x < 0 || y < 0) {
        fehlerZeigen(QStringLiteral("Die Abfrage liefert die Spalte „%1“ nicht.")
                         .arg(x < 0 ? QStringLiteral("IDLektion") : QString::fromLatin1(art_.wertSpalte)));
        return;
    }
    diagrammFuellen(zeilen, x, y, -1);
    serienEinstellen(false);
}

void Lektionsdiagramm::diagrammFuellen(const QList<QVariantList>& rs, int x, int y, int z) {
    chtReport->setUpdatesEnabled(false);
    gitterFuellen(gitter_, rs, x, y, z);
    zeichnen();
    chtReport->setUpdatesEnabled(true);
}

void Lektionsdiagramm::zeichnen() {
    QChart* c = chtReport->chart();
    c->removeAllSeries();
    for (QAbstractAxis* a : c->axes()) {
        c->removeAxis(a);
        delete a;
    }
    auto* serie = new QBarSeries;
    double max = 0;
    for (qsizetype s = 0; s < gitter_.spalten.size(); ++s) {
        auto* set = new QBarSet(gitter_.spalten[s]);
        set->setColor(kBalken);
        set->setBorderColor(kBalkenRand);
        set->setLabelColor(Qt::black);
        for (const auto& zeile : gitter_.werte) {
            *set << zeile[s];
            max = std::max(max, zeile[s]);
        }
        serie->append(set);
    }
    serie->setLabelsVisible(true);
    serie->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    serie->setLabelsPrecision(4);
    serie->setBarWidth(gitter_.zeilen.size() < 4 ? 0.4 : 0.7);
    c->addSeries(serie);

    auto* kategorien = new QBarCategoryAxis;
    kategorien->append(gitter_.zeilen);
    kategorien->setTitleText(QString::fromUtf8(art_.kategorieTitel));
    if (gitter_.zeilen.size() > 16) {
        // Every exercise number stays readable, also with all 26 of them.
        QFont klein = kategorien->labelsFont();
        klein.setPointSizeF(klein.pointSizeF() * 0.85);
        kategorien->setLabelsFont(klein);
    }
    c->addAxis(kategorien, Qt::AlignBottom);
    serie->attachAxis(kategorien);
    // A bar names its exercise under the pointer: the axis has room for
    // the numbers only.
    connect(serie, &QBarSeries::hovered, chtReport, [this](bool drin, int i, QBarSet* set) {
        if (!drin || i < 0 || i >= gitter_.zeilen.size()) {
            chtReport->setToolTip(QString());
            return;
        }
        const QString name = uebungsName(gitter_.zeilen[i].toInt());
        chtReport->setToolTip(QStringLiteral("%1%2: %3")
                                  .arg(gitter_.zeilen[i], name.isEmpty() ? QString() : QStringLiteral(" – ") + name,
                                       zahlText(set->at(i))));
    });
    auto* werte = werteAchse(max, QString::fromUtf8(art_.wertTitel));
    c->addAxis(werte, Qt::AlignLeft);
    serie->attachAxis(werte);
}

void Lektionsdiagramm::serienEinstellen(bool b) {
    // The series' entries in the legend: the one series needs none.
    QChart* c = chtReport->chart();
    for (QAbstractSeries* s : c->series())
        for (QLegendMarker* m : c->legend()->markers(s)) m->setVisible(b);
}

void Lektionsdiagramm::fehlerZeigen(const QString& fehler) {
    app_.services.msgBox(this, datenbankMeldung(verbindung_.datei(), fehler), Msg::Exclamation, kAppTitle);
}

void Lektionsdiagramm::cmdClose_Click() { app_.forms.unloadByName(objectName()); }

void Lektionsdiagramm::Form_Resize() {
    const int w = width(), h = height(), r = rand60();
    cmdClose->move(w - (cmdClose->width() + r), h - (cmdClose->height() + r));
    const QRect flaeche(r, r, std::max(0, w - 2 * r), std::max(0, (h - (cmdClose->height() + r)) - 2 * r));
    chtReport->setGeometry(flaeche);
    Label1->setGeometry(flaeche);
}

void Lektionsdiagramm::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Form_Resize();
}

const Diagrammart& chart::kArt() {
    static const Diagrammart art{
        "chart",
        "Auswertung  Anschläge/Min.   ( Durchschnittswerte )",
        Sql::kMittelJeLektion,
        "anschlaege",
        " Schlüssel-Nr.",
        "Anschläge/Min.",
    };
    return art;
}

chart::chart(App& app) : Lektionsdiagramm(app, kArt()) {}

const Diagrammart& chart1::kArt() {
    static const Diagrammart art{
        "chart1",
        "Auswertung Anzahl Trainingseinheiten",
        Sql::kEinheitenJeLektion,
        "IDDatensatz",
        "Schlüssel-Nr.",
        "Anzahl",
    };
    return art;
}

chart1::chart1(App& app) : Lektionsdiagramm(app, kArt()) {}

// ---- finger chart ----

frmblockchart::frmblockchart(App& app)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint), app_(app) {
    setObjectName(QStringLiteral("frmblockchart"));
    setWindowTitle(QStringLiteral("Grafische Auswertung: Fehler der einzelnen Finger"));
    setAttribute(Qt::WA_DeleteOnClose);

    const Diagrammteile teile = diagrammteile(this, QStringLiteral("MSChart1"));
    Label1 = teile.leer;
    MSChart1 = teile.ansicht;
    cmdClose = teile.schliessen;
    Label1->setGeometry(8, 8, 640, 400);
    MSChart1->setGeometry(8, 8, 640, 400);
    connect(cmdClose, &QPushButton::clicked, this, &frmblockchart::cmdClose_Click);

    resize(656, 444);
    Form_Load();
}

frmblockchart::~frmblockchart() = default;

void frmblockchart::Form_Load() {
    unterHauptfenster(app_, this);
    // A finger database that cannot be read is reported and leaves the
    // window with "Keine Daten!"; so does a relation without a row.
    auto scheitern = [this](const QString& fehler) {
        MSChart1->hide();
        app_.services.msgBox(this, datenbankMeldung(verbindung_.datei(), fehler), Msg::Exclamation,
                             kAppTitle);
    };
    if (!verbindung_.oeffnen(verbindungstext(Verbindungstext::kJet, app_.databaseDir(),
                                             Verbindungstext::kFinger))) {
        scheitern(verbindung_.fehler());
        return;
    }
    QSqlQuery rs(verbindung_.db());
    rs.setForwardOnly(true);
    if (!rs.exec(Sql::kStatistik)) {
        scheitern(engineText(rs.lastError()));
        return;
    }
    if (!rs.next()) {
        if (rs.lastError().isValid()) scheitern(engineText(rs.lastError()));
        else MSChart1->hide();
        return;
    }
    const QSqlRecord rec = rs.record();
    for (int i = 0; i < rec.count(); ++i) {
        const double v = zahl(rs.value(i));  // null counts as 0
        const qint64 fehler = static_cast<qint64>(std::llround(std::clamp(v, -9.0e15, 9.0e15)));
        daten_.append({rec.fieldName(i).left(50), fehler});
    }
    rs.finish();
    zeichnen();
}

void frmblockchart::zeichnen() {
    QChart* c = MSChart1->chart();
    auto* set = new QBarSet(QStringLiteral("Fehler"));
    set->setColor(kBalken);
    set->setBorderColor(kBalkenRand);
    set->setLabelColor(Qt::black);
    QStringList namen;
    double max = 0;
    // Drawn top-down in column order: horizontal bars run from the bottom.
    for (auto it = daten_.crbegin(); it != daten_.crend(); ++it) {
        namen << it->first;
        *set << static_cast<double>(it->second);
        max = std::max(max, static_cast<double>(it->second));
    }
    auto* serie = new QHorizontalBarSeries;
    serie->append(set);
    serie->setLabelsVisible(true);
    serie->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    serie->setBarWidth(0.7);
    c->addSeries(serie);
    auto* kategorien = new QBarCategoryAxis;
    kategorien->append(namen);
    c->addAxis(kategorien, Qt::AlignLeft);
    serie->attachAxis(kategorien);
    auto* werte = werteAchse(max, QString());
    c->addAxis(werte, Qt::AlignBottom);
    serie->attachAxis(werte);
}

void frmblockchart::cmdClose_Click() { app_.forms.unload<frmblockchart>(); }

void frmblockchart::Form_Resize() {
    // Flush in the bottom right corner; the chart keeps its size and place.
    cmdClose->move(width() - cmdClose->width(), height() - cmdClose->height());
}

void frmblockchart::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Form_Resize();
}
