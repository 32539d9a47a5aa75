#include "pgserver.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// A port nothing listens on at the moment.
int freierPort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t n = sizeof a;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &n) == 0)
        port = ntohs(a.sin_port);
    ::close(s);
    return port;
}

QString pgBin() {
    const QDir d(QStringLiteral("/usr/lib/postgresql"));
    QStringList v = d.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    std::sort(v.begin(), v.end(), [](const QString& a, const QString& b) { return a.toInt() > b.toInt(); });
    for (const QString& s : v)
        if (QFile::exists(d.filePath(s + QStringLiteral("/bin/initdb")))) return d.filePath(s + QStringLiteral("/bin"));
    return QString();
}
}  // namespace

bool PgTestServer::laufen(const QStringList& befehl, QString* ausgabe) {
    QStringList args = befehl;
    QString prog = args.takeFirst();
    if (::geteuid() == 0) {  // the server refuses to run as root
        args = QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"), prog} + args;
        prog = QStringLiteral("runuser");
    }
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(prog, args);
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
    }
    const QString out = QString::fromLocal8Bit(p.readAll());
    if (ausgabe) *ausgabe = out;
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        fehler_ = prog + QLatin1Char(' ') + args.join(QLatin1Char(' ')) + QStringLiteral(": ") + out;
        return false;
    }
    return true;
}

PgTestServer::PgTestServer() : bin_(pgBin()), port_(freierPort()) {
    if (bin_.isEmpty()) {
        fehler_ = QStringLiteral("PostgreSQL ist nicht installiert (Paket postgresql)");
        return;
    }
    const QString d = dir_.path();
    if (::geteuid() == 0) {
        const passwd* pw = ::getpwnam("postgres");
        if (!pw || ::chown(qPrintable(d), pw->pw_uid, pw->pw_gid) != 0) {
            fehler_ = QStringLiteral("kein Benutzer postgres");
            return;
        }
    }
    QFile pwf(d + QStringLiteral("/pw"));
    pwf.open(QIODevice::WriteOnly);
    pwf.write(kAdminPasswort);
    pwf.close();
    pwf.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadOther | QFileDevice::ReadGroup);
    if (!laufen({bin_ + QStringLiteral("/initdb"), QStringLiteral("-D"), d + QStringLiteral("/data"),
                 QStringLiteral("-U"), QStringLiteral("postgres"), QStringLiteral("-A"), QStringLiteral("scram-sha-256"),
                 QStringLiteral("--pwfile=") + d + QStringLiteral("/pw"), QStringLiteral("-E"), QStringLiteral("UTF8"),
                 QStringLiteral("--locale=C"), QStringLiteral("-N")}))
        return;
    // A certificate for "localhost", signed by itself.
    if (!laufen({QStringLiteral("openssl"), QStringLiteral("req"), QStringLiteral("-new"), QStringLiteral("-x509"),
                 QStringLiteral("-days"), QStringLiteral("3"), QStringLiteral("-nodes"), QStringLiteral("-subj"),
                 QStringLiteral("/CN=localhost"), QStringLiteral("-addext"), QStringLiteral("subjectAltName=DNS:localhost"),
                 QStringLiteral("-newkey"), QStringLiteral("rsa:2048"), QStringLiteral("-keyout"),
                 d + QStringLiteral("/server.key"), QStringLiteral("-out"), zertifikat()}))
        return;
    if (!laufen({QStringLiteral("chmod"), QStringLiteral("600"), d + QStringLiteral("/server.key")})) return;
    QFile conf(d + QStringLiteral("/data/postgresql.conf"));
    conf.open(QIODevice::Append);
    conf.write(QStringLiteral("\nlisten_addresses = '127.0.0.1'\nport = %1\nunix_socket_directories = '%2'\n"
                              "ssl_cert_file = '%3'\nssl_key_file = '%2/server.key'\nfsync = off\n"
                              "max_connections = 120\nlc_messages = 'C'\n")
                   .arg(port_)
                   .arg(d, zertifikat())
                   .toUtf8());
    conf.close();
    QFile hba(d + QStringLiteral("/data/pg_hba.conf"));
    hba.open(QIODevice::WriteOnly | QIODevice::Truncate);
    hba.write("local all all scram-sha-256\nhost all all 127.0.0.1/32 scram-sha-256\n");
    hba.close();
    if (!starten()) return;
    QSqlDatabase a = admin(QStringLiteral("postgres"));
    QSqlQuery q(a);
    if (!q.exec(QStringLiteral("CREATE DATABASE velkora"))) fehler_ = q.lastError().text();
}

PgTestServer::~PgTestServer() {
    for (const QString& n : QSqlDatabase::connectionNames())
        if (n.startsWith(QStringLiteral("pgtest-admin-"))) QSqlDatabase::removeDatabase(n);
    if (laeuft_) stoppen("immediate");
}

bool PgTestServer::starten(bool tls) {
    const QString d = dir_.path();
    if (!laufen({bin_ + QStringLiteral("/pg_ctl"), QStringLiteral("-D"), d + QStringLiteral("/data"),
                 QStringLiteral("-l"), d + QStringLiteral("/log"), QStringLiteral("-w"), QStringLiteral("-t"),
                 QStringLiteral("60"), QStringLiteral("-o"),
                 tls ? QStringLiteral("-c ssl=on") : QStringLiteral("-c ssl=off"), QStringLiteral("start")}))
        return false;
    laeuft_ = true;
    return true;
}

bool PgTestServer::stoppen(const char* art) {
    const bool ok = laufen({bin_ + QStringLiteral("/pg_ctl"), QStringLiteral("-D"), dir_.path() + QStringLiteral("/data"),
                            QStringLiteral("-m"), QString::fromLatin1(art), QStringLiteral("-w"), QStringLiteral("stop")});
    if (ok) laeuft_ = false;
    return ok;
}

QSqlDatabase PgTestServer::admin(const QString& datenbank) {
    const QString name = QStringLiteral("pgtest-admin-") + datenbank + QString::number(quintptr(this));
    QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false)
                                                   : QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    if (db.isOpen() && !QSqlQuery(db).exec(QStringLiteral("SELECT 1"))) db.close();  // the server was restarted
    if (!db.isOpen()) {
        db.setHostName(QStringLiteral("127.0.0.1"));
        db.setPort(port_);
        db.setDatabaseName(datenbank);
        db.setUserName(QStringLiteral("postgres"));
        db.setPassword(QString::fromLatin1(kAdminPasswort));
        db.setConnectOptions(QStringLiteral("sslmode=prefer;connect_timeout=5"));
        if (!db.open()) fehler_ = db.lastError().text();
    }
    return db;
}

Klassenzugang PgTestServer::zugang(const QString& login, const QString& passwort) const {
    Klassenzugang z;
    z.server = QStringLiteral("127.0.0.1");
    z.port = port_;
    z.datenbank = QStringLiteral("velkora");
    z.login = login;
    z.passwort = passwort;
    return z;
}
