// Starting an exercise: the catalogue entries of the "OK" buttons, the own
// texts, and the steps every start shares.
#include "lessons/frmLek.h"
#include "platform/richtextview.h"
#include "platform/units.h"
#include "shell/app.h"
#include "shell/frmVelkora.h"
#include "trainer/frmSchreiben.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

void frmLek::setzeTitel(const QString& titel) {
    if (auto* main = app_.forms.loaded<frmVelkora>()) main->setWindowTitle(titel);
}

bool frmLek::starteUebung(Gruppe gruppe, const QString& auswahl) {
    const Katalogeintrag* e = katalogeintrag(gruppe, auswahl);
    if (!e) return false;
    frmSchreiben& s = app_.forms.get<frmSchreiben>();
    // The text comes first: a file that cannot be loaded, or holds no text,
    // is reported and leaves this window open and the exercise, its number
    // and title as they are.
    if (!s.ladeText(app_.datei(e->dateiName()), true, false, true)) return false;
    hide();
    setzeTitel(e->titelText());
    for (int t : e->markierteTasten()) s.setTastenfarbe(t, colorFromBgr(kTastenfarbe));
    app_.ex.lektionsnr = e->nummer;
    if (gruppe == Gruppe::Uebungstexte) s.hintergrundfarbe();
    todolektionen();
    return true;
}

bool frmLek::LadeDatei(const QString& pfad) {
    frmSchreiben& s = app_.forms.get<frmSchreiben>();
    const QString name = QFileInfo(pfad).fileName();
    // UTF-8 and UTF-16 are accepted besides Windows-1252 and RTF: own texts
    // come from any editor. A text of nothing but blanks is refused.
    if (!s.ladeText(pfad, true, true, true)) return false;
    eigeneDatei = name;
    Text9->setText(eigeneDatei);
    hide();
    setzeTitel(titelEigenerText(eigeneDatei));
    app_.ex.lektionsnr = kNrEigenerText;
    s.hintergrundfarbe();
    todolektionen();
    return true;
}

void frmLek::todolektionen() {
    Uebung& ex = app_.ex;
    frmSchreiben& s = app_.forms.get<frmSchreiben>();
    s.tastenLoslassen();
    s.rtb1->setLocked(false);
    s.Text1->setReadOnly(false);
    s.zaehlen();
    felder();
    ex.zaehler = 0;
    ex.fehler = 0;
    // Everything the stopwatch and the figure measured belongs to the last
    // exercise: an exercise finished before the first tick must not store
    // the time and speed of the one before, and the figure starts again at
    // the left.
    ex.sekunden = 0;
    ex.laufzeit = 0;
    ex.anschlaegeGanz = 0;
    ex.anschlaegeProMinute = 0;
    ergeb = 0;
    ex.animSchritt = 0;
    AnimEntfernen(s.animFigur);
    Stoppuhr();
    FingerHand();
    // The exercise is typed where the learner sees it, also when the
    // overview or another window covered the writing window.
    s.nachVorn();
}

void frmLek::felder() {
    frmSchreiben& s = app_.forms.get<frmSchreiben>();
    s.Text1->setEnabled(true);
    s.Text1->setReadOnly(false);
    s.Text1->setFocus();
    s.strt();
    s.Text1->clear();
    s.Text2->show();
    s.Text3->clear();
    s.Text4->clear();
    s.Text5->clear();
    s.Label4->clear();
    // The error rate shown belongs to the last exercise.
    s.Label8->clear();
    s.Label3->show();
    s.Frame3->show();
    s.Label1->show();
    s.Label2->show();
    s.Label2->clear();
    s.Label9->show();
    s.Label10->show();
    s.Label10->clear();
}

void frmLek::FingerHand() { app_.ex.finger = Fingerfehler{}; }
