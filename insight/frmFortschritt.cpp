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
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedLayout>
#include <QTableWidget>
#include <QToolTip>
#include <QValueAxis>
#include <QCursor>
#include <algorithm>
#include <cmath>

namespace {
// Told apart also by learners with red-green colour blindness: blue and
// orange, the goal in black and dashed.
const QColor kAnschlaegeFarbe(0, 114, 178);
const QColor kFehlerFarbe(213, 94, 0);
constexpr qint64 kTagMs = 24LL * 3600 * 1000;
// Points are marked on short histories and on lone days, which have no line.
constexpr int kPunkteBis = 60;

qint64 tagX(const QDate& tag) { return QDateTime(tag, QTime(12, 0)).toMSecsSinceEpoch(); }

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
}  // namespace

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
    chtFortschritt = new QChartView(new QChart, this);
    chtFortschritt->setObjectName(QStringLiteral("chtFortschritt"));
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

    lstTage = new QTableWidget(0, 4, this);
    lstTage->setObjectName(QStringLiteral("lstTage"));
    lstTage->setAccessibleName(QStringLiteral("Übungstage"));
    lstTage->setHorizontalHeaderLabels({QStringLiteral("Tag"), QStringLiteral("Übungen"),
                                        QStringLiteral("Anschl./Min."), QStringLiteral("Fehler %")});
    lstTage->verticalHeader()->hide();
    lstTage->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstTage->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstTage->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    lstTage->horizontalHeader()->setStretchLastSection(true);
    lstTage->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lstTage->setMinimumWidth(350);

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
    zeichnen();
    tabelleFuellen();
    if (!gelesen)
        app_.services.msgBox(this, datenbankMeldung(verbindung_.datei(), fehler), Msg::Exclamation, kAppTitle);
}

QList<QLineSeries*> frmFortschritt::tagesSerien() const {
    QList<QLineSeries*> out;
    for (QAbstractSeries* s : chtFortschritt->chart()->series())
        if (s != ziel_) out << static_cast<QLineSeries*>(s);
    return out;
}

void frmFortschritt::zeichnen() {
    QChart* c = chtFortschritt->chart();
    chtFortschritt->setUpdatesEnabled(false);
    c->removeAllSeries();
    ziel_ = nullptr;
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
    const qint64 spanne = erster.daysTo(letzter);
    achseTage_->setTickCount(int(std::clamp<qint64>(spanne + 1, 2, 7)));
    const qint64 rand = spanne < 2 ? kTagMs : kTagMs / 2;
    achseTage_->setRange(QDateTime::fromMSecsSinceEpoch(tagX(erster) - rand),
                         QDateTime::fromMSecsSinceEpoch(tagX(letzter) + rand));
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

    const bool punkte = tage_.size() <= kPunkteBis;
    bool erste = true;
    for (const QList<Tageswert>& lauf : tagesLaeufe(tage_)) {
        auto* anschlaege = new QLineSeries;
        auto* fehler = new QLineSeries;
        anschlaege->setName(QStringLiteral("Anschläge/Min."));
        fehler->setName(QStringLiteral("Fehler in %"));
        QList<QPointF> a, f;
        a.reserve(lauf.size());
        f.reserve(lauf.size());
        for (const Tageswert& t : lauf) {
            const double x = double(tagX(t.tag));
            a << QPointF(x, t.anschlaege);
            f << QPointF(x, t.fehlerProzent);
        }
        anschlaege->replace(a);
        fehler->replace(f);
        anschlaege->setPen(QPen(kAnschlaegeFarbe, 2.5));
        fehler->setPen(QPen(kFehlerFarbe, 2, Qt::DashLine));
        for (QLineSeries* s : {anschlaege, fehler}) {
            s->setMarkerSize(6);
            s->setPointsVisible(punkte || lauf.size() == 1);
            c->addSeries(s);
            s->attachAxis(achseTage_);
            connect(s, &QLineSeries::hovered, this, &frmFortschritt::punktGezeigt);
        }
        anschlaege->attachAxis(achseAnschlaege_);
        fehler->attachAxis(achseFehler_);
        // One entry in the legend per value, however many runs there are.
        if (!erste)
            for (QLineSeries* s : {anschlaege, fehler})
                for (QLegendMarker* m : c->legend()->markers(s)) m->setVisible(false);
        erste = false;
    }
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

void frmFortschritt::tabelleFuellen() {
    lstTage->setUpdatesEnabled(false);
    lstTage->clearContents();
    lstTage->setRowCount(int(tage_.size()));
    // Newest day first: the one a learner looks for.
    for (int i = 0; i < tage_.size(); ++i) {
        const Tageswert& t = tage_[tage_.size() - 1 - i];
        const QString zellen[] = {QLocale().toString(t.tag, QStringLiteral("dd.MM.yyyy")), QString::number(t.uebungen),
                                  festkomma(t.anschlaege, 0), festkomma(t.fehlerProzent, 2)};
        for (int s = 0; s < 4; ++s) {
            auto* z = new QTableWidgetItem(zellen[s]);
            if (s > 0) z->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            lstTage->setItem(i, s, z);
        }
    }
    lstTage->setUpdatesEnabled(true);
}

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
    const QDate tag = QDateTime::fromMSecsSinceEpoch(qint64(std::llround(p.x()))).date();
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
