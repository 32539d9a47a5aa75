// Prints what the per-key records cost with 100 000 stored exercises and
// their records (20 characters and 60 pairs each, 40 exercises a day up to
// today): recording one exercise with its records (full synchronisation to
// disk) and opening the keyboard heatmap for each period.
#include "bench/messreihe.h"
#include "../tests/stats/statshelfer.h"
#include "insight/frmTasten.h"
#include "shell/frmVelkora.h"
#include "testenv.h"
#include "trainer/frmSchreiben.h"
#include "trainer/recording.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
double ms(const QElapsedTimer& t) { return t.nsecsElapsed() / 1e6; }

void reihe(const char* was, int wiederholungen, const std::function<void()>& lauf) {
    const Messreihe m = messen(wiederholungen, lauf);
    std::printf("  %-56s median %8.2f ms, max %8.2f ms (%d runs)\n", was, m.median, m.max, wiederholungen);
}

// n results with their records, the running totals made from them once.
void fuellen(const TestEnv& env, int n) {
    TestDb v(velkoraPfad(env));
    const QString zahlen = QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < %1) ").arg(n);
    const QString id = QStringLiteral("printf('%08x-0000-4000-8000-%012x', x, x)");
    const QString tag = QStringLiteral("date('now', 'localtime', '-' || ((%1 - x) / 40) || ' days')").arg(n);
    const QString zeichen = QStringLiteral("'enirstadhulcgmobwfkzpvjyxqäüößENIRSTADHU'");
    v.exec("BEGIN");
    for (const char* t : {"Tastenwerte_summen", "Paarwerte_summen"}) v.exec(QStringLiteral("DROP TRIGGER %1").arg(t));
    v.exec(zahlen + QStringLiteral("INSERT INTO Auswertung (Datum, Zeit, IDLektion, MaximalPunkte, stoppzeit, zaehler, "
                                   "fehler, ergebnis, anschlaege) SELECT %1, '12:00:00', x % 23 + 1, 140, 1.25, 140, "
                                   "x % 9, (x % 9) * 100.0 / 140, 60 + x % 140 FROM c").arg(tag));
    v.exec(zahlen + QStringLiteral("INSERT INTO Ablage (ergebnis, IDDatensatz) SELECT %1, x FROM c").arg(id));
    v.exec(zahlen + QStringLiteral(", k(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM k WHERE i < 19) "
                                   "INSERT INTO Tastenwerte SELECT %1, %2, substr(%3, (x % 10 + i) % 40 + 1, 1), "
                                   "5 + (x + i) % 11, (x * i) % 3, (5 + (x + i) % 11) * (150 + (i * 37 + x) % 300), "
                                   "5 + (x + i) % 11 FROM c, k")
               .arg(id, tag, zeichen));
    v.exec(zahlen + QStringLiteral(", k(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM k WHERE i < 59) "
                                   "INSERT INTO Paarwerte SELECT %1, %2, substr(%3, (x % 10 + i / 6) % 40 + 1, 1), "
                                   "substr(%3, (x % 7 + (i % 6) * 5) % 40 + 1, 1), 1 + (x + i) % 4, (x * i) % 5 / 4, "
                                   "(1 + (x + i) % 4) * (150 + (i * 37 + x) % 400), 1 + (x + i) % 4 FROM c, k")
               .arg(id, tag, zeichen));
    const QString s = QStringLiteral("sum(richtig), sum(falsch), sum(zeit_ms), sum(zeit_n)");
    v.exec(QStringLiteral("INSERT INTO Tastentage SELECT datum, zeichen, %1 FROM Tastenwerte GROUP BY datum, zeichen").arg(s));
    v.exec(QStringLiteral("INSERT INTO Paartage SELECT datum, vorher, zeichen, %1 FROM Paarwerte GROUP BY datum, vorher, zeichen").arg(s));
    v.exec(QStringLiteral("INSERT INTO Tastensumme SELECT zeichen, %1 FROM Tastentage GROUP BY zeichen").arg(s));
    v.exec(QStringLiteral("INSERT INTO Paarsumme SELECT vorher, zeichen, %1 FROM Paartage GROUP BY vorher, zeichen").arg(s));
    v.exec("COMMIT");
    v.exec("ANALYZE");
}

