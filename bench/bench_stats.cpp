// Prints what the results side costs on empty databases and on databases
// holding 100 000 exercises: recording one exercise (both rows, with full
// synchronisation to disk), the overview's four queries, the two lesson
// charts, the finger chart and opening a record browser on its last row.
#include "bench/messreihe.h"
#include "platform/numbers.h"
#include "stats/datenblatt.h"
#include "stats/diagramm.h"
#include "stats/frmStatistik.h"
#include "../tests/stats/statshelfer.h"
#include "uebungen.h"
#include "testenv.h"
#include "trainer/frmSchreiben.h"
#include "trainer/recording.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
void beispiel(Uebung& ex) {
    ex.lektionsnr = 4;
    ex.zaehler = 140;
    ex.fehler = 3;
    ex.MaxZeichen = 140;
    ex.Fehlerquote = rundeGerade(3.0 / 140, 2);
    ex.laufzeit = 75;
    ex.anschlaegeGanz = 140;
    ex.anschlaegeProMinute = 112;
    ex.finger.LIHA = 1;
    ex.finger.lkleinerfinger = 1;
    ex.finger.REHA = 2;
}

double ms(QElapsedTimer& t) { return t.nsecsElapsed() / 1e6; }

// Median and maximum of repeated runs.
void reihe(const char* was, int n, int wiederholungen, const std::function<void()>& lauf) {
    const Messreihe m = messen(wiederholungen, lauf);
    std::printf("  %-58s %7d rows: median %8.2f ms, max %8.2f ms (%d runs)\n", was, n, m.median, m.max,
                wiederholungen);
}

template <class F>
void laden(App& app) {
    app.forms.get<F>();
    app.forms.unload<F>();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
}  // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    prepareTestApplication();
    std::printf("bench_stats: results databases (SQLite, synchronous=FULL, files on the temp directory's disk)\n");
    for (int n : {0, 100000}) {
        TestEnv env;
        leereDatenbanken(env);
        QElapsedTimer t;
        t.start();
        fuellen(env, n);
        if (n) std::printf("  (filling %d exercises took %.0f ms)\n", n, ms(t));
        App& app = *env.app;
        app.forms.get<frmSchreiben>();
        beispiel(app.ex);

        // The first recording of a run loads both record browsers and the
        // overview (hidden); every later one only appends.
        t.restart();
        ergebnisseAufzeichnen(app);
        std::printf("  %-58s %7d rows: %8.2f ms\n", "recording, first of a run (loads browsers, overview)", n,
                    ms(t));
        reihe("recording one exercise (both rows)", n, 30, [&] { ergebnisseAufzeichnen(app); });
        if (!env.services.messages.isEmpty())
            std::printf("  !! %s\n", qPrintable(env.services.messages.first().text));

        frmStatistik& s = app.forms.get<frmStatistik>();
        reihe("overview, the four queries", n, 20, [&] { s.aktualisieren(); });
        reihe("chart: mean keystrokes per exercise number", n, 10, [&] { laden<chart>(app); });
        reihe("chart1: training units per exercise number", n, 10, [&] { laden<chart1>(app); });
        reihe("frmblockchart: errors per finger", n, 10, [&] { laden<frmblockchart>(app); });
        app.forms.unload<frmdaten>();
        app.forms.unload<frmblockdat>();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        reihe("frmblockdat: open on its newest row", n, 10, [&] { laden<frmblockdat>(app); });
        frmdaten& d = app.forms.get<frmdaten>();
        reihe("frmdaten: last, then first row", n, 10, [&] {
            d.cmdLast_Click();
            d.cmdFirst_Click();
        });
    }
    return 0;
}
