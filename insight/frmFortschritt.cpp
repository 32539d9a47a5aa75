#include "insight/frmFortschritt.h"
#include "platform/numbers.h"
#include "shell/app.h"
#include "shell/fenster.h"
#include "stats/datenblatt.h"

#include <QButtonGroup>
#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStackedLayout>
#include <QAbstractTableModel>
#include <QScatterSeries>
#include <QTableView>
#include <QToolTip>
#include <QTimeZone>
#include <QValueAxis>
#include <QCursor>
#include <algorithm>
#include <tuple>
#include <cmath>

namespace {
// Told apart also by learners with red-green colour blindness: blue with
// round points and a thick line, orange with square points and a thin one,
// the goal in black and dashed. (A dashed line through thousands of days
// would cost the painting seconds.)
const QColor kAnschlaegeFarbe(0, 114, 178);
const QColor kFehlerFarbe(213, 94, 0);
// Up to this many days the points are drawn large.
constexpr int kPunkteBis = 60;
// Days up to which the lines are drawn smoothed.
constexpr qsizetype kGlattBis = 400;
// Points of a line drawn in one go.
constexpr qsizetype kStueck = 32;

qint64 tagX(const QDate& tag) { return tagesPosition(tag); }

// A step of 1, 2 or 5 times a power of ten giving about five steps up to
// the value.
double glatterSchritt(double max) {
    const double roh = max / 5;
    const double p = std::pow(10.0, std::floor(std::log10(roh)));
    const double m = roh / p;
    return (m <= 1 ? 1 : m <= 2 ? 2 : m <= 5 ? 5 : 10) * p;
}

// An axis from 0 past the highest value, with room above it, in round steps.
void achseEinteilen(QValueAxis* a, double max) {
    const double schritt = glatterSchritt(max * 1.1);
    a->setTickType(QValueAxis::TicksDynamic);
    a->setTickAnchor(0);
    a->setTickInterval(schritt);
    a->setRange(0, std::max(schritt, std::ceil(max * 1.1 / schritt) * schritt));
}

QString tagText(const QDate& tag) { return QLocale().toString(tag, QStringLiteral("ddd, dd.MM.yyyy")); }

// The chart with the lines of the runs of days drawn over it: one polyline
// per run through the points of a series, so a day without practice is a
// gap. Thousands of runs cost one path each, not a series each.
class Verlaufsansicht : public QChartView {
public:
    struct Linie {
        QScatterSeries* serie;
        QPen stift;
        double Tageswert::*wert;
    };
    explicit Verlaufsansicht(QWidget* parent) : QChartView(new QChart, parent) {}
    void setzen(QList<Linie> linien, const QList<QList<Tageswert>>* laeufe) {
        linien_ = std::move(linien);
        laeufe_ = laeufe;
        viewport()->update();
    }

protected:
    void drawForeground(QPainter* p, const QRectF& bereich) override {
        QChartView::drawForeground(p, bereich);
        if (!laeufe_ || linien_.isEmpty()) return;
        QChart* c = chart();
        p->save();
        // Smoothed on a readable number of days; thousands of days make a
        // dense band whose smoothing would cost more than it shows.
        qsizetype tage = 0;
        for (const QList<Tageswert>& lauf : *laeufe_) tage += lauf.size();
        p->setRenderHint(QPainter::Antialiasing, tage <= kGlattBis);
        p->setClipRect(c->mapRectToScene(c->plotArea()));
        for (const Linie& l : linien_) {
            p->setPen(l.stift);
            for (const QList<Tageswert>& lauf : *laeufe_) {
                if (lauf.size() < 2) continue;
                QPolygonF zug;
                zug.reserve(lauf.size());
                for (const Tageswert& t : lauf)
                    zug << c->mapToScene(c->mapToPosition(
                        QPointF(double(tagX(t.tag)), t.*l.wert), l.serie));
                // In pieces: the painter strokes a long zigzag path as a
                // whole, which costs far more than short ones.
                for (qsizetype i = 0; i + 1 < zug.size(); i += kStueck)
                    p->drawPolyline(zug.constData() + i, int(std::min<qsizetype>(kStueck + 1, zug.size() - i)));
            }
        }
        p->restore();
    }

private:
    QList<Linie> linien_;
    const QList<QList<Tageswert>>* laeufe_ = nullptr;
};
}  // namespace

