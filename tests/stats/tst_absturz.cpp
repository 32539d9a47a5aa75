// The recording killed at random moments: both databases stay sound and
// hold as many rows of results as rows of finger errors.
#include "statshelfer.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

class TstAbsturz : public QObject {
    Q_OBJECT
private slots:
    void sigkillWaehrendDerAufzeichnung();
};

namespace {
int zahlAus(const char* name, int vorgabe) {
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok ? v : vorgabe;
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
    for (const char* n : {"velkora.mdb", "finger.mdb"}) {
        const QString ziel = dir.filePath(QLatin1String(n));
        QVERIFY(QFile::copy(leereDatenbank(QLatin1String(n)), ziel));
        QFile::setPermissions(ziel, QFile::permissions(ziel) | QFile::WriteOwner);
    }
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

VELKORA_TEST_MAIN(TstAbsturz)
#include "tst_absturz.moc"
