#include "lessons/frmLek.h"
#include "platform/numbers.h"
#include "shell/app.h"
#include "trainer/frmSchreiben.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

frmLek::frmLek(App& app) : QWidget(nullptr), app_(app) {
    setObjectName(QStringLiteral("frmLek"));
    setWindowTitle(QStringLiteral("Lektionen"));
    setAttribute(Qt::WA_DeleteOnClose);
    Timer3 = new QTimer(this);
    Timer3->setObjectName(QStringLiteral("Timer3"));
    Timer3->setInterval(1000);
    connect(Timer3, &QTimer::timeout, this, &frmLek::Timer3_Timer);
    Form_Load();
}

frmLek::~frmLek() = default;

void frmLek::Form_Load() {
    Timer3->start();  // the stopwatch runs from the moment the window is loaded
}

void frmLek::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    if (auto* s = app_.forms.loaded<frmSchreiben>()) s->hintergrundfarbe();
    Timer3->stop();
}

void frmLek::closeEvent(QCloseEvent* e) {
    Form_Unload();
    e->accept();
}

void frmLek::Stoppuhr() {
    Timer3->start();
    frmSchreiben& s = app_.forms.get<frmSchreiben>();
    if (s.Command5->isEnabled()) {
        s.Command5->setEnabled(false);
        s.Command6->setEnabled(true);
    }
}

void frmLek::Timer3_Timer() {
    Uebung& ex = app_.ex;
    frmSchreiben& s = app_.forms.get<frmSchreiben>();
    ex.sekunden += 1;
    s.Text3->setText(zahlText(ex.sekunden) + QStringLiteral(" sec"));
    s.Label12->setText(zahlText(ex.sekunden));
    ex.laufzeit = ex.sekunden;
    rechne();
}

double frmLek::rechne() {
    Uebung& ex = app_.ex;
    frmSchreiben& s = app_.forms.get<frmSchreiben>();
    ergeb = ex.laufzeit / 60;
    const QString minuten = zahlText(rundeGerade(ergeb, 1));
    s.Label10->setText(minuten + QStringLiteral(" min"));
    s.Text4->setText(minuten);
    // Counts beyond the 16-bit range are held at its ends, never overflow.
    ex.anschlaegeGanz = toInt16Clamped(ex.zaehler);
    if (ergeb > 0) ex.anschlaegeProMinute = toInt16Clamped(ex.anschlaegeGanz / ergeb);
    return ergeb;
}