// The days as the table shows them, newest first.
class Tagesmodell : public QAbstractTableModel {
public:
    Tagesmodell(const QList<Tageswert>& tage, QObject* parent) : QAbstractTableModel(parent), tage_(tage) {}
    void neu() {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex& p = {}) const override { return p.isValid() ? 0 : int(tage_.size()); }
    int columnCount(const QModelIndex& p = {}) const override { return p.isValid() ? 0 : 4; }
    QVariant data(const QModelIndex& i, int rolle) const override {
        if (!i.isValid()) return {};
        if (rolle == Qt::TextAlignmentRole)
            return i.column() ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
        if (rolle != Qt::DisplayRole && rolle != Qt::AccessibleTextRole) return {};
        const Tageswert& t = tage_[tage_.size() - 1 - i.row()];
        switch (i.column()) {
        case 0: return QLocale().toString(t.tag, QStringLiteral("dd.MM.yyyy"));
        case 1: return QString::number(t.uebungen);
        case 2: return festkomma(t.anschlaege, 0);
        default: return festkomma(t.fehlerProzent, 2);
        }
    }
    QVariant headerData(int s, Qt::Orientation o, int rolle) const override {
        static const char* const kKopf[] = {"Tag", "Übungen", "Anschl./Min.", "Fehler %"};
        if (o != Qt::Horizontal || rolle != Qt::DisplayRole || s < 0 || s > 3) return {};
        return QString::fromUtf8(kKopf[s]);
    }

private:
    const QList<Tageswert>& tage_;
};

