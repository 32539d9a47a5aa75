#include "stats/datenblatt.h"
#include "platform/symbol.h"
#include "platform/keymap.h"
#include "platform/numbers.h"
#include "platform/units.h"
#include "shell/app.h"
#include "shell/fenster.h"

#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <array>
#include <cmath>

namespace {
const QColor kHellblau = colorFromBgr(kTastenfarbe);  // 192, 192, 255
const QColor kHellgrau(224, 224, 224);
const QColor kHellgelb(255, 255, 192);
const QColor kHellgruen(192, 255, 192);
const QColor kHellrosa(255, 192, 255);

// The pictures of the navigation buttons: bars and triangles.
QIcon pfeil(bool rueckwaerts, bool bisZumEnde) {
    return gezeichnetesSymbol(QSize(16, 16), [=](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 96));
        QPolygonF dreieck;
        if (rueckwaerts) dreieck << QPointF(12, 3) << QPointF(12, 13) << QPointF(5, 8);
        else dreieck << QPointF(4, 3) << QPointF(4, 13) << QPointF(11, 8);
        p.drawPolygon(dreieck);
        if (bisZumEnde) p.drawRect(rueckwaerts ? QRectF(2, 3, 2, 10) : QRectF(12, 3, 2, 10));
    });
}

// The palms behind the finger boxes of the finger browser.
class Handflaechen : public QWidget {
public:
    explicit Handflaechen(QWidget* parent) : QWidget(parent) {}
    std::vector<QRect> flaechen;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(128, 128, 176), 1));
        p.setBrush(kHellblau.lighter(108));
        for (const QRect& r : flaechen) p.drawRoundedRect(r, 14, 14);
    }
};

// Finger lengths in pixels; the hands mirror each other.
struct Finger {
    int feld;   // index in the field table
    int laenge;
};
}  // namespace

QString festkomma(double v, int stellen) {
    v = rundeGerade(v, stellen);
    if (v == 0) v = 0;  // no "-0"
    QString s = QString::number(v, 'f', stellen);
    const QString punkt = QLocale().decimalPoint();
    if (punkt != QLatin1String(".")) s.replace(QLatin1Char('.'), punkt);
    return s;
}

QString feldText(const QVariant& wert, Feldformat format) {
    if (!wert.isValid() || wert.isNull()) return QString();
    switch (format) {
    case Feldformat::Datum: {
        const QDate d = QDate::fromString(wert.toString(), Qt::ISODate);
        return d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : wert.toString();
    }
    case Feldformat::Zeit: return wert.toString();
    case Feldformat::Ganz:
    case Feldformat::Zwei: {
        bool ok = false;
        const double v = wert.toDouble(&ok);
        if (!ok || !std::isfinite(v)) return wert.toString();
        return festkomma(v, format == Feldformat::Ganz ? 0 : 2);
    }
    }
    return wert.toString();
}

Blaettern tastenAktion(int keyCode, int shift) {
    const bool nurStrg = shift == 2;
    switch (keyCode) {
    case 27: return Blaettern::Schliessen;
    case 35: return Blaettern::Letzter;
    case 36: return Blaettern::Erster;
    case 33:
    case 38: return nurStrg ? Blaettern::Erster : Blaettern::Vorheriger;
    case 34:
    case 40: return nurStrg ? Blaettern::Letzter : Blaettern::Naechster;
    default: return Blaettern::Keine;
    }
}

// ---- the window ----

Datenblatt::Datenblatt(App& app, const Datenblattart& art)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint), app_(app), art_(art) {
    setObjectName(QString::fromLatin1(art.objektname));
    setWindowTitle(QString::fromUtf8(art.titel));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* haupt = new QVBoxLayout(this);
    haupt->setContentsMargins(0, 0, 0, 0);
    haupt->setSpacing(0);
    auto* bereich = new QWidget(this);
    bereich->setObjectName(QStringLiteral("Felder"));
    haupt->addWidget(bereich, 1);
    if (art.haende) buildHaende(bereich);
    else buildFelder(bereich);
    buildLeiste();
    haupt->addWidget(picStatBox);
    haupt->addWidget(picButtons);

    // The window sees every key before its controls do.
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);

    adoPrimaryRS.MoveComplete = [this] { adoPrimaryRS_MoveComplete(); };
    Form_Load();
}

