// The selection window's "Schwächen üben": an exercise made from the keys
// and letter pairs the learner misses or hesitates on, and on the lesson
// tab the lessons passed with the one to take next.
#include "insight/tastenwerte.h"
#include "lessons/frmLek.h"
#include "platform/controls.h"
#include "platform/richtextview.h"
#include "platform/services.h"
#include "platform/textcodec.h"
#include "practice/generator.h"
#include "practice/lernstand.h"
#include "shell/app.h"
#include "trainer/frmSchreiben.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
const QColor kVorschaurot(255, 0, 0);

QString tastenListe(const Tastenauswahl& a) {
    QList<char16_t> l(a.zeichen.cbegin(), a.zeichen.cend());
    std::sort(l.begin(), l.end());
    QString t;
    for (char16_t c : l) {
        if (!t.isEmpty()) t += QLatin1Char(' ');
        t += QChar(c);
    }
    if (a.grossbuchstaben) t += QStringLiteral(" und Großbuchstaben");
    return t;
}
}  // namespace

const QString& frmLek::wortschatzLesen() {
    if (!wortschatz_) {
        wortschatz_ = std::make_shared<Wortschatz>();
        wortschatzFehler_.clear();
        if (!wortschatzLaden(app_.datei(QStringLiteral("\\woerter.txt")), app_.datei(QStringLiteral("\\phrasen.txt")),
                             *wortschatz_))
            wortschatzFehler_ = QStringLiteral("Die Wortliste \"woerter.txt\" kann nicht gelesen werden.");
    }
    return wortschatzFehler_;
}

void frmLek::schwaechenTabBauen() {
    auto* tab = new QWidget(SSTab1);
    auto* kopf = new QLabel(QStringLiteral("Eine Übung aus den Tasten und Buchstabenpaaren, die Ihnen am "
                                           "schwersten fallen, mit echten Wörtern."),
                            tab);
    kopf->setObjectName(QStringLiteral("lblSchwaechenKopf"));
    kopf->setWordWrap(true);
    lblGeuebt = new QLabel(tab);
    lblGeuebt->setObjectName(QStringLiteral("lblGeuebt"));
    QFont fett = lblGeuebt->font();
    fett.setBold(true);
    lblGeuebt->setFont(fett);
    lblTasten = new QLabel(tab);
    lblTasten->setObjectName(QStringLiteral("lblTasten"));
    lblTasten->setWordWrap(true);
    chkAlleTasten = new QCheckBox(QStringLiteral("&Alle Tasten, nicht nur die der bestandenen Lektionen"), tab);
    chkAlleTasten->setObjectName(QStringLiteral("chkAlleTasten"));
    cmdSchwaechen = new QPushButton(QStringLiteral("OK"), tab);
    cmdSchwaechen->setObjectName(QStringLiteral("cmdSchwaechen"));
    cmdSchwaechen->setAutoDefault(false);
    cmdSchwaechen->setMinimumWidth(90);
    cmdSchwaechenAbbrechen = new QPushButton(QStringLiteral("Abbrechen"), tab);
    cmdSchwaechenAbbrechen->setObjectName(QStringLiteral("cmdSchwaechenAbbrechen"));
    cmdSchwaechenAbbrechen->setAutoDefault(false);
    cmdSchwaechenAbbrechen->setMinimumWidth(90);

    auto* v = new QVBoxLayout(tab);
    for (QLabel* l : {kopf, lblGeuebt, lblTasten}) akzentRaumGeben(l);
    v->addWidget(kopf);
    v->addSpacing(6);
    v->addWidget(lblGeuebt);
    v->addWidget(lblTasten);
    v->addWidget(chkAlleTasten);
    v->addStretch(1);
    auto* zeile = new QHBoxLayout;
    zeile->addStretch(1);
    zeile->addWidget(cmdSchwaechen);
    zeile->addWidget(cmdSchwaechenAbbrechen);
    v->addLayout(zeile);
    tabSchwaechen = SSTab1->addTab(tab, QStringLiteral("Schwächen üben"));
}