frmFortschritt::frmFortschritt(App& app) : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint), app_(app) {
    setObjectName(QStringLiteral("frmFortschritt"));
    setWindowTitle(QStringLiteral("Fortschritt"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* auswahl = new QButtonGroup(this);
    auto* auswahlZeile = new QHBoxLayout;
    auswahlZeile->addWidget(new QLabel(QStringLiteral("Übungen:"), this));
    auto knopf = [&](QRadioButton*& b, const char* name, const QString& text) {
        b = new QRadioButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        auswahl->addButton(b);
        auswahlZeile->addWidget(b);
    };
    knopf(optAlle, "optAlle", QStringLiteral("Alle"));
    knopf(optLektionen, "optLektionen", QStringLiteral("Lektionen"));
    knopf(optTexte, "optTexte", QStringLiteral("Texte"));
    optAlle->setChecked(true);
    auswahlZeile->addSpacing(24);
    auto* zielText = new QLabel(QStringLiteral("Ziel (Anschläge/Min.):"), this);
    auswahlZeile->addWidget(zielText);
    txtZiel = new QSpinBox(this);
    txtZiel->setObjectName(QStringLiteral("txtZiel"));
    txtZiel->setRange(0, kZielMax);
    txtZiel->setSingleStep(10);
    txtZiel->setSpecialValueText(QStringLiteral("kein Ziel"));
    txtZiel->setMinimumWidth(100);
    zielText->setBuddy(txtZiel);
    auswahlZeile->addWidget(txtZiel);
    auswahlZeile->addStretch(1);

    Label1 = new QLabel(QStringLiteral("Keine Daten!"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont gross = Label1->font();
    gross.setPointSize(24);
    Label1->setFont(gross);
    Label1->setAlignment(Qt::AlignCenter);
    chtFortschritt = new Verlaufsansicht(this);
    chtFortschritt->setObjectName(QStringLiteral("chtFortschritt"));
    chtFortschritt->setAccessibleName(QStringLiteral("Verlauf: Anschläge/Min. und Fehler in % je Übungstag"));
    chtFortschritt->setRenderHint(QPainter::Antialiasing);
    chtFortschritt->setMinimumSize(520, 380);
    QChart* c = chtFortschritt->chart();
    c->setLocale(QLocale());
    c->setLocalizeNumbers(true);
    c->setBackgroundRoundness(0);
    c->setMargins(QMargins(4, 4, 4, 4));
    c->legend()->setAlignment(Qt::AlignBottom);
    auto* flaeche = new QStackedLayout;
    flaeche->setStackingMode(QStackedLayout::StackAll);
    flaeche->addWidget(chtFortschritt);
    flaeche->addWidget(Label1);

    lstTage = new QTableView(this);
    lstTage->setObjectName(QStringLiteral("lstTage"));
    lstTage->setAccessibleName(QStringLiteral("Übungstage"));
    modell_ = new Tagesmodell(tage_, this);
    lstTage->setModel(modell_);
    lstTage->verticalHeader()->hide();
    lstTage->horizontalHeader()->setAccessibleName(QStringLiteral("Spalten: Tag, Übungen, Anschläge/Min., Fehler %"));
    lstTage->verticalHeader()->setDefaultSectionSize(lstTage->fontMetrics().height() + 8);
    lstTage->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstTage->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstTage->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Widths from the widest text a column holds, not from every row.
    const QFontMetrics fm = lstTage->fontMetrics();
    const char* const kBreitester[] = {"00.00.0000", "Übungen", "Anschl./Min.", "Fehler %"};
    int breite = 0;
    for (int s = 0; s < 4; ++s) {
        const int b = fm.horizontalAdvance(QString::fromUtf8(kBreitester[s])) + 24;
        lstTage->setColumnWidth(s, b);
        breite += b;
    }
    lstTage->horizontalHeader()->setStretchLastSection(true);
    lstTage->setMinimumWidth(breite + lstTage->verticalScrollBar()->sizeHint().width() + 8);

    auto* mitte = new QHBoxLayout;
    mitte->addLayout(flaeche, 1);
    mitte->addWidget(lstTage);

    cmdClose = new QPushButton(QStringLiteral("Schließen"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setAutoDefault(false);
    auto* unten = new QHBoxLayout;
    unten->addStretch(1);
    unten->addWidget(cmdClose);

    auto* gesamt = new QVBoxLayout(this);
    gesamt->addLayout(auswahlZeile);
    gesamt->addLayout(mitte, 1);
    gesamt->addLayout(unten);

    connect(cmdClose, &QPushButton::clicked, this, &frmFortschritt::cmdClose_Click);
    connect(auswahl, &QButtonGroup::idToggled, this, [this](int, bool an) {
        if (an) einlesen();
    });
    resize(900, 540);
    Form_Load();
    connect(txtZiel, &QSpinBox::valueChanged, this, &frmFortschritt::txtZiel_Change);
}

frmFortschritt::~frmFortschritt() = default;

void frmFortschritt::Form_Load() {
    unterHauptfenster(app_, this);
    txtZiel->setValue(zielAusText(app_.GetSetting(kZielAbschnitt, kZielSchluessel)));
    if (!verbindung_.oeffnen(verbindungstext(Verbindungstext::kJet, app_.databaseDir(), Verbindungstext::kVelkora))) {
        chtFortschritt->hide();
        app_.services.msgBox(this, datenbankMeldung(verbindung_.datei(), verbindung_.fehler()), Msg::Exclamation,
                             kAppTitle);
        return;
    }
    einlesen();
}

Uebungsauswahl frmFortschritt::auswahl() const {
    if (optLektionen->isChecked()) return Uebungsauswahl::Lektionen;
    if (optTexte->isChecked()) return Uebungsauswahl::Texte;
    return Uebungsauswahl::Alle;
}

void frmFortschritt::einlesen() {
    if (!verbindung_.istOffen()) return;
    QString fehler;
    const auto gelesen = tageswerteLesen(verbindung_.db(), auswahl(), &fehler);
    tage_ = gelesen.value_or(QList<Tageswert>());
    laeufe_ = tagesLaeufe(tage_);
    zeichnen();
    tabelleFuellen();
    if (!gelesen)
        app_.services.msgBox(this, datenbankMeldung(verbindung_.datei(), fehler), Msg::Exclamation, kAppTitle);
}

void frmFortschritt::zeichnen() {
    QChart* c = chtFortschritt->chart();
    chtFortschritt->setUpdatesEnabled(false);
    auto* ansicht = static_cast<Verlaufsansicht*>(chtFortschritt);
    ansicht->setzen({}, nullptr);
    c->removeAllSeries();
    ziel_ = nullptr;
    anschlaege_ = fehler_ = nullptr;
    for (QAbstractAxis* a : c->axes()) {
        c->removeAxis(a);
        delete a;
    }
    achseTage_ = nullptr;
    achseAnschlaege_ = achseFehler_ = nullptr;
    chtFortschritt->setVisible(!tage_.isEmpty());
    if (tage_.isEmpty()) {
        chtFortschritt->setUpdatesEnabled(true);
        return;
    }

    achseTage_ = new QDateTimeAxis;
    achseTage_->setFormat(QStringLiteral("dd.MM.yy"));
    achseTage_->setTitleText(QStringLiteral("Tag"));
    const QDate erster = tage_.first().tag, letzter = tage_.last().tag;
    // Ticks on whole days (a day before the first on the left, so its
    // point is not cut), about six of them.
    const qint64 tage = erster.daysTo(letzter) + 2;
    const qint64 schritt = std::max<qint64>(1, (tage + 5) / 6);
    const qint64 schritte = (tage + schritt - 1) / schritt;
    const QDate anfang = erster.addDays(-1);
    achseTage_->setTickCount(int(schritte + 1));
    achseTage_->setRange(QDateTime::fromMSecsSinceEpoch(tagX(anfang), Qt::UTC),
                         QDateTime::fromMSecsSinceEpoch(tagX(anfang.addDays(schritte * schritt)), Qt::UTC));
    c->addAxis(achseTage_, Qt::AlignBottom);

    double maxFehler = 0;
    maxAnschlaege_ = 0;
    for (const Tageswert& t : tage_) {
        maxAnschlaege_ = std::max(maxAnschlaege_, t.anschlaege);
        maxFehler = std::max(maxFehler, t.fehlerProzent);
    }
    achseAnschlaege_ = new QValueAxis;
    achseAnschlaege_->setTitleText(QStringLiteral("Anschläge/Min."));
    achseAnschlaege_->setLabelFormat(QStringLiteral("%.0f"));
    achseAnschlaege_->setLabelsColor(kAnschlaegeFarbe);
    c->addAxis(achseAnschlaege_, Qt::AlignLeft);
    achseFehler_ = new QValueAxis;
    achseFehler_->setTitleText(QStringLiteral("Fehler in %"));
    achseFehler_->setLabelFormat(QStringLiteral("%.1f"));
    achseFehler_->setLabelsColor(kFehlerFarbe);
    achseEinteilen(achseFehler_, std::max(maxFehler, 1.0));
    c->addAxis(achseFehler_, Qt::AlignRight);

    // The days as points (their entries in the legend, their tool tips);
    // the lines between them are drawn by the view, run by run.
    const bool gross = tage_.size() <= kPunkteBis;
    anschlaege_ = new QScatterSeries;
    fehler_ = new QScatterSeries;
    anschlaege_->setName(QStringLiteral("Anschläge/Min."));
    fehler_->setName(QStringLiteral("Fehler in %"));
    anschlaege_->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    fehler_->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    QList<QPointF> a, f;
    a.reserve(tage_.size());
    f.reserve(tage_.size());
    for (const Tageswert& t : tage_) {
        const double x = double(tagX(t.tag));
        a << QPointF(x, t.anschlaege);
        f << QPointF(x, t.fehlerProzent);
    }
    anschlaege_->replace(a);
    fehler_->replace(f);
    for (auto [s, farbe, y] : {std::tuple{anschlaege_, kAnschlaegeFarbe, achseAnschlaege_},
                               std::tuple{fehler_, kFehlerFarbe, achseFehler_}}) {
        s->setColor(farbe);
        s->setBorderColor(farbe);
        s->setMarkerSize(gross ? 9 : 4);
        c->addSeries(s);
        s->attachAxis(achseTage_);
        s->attachAxis(y);
        connect(s, &QScatterSeries::hovered, this, &frmFortschritt::punktGezeigt);
    }
    ansicht->setzen({{anschlaege_, QPen(kAnschlaegeFarbe, 2.5), &Tageswert::anschlaege},
                     {fehler_, QPen(kFehlerFarbe, 1.5), &Tageswert::fehlerProzent}},
                    &laeufe_);
    zielZeichnen();
    chtFortschritt->setUpdatesEnabled(true);
}

void frmFortschritt::zielZeichnen() {
    if (!achseAnschlaege_) return;
    QChart* c = chtFortschritt->chart();
    if (ziel_) {
        c->removeSeries(ziel_);
        delete ziel_;
        ziel_ = nullptr;
    }
    const int ziel = txtZiel->value();
    achseEinteilen(achseAnschlaege_, std::max({maxAnschlaege_, double(ziel), 10.0}));
    if (ziel <= 0) return;
    ziel_ = new QLineSeries;
    ziel_->setName(QStringLiteral("Ziel"));
    ziel_->setPen(QPen(Qt::black, 1.5, Qt::DashDotLine));
    ziel_->append(double(achseTage_->min().toMSecsSinceEpoch()), ziel);
    ziel_->append(double(achseTage_->max().toMSecsSinceEpoch()), ziel);
    c->addSeries(ziel_);
    ziel_->attachAxis(achseTage_);
    ziel_->attachAxis(achseAnschlaege_);
}

void frmFortschritt::tabelleFuellen() { modell_->neu(); }

void frmFortschritt::txtZiel_Change(int wert) {
    if (!app_.SaveSetting(kZielAbschnitt, kZielSchluessel, QString::number(wert)) && !zielFehlerGemeldet_) {
        zielFehlerGemeldet_ = true;  // said once, not on every step of the box
        app_.services.msgBox(this,
                             QStringLiteral("Das Ziel konnte nicht in den Einstellungen gespeichert werden; "
                                            "es gilt nur, solange dieses Fenster offen ist."),
                             Msg::Exclamation, kAppTitle);
    }
    zielZeichnen();
}

void frmFortschritt::punktGezeigt(const QPointF& p, bool drauf) {
    if (!drauf) {
        QToolTip::hideText();
        return;
    }
    const QDate tag = QDateTime::fromMSecsSinceEpoch(qint64(std::llround(p.x())), Qt::UTC).date();
    const auto it = std::lower_bound(tage_.cbegin(), tage_.cend(), tag,
                                     [](const Tageswert& t, const QDate& d) { return t.tag < d; });
    if (it == tage_.cend() || it->tag != tag) return;
    QToolTip::showText(QCursor::pos(),
                       QStringLiteral("%1\n%2 %3\n%4 Anschläge/Min.\n%5 % Fehler")
                           .arg(tagText(tag), QString::number(it->uebungen),
                                it->uebungen == 1 ? QStringLiteral("Übung") : QStringLiteral("Übungen"),
                                festkomma(it->anschlaege, 0), festkomma(it->fehlerProzent, 2)),
                       chtFortschritt);
}

void frmFortschritt::zeigen() {
    show();
    raise();
    activateWindow();
}

void frmFortschritt::cmdClose_Click() { app_.forms.unload<frmFortschritt>(); }
