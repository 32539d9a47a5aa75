#include "klasse/zugang.h"
#include "platform/services.h"
#include "platform/settingsstore.h"

#include <QFileInfo>
#include <QSqlError>

namespace {
// A value for libpq's "key=value" list: quoted, with quote and backslash escaped.
QString pqWert(const QString& w) {
    QString t = w;
    t.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + t + QLatin1Char('\'');
}

// Where a system keeps the certificates it trusts (Debian's ca-certificates).
const QString kSystemZertifikate = QStringLiteral("/etc/ssl/certs/ca-certificates.crt");

// Pieces of the messages of each kind, in small letters, English and German.
struct Erkennung {
    Verbindungsfehler art;
    const char* texte[6];
};
// In this order: the certificate's messages name a file that "does not
// exist", which is no missing database.
constexpr Erkennung kErkennung[] = {
    {Verbindungsfehler::KeinTreiber, {"driver not loaded", "treiber nicht geladen"}},
    {Verbindungsfehler::HostUnbekannt,
     {"could not translate host name", "nicht in adresse übersetzen", "name or service not known"}},
    {Verbindungsfehler::KeinTls, {"does not support ssl", "unterstützt kein ssl"}},
    {Verbindungsfehler::Zertifikat,
     {"certificate", "zertifikat", "does not match host name", "stimmt nicht mit dem hostnamen"}},
    {Verbindungsfehler::Zeit, {"timeout expired", "timeout abgelaufen", "zeitüberschreitung"}},
    {Verbindungsfehler::Passwort,
     {"password authentication failed", "passwort-authentifizierung", "no password supplied",
      "kein passwort angegeben"}},
    {Verbindungsfehler::PortZu,
     {"connection refused", "is the server running", "läuft der server", "verbindung verweigert"}},
    {Verbindungsfehler::Datenbank, {"database \"", "datenbank »"}},
    {Verbindungsfehler::KeinZugang,
     {"pg_hba.conf", "permission denied for database", "keine berechtigung für datenbank",
      "not permitted to log in", "darf sich nicht anmelden"}},
};
}  // namespace

QString verbindungsoptionen(const Klassenzugang& z, int sekunden) {
    QStringList o;
    switch (z.tls) {
    case Klassenzugang::Tls::Aus: o << QStringLiteral("sslmode=disable"); break;
    case Klassenzugang::Tls::Verlangt: o << QStringLiteral("sslmode=require"); break;
    case Klassenzugang::Tls::Pruefen:
        o << QStringLiteral("sslmode=verify-full")
          << QStringLiteral("sslrootcert=") +
                 pqWert(z.zertifikat.trimmed().isEmpty() ? kSystemZertifikate : z.zertifikat.trimmed());
        break;
    }
    o << QStringLiteral("connect_timeout=%1").arg(qMax(2, sekunden))
      << QStringLiteral("application_name=velkora");
    return o.join(QLatin1Char(';'));
}

bool klasseVerbinden(const Klassenzugang& z, const QString& name, int sekunden, QString* fehler) {
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        *fehler = verbindungsMeldung(Verbindungsfehler::KeinTreiber, z, QString());
        return false;
    }
    QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false)
                                                   : QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    if (db.isOpen()) db.close();
    db.setHostName(z.server.trimmed());
    db.setPort(z.port);
    db.setDatabaseName(z.datenbank.trimmed());
    db.setUserName(z.login.trimmed());
    db.setPassword(z.passwort);
    db.setConnectOptions(verbindungsoptionen(z, sekunden));
    if (db.open()) return true;
    const QString text = db.lastError().text();
    *fehler = verbindungsMeldung(fehlerArt(text), z, text);
    return false;
}

Verbindungsfehler fehlerArt(const QString& text) {
    const QString t = text.toLower();
    for (const Erkennung& e : kErkennung)
        for (const char* s : e.texte)
            if (s && t.contains(QString::fromUtf8(s))) return e.art;
    return Verbindungsfehler::Sonstig;
}

