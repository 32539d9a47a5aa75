#pragma once
// Every window class the forms registry can open, in one place: the tests of
// accessibility and of screen scaling walk them all. A new window class is
// added to the list (and its header included) here.
#include "hilfe/frmHilfe.h"
#include "insight/frmTasten.h"
#include "insight/frmFortschritt.h"
#include "klasse/frmKlasse.h"
#include "keypad/frmNumBlock.h"
#include "lessons/frmLek.h"
#include "pruefung/frmAbschrift.h"
#include "settings/frmarc.h"
#include "shell/app.h"
#include "shell/frmVelkora.h"
#include "stats/datenblatt.h"
#include "stats/diagramm.h"
#include "stats/frmStatistik.h"
#include "trainer/frmSchreiben.h"
#include "windows/frmAbout.h"
#include "windows/frmGym.h"
#include "windows/frmSplash.h"
#include "windows/frmTip.h"
#include "windows/frmWait.h"

#include <QList>
#include <QTest>

#define VELKORA_ALLE_FENSTER(X) \
    X(frmVelkora)               \
    X(frmSchreiben)             \
    X(frmLek)                   \
    X(frmStatistik)             \
    X(frmdaten)                 \
    X(frmblockdat)              \
    X(chart)                    \
    X(chart1)                   \
    X(frmblockchart)            \
    X(frmTasten)                \
    X(frmFortschritt)           \
    X(frmKlasse)                \
    X(frmNumBlock)              \
    X(frmarc)                   \
    X(frmGym)                   \
    X(frmTip)                   \
    X(frmAbout)                 \
    X(frmSplash)                \
    X(frmWait)                  \
    X(frmHilfe)                 \
    X(frmAbschrift)

struct Fensteroeffner {
    const char* name;
    QWidget* (*oeffnen)(App&);  // loads the window through the registry
};

inline const QList<Fensteroeffner>& alleFenster() {
#define VELKORA_OEFFNER(F) {#F, [](App& a) -> QWidget* { return &a.forms.get<F>(); }},
    static const QList<Fensteroeffner> liste = {VELKORA_ALLE_FENSTER(VELKORA_OEFFNER)};
#undef VELKORA_OEFFNER
    return liste;
}

// Opens window nr of the list the way the program does: the main window
// first, then the window through the registry; the wait window, which
// shows something only when asked to, with its text and clip. Shown.
inline QWidget* oeffneFenster(App& app, int nr) {
    app.forms.get<frmVelkora>();
    QWidget* w = alleFenster()[nr].oeffnen(app);
    if (auto* wait = dynamic_cast<frmWait*>(w))
        wait->zeigen(QStringLiteral("Die Ergebnisse werden in die Datenbank geschrieben..."),
                     app.datei(QStringLiteral("\\FILEMOVE.AVI")));
    w->show();
    return w;
}

// Data rows "fenster" (an index into alleFenster()), one per window class.
inline void fensterZeilen() {
    QTest::addColumn<int>("fenster");
    for (int i = 0; i < alleFenster().size(); ++i) QTest::newRow(alleFenster()[i].name) << i;
}
