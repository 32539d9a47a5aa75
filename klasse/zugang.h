#pragma once
#include <QSqlDatabase>
#include <QString>

class SettingsStore;
class QSqlError;

// How Velkora reaches the class server.
struct Klassenzugang {
    enum class Tls { Aus, Verlangt, Pruefen };  // sslmode disable / require / verify-full
    QString server;
    int port = 5432;
    QString datenbank = QStringLiteral("velkora");
    QString login;
    QString passwort;
    Tls tls = Tls::Verlangt;
    QString zertifikat;  // the school's CA certificate for Pruefen; empty: the system's

    bool eingerichtet() const { return !server.trimmed().isEmpty() && !login.trimmed().isEmpty(); }
};

// The options as libpq reads them (";" between them, as QPSQL takes them):
// sslmode, the certificate, and connect_timeout, so that a server that does
// not answer is given up in time.
QString verbindungsoptionen(const Klassenzugang& z, int sekunden);

// Opens a connection of the given name in the calling thread (QPSQL). On
// failure returns false and *fehler holds the German message for it.
bool klasseVerbinden(const Klassenzugang& z, const QString& name, int sekunden, QString* fehler);

// What went wrong with a connection, told apart by the client library's and
// the server's messages (in English or in German, as the locale has them).
enum class Verbindungsfehler {
    Passwort,     // login or password wrong
    PortZu,       // nothing listens at that port
    HostUnbekannt,
    KeinTls,      // encryption required, the server offers none
    Zertifikat,   // the server's certificate does not verify
    Zeit,         // no answer in time
    Datenbank,    // no such database
    KeinZugang,   // the server does not let this login in (pg_hba.conf, CONNECT)
    KeinTreiber,  // the Qt PostgreSQL driver is missing
    Sonstig,
};
Verbindungsfehler fehlerArt(const QString& text);
// The German message for a failure, with the server's own text after it.
QString verbindungsMeldung(Verbindungsfehler art, const Klassenzugang& z, const QString& text);

// The settings of the tab "Klasse", in the section "Klasse" of the store
// (the password not: see klasse/passwort.h).
Klassenzugang zugangLesen(const SettingsStore& store);
bool zugangSpeichern(SettingsStore& store, const Klassenzugang& z);