Datenblatt::~Datenblatt() {
    adoPrimaryRS.MoveComplete = nullptr;
    adoPrimaryRS.schliessen();  // before the connection it reads from
}

std::pair<QLabel*, QLineEdit*> Datenblatt::feldPaar(size_t i, QWidget* bereich) {
    auto* l = new QLabel(QString::fromUtf8(art_.felder[i].beschriftung), bereich);
    l->setObjectName(QStringLiteral("lblLabels_%1").arg(i));
    auto* t = new QLineEdit(bereich);
    t->setObjectName(QStringLiteral("txtFields_%1").arg(i));
    t->setReadOnly(true);
    lblLabels.push_back(l);
    txtFields.push_back(t);
    return {l, t};
}

void Datenblatt::buildFelder(QWidget* bereich) {
    auto* g = new QGridLayout(bereich);
    g->setContentsMargins(12, 12, 12, 12);
    g->setHorizontalSpacing(10);
    g->setVerticalSpacing(6);
    int zeile = 0;
    for (size_t i = 0; i < art_.felder.size(); ++i) {
        const Datenfeld& f = art_.felder[i];
        auto [l, t] = feldPaar(i, bereich);
        t->setMinimumWidth(200);
        if (f.format != Feldformat::Datum && f.format != Feldformat::Zeit)
            t->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (f.versteckt) {
            l->hide();
            t->hide();
            continue;
        }
        g->addWidget(l, zeile, 0);
        g->addWidget(t, zeile, 1);
        ++zeile;
    }
    g->setRowStretch(zeile, 1);
    g->setColumnStretch(1, 1);
    resize(420, 0);
}

void Datenblatt::buildHaende(QWidget* bereich) {
    auto* palmen = new Handflaechen(bereich);
    palmen->setObjectName(QStringLiteral("Handflaechen"));
    QFont klein = font();
    klein.setPointSizeF(8.25);
    QFont gross = font();
    gross.setPointSize(12);
    QFont grossFett = gross;
    grossFett.setBold(true);

    for (size_t i = 0; i < art_.felder.size(); ++i) {
        const Datenfeld& f = art_.felder[i];
        auto [l, t] = feldPaar(i, bereich);
        t->setAlignment(Qt::AlignCenter);
        if (f.hintergrund.isValid()) {
            QPalette pal = t->palette();
            pal.setColor(QPalette::Base, f.hintergrund);
            pal.setColor(QPalette::Text, Qt::black);
            t->setPalette(pal);
        }
    }

    // Left hand above right hand, fingers reaching right from the palm: the
    // little finger at the outside of each hand, the thumbs next to each
    // other in the middle. The sums stand above and below.
    constexpr int kLabelX = 14, kLabelB = 150, kPalmX = 166, kPalmB = 58, kFingerX = kPalmX + kPalmB - 8;
    constexpr int kZeile = 27, kHoehe = 21;
    const std::array<Finger, 5> links = {{{1, 96}, {2, 122}, {3, 136}, {4, 118}, {5, 70}}};
    const std::array<Finger, 5> rechts = {{{6, 70}, {7, 118}, {8, 136}, {9, 122}, {10, 96}}};

    auto summe = [&](int feld, int y) {
        lblLabels[feld]->setFont(gross);
        txtFields[feld]->setFont(grossFett);
        lblLabels[feld]->setGeometry(kLabelX, y, kFingerX - kLabelX - 8, 30);
        txtFields[feld]->setGeometry(kFingerX, y, 96, 30);
    };
    auto hand = [&](const std::array<Finger, 5>& finger, int y0) {
        for (int k = 0; k < 5; ++k) {
            const int y = y0 + k * kZeile;
            lblLabels[finger[k].feld]->setFont(klein);
            txtFields[finger[k].feld]->setFont(klein);
            lblLabels[finger[k].feld]->setGeometry(kLabelX, y, kLabelB, kHoehe);
            txtFields[finger[k].feld]->setGeometry(kFingerX, y, finger[k].laenge, kHoehe);
        }
        palmen->flaechen.push_back(QRect(kPalmX, y0 - 6, kPalmB, 4 * kZeile + kHoehe + 12));
    };
    summe(0, 12);
    hand(links, 56);
    hand(rechts, 56 + 5 * kZeile + 22);
    summe(11, 56 + 10 * kZeile + 44);

    const int hoehe = 56 + 10 * kZeile + 44 + 28 + 14;
    const int breite = kFingerX + 136 + 24;
    palmen->setGeometry(0, 0, breite, hoehe);
    palmen->lower();
    bereich->setMinimumSize(breite, hoehe);
    resize(breite, 0);
}

