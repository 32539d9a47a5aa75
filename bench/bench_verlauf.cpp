// Prints what the progress window and the export cost with 100 000 stored
// exercises (the data set of bench_stats): opening the window with every
// day practised, with a gap after every day and with runs of three days;
// switching its choice; exporting the results with their finger rows; and
// the per-key file, per row, for the records of 10 000 exercises.
#include "bench/messreihe.h"
#include "insight/export.h"
#include "insight/frmFortschritt.h"
#include "testenv.h"
#include "uebungen.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
double reihe(const char* was, int wiederholungen, const std::function<void()>& lauf) {
    const Messreihe m = messen(wiederholungen, lauf);
    std::printf("  %-62s median %8.2f ms, max %8.2f ms (%d runs)\n", was, m.median, m.max, wiederholungen);
    return m.median;
}

// The per-key tables as the recording keeps them, with markers, for the
// first n results: 30 keys and 60 pairs each.
void tastenFuellen(const TestEnv& env, int n) {
    TestDb v(velkoraPfad(env));
    v.exec("CREATE TABLE IF NOT EXISTS Ablage (ergebnis TEXT PRIMARY KEY, IDDatensatz INTEGER)");
    v.exec("CREATE TABLE IF NOT EXISTS Tastenwerte (ergebnis TEXT NOT NULL, datum TEXT NOT NULL, zeichen TEXT NOT "
           "NULL, richtig INTEGER NOT NULL, falsch INTEGER NOT NULL, zeit_ms INTEGER NOT NULL, zeit_n INTEGER NOT "
           "NULL, PRIMARY KEY (ergebnis, zeichen))");
    v.exec("CREATE TABLE IF NOT EXISTS Paarwerte (ergebnis TEXT NOT NULL, datum TEXT NOT NULL, vorher TEXT NOT NULL, "
           "zeichen TEXT NOT NULL, richtig INTEGER NOT NULL, falsch INTEGER NOT NULL, zeit_ms INTEGER NOT NULL, "
           "zeit_n INTEGER NOT NULL, PRIMARY KEY (ergebnis, vorher, zeichen))");
    v.exec("INSERT INTO Ablage SELECT 'e' || IDDatensatz, IDDatensatz FROM Auswertung WHERE IDDatensatz <= ?", {n});
    v.exec("WITH RECURSIVE k(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM k WHERE i < 29) "
           "INSERT INTO Tastenwerte SELECT 'e' || a.IDDatensatz, a.Datum, char(97 + k.i), 20 + k.i, k.i % 3, "
           "4000 + 37 * k.i, 20 + k.i FROM Auswertung a, k WHERE a.IDDatensatz <= ? ORDER BY a.IDDatensatz",
           {n});
    v.exec("WITH RECURSIVE k(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM k WHERE i < 59) "
           "INSERT INTO Paarwerte SELECT 'e' || a.IDDatensatz, a.Datum, char(97 + k.i % 30), char(97 + (k.i * 7 + k.i / 30) % 30), "
           "5 + k.i % 4, k.i % 2, 900 + k.i, 5 + k.i % 4 FROM Auswertung a, k WHERE a.IDDatensatz <= ? "
           "ORDER BY a.IDDatensatz", {n});
}
}  // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    prepareTestApplication();
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    constexpr int n = 100000;
    std::printf("bench_verlauf: progress window and export over %d stored exercises\n", n);
    TestEnv env;
    leereDatenbanken(env);
    fuellen(env, n);
    App& app = *env.app;
    const struct {
        const char* was;
        const char* tag;  // the day of an exercise, from its day number %1
    } verteilungen[] = {
        {"opening Fortschritt: 2500 days one after the other", "%1"},
        {"opening Fortschritt: 2500 days, a gap after each", "2 * %1"},
        {"opening Fortschritt: 2500 days in runs of three", "%1 + %1 / 3"},
    };
    for (const auto& vt : verteilungen) {
        {
            TestDb v(velkoraPfad(env));
            const QString tag = QString::fromLatin1(vt.tag).arg(QStringLiteral("(IDDatensatz / 40)"));
            v.exec(QStringLiteral("UPDATE Auswertung SET Datum = date('2020-01-01', '+' || (%1) || ' days')").arg(tag));
        }
        reihe(vt.was, 5, [&] {
            frmFortschritt& w = app.forms.get<frmFortschritt>();
            w.show();
            QApplication::processEvents();
            app.forms.unload<frmFortschritt>();
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        });
    }
    {
        frmFortschritt& w = app.forms.get<frmFortschritt>();
        w.show();
        QApplication::processEvents();
        bool lektionen = false;
        reihe("Fortschritt: switching between lessons and texts", 6, [&] {
            (lektionen ? w.optTexte : w.optLektionen)->click();
            lektionen = !lektionen;
            QApplication::processEvents();
        });
        app.forms.unload<frmFortschritt>();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QTemporaryDir ziel;
    Exportbericht b;
    reihe("export: every result with its finger row", 3,
          [&] { b = ergebnisseExportieren(app.databaseDir(), ziel.filePath("e.csv")); });
    std::printf("  (%lld rows, %lld bytes)\n", qlonglong(b.ergebnisse), qlonglong(QFileInfo(ziel.filePath("e.csv")).size()));

    constexpr int mitTasten = 10000;
    tastenFuellen(env, mitTasten);
    const double t = reihe("export: results and the per-key records of 10 000 of them", 3, [&] {
        b = ergebnisseExportieren(app.databaseDir(), ziel.filePath("e.csv"), ziel.filePath("e-tasten.csv"));
    });
    std::printf("  (%lld per-key rows, %lld bytes; %.2f us per per-key row with the results file included)\n",
                qlonglong(b.tastenZeilen), qlonglong(QFileInfo(ziel.filePath("e-tasten.csv")).size()),
                t * 1000 / double(std::max<qint64>(1, b.tastenZeilen)));
    if (!b.ok) std::printf("  !! %s\n", qPrintable(b.fehler));
    return 0;
}
