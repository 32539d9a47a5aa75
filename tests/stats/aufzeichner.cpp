// The crash test's recorder: stores exercise results in a loop through the
// recording's own code until it is killed. Arguments: the database
// directory, the file for pending results and, if given, how many results
// to store before it ends. Prints "los" once the first result is stored
// (the engine is loaded then); ends with 2 when a result could not be stored.
#include "shell/app.h"
#include "trainer/recording.h"

#include <QCoreApplication>
#include <QDateTime>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3 && args.size() != 4) {
        std::fprintf(stderr, "aufzeichner <database dir> <pending file> [results]\n");
        return 1;
    }
    const int bis = args.size() == 4 ? args[3].toInt() : -1;
    Uebung ex;
    for (int n = 0; n != bis; ++n) {
        ex.lektionsnr = qint16(n % 23 + 1);
        ex.zaehler = ex.anschlaegeGanz = qint16(100 + n % 50);
        ex.fehler = n % 7;
        ex.laufzeit = 60 + n % 30;
        ex.anschlaegeProMinute = qint16(80 + n % 40);
        ex.finger.LIHA = qint16(n % 5);
        ex.finger.REHA = qint16(n % 3);
        const Ablagebericht b =
            ergebnisseAblegen(args[1], args[2], ergebnisZeilen(ex, QDateTime::currentDateTime(), neueErgebnisId()));
        if (!b.meldungen.isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(b.meldungen.join('\n')));
        if (!b.neueGespeichert) return 2;
        if (n == 0) {
            std::printf("los\n");
            std::fflush(stdout);
        }
    }
    return 0;
}
