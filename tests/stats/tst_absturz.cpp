// The recording killed at random moments: both databases stay sound and
// hold as many rows of results as rows of finger errors.
#include "statshelfer.h"

#include "trainer/recording.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

class TstAbsturz : public QObject {
    Q_OBJECT
private slots:
    void sigkillWaehrendDerAufzeichnung();
    void ausstehendeWederDoppeltNochVerloren_data();
    void ausstehendeWederDoppeltNochVerloren();
};

namespace {
int zahlAus(const char* name, int vorgabe) {
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok ? v : vorgabe;
}

void datenbankenKopieren(const QString& dir) {
    for (const char* n : {"velkora.mdb", "finger.mdb"}) {
        const QString ziel = dir + QLatin1Char('/') + QLatin1String(n);
        QVERIFY(QFile::copy(leereDatenbank(QLatin1String(n)), ziel));
        QFile::setPermissions(ziel, QFile::permissions(ziel) | QFile::WriteOwner);
    }
}

QString pruefung(const TestDb& db) {
    const auto r = db.rows(QStringLiteral("PRAGMA integrity_check"));
    return r.isEmpty() ? QStringLiteral("(keine Antwort)") : r[0][0].toString();
}
}  // namespace

void TstAbsturz::sigkillWaehrendDerAufzeichnung() {
    // VELKORA_ABSTURZ_SEED and VELKORA_ABSTURZ_KILLS repeat or widen a run;
    // VELKORA_AUFZEICHNER names another copy of the recorder.
    const QString recorder = qEnvironmentVariable("VELKORA_AUFZEICHNER", QStringLiteral(VELKORA_AUFZEICHNER));
    const quint32 seed = quint32(zahlAus("VELKORA_ABSTURZ_SEED", 20261208));
    const int kills = zahlAus("VELKORA_ABSTURZ_KILLS", 32);
    qInfo("seed %u, %d kills", seed, kills);
    QRandomGenerator zufall(seed);

    QTemporaryDir dir;
    datenbankenKopieren(dir.path());
    const QString ausstehend = dir.filePath(QStringLiteral("ausstehend.json"));

    QElapsedTimer uhr;
    uhr.start();
    qint64 vorher = 0;
    for (int k = 0; k < kills; ++k) {
        QProcess p;
        p.start(recorder, {dir.path(), ausstehend});
        QVERIFY2(p.waitForReadyRead(10000), qPrintable(p.readAllStandardError()));
        // A result takes a few milliseconds: the kill lands in one of the next few.
        QThread::usleep(zufall.bounded(30000));
        p.kill();  // SIGKILL
        QVERIFY(p.waitForFinished(10000));
        QVERIFY2(p.exitStatus() == QProcess::CrashExit, qPrintable(p.readAllStandardError()));

        const TestDb v(dir.filePath(QStringLiteral("velkora.mdb")));
        const TestDb f(dir.filePath(QStringLiteral("finger.mdb")));
        QCOMPARE(pruefung(v), QStringLiteral("ok"));
        QCOMPARE(pruefung(f), QStringLiteral("ok"));
        const qint64 a = v.anzahl(QStringLiteral("Auswertung"));
        QCOMPARE(f.anzahl(QStringLiteral("fehlerliste")), a);
        QVERIFY(a > vorher);  // each run stored its first result before the kill
        vorher = a;
    }
    // Nothing failed, so nothing waits.
    QVERIFY(!QFileInfo::exists(ausstehend));
    qInfo("%d kills in %lld ms, %lld pairs stored, counts equal after every kill", kills, uhr.elapsed(),
          vorher);
}

void TstAbsturz::ausstehendeWederDoppeltNochVerloren_data() {
    QTest::addColumn<bool>("aenderbar");
    QTest::newRow("pending file writable") << true;
    QTest::newRow("pending file unchangeable") << false;
}

