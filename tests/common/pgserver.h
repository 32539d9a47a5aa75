#pragma once
#include "klasse/zugang.h"

#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>

// A PostgreSQL server of the test's own: a cluster made with initdb in a
// temporary folder, listening on a free port of 127.0.0.1 only (and on a
// socket in that folder), TLS with a self-signed certificate for
// "localhost", passwords checked with SCRAM. Run as the user "postgres"
// when the test runs as root. Stopped and removed with the object.
class PgTestServer {
public:
    PgTestServer();
    ~PgTestServer();
    PgTestServer(const PgTestServer&) = delete;
    PgTestServer& operator=(const PgTestServer&) = delete;

    bool ok() const { return fehler_.isEmpty(); }
    const QString& fehler() const { return fehler_; }
    int port() const { return port_; }
    // The server's certificate (also the authority that signs it).
    QString zertifikat() const { return dir_.path() + QStringLiteral("/server.crt"); }

    // Starts the server, with or without TLS; false (and fehler()) on failure.
    bool starten(bool tls = true);
    // Stops it: "fast" waits for the sessions to end, "immediate" kills it.
    bool stoppen(const char* art = "fast");

    // A superuser connection to the database (made on first use), opened.
    QSqlDatabase admin(const QString& datenbank = QStringLiteral("velkora"));
    static constexpr const char* kAdminPasswort = "test-admin-pw";
    // A client's way in to the database "velkora" over 127.0.0.1.
    Klassenzugang zugang(const QString& login, const QString& passwort) const;

private:
    bool laufen(const QStringList& befehl, QString* ausgabe = nullptr);
    QTemporaryDir dir_;
    QString bin_;
    QString fehler_;
    int port_ = 0;
    bool laeuft_ = false;
};