// One exercise of a lesson's length through the listeners, as typed.
void ueben(App& app, qint64& uhr) {
    const QString text = QStringLiteral("jede fee sah die kleine lasche dose alle lasen das heft der fee\n"
                                        "sie lasen alle kleinen hefte jeder sah das fass der alten dame\n"
                                        "Fehler und Zeiten jeder Taste, jedes Paares: gemessen.");
    app.ereignisse.uebungBegonnen(text, uhr);
    for (int i = 0; i < text.size(); ++i) {
        uhr += 180 + (i * 37) % 200;
        if (i % 17 == 5) app.ereignisse.tasteFalsch(i + 1, text[i], QLatin1Char('x'), uhr);
        app.ereignisse.tasteAngenommen(i + 1, text[i], uhr);
    }
    app.ereignisse.uebungBeendet(uhr);
}
}  // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    prepareTestApplication();
    const int n = argc > 1 ? std::atoi(argv[1]) : 100000;
    std::printf("bench_tasten: per-key records (SQLite, synchronous=FULL, files on the temp directory's disk)\n");
    {
        // The listener alone, on the key path: one accepted key.
        Tastenzaehler z;
        const QString text = QStringLiteral("jede fee sah die kleine lasche dose alle lasen ");
        z.uebungBegonnen(text, 0);
        QElapsedTimer u;
        u.start();
        const int tasten = 1000000;
        for (int i = 0; i < tasten; ++i) z.tasteAngenommen(i + 1, text[i % text.size()], i * 200LL);
        std::printf("  per-key counting alone: %.1f ns per accepted key\n", u.nsecsElapsed() / double(tasten));
    }
    TestEnv env;
    leereDatenbanken(env);
    App& app = *env.app;
    QElapsedTimer t;
    t.start();
    fuellen(env, n);
    std::printf("  (filling %d exercises with 20 characters and 60 pairs each took %.0f ms, velkora.mdb %.0f MB)\n", n,
                ms(t), QFileInfo(velkoraPfad(env)).size() / 1e6);
    app.forms.get<frmSchreiben>();
    app.ex.lektionsnr = 4;
    app.ex.zaehler = 180;
    app.ex.MaxZeichen = 180;
    qint64 uhr = 0;
    // The first recording loads the record browsers and the overview.
    ueben(app, uhr);
    ergebnisseAufzeichnen(app);
    // Interleaved with recordings of the result rows alone, so that the
    // records' share shows apart from what the disk's synchronisation costs.
    std::vector<double> mit, ohne;
    for (int i = 0; i < 30; ++i) {
        QElapsedTimer u;
        u.start();
        ergebnisseAufzeichnen(app);
        ohne.push_back(ms(u));
        ueben(app, uhr);
        u.restart();
        ergebnisseAufzeichnen(app);
        mit.push_back(ms(u));
    }
    std::sort(mit.begin(), mit.end());
    std::sort(ohne.begin(), ohne.end());
    std::printf("  %-56s median %8.2f ms, max %8.2f ms (30 runs)\n", "recording one exercise, result rows only",
                ohne[15], ohne.back());
    std::printf("  %-56s median %8.2f ms, max %8.2f ms (30 runs)\n",
                "recording one exercise with its records (~50 + ~110 rows)", mit[15], mit.back());
    if (!env.services.messages.isEmpty()) std::printf("  !! %s\n", qPrintable(env.services.messages.first().text));
    TestDb v(velkoraPfad(env));
    std::printf("  rows: %lld results, %lld key records, %lld pair records\n",
                v.rows("SELECT count(*) FROM Auswertung").value(0).value(0).toLongLong(),
                v.rows("SELECT count(*) FROM Tastenwerte").value(0).value(0).toLongLong(),
                v.rows("SELECT count(*) FROM Paarwerte").value(0).value(0).toLongLong());
    reihe("heatmap opened and drawn (all exercises)", 10, [&] {
        app.forms.get<frmTasten>().show();
        QApplication::processEvents();
        app.forms.unload<frmTasten>();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });
    frmTasten& h = app.forms.get<frmTasten>();
    h.show();
    const char* namen[] = {"heatmap switched to the last exercise", "heatmap switched to the last 7 days",
                           "heatmap switched to the last 30 days", "heatmap switched to all exercises"};
    for (int z = 0; z < 4; ++z) {
        std::vector<double> zeiten;
        for (int i = 0; i < 10; ++i) {
            h.cboZeitraum->setCurrentIndex(z == 3 ? 0 : 3);
            QApplication::processEvents();
            QElapsedTimer u;
            u.start();
            h.cboZeitraum->setCurrentIndex(z);
            QApplication::processEvents();
            zeiten.push_back(ms(u));
        }
        std::sort(zeiten.begin(), zeiten.end());
        std::printf("  %-56s median %8.2f ms, max %8.2f ms (10 runs)\n", namen[z], zeiten[5], zeiten.back());
    }
    return 0;
}
