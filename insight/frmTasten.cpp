#include "insight/frmTasten.h"
#include "platform/controls.h"
#include "platform/units.h"
#include "shell/app.h"
#include "stats/datenbank.h"
#include "trainer/keybutton.h"
#include "trainer/keytable.h"

#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPainter>
#include <QPushButton>

namespace {
// Diagonal lines over a key with too few presses: seen without telling colours apart.
class Schraffur : public QWidget {
public:
    explicit Schraffur(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        schraffieren(p, rect().adjusted(5, 4, -5, -7));
    }

public:
    static void schraffieren(QPainter& p, const QRect& r) {
        p.save();
        p.setClipRect(r);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(150, 150, 150), 1.2));
        for (int x = r.left() - r.height(); x < r.right(); x += 7)
            p.drawLine(QPointF(x, r.bottom() + 1), QPointF(x + r.height() + 1, r.top()));
        p.restore();
    }
};

QString prozent(double v, int stellen) { return QLocale(QLocale::German, QLocale::Germany).toString(v, 'f', stellen); }
}  // namespace

void Skalenleiste::setSkala(Faerbung f, const Skala& s) {
    faerbung_ = f;
    skala_ = s;
    const auto text = [f](double v) {
        return f == Faerbung::Fehlerquote ? prozent(v, 0) + QStringLiteral(" %")
                                          : prozent(std::round(v), 0) + QStringLiteral(" ms");
    };
    setAccessibleName(QStringLiteral("Farbskala von hellblau (%1) über gelb bis orange (%2); schraffiert grau: "
                                     "zu wenig Daten")
                          .arg(text(s.von), text(s.bis)));
    update();
}

void Skalenleiste::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect balken(0, 2, 300, 16);
    for (int x = 0; x < balken.width(); ++x) {
        p.setPen(skalenfarbe(double(x) / (balken.width() - 1)));
        p.drawLine(balken.left() + x, balken.top(), balken.left() + x, balken.bottom());
    }
    p.setPen(QColor(90, 90, 90));
    p.drawRect(balken.adjusted(0, 0, -1, -1));
    QFont f = font();
    f.setPixelSize(12);
    p.setFont(f);
    p.setPen(Qt::black);
    const bool fq = faerbung_ == Faerbung::Fehlerquote;
    const int teile = 4;
    for (int i = 0; i <= teile; ++i) {
        const double v = skala_.von + (skala_.bis - skala_.von) * i / teile;
        QString t = fq ? prozent(v, v == std::round(v) ? 0 : 1) + QStringLiteral(" %")
                       : prozent(std::round(v), 0) + QStringLiteral(" ms");
        if (i == teile && fq) t.prepend(QStringLiteral("≥ "));
        const int x = balken.left() + balken.width() * i / teile;
        const QRect r(x - 40, balken.bottom() + 3, 80, 16);
        p.drawText(i == 0 ? r.translated(40, 0) : i == teile ? r.translated(-40, 0) : r,
                   (i == 0 ? Qt::AlignLeft : i == teile ? Qt::AlignRight : Qt::AlignHCenter) | Qt::AlignTop, t);
    }
    p.drawText(QRect(balken.left(), balken.bottom() + 20, 300, 16), Qt::AlignLeft | Qt::AlignTop,
               fq ? QStringLiteral("gut – Fehler je Anschlag – schwach") : QStringLiteral("schnell – Zeit je Anschlag – langsam"));
    const QRect muster(330, 2, 40, 16);
    p.fillRect(muster, kFarbeZuWenig);
    Schraffur::schraffieren(p, muster);
    p.setPen(QColor(90, 90, 90));
    p.drawRect(muster.adjusted(0, 0, -1, -1));
    p.setPen(Qt::black);
    p.drawText(QRect(378, 2, 300, 16), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("zu wenig Daten (unter %1 Anschlägen)").arg(kMindestAnschlaege));
}