void Datenblatt::buildLeiste() {
    picStatBox = new QWidget(this);
    picStatBox->setObjectName(QStringLiteral("picStatBox"));
    auto* s = new QHBoxLayout(picStatBox);
    s->setContentsMargins(4, 2, 4, 2);
    auto knopf = [&](const char* name, bool rueck, bool ende, const char* tip) {
        auto* b = new QToolButton(picStatBox);
        b->setObjectName(QString::fromLatin1(name));
        b->setIcon(pfeil(rueck, ende));
        b->setToolTip(QString::fromUtf8(tip));
        b->setAutoRaise(false);
        b->setFixedSize(30, 24);
        b->setFocusPolicy(Qt::TabFocus);  // reached by Tab; a click leaves the focus where it is
        b->setStyleSheet(QStringLiteral("QToolButton { background: rgb(192,192,255); border: 1px solid "
                                        "rgb(120,120,170); } QToolButton:pressed { background: rgb(160,160,230); }"));
        return b;
    };
    cmdFirst = knopf("cmdFirst", true, true, "Erster Datensatz");
    cmdPrevious = knopf("cmdPrevious", true, false, "Vorheriger Datensatz");
    cmdNext = knopf("cmdNext", false, false, "Nächster Datensatz");
    cmdLast = knopf("cmdLast", false, true, "Letzter Datensatz");
    lblStatus = new QLabel(picStatBox);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setAlignment(Qt::AlignCenter);
    lblStatus->setFrameShape(QFrame::StyledPanel);
    lblStatus->setFrameShadow(QFrame::Sunken);
    lblStatus->setText(QStringLiteral("Record: 0"));
    s->addWidget(cmdFirst);
    s->addWidget(cmdPrevious);
    s->addWidget(lblStatus, 1);
    s->addWidget(cmdNext);
    s->addWidget(cmdLast);
    connect(cmdFirst, &QToolButton::clicked, this, &Datenblatt::cmdFirst_Click);
    connect(cmdPrevious, &QToolButton::clicked, this, &Datenblatt::cmdPrevious_Click);
    connect(cmdNext, &QToolButton::clicked, this, &Datenblatt::cmdNext_Click);
    connect(cmdLast, &QToolButton::clicked, this, &Datenblatt::cmdLast_Click);

    picButtons = new QWidget(this);
    picButtons->setObjectName(QStringLiteral("picButtons"));
    auto* b = new QHBoxLayout(picButtons);
    b->setContentsMargins(4, 2, 4, 6);
    cmdClose = new QPushButton(QStringLiteral("S&chließen"), picButtons);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setAutoDefault(false);
    b->addStretch(1);
    b->addWidget(cmdClose);
    connect(cmdClose, &QPushButton::clicked, this, &Datenblatt::cmdClose_Click);
}

void Datenblatt::Form_Load() {
    unterHauptfenster(app_, this);
    // A database that cannot be read leaves the window empty; the reason is
    // shown when the window is shown (the recording, which loads it without
    // showing it, reports failures itself).
    ladeFehlerFrisch_ = !datenLaden();
}

