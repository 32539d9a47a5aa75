#include "stats/ablage.h"
#include "stats/datenbank.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

bool verzeichnisBeschreibbar(const QString& dir) {
    if (!QFileInfo(dir).isDir()) return false;
    QTemporaryFile probe(dir + QStringLiteral("/.velkora-probe-XXXXXX"));
    return probe.open();
}

QString datenbankVerzeichnis(const QString& programDir, const QString& benutzerDir) {
    bool beschreibbar = verzeichnisBeschreibbar(programDir);
    for (const QString& n : {kVelkoraMdb, kFingerMdb}) {
        const QString f = findeDatei(programDir + QLatin1Char('/') + n);
        if (!f.isEmpty() && !QFileInfo(f).isWritable()) beschreibbar = false;
    }
    if (beschreibbar || benutzerDir.isEmpty()) return programDir;

    return datenbankenKopieren(programDir, benutzerDir) ? benutzerDir : programDir;
}

bool datenbankenKopieren(const QString& programDir, const QString& benutzerDir) {
    if (!QDir().mkpath(benutzerDir) || !verzeichnisBeschreibbar(benutzerDir)) return false;
    for (const QString& n : {kVelkoraMdb, kFingerMdb}) {
        if (!findeDatei(benutzerDir + QLatin1Char('/') + n).isEmpty()) continue;  // seeded before
        const QString quelle = findeDatei(programDir + QLatin1Char('/') + n);
        if (quelle.isEmpty()) continue;  // nothing delivered: recording will say so
        const QString ziel = benutzerDir + QLatin1Char('/') + QFileInfo(quelle).fileName();
        // Copied under a temporary name first, so an interrupted copy never
        // passes for a database.
        const QString temp = ziel + QStringLiteral(".part");
        QFile::remove(temp);
        if (!QFile::copy(quelle, temp)) continue;
        // Copies of an installed file inherit its read-only permissions.
        QFile::setPermissions(temp, QFile::permissions(temp) | QFile::WriteOwner | QFile::ReadOwner);
        if (!QFile::rename(temp, ziel)) QFile::remove(temp);
    }
    return true;
}
