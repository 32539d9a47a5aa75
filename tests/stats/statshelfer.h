#pragma once
// Helpers for the results tests: a direct line to the test program's
// database files, beside the program's own connections.
#include "testenv.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <unistd.h>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QUuid>

// The empty databases as the build made them (the copies in the program
// directory may hold results of a run from the build directory).
inline QString leereDatenbank(const QString& name) {
    return QStringLiteral(VELKORA_PROGRAM_DIR "/tools/databases/") + name;
}

// Puts fresh empty databases into the test's program directory.
inline void leereDatenbanken(const TestEnv& env) {
    for (const char* n : {"velkora.mdb", "finger.mdb"}) {
        const QString ziel = env.programDir() + QLatin1Char('/') + QLatin1String(n);
        QFile::remove(ziel);
        QVERIFY2(QFile::copy(leereDatenbank(QLatin1String(n)), ziel), qPrintable(ziel));
        QFile::setPermissions(ziel, QFile::permissions(ziel) | QFile::WriteOwner);
    }
}

// A connection of the test's own to one database file.
class TestDb {
public:
    explicit TestDb(const QString& pfad)
        : name_(QStringLiteral("test-") + QUuid::createUuid().toString(QUuid::WithoutBraces)) {
        QSqlDatabase d = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        d.setDatabaseName(pfad);
        d.open();
    }
    ~TestDb() {
        QSqlDatabase::database(name_, false).close();
        QSqlDatabase::removeDatabase(name_);
    }
    QSqlDatabase db() const { return QSqlDatabase::database(name_, false); }

    bool exec(const QString& sql, const QVariantList& werte = {}) const {
        QSqlQuery q(db());
        q.prepare(sql);
        for (const QVariant& w : werte) q.addBindValue(w);
        const bool ok = q.exec();
        if (!ok) qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        return ok;
    }
    QList<QVariantList> rows(const QString& sql, QStringList* spalten = nullptr) const {
        QList<QVariantList> out;
        QSqlQuery q(db());
        if (!q.exec(sql)) {
            qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
            return out;
        }
        const QSqlRecord rec = q.record();
        if (spalten) {
            spalten->clear();
            for (int i = 0; i < rec.count(); ++i) *spalten << rec.fieldName(i);
        }
        while (q.next()) {
            QVariantList r;
            for (int i = 0; i < rec.count(); ++i) r << q.value(i);
            out << r;
        }
        return out;
    }
    qint64 anzahl(const QString& tabelle) const {
        const auto r = rows(QStringLiteral("SELECT COUNT(*) FROM ") + tabelle);
        return r.isEmpty() ? -1 : r[0][0].toLongLong();
    }

private:
    QString name_;
};

inline QString velkoraPfad(const TestEnv& env) { return env.programDir() + QStringLiteral("/velkora.mdb"); }
inline QString fingerPfad(const TestEnv& env) { return env.programDir() + QStringLiteral("/finger.mdb"); }

// One stored exercise: key number, characters, keystrokes per minute.
inline void uebungEinfuegen(const TestDb& db, const QVariant& lektion, const QVariant& punkte,
                            const QVariant& anschlaege, const QString& datum = QStringLiteral("2024-05-17"),
                            const QString& zeit = QStringLiteral("14:03:07")) {
    QVERIFY(db.exec(QStringLiteral("INSERT INTO Auswertung (Datum, Zeit, IDLektion, MaximalPunkte, "
                                   "stoppzeit, zaehler, fehler, ergebnis, anschlaege) "
                                   "VALUES (?, ?, ?, ?, 1.25, ?, 3, 2.14, ?)"),
                    {datum, zeit, lektion, punkte, punkte, anschlaege}));
}

// One finger row: left hand sum, right hand sum, and the left little finger.
// One row of fehlerliste with all twelve counters, in column order.
inline void fingerZeileEinfuegen(const TestDb& db, const QVariantList& zwoelf) {
    QVERIFY(db.exec(QStringLiteral("INSERT INTO fehlerliste VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"), zwoelf));
}

inline void fingerEinfuegen(const TestDb& db, const QVariant& liha, const QVariant& reha,
                            const QVariant& lklein = 0) {
    QVERIFY(db.exec(QStringLiteral("INSERT INTO fehlerliste VALUES (?, ?, 0, 0, 0, 0, 0, 0, 0, 0, 0, ?)"),
                    {liha, lklein, reha}));
}

// Makes a file or folder unchangeable, also for root, who ignores
// permissions: "chattr +i" as root, no write permission otherwise (which
// does not keep a file in a writable folder from being replaced: false).
inline bool unveraenderlich(const QString& pfad, bool an) {
    if (geteuid() == 0)
        return QProcess::execute(QStringLiteral("chattr"), {an ? QStringLiteral("+i") : QStringLiteral("-i"), pfad}) == 0;
    const bool ordner = QFileInfo(pfad).isDir();
    if (an && !ordner) return false;
    return QFile::setPermissions(pfad, QFile::ReadOwner | QFile::ExeOwner | (an ? QFile::Permissions() : QFile::WriteOwner));
}