frmTasten::frmTasten(App& app) : QWidget(nullptr), app_(app) {
    setObjectName(QStringLiteral("frmTasten"));
    setWindowTitle(QStringLiteral("Meine Tasten"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(929, 640);

    Label1 = place<QLabel>(this, "Label1", 12, 12, 70, 22);
    Label1->setText(QStringLiteral("Zeitraum:"));
    cboZeitraum = place<QComboBox>(this, "cboZeitraum", 84, 10, 180, 26);
    cboZeitraum->addItems({QStringLiteral("Letzte Übung"), QStringLiteral("Letzte 7 Tage"),
                           QStringLiteral("Letzte 30 Tage"), QStringLiteral("Alle Übungen")});
    cboZeitraum->setCurrentIndex(3);
    Label1->setBuddy(cboZeitraum);
    Label2 = place<QLabel>(this, "Label2", 290, 12, 70, 22);
    Label2->setText(QStringLiteral("Färbung:"));
    cboFaerbung = place<QComboBox>(this, "cboFaerbung", 360, 10, 200, 26);
    cboFaerbung->addItems({QStringLiteral("nach Fehlerquote"), QStringLiteral("nach Zeit je Anschlag")});
    Label2->setBuddy(cboFaerbung);
    Label5 = place<QLabel>(this, "Label5", 566, 12, 354, 22);

    Frame1 = place<QFrame>(this, "Frame1", 8, 42, 913, 345);
    Frame1->setAutoFillBackground(true);
    QPalette pal = Frame1->palette();
    pal.setColor(QPalette::Window, colorFromBgr(kTastenfarbe));
    Frame1->setPalette(pal);
    for (const Taste& t : kTasten) {
        auto* k = new KeyButton(t, Frame1);
        Command1[t.index] = k;
        schraffur_[t.index] = new Schraffur(k);
        schraffur_[t.index]->setGeometry(k->rect());
        schraffur_[t.index]->hide();
    }

    Skala1 = place<Skalenleiste>(this, "Skala1", 16, 394, 700, 56);

    Label3 = place<QLabel>(this, "Label3", 12, 452, 440, 20);
    Label3->setText(QStringLiteral("Schwächste Tasten"));
    lstTasten = place<QListWidget>(this, "lstTasten", 12, 474, 446, 120);
    Label3->setBuddy(lstTasten);
    Label4 = place<QLabel>(this, "Label4", 472, 452, 440, 20);
    Label4->setText(QStringLiteral("Schwächste Paare"));
    lstPaare = place<QListWidget>(this, "lstPaare", 472, 474, 446, 120);
    Label4->setBuddy(lstPaare);
    QFont fett = Label3->font();
    fett.setBold(true);
    Label3->setFont(fett);
    Label4->setFont(fett);

    cmdClose = place<QPushButton>(this, "cmdClose", 818, 604, 100, 28);
    cmdClose->setText(QStringLiteral("Schließen"));
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(cboZeitraum, &QComboBox::currentIndexChanged, this, [this] { aktualisieren(); });
    connect(cboFaerbung, &QComboBox::currentIndexChanged, this, [this] { faerben(); });
    aktualisieren();
}

frmTasten::~frmTasten() = default;

Zeitraum frmTasten::zeitraum() const { return Zeitraum(cboZeitraum->currentIndex()); }

Faerbung frmTasten::faerbung() const { return Faerbung(cboFaerbung->currentIndex()); }

void frmTasten::zeigen() {
    // Just loaded, it has read the records already.
    if (!frisch_) aktualisieren();
    frisch_ = false;
    show();
    raise();
    activateWindow();
}

void frmTasten::aktualisieren() {
    werte_ = {};
    Label5->clear();
    Verbindung v;
    if (!v.oeffnen(verbindungstext(Verbindungstext::kJet, app_.databaseDir(), Verbindungstext::kVelkora))) {
        Label5->setText(QStringLiteral("Die Datenbank kann nicht gelesen werden."));
        Label5->setToolTip(datenbankMeldung(v.datei(), v.fehler()));
    } else {
        QString fehler;
        if (auto w = zeichenwerteLesen(v.db(), zeitraum(), QDate::currentDate(), &fehler)) {
            werte_ = std::move(*w);
            if (werte_.zeichen.isEmpty()) Label5->setText(QStringLiteral("Für diesen Zeitraum sind keine Tastenwerte gespeichert."));
        } else {
            Label5->setText(QStringLiteral("Die Tastenwerte können nicht gelesen werden."));
            Label5->setToolTip(datenbankMeldung(v.datei(), fehler));
        }
    }
    summen_ = tastenSummen(werte_.zeichen);
    faerben();
}

void frmTasten::faerben() {
    const Faerbung f = faerbung();
    const Skala s = skalaFuer(f, summen_);
    for (const Taste& t : kTasten) {
        KeyButton* k = Command1[t.index];
        const Tastenwert& w = summen_[t.index];
        // Keys no character of a text is typed with keep their plain colour and name.
        if (!tasteFuerZeichen(t.index)) {
            k->setColor(colorFromBgr(kTastenfarbe));
            schraffur_[t.index]->hide();
            continue;
        }
        const bool zuWenig = !kennwert(w, f);
        k->setColor(tastenFarbe(w, f, s));
        schraffur_[t.index]->setVisible(zuWenig);
        const QString text = tastenName(t) + QStringLiteral(": ") + kennzahlText(w);
        k->setAccessibleName(text);
        k->setToolTip(text + QStringLiteral(" (%1 Anschläge)").arg(QLocale(QLocale::German).toString(w.anschlaege())));
    }
    Skala1->setSkala(f, s);
    auto fuellen = [](QListWidget* l, const QList<Schwaeche>& s) {
        l->clear();
        for (const Schwaeche& x : s)
            l->addItem(QStringLiteral("%1: %2 (%3 Anschläge)")
                           .arg(x.name, kennzahlText(x.wert), QLocale(QLocale::German).toString(x.wert.anschlaege())));
        if (s.isEmpty()) l->addItem(QStringLiteral("zu wenig Daten"));
    };
    fuellen(lstTasten, schwaechsteTasten(summen_, f));
    fuellen(lstPaare, schwaechstePaare(werte_.paare, f));
}