bool Datenblatt::datenLaden() {
    ladeFehler_.clear();
    if (!verbindung_.oeffnen(verbindungstext(Verbindungstext::kJet, app_.databaseDir(),
                                             art_.verbindungSuffix))) {
        ladeFehler_ = verbindung_.fehler();
        adoPrimaryRS_MoveComplete();
        return false;
    }
    if (!adoPrimaryRS.oeffnen(verbindung_.db(), art_.anweisung)) {
        ladeFehler_ = adoPrimaryRS.fehler();
        adoPrimaryRS.schliessen();
        verbindung_.schliessen();
        adoPrimaryRS_MoveComplete();
        return false;
    }
    adoPrimaryRS_MoveComplete();  // the fields show the first row
    if (art_.startAufLetzter) cmdLast_Click();
    return true;
}

bool Datenblatt::datensaetzeBereit() {
    // A file replaced under the open connection (a backup restored) is
    // opened again, once; the old one would be read and written unseen.
    if (adoPrimaryRS.istOffen() && verbindung_.ersetzt()) {
        adoPrimaryRS.schliessen();
        verbindung_.schliessen();
        ladeFehlerFrisch_ = false;
    }
    if (adoPrimaryRS.istOffen()) return true;
    // A failure of the load a moment ago is not retried at once: a locked
    // file would be waited for twice in a row.
    if (ladeFehlerFrisch_) {
        ladeFehlerFrisch_ = false;
        return false;
    }
    return datenLaden();
}

void Datenblatt::zeilenGespeichert(const QList<Tabellenzeile>& zeilen) {
    const bool warOffen = adoPrimaryRS.istOffen() && !verbindung_.ersetzt();
    if (!warOffen) {
        // Read from the file, which already holds the new rows.
        ladeFehlerFrisch_ = false;
        if (!datensaetzeBereit()) return;
        if (!adoPrimaryRS.eof()) adoPrimaryRS.moveLast();
        return;
    }
    for (const Tabellenzeile& z : zeilen)
        if (z.tabelle.compare(art_.tabelle, Qt::CaseInsensitive) == 0)
            adoPrimaryRS.angefuegt(z.spalten, z.werte);
}

QString Datenblatt::datei() const {
    if (!verbindung_.datei().isEmpty()) return verbindung_.datei();
    return joinProgramPath(app_.databaseDir(), art_.verbindungSuffix.section(QLatin1Char(';'), 0, 0));
}

void Datenblatt::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!datensaetzeBereit())
        app_.services.msgBox(this, datenbankMeldung(datei(), ladeFehler_), Msg::Exclamation);
}

void Datenblatt::adoPrimaryRS_MoveComplete() {
    lblStatus->setText(QStringLiteral("Record: %1").arg(adoPrimaryRS.position()));
    for (size_t i = 0; i < txtFields.size(); ++i) {
        const Datenfeld& f = art_.felder[i];
        txtFields[i]->setText(feldText(adoPrimaryRS.wert(QString::fromLatin1(f.spalte)), f.format));
        txtFields[i]->setCursorPosition(0);
    }
}

bool Datenblatt::fehlerRegel(bool ok) {
    if (!ok) app_.services.msgBox(this, datenbankMeldung(datei(), adoPrimaryRS.fehler()), Msg::OkOnly);
    return ok;
}

void Datenblatt::cmdFirst_Click() {
    if (adoPrimaryRS.bof()) app_.services.beep();
    else fehlerRegel(adoPrimaryRS.moveFirst());
}

void Datenblatt::cmdLast_Click() {
    if (adoPrimaryRS.eof()) app_.services.beep();
    else fehlerRegel(adoPrimaryRS.moveLast());
}

void Datenblatt::cmdNext_Click() {
    if (!adoPrimaryRS.eof() && !fehlerRegel(adoPrimaryRS.moveNext())) return;
    if (adoPrimaryRS.eof() && adoPrimaryRS.anzahl() > 0) {
        app_.services.beep();
        fehlerRegel(adoPrimaryRS.moveLast());
    }
}