QString verbindungsMeldung(Verbindungsfehler art, const Klassenzugang& z, const QString& text) {
    QString m;
    switch (art) {
    case Verbindungsfehler::Passwort:
        m = QStringLiteral("Die Anmeldung wurde abgelehnt: Login „%1“ oder Passwort stimmt nicht.").arg(z.login);
        break;
    case Verbindungsfehler::PortZu:
        m = QStringLiteral("Der Server „%1“ nimmt an Port %2 keine Verbindung an: der Port ist geschlossen oder "
                           "der Datenbankserver läuft nicht.")
                .arg(z.server)
                .arg(z.port);
        break;
    case Verbindungsfehler::HostUnbekannt:
        m = QStringLiteral("Einen Server „%1“ gibt es nicht: der Name lässt sich nicht auflösen. Bitte die "
                           "Schreibweise prüfen.")
                .arg(z.server);
        break;
    case Verbindungsfehler::KeinTls:
        m = QStringLiteral("Der Server bietet keine Verschlüsselung an, sie ist aber verlangt. Die Verbindung wurde "
                           "nicht aufgebaut; die Schule muss auf dem Server TLS einschalten.");
        break;
    case Verbindungsfehler::Zertifikat:
        m = QStringLiteral("Das Zertifikat des Servers lässt sich nicht bestätigen (es ist nicht von der "
                           "angegebenen Stelle ausgestellt oder nicht für „%1“). Die Verbindung wurde nicht "
                           "aufgebaut.")
                .arg(z.server);
        break;
    case Verbindungsfehler::Zeit:
        m = QStringLiteral("Der Server „%1“ antwortet nicht (nach 5 Sekunden aufgegeben).").arg(z.server);
        break;
    case Verbindungsfehler::Datenbank:
        m = QStringLiteral("Auf dem Server gibt es keine Datenbank „%1“.").arg(z.datenbank);
        break;
    case Verbindungsfehler::KeinZugang:
        m = QStringLiteral("Der Server lässt den Login „%1“ nicht in die Datenbank „%2“.").arg(z.login, z.datenbank);
        break;
    case Verbindungsfehler::KeinTreiber:
        m = QStringLiteral("Der PostgreSQL-Treiber von Qt ist nicht installiert (Paket libqt6sql6-psql).");
        break;
    case Verbindungsfehler::Sonstig:
        m = QStringLiteral("Die Verbindung zum Klassenserver ist nicht zustande gekommen.");
        break;
    }
    const QString eigen = text.simplified();
    return eigen.isEmpty() ? m : QStringLiteral("%1\n(Meldung des Servers: %2)").arg(m, eigen);
}

namespace {
const QString kAbschnitt = QStringLiteral("Klasse");
}

Klassenzugang zugangLesen(const SettingsStore& store) {
    Klassenzugang z;
    auto lies = [&](const char* k, const QString& d = QString()) {
        return store.GetSetting(kAppTitle, kAbschnitt, QString::fromLatin1(k), d);
    };
    z.server = lies("Server");
    bool ok = false;
    const int p = lies("Port").toInt(&ok);
    if (ok && p > 0 && p < 65536) z.port = p;
    z.datenbank = lies("Datenbank", z.datenbank);
    z.login = lies("Login");
    const QString tls = lies("Verschluesselung", QStringLiteral("verlangt"));
    z.tls = tls == u"aus" ? Klassenzugang::Tls::Aus
            : tls == u"pruefen" ? Klassenzugang::Tls::Pruefen
                                : Klassenzugang::Tls::Verlangt;
    z.zertifikat = lies("Zertifikat");
    return z;
}

bool zugangSpeichern(SettingsStore& store, const Klassenzugang& z) {
    const QString tls = z.tls == Klassenzugang::Tls::Aus       ? QStringLiteral("aus")
                        : z.tls == Klassenzugang::Tls::Pruefen ? QStringLiteral("pruefen")
                                                               : QStringLiteral("verlangt");
    bool ok = true;
    for (const auto& [k, v] : {std::pair{"Server", z.server.trimmed()}, {"Port", QString::number(z.port)},
                               {"Datenbank", z.datenbank.trimmed()}, {"Login", z.login.trimmed()},
                               {"Verschluesselung", tls}, {"Zertifikat", z.zertifikat.trimmed()}})
        ok = store.SaveSetting(kAppTitle, kAbschnitt, QString::fromLatin1(k), v) && ok;
    return ok;
}
