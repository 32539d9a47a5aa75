// velkora-klasse: prepares a PostgreSQL database as a class server and makes
// the logins of a class from the list the school administration exports.
#include "klasse/schema.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlError>
#include <QTextStream>
#include <cstdio>

namespace {
const char* const kHilfe =
    "Aufruf:\n"
    "  velkora-klasse [Verbindung] schema\n"
    "      legt das Schema \"velkora\", die Gruppenrollen und die Rechte an\n"
    "      (darf wiederholt werden).\n"
    "  velkora-klasse [Verbindung] klasse KLASSE KLASSENLISTE.csv PASSWOERTER.csv\n"
    "      legt (mit dem Schema) die Klasse, ihr Lehrer-Login und ein Login je\n"
    "      Schülerin und Schüler an und schreibt die Passwörter in PASSWOERTER.csv.\n"
    "\n"
    "Verbindung (sonst die Vorgaben von PostgreSQL, PGHOST, PGPORT, ...):\n"
    "  --host NAME  --port NUMMER  --datenbank NAME  --benutzer NAME\n"
    "Das Passwort kommt aus PGPASSWORD oder ~/.pgpass; als Benutzer postgres\n"
    "auf dem Server selbst genügt: sudo -u postgres velkora-klasse ...\n";

int fehler(const QString& text) {
    QTextStream(stderr) << "velkora-klasse: " << text << Qt::endl;
    return 1;
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString host, datenbank, benutzer;
    int port = 0;
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString o = args.takeFirst();
        if (o == u"--hilfe" || o == u"--help") {
            std::fputs(kHilfe, stdout);
            return 0;
        }
        if (args.isEmpty()) return fehler(QStringLiteral("Nach %1 fehlt der Wert.").arg(o));
        const QString w = args.takeFirst();
        if (o == u"--host") host = w;
        else if (o == u"--datenbank") datenbank = w;
        else if (o == u"--benutzer") benutzer = w;
        else if (o == u"--port") {
            bool ok = false;
            port = w.toInt(&ok);
            if (!ok || port <= 0 || port > 65535) return fehler(QStringLiteral("„%1“ ist kein Port.").arg(w));
        } else {
            return fehler(QStringLiteral("Unbekannte Angabe „%1“.\n\n").arg(o) + QString::fromUtf8(kHilfe));
        }
    }
    const QString befehl = args.value(0);
    if (!(befehl == u"schema" && args.size() == 1) && !(befehl == u"klasse" && args.size() == 4))
        return fehler(QString::fromUtf8(kHilfe));

    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        return fehler(QStringLiteral("Der PostgreSQL-Treiber von Qt fehlt (Paket libqt6sql6-psql)."));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"));
    db.setHostName(host);
    if (port) db.setPort(port);
    db.setDatabaseName(datenbank);
    db.setUserName(benutzer);
    db.setConnectOptions(QStringLiteral("connect_timeout=10;application_name=velkora-klasse"));
    if (!db.open())
        return fehler(QStringLiteral("Keine Verbindung zur Datenbank: %1").arg(db.lastError().text().simplified()));
    // The schema is made with IF NOT EXISTS throughout; the server's notices
    // about what is already there would only bury the command's own answer.
    QSqlQuery(db).exec(QStringLiteral("SET client_min_messages = warning"));

    if (const QString f = schemaAnlegen(db); !f.isEmpty())
        return fehler(QStringLiteral("Das Schema konnte nicht angelegt werden: %1").arg(f.simplified()));
    if (befehl == u"schema") {
        QTextStream(stdout) << "Schema \"velkora\" ist eingerichtet." << Qt::endl;
        return 0;
    }
    const QString klasse = args[1].trimmed();
    if (klasse.isEmpty()) return fehler(QStringLiteral("Der Name der Klasse fehlt."));
    QFile liste(args[2]);
    if (!liste.open(QIODevice::ReadOnly))
        return fehler(QStringLiteral("Die Klassenliste „%1“ lässt sich nicht lesen: %2").arg(args[2], liste.errorString()));
    const Klassenliste k = klassenlisteLesen(liste.read(4 * 1024 * 1024));
    for (const QString& w : k.warnungen) QTextStream(stderr) << "Hinweis: " << w << Qt::endl;
    if (!k.fehler.isEmpty()) return fehler(k.fehler);
    // Pupils of another class in a list of several are left to their own call.
    QList<Schuelereintrag> schueler;
    int andere = 0;
    for (const Schuelereintrag& s : k.schueler)
        if (s.klasse.isEmpty() || s.klasse.compare(klasse, Qt::CaseInsensitive) == 0) schueler << s;
        else ++andere;
    if (andere)
        QTextStream(stderr) << "Hinweis: " << andere << " Einträge anderer Klassen wurden übergangen." << Qt::endl;

    // The password list is made first, so that no login is made whose
    // password could not be written down.
    QSaveFile aus(args[3]);
    if (!aus.open(QIODevice::WriteOnly))
        return fehler(QStringLiteral("„%1“ lässt sich nicht schreiben: %2").arg(args[3], aus.errorString()));
    aus.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QString f;
    const QList<Zugangszeile> zeilen = klasseAnlegen(db, klasse, schueler, &f);
    if (!f.isEmpty()) {
        aus.cancelWriting();
        return fehler(QStringLiteral("Die Klasse wurde nicht angelegt: %1").arg(f.simplified()));
    }
    aus.write(zugangslisteCsv(zeilen));
    if (!aus.commit())
        return fehler(QStringLiteral("Die Passwortliste „%1“ konnte nicht geschrieben werden (%2). Die Logins sind "
                                     "angelegt; ein neuer Aufruf ändert ihre Passwörter nicht.")
                          .arg(args[3], aus.errorString()));
    int neu = 0;
    for (const Zugangszeile& z : zeilen) neu += !z.passwort.isEmpty();
    QTextStream(stdout) << "Klasse " << klasse << ": " << zeilen.size() - 1 << " Schülerinnen und Schüler, " << neu
                        << " neue Logins; Passwörter in " << args[3] << Qt::endl;
    return 0;
}