void Datenblatt::cmdPrevious_Click() {
    if (!adoPrimaryRS.bof() && !fehlerRegel(adoPrimaryRS.movePrevious())) return;
    if (adoPrimaryRS.bof() && adoPrimaryRS.anzahl() > 0) {
        app_.services.beep();
        fehlerRegel(adoPrimaryRS.moveFirst());
    }
}

void Datenblatt::cmdClose_Click() { app_.forms.unloadByName(objectName()); }

void Datenblatt::Form_KeyDown(int KeyCode, int Shift) {
    switch (tastenAktion(KeyCode, Shift)) {
    case Blaettern::Schliessen: cmdClose_Click(); break;
    case Blaettern::Erster: cmdFirst_Click(); break;
    case Blaettern::Letzter: cmdLast_Click(); break;
    case Blaettern::Vorheriger: cmdPrevious_Click(); break;
    case Blaettern::Naechster: cmdNext_Click(); break;
    case Blaettern::Keine: break;
    }
}

bool Datenblatt::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        const int vk = virtualKey(*k);
        if (tastenAktion(vk, shiftState(*k)) != Blaettern::Keine) {
            Form_KeyDown(vk, shiftState(*k));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- the two browsers ----

const Datenblattart& frmdaten::kArt() {
    static const Datenblattart art{
        "frmdaten",
        "Auswertung der einzelnen Übungen",
        Verbindungstext::kVelkora,
        Sql::kAuswertung,
        QStringLiteral("Auswertung"),
        {
            {"Datum", "Datum:", Feldformat::Datum},
            {"Zeit", "Zeit:", Feldformat::Zeit},
            {"IDLektion", "Schlüssel-Nr.:", Feldformat::Ganz},
            {"MaximalPunkte", "MaxZeichen:", Feldformat::Ganz},
            {"stoppzeit", "Dauer in Minuten:", Feldformat::Zwei},
            {"zaehler", "zaehler:", Feldformat::Ganz, QColor(), true},
            {"fehler", "Fehler:", Feldformat::Ganz},
            {"ergebnis", "Fehler in %:", Feldformat::Zwei},
            {"anschlaege", "Anschlaege /Min.:", Feldformat::Ganz},
        },
        false,
        false,
    };
    return art;
}

frmdaten::frmdaten(App& app) : Datenblatt(app, kArt()) {}

const Datenblattart& frmblockdat::kArt() {
    static const Datenblattart art{
        "frmblockdat",
        "Auswertung Fehler der Finger",
        Verbindungstext::kFinger,
        Sql::kFehlerliste,
        QStringLiteral("fehlerliste"),
        {
            {"LIHA", "Linke Hand Summe:", Feldformat::Ganz, kHellblau},
            {"lkleinerfinger", "LinksKleinerFinger:", Feldformat::Ganz, kHellgrau},
            {"lringfinger", "LinksRingFinger:", Feldformat::Ganz, kHellgelb},
            {"lmittelfinger", "LinksMittelFinger:", Feldformat::Ganz, kHellgruen},
            {"lzeigefinger", "LinksZeigeFinger:", Feldformat::Ganz, kHellrosa},
            {"ldaumenfinger", "LinksDaumem:", Feldformat::Ganz, kHellblau},
            {"rdaumenfinger", "RechtsDaumenr:", Feldformat::Ganz, kHellblau},
            {"rzeigefinger", "RechtsZeigeFinger:", Feldformat::Ganz, kHellrosa},
            {"rmittelfinger", "RechtsMittelFinger:", Feldformat::Ganz, kHellgruen},
            {"rringfinger", "RechtsRingFinger:", Feldformat::Ganz, kHellgelb},
            {"rkleinerfinger", "RechtsKleinerFinger:", Feldformat::Ganz, kHellgrau},
            {"REHA", "Rechte Hand Summe:", Feldformat::Ganz, kHellblau},
        },
        true,
        true,
    };
    return art;
}

frmblockdat::frmblockdat(App& app) : Datenblatt(app, kArt()) {}