// Killed at any moment from its start on, also between the commit and the
// rewrite of the pending file: each pending result is stored at most once,
// and one not stored is still pending.
void TstAbsturz::ausstehendeWederDoppeltNochVerloren() {
    QFETCH(bool, aenderbar);
    const QString recorder = qEnvironmentVariable("VELKORA_AUFZEICHNER", QStringLiteral(VELKORA_AUFZEICHNER));
    QRandomGenerator zufall(quint32(zahlAus("VELKORA_ABSTURZ_SEED", 20261209)));
    const int kills = zahlAus("VELKORA_ABSTURZ_KILLS", 24);
    QTemporaryDir dir;
    datenbankenKopieren(dir.path());
    QVERIFY(QDir(dir.path()).mkdir("daten"));
    const QString ausstehend = dir.filePath(QStringLiteral("daten/ausstehend.json"));
    // Pending results carry key numbers of their own, 200 and up.
    int naechste = 200;
    auto ausstehendeDazu = [&] {
        QList<AusstehendeZeile> z = ausstehendeLesen(ausstehend);
        Uebung ex;
        for (int i = 0; i < 2; ++i) {
            ex.lektionsnr = qint16(naechste++);
            for (const Tabellenzeile& t : ergebnisZeilen(ex, QDateTime::currentDateTime(), neueErgebnisId()))
                z << AusstehendeZeile{QDir::cleanPath(dir.path()), t};
        }
        return ausstehendeSchreiben(ausstehend, z);
    };
    auto zaehlen = [&](bool ende) {
        const TestDb v(dir.filePath(QStringLiteral("velkora.mdb")));
        QCOMPARE(pruefung(v), QStringLiteral("ok"));
        QCOMPARE(TestDb(dir.filePath("finger.mdb")).anzahl("fehlerliste"), v.anzahl(QStringLiteral("Auswertung")));
        QSet<int> wartet;
        for (const AusstehendeZeile& a : ausstehendeLesen(ausstehend) + ausstehendeLesen(ausstehendErsatz(ausstehend)))
            if (a.zeile.tabelle == QLatin1String("Auswertung")) wartet.insert(a.zeile.werte[2].toInt());
        for (int nr = 200; nr < naechste; ++nr) {
            const auto r = v.rows(QStringLiteral("SELECT COUNT(*) FROM Auswertung WHERE IDLektion = %1").arg(nr));
            const qint64 n = r.value(0).value(0).toLongLong();
            QVERIFY2(n <= 1, qPrintable(QStringLiteral("%1 stored %2 times").arg(nr).arg(n)));
            QVERIFY2(n == 1 || (!ende && wartet.contains(nr)), qPrintable(QStringLiteral("%1 lost").arg(nr)));
        }
    };
    QVERIFY(ausstehendeDazu());
    if (!aenderbar) QVERIFY(unveraenderlich(geteuid() == 0 ? ausstehend : dir.filePath("daten"), true));
    for (int k = 0; k < kills; ++k) {
        if (aenderbar && k % 2 == 0) QVERIFY(ausstehendeDazu());
        QProcess p;
        p.start(recorder, {dir.path(), ausstehend});
        QVERIFY(p.waitForStarted(10000));
        // Start-up takes some tens of milliseconds: the kill lands before,
        // during or after the pending results are stored.
        QThread::usleep(zufall.bounded(120000));
        p.kill();
        QVERIFY(p.waitForFinished(10000));
        zaehlen(false);
    }
    // One more run to its end: every pending result is stored, once.
    QProcess p;
    p.start(recorder, {dir.path(), ausstehend, QStringLiteral("1")});
    QVERIFY(p.waitForFinished(20000));
    if (!aenderbar) unveraenderlich(geteuid() == 0 ? ausstehend : dir.filePath("daten"), false);
    QVERIFY2(p.exitCode() == 0, qPrintable(p.readAllStandardError()));
    zaehlen(true);
    QDir(QFileInfo(ausstehendErsatz(ausstehend)).absolutePath()).removeRecursively();
}

VELKORA_TEST_MAIN(TstAbsturz)
#include "tst_absturz.moc"