void frmLek::schwaechenVorbereiten() {
    frmSchreiben& s = app_.forms.get<frmSchreiben>();
    s.hintergrundfarbe();
    QString fehler;
    const std::optional<Lernstand> l = lernstandLesen(app_.databaseDir(), &fehler);
    if (const QString& f = wortschatzLesen(); !f.isEmpty()) {
        lblGeuebt->setText(f);
        lblTasten->clear();
        return;
    }
    const QList<int> bestanden = l ? l->bestanden : QList<int>();
    const Tastenauswahl erlaubt = chkAlleTasten->isChecked() ? alleLektionsTasten() : erlaubteTasten(bestanden);
    if (chkAlleTasten->isChecked()) lblTasten->setText(QStringLiteral("Tasten: alle (%1)").arg(tastenListe(erlaubt)));
    else if (bestanden.isEmpty()) lblTasten->setText(QStringLiteral("Noch keine Lektion bestanden."));
    else
        lblTasten->setText(QStringLiteral("Tasten der bestandenen Lektionen %1: %2")
                               .arg(lektionsBereiche(bestanden), tastenListe(erlaubt)));
    if (!l) {
        lblGeuebt->setText(QStringLiteral("Die Tastenwerte können nicht gelesen werden."));
        lblGeuebt->setToolTip(fehler);
        return;
    }
    lblGeuebt->setToolTip(QString());
    if (vorrat(*wortschatz_, erlaubt).woerter.size() < kMindestWoerter) {
        lblGeuebt->setText(QStringLiteral("Mit diesen Tasten gibt es noch zu wenige Wörter."));
        return;
    }
    const Einschaetzung e = einschaetzen(l->uebungen, erlaubt, *wortschatz_);
    lblGeuebt->setText(geuebtZeile(e));
    // The keys to be trained glow as a lesson's new keys do in its preview.
    for (const QString& t : e.tasten)
        if (const Tastenort o = tastenort(t[0]); o.taste >= 0) s.setTastenfarbe(o.taste, kVorschaurot);
}

bool frmLek::starteSchwaechen() {
    if (const QString& f = wortschatzLesen(); !f.isEmpty()) {
        app_.services.msgBox(this, f, Msg::Exclamation);
        return false;
    }
    QString fehler;
    const std::optional<Lernstand> l = lernstandLesen(app_.databaseDir(), &fehler);
    const QList<int> bestanden = l ? l->bestanden : QList<int>();
    const Tastenauswahl erlaubt = chkAlleTasten->isChecked() ? alleLektionsTasten() : erlaubteTasten(bestanden);
    const Schwaechenuebung u = schwaechenuebung(*wortschatz_, l ? l->uebungen : QList<Zeichenwerte>(), erlaubt, kZielZeichen,
                                                l ? saatFuer(*l) : 0);
    if (u.zuWenigWoerter) {
        app_.services.msgBox(this,
                             QStringLiteral("Mit den Tasten der bestandenen Lektionen lassen sich noch zu wenige "
                                            "Wörter bilden. Üben Sie zuerst weitere Lektionen oder wählen Sie "
                                            "„Alle Tasten“."),
                             Msg::Exclamation);
        return false;
    }
    frmSchreiben& s = app_.forms.get<frmSchreiben>();
    // The text as an exercise file would hold it.
    s.rtb1->setText(decodeCp1252(u.datei));
    hide();
    setzeTitel(QStringLiteral("Velkora 1.0          Schwächen üben"));
    app_.ex.lektionsnr = kNrSchwaechen;
    s.hintergrundfarbe();
    todolektionen();
    return true;
}

void frmLek::zeigenSchwaechen() {
    zeigen();
    SSTab1->setCurrentIndex(tabSchwaechen);
    cmdSchwaechen->setFocus();
}

void frmLek::bestandenZeigen() {
    const std::optional<Lernstand> l = lernstandLesen(app_.databaseDir());
    const QList<int> bestanden = l ? l->bestanden : QList<int>();
    vorschlag_ = naechsteLektion(bestanden);
    QString t;
    if (bestanden.isEmpty()) t = QStringLiteral("Noch keine Lektion bestanden.");
    else if (vorschlag_ == 0) t = QStringLiteral("Alle Lektionen bestanden.");
    else t = QStringLiteral("Bestanden: Lektion %1.").arg(lektionsBereiche(bestanden));
    t += vorschlag_ ? QStringLiteral(" Vorschlag: Lektion %1").arg(vorschlag_)
                    : QStringLiteral(" Vorschlag: „Schwächen üben“");
    lblBestanden->setText(t);
}

void frmLek::cmdVorschlag_Click() {
    if (vorschlag_ == 0) {
        SSTab1->setCurrentIndex(tabSchwaechen);
        return;
    }
    Slider1->setValue(vorschlag_);
    Slider1->setFocus();
}
