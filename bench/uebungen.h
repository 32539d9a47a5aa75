#pragma once
// The data set of the benchmarks: n stored exercises in both results
// databases of a test program directory, 40 a day from 2020-01-01 on, every
// exercise number in turn.
#include "../tests/stats/statshelfer.h"

// Fills both tables with n exercises in one transaction each.
inline void fuellen(const TestEnv& env, int n) {
    if (n == 0) return;
    TestDb v(velkoraPfad(env));
    v.exec(QStringLiteral(
               "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < ?) "
               "INSERT INTO Auswertung (Datum, Zeit, IDLektion, MaximalPunkte, stoppzeit, zaehler, fehler, "
               "ergebnis, anschlaege) SELECT date('2020-01-01', '+' || (x / 40) || ' days'), '12:00:00', "
               "CASE WHEN x % 26 < 23 THEN x % 26 + 1 WHEN x % 26 = 23 THEN 99 ELSE 100 + x % 2 END, "
               "140, 1.25, 140, x % 9, (x % 9) * 100.0 / 140, 60 + x % 140 FROM c"),
           {n});
    TestDb f(fingerPfad(env));
    f.exec(QStringLiteral(
               "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < ?) "
               "INSERT INTO fehlerliste SELECT x % 5 + x % 4, x % 5, x % 4, 0, 0, 0, 0, x % 3, 0, 0, x % 2, "
               "x % 3 + x % 2 FROM c"),
           {n});
}
