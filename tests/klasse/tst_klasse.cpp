#include "insight/tastenwerte.h"
#include "klasse/frmKlasse.h"
#include "klasse/klassenseite.h"
#include "klasse/klassenversand.h"
#include "klasse/passwort.h"
#include "settings/frmarc.h"
#include "trainer/frmSchreiben.h"
#include "klasse/pruefung.h"
#include "klasse/schema.h"
#include "klasse/versand.h"
#include "pgserver.h"
#include "platform/textcodec.h"
#include "testenv.h"
#include "trainer/recording.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QDateEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// A result as the recording makes it: both rows, records of three keys and
// two pairs, and a row of a further table.
WartendesErgebnis ergebnis(int lektion = 3, double fehler = 2) {
    Uebung ex;
    ex.lektionsnr = qint16(lektion);
    ex.zaehler = 100, ex.fehler = fehler, ex.laufzeit = 60, ex.anschlaegeGanz = 100, ex.anschlaegeProMinute = 100;
    ex.Fehlerquote = fehler / 100;
    const QString id = neueErgebnisId();
    WartendesErgebnis e{id, ergebnisZeilen(ex, QDateTime(QDate(2026, 12, 1), QTime(10, 0)), id)};
    Zeichenwerte w;
    w.zeichen[u'a'] = {30, 1, 6000, 29};
    w.zeichen[u'ö'] = {20, 3, 8000, 19};
    w.zeichen[u'\n'] = {2, 0, 900, 2};
    w.paare[paarSchluessel(u'a', u'ö')] = {10, 2, 3000, 9};
    w.paare[paarSchluessel(u' ', u'a')] = {5, 0, 1000, 5};
    e.zeilen << tastenwertZeilen(w, id, QDate(2026, 12, 1));
    e.zeilen << Tabellenzeile{QStringLiteral("Abschrift"), {QStringLiteral("text")}, {QStringLiteral("„Grüße“; \"x\"")}, id};
    return e;
}

qint64 zahl(QSqlDatabase db, const QString& sql) {
    QSqlQuery q(db);
    if (!q.exec(sql) || !q.next()) return -1;
    return q.value(0).toLongLong();
}
}  // namespace

class TestKlasse : public QObject {
    Q_OBJECT
    std::unique_ptr<PgTestServer> srv;
    QHash<QString, QString> pw;  // login -> password, from the teacher's list
    QStringList schueler7b;

    QSqlDatabase als(const QString& login) {
        const QString name = QStringLiteral("als-") + login;
        if (QSqlDatabase::contains(name) && QSqlDatabase::database(name, false).isOpen())
            return QSqlDatabase::database(name, false);
        QString f;
        if (!klasseVerbinden(srv->zugang(login, pw.value(login)), name, 5, &f)) qWarning() << f;
        return QSqlDatabase::database(name, false);
    }
    QString datei(const QString& name) { return QDir::temp().filePath(name + QString::number(getpid())); }

private slots:
    void initTestCase() {
        srv = std::make_unique<PgTestServer>();
        QVERIFY2(srv->ok(), qPrintable(srv->fehler()));
        // The school's way: the command-line program with a list as exported
        // (Windows-1252, semicolons), the server's own password in PGPASSWORD.
        QTemporaryDir d;
        const auto klasse = [&](const QString& name, const QByteArray& liste) {
            QFile f(d.filePath(name + ".csv"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(liste);
            f.close();
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("PGPASSWORD"), QString::fromLatin1(PgTestServer::kAdminPasswort));
            env.insert(QStringLiteral("PGSSLMODE"), QStringLiteral("require"));
            p.setProcessEnvironment(env);
            p.start(QStringLiteral(VELKORA_KLASSE_CLI),
                    {"--host", "127.0.0.1", "--port", QString::number(srv->port()), "--benutzer", "postgres",
                     "--datenbank", "velkora", "klasse", name, f.fileName(), d.filePath(name + "-pw.csv")});
            QVERIFY(p.waitForFinished(60000));
            QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
            QFile aus(d.filePath(name + "-pw.csv"));
            QVERIFY(aus.open(QIODevice::ReadOnly));
            QCOMPARE(aus.permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup), QFileDevice::Permissions());
            const QStringList zeilen = QString::fromUtf8(aus.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
            for (const QString& z : zeilen.mid(1)) {
                const QStringList f = z.split(u';');
                pw.insert(f[2], f[3]);
                if (name == u"7b" && !f[2].startsWith(QLatin1String("lehrer"))) schueler7b << f[2];
            }
        };
        klasse(QStringLiteral("7b"), encodeCp1252(QStringLiteral("Nachname;Vorname\r\nMüller;Anna\r\nWeiß;Jürgen\r\n"
                                                                   "Özdemir;Elif\r\n")));
        klasse(QStringLiteral("8a"), QByteArray("\xEF\xBB\xBFVorname,Nachname,Klasse\nBen,Groß,8a\nTom,Alt,9c\n"));
        QCOMPARE(schueler7b, (QStringList{"anna.mueller", "juergen.weiss", "elif.oezdemir"}));
        QVERIFY(pw.contains("ben.gross") && pw.contains("lehrer-7b") && pw.contains("lehrer-8a"));
        QVERIFY(!pw.contains("tom.alt"));  // of another class
        // Every pupil sends one result.
        for (const QString& login : schueler7b + QStringList{"ben.gross"}) {
            QString f;
            QCOMPARE(ergebnisSenden(als(login), ergebnis(), &f), Sendeausgang::Gesendet);
        }
    }

    void klassenliste_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("namen");  // "|" between them; "!" when the list is refused
        QTest::newRow("UTF-8 mit BOM, Semikolon") << QByteArray("\xEF\xBB\xBFNachname;Vorname\r\nM\xC3\xBCller;Anna\r\n")
                                                   << "Anna Müller";
        QTest::newRow("Windows-1252, Komma") << encodeCp1252(QStringLiteral("Familienname,Rufname\nWeiß,Jörg\n"))
                                             << "Jörg Weiß";
        QTest::newRow("eine Spalte Name") << QByteArray("Name\n\"M\xC3\xBCller, Anna\"\nBen Schmidt\n")
                                          << "Anna Müller|Ben Schmidt";
        QTest::newRow("Anführungszeichen, Leerzeilen") << QByteArray("Vorname;Nachname\n\n\"Li \"\"Lu\"\"\";Ma\n;\n")
                                                       << "Li \"Lu\" Ma";
        QTest::newRow("ohne Kopfzeile") << QByteArray("Müller;Anna\n") << "!";
        QTest::newRow("leer") << QByteArray("\xEF\xBB\xBF\r\n") << "!";
    }
    void klassenliste() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, namen);
        const Klassenliste k = klassenlisteLesen(bytes);
        QStringList n;
        for (const Schuelereintrag& s : k.schueler) n << s.anzeige();
        QCOMPARE(k.fehler.isEmpty() ? n.join(u'|') : QStringLiteral("!"), namen);
    }

    void logins_data() {
        QTest::addColumn<QString>("vorname");
        QTest::addColumn<QString>("nachname");
        QTest::addColumn<QString>("login");
        QTest::newRow("Umlaute") << "Jürgen" << "Weiß" << "juergen.weiss";
        QTest::newRow("Akzente, Bindestrich") << "José-María" << "Núñez" << "jose-maria.nunez";
        QTest::newRow("vergeben") << "Anna" << "Müller" << "anna.mueller3";
        QTest::newRow("nur Zeichen") << "!!" << "" << "schueler";
    }
    void logins() {
        QFETCH(QString, vorname);
        QFETCH(QString, nachname);
        QFETCH(QString, login);
        QCOMPARE(loginFuer(vorname, nachname, {"anna.mueller", "anna.mueller2"}), login);
    }

    // What each login may do, as the server enforces it.
    void rollen_data() {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<qint64>("erwartet");  // the count read; -1: the server refuses
        const QString zaehlen = QStringLiteral("SELECT count(*) FROM velkora.auswertung");
        QTest::newRow("Schüler liest nur sich") << "anna.mueller" << zaehlen << qint64(1);
        QTest::newRow("Schüler: nur eigene Tasten") << "anna.mueller"
                                                    << "SELECT count(DISTINCT schueler) FROM velkora.tastentage" << qint64(1);
        QTest::newRow("Schüler: nur sein Name") << "anna.mueller" << "SELECT count(*) FROM velkora.schueler" << qint64(1);
        QTest::newRow("Schüler ändert") << "anna.mueller" << "UPDATE velkora.auswertung SET fehler = 0" << qint64(-1);
        QTest::newRow("Schüler löscht") << "anna.mueller" << "DELETE FROM velkora.auswertung" << qint64(-1);
        QTest::newRow("Schüler leert") << "anna.mueller" << "TRUNCATE velkora.auswertung" << qint64(-1);
        QTest::newRow("Schüler trägt für andere ein")
            << "anna.mueller"
            << "INSERT INTO velkora.auswertung (ergebnis, schueler, datum, idlektion) VALUES "
               "(gen_random_uuid(), 'juergen.weiss', current_date, 1)"
            << qint64(-1);
        QTest::newRow("Schüler ändert Tastentage") << "anna.mueller" << "UPDATE velkora.tastentage SET falsch = 0"
                                                   << qint64(-1);
        QTest::newRow("Schüler legt Login an") << "anna.mueller" << "SELECT velkora.login_anlegen('x', 'y', 'velkora_lehrer')"
                                               << qint64(-1);
        QTest::newRow("Lehrer liest seine Klasse") << "lehrer-7b" << zaehlen << qint64(3);
        QTest::newRow("Lehrer: Tasten der Klasse") << "lehrer-7b"
                                                   << "SELECT count(DISTINCT schueler) FROM velkora.tastentage" << qint64(3);
        QTest::newRow("Lehrer: Namen der Klasse") << "lehrer-7b" << "SELECT count(*) FROM velkora.schueler" << qint64(3);
        QTest::newRow("Lehrer trägt ein")
            << "lehrer-7b"
            << "INSERT INTO velkora.auswertung (ergebnis, datum, idlektion) VALUES (gen_random_uuid(), current_date, 1)"
            << qint64(-1);
        QTest::newRow("Lehrer löscht") << "lehrer-7b" << "DELETE FROM velkora.auswertung" << qint64(-1);
        QTest::newRow("andere Klasse") << "lehrer-8a" << zaehlen << qint64(1);
        QTest::newRow("Schüler anderer Klasse") << "ben.gross" << zaehlen << qint64(1);
    }
    void rollen() {
        QFETCH(QString, login);
        QFETCH(QString, sql);
        QFETCH(qint64, erwartet);
        QSqlQuery q(als(login));
        const bool ok = q.exec(sql) && (q.isSelect() ? q.next() : true);
        QCOMPARE(ok ? (q.isSelect() ? q.value(0).toLongLong() : q.numRowsAffected()) : -1, erwartet);
        // Nothing was changed by anyone.
        QCOMPARE(zahl(srv->admin(), "SELECT count(*) FROM velkora.auswertung WHERE fehler = 2"), 4);
    }

    // A reply lost after the commit: the result is sent again and stored once.
    void erneutGesendet() {
        const WartendesErgebnis e = ergebnis();
        QString f;
        for (int i = 0; i < 3; ++i) QCOMPARE(ergebnisSenden(als("juergen.weiss"), e, &f), Sendeausgang::Gesendet);
        const QString wo = QStringLiteral(" WHERE ergebnis = '%1'").arg(e.ergebnis);
        for (const char* t : {"auswertung", "fehlerliste"})
            QCOMPARE(zahl(srv->admin(), "SELECT count(*) FROM velkora." + QString(t) + wo), 1);
        QCOMPARE(zahl(srv->admin(), "SELECT count(*) FROM velkora.tastenwerte" + wo), 3);
        QCOMPARE(zahl(srv->admin(), "SELECT count(*) FROM velkora.paarwerte" + wo), 2);
        QCOMPARE(zahl(srv->admin(), "SELECT count(*) FROM velkora.weitere_zeilen" + wo + " AND zeile->>'text' = "
                                    "'„Grüße“; \"x\"'"),
                 1);
        // The day's sums count it once too: two results of Jürgen's, 3 errors at ö each.
        QCOMPARE(zahl(srv->admin(), "SELECT falsch FROM velkora.tastentage WHERE schueler = 'juergen.weiss' "
                                    "AND zeichen = 'ö'"),
                 6);
    }

    // Each bad way in has its own message, in time; the check itself never
    // takes longer than its deadline.
    void verbindung_data() {
        QTest::addColumn<QString>("server");
        QTest::addColumn<int>("port");  // 0: the test server's; -1: a closed one; -2: one that never answers
        QTest::addColumn<QString>("passwort");
        QTest::addColumn<int>("tls");   // Klassenzugang::Tls
        QTest::addColumn<bool>("tlsAmServer");
        QTest::addColumn<int>("art");   // Verbindungsfehler; -1: connected
        const int verlangt = int(Klassenzugang::Tls::Verlangt), pruefen = int(Klassenzugang::Tls::Pruefen);
        QTest::newRow("in Ordnung") << "127.0.0.1" << 0 << "" << verlangt << true << -1;
        QTest::newRow("Zertifikat geprüft") << "localhost" << 0 << "" << pruefen << true << -1;
        QTest::newRow("falsches Passwort") << "127.0.0.1" << 0 << "falsch" << verlangt << true
                                           << int(Verbindungsfehler::Passwort);
        QTest::newRow("Port geschlossen") << "127.0.0.1" << -1 << "" << verlangt << true << int(Verbindungsfehler::PortZu);
        QTest::newRow("unbekannter Host") << "velkora-klasse.invalid" << 0 << "" << verlangt << true
                                          << int(Verbindungsfehler::HostUnbekannt);
        QTest::newRow("Zertifikat für anderen Namen") << "127.0.0.1" << 0 << "" << pruefen << true
                                                      << int(Verbindungsfehler::Zertifikat);
        QTest::newRow("Server schweigt") << "127.0.0.1" << -2 << "" << verlangt << true << int(Verbindungsfehler::Zeit);
        QTest::newRow("kein TLS am Server") << "127.0.0.1" << 0 << "" << verlangt << false
                                            << int(Verbindungsfehler::KeinTls);
    }
    void verbindung() {
        QFETCH(QString, server);
        QFETCH(int, port);
        QFETCH(QString, passwort);
        QFETCH(int, tls);
        QFETCH(bool, tlsAmServer);
        QFETCH(int, art);
        if (!tlsAmServer) QVERIFY(srv->stoppen() && srv->starten(false));
        // A socket that takes connections and never says a word.
        const int still = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t n = sizeof a;
        QVERIFY(::bind(still, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && ::listen(still, 8) == 0 &&
                ::getsockname(still, reinterpret_cast<sockaddr*>(&a), &n) == 0);
        Klassenzugang z = srv->zugang("anna.mueller", passwort.isEmpty() ? pw["anna.mueller"] : passwort);
        z.server = server;
        z.tls = Klassenzugang::Tls(tls);
        z.zertifikat = srv->zertifikat();
        if (port == -2) z.port = ntohs(a.sin_port);
        if (port == -1) z.port = ntohs(a.sin_port), ::close(still);
        Verbindungspruefung p(z);
        QSignalSpy fertig(&p, &Verbindungspruefung::fertig);
        QElapsedTimer uhr;
        uhr.start();
        p.starten();
        QVERIFY(fertig.wait(6000));
        const qint64 ms = uhr.elapsed();
        if (port != -1) ::close(still);
        if (!tlsAmServer) QVERIFY(srv->stoppen() && srv->starten(true));
        const QString meldung = fertig.first().at(1).toString();
        QVERIFY2(ms < 5000, qPrintable(QString::number(ms)));
        QCOMPARE(fertig.first().at(0).toBool(), art < 0);
        if (art >= 0)
            QVERIFY2(meldung.startsWith(verbindungsMeldung(Verbindungsfehler(art), z, {})), qPrintable(meldung));
        else
            QVERIFY2(meldung.contains("7b"), qPrintable(meldung));
    }

    // The server dies while results are sent, and comes back: each arrives once.
    void serverWegBeimSenden() {
        const QString w = datei("wartend"), ab = datei("abgewiesen");
        QList<Tabellenzeile> alle;
        QStringList ids;
        for (int i = 0; i < 150; ++i) {
            const WartendesErgebnis e = ergebnis(5, 1);
            alle << e.zeilen;
            ids << e.ergebnis;
        }
        QVERIFY(warteAnhaengen(w, alle));
        const Klassenzugang z = srv->zugang("elif.oezdemir", pw["elif.oezdemir"]);
        Sendebericht b;
        QThread* t = QThread::create([&] {
            b = warteSenden(z, w, ab, "weg");
            QSqlDatabase::removeDatabase("weg");
        });
        t->start();
        while (warteLesen(w).size() > 140 && !t->isFinished()) QThread::msleep(5);
        QVERIFY(srv->stoppen("immediate"));
        t->wait();
        delete t;
        QCOMPARE(b.letzter, Sendeausgang::Verbindung);
        QVERIFY(b.wartend > 0);
        QVERIFY(srv->starten());
        b = warteSenden(z, w, ab, "wieder");
        QCOMPARE(b.wartend, 0);
        QVERIFY(!QFile::exists(w));
        QCOMPARE(zahl(srv->admin(), "SELECT count(*) FROM velkora.auswertung WHERE schueler = 'elif.oezdemir' AND "
                                    "idlektion = 5"),
                 150);
        QSqlDatabase::removeDatabase("wieder");
    }

    // The teacher's overview through the window: the class's pupils with
    // their figures, the lessons, sorted by a click, exported as CSV.
    void uebersicht() {
        TestEnv env;
        zugangSpeichern(*env.store, srv->zugang("x", {}));
        frmKlasse& f = env.app->forms.get<frmKlasse>();
        f.datVon->setDate(QDate(2026, 11, 1));
        f.datBis->setDate(QDate(2026, 12, 15));  // November from the month sums, December from the days
        f.txtLogin->setText("lehrer-7b");
        f.txtPasswort->setText(pw["lehrer-7b"]);
        QSignalSpy gelesen(&f, &frmKlasse::gelesen);
        f.cmdAnzeigen->click();
        QVERIFY(gelesen.wait(10000));
        const Klassenbericht& b = f.bericht();
        QVERIFY2(b.fehler.isEmpty(), qPrintable(b.fehler));
        QCOMPARE(b.schueler.size(), 3);  // 7b only
        for (const Schuelerzeile& s : b.schueler) {
            QCOMPARE(s.klasse, "7b");
            QVERIFY(s.uebungen >= 1);
            QCOMPARE(s.letzterTag, QDate(2026, 12, 1));
            QCOMPARE(s.hoechsteLektion, s.login == "elif.oezdemir" ? 5 : 3);  // at 2 % errors: passed
            QCOMPARE(s.schwaechsteTasten.value(0), "ö (13,0 %)");
        }
        QCOMPARE(b.lektionen.value(0).lektion, 3);
        QCOMPARE(b.lektionen.value(0).bestanden, 3);
        f.tblSchueler->sortItems(1, Qt::DescendingOrder);
        QCOMPARE(f.tblSchueler->item(0, 1)->text(), "Jürgen Weiß");
        QTemporaryDir d;
        QVERIFY(f.exportieren(d.filePath("k.csv")).startsWith("Die Übersicht steht"));
        QFile csv(d.filePath("k-lektionen.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QVERIFY(csv.readAll().contains("\r\n3;Lektion "));
        // Someone else's login sees no class.
        f.txtLogin->setText("anna.mueller");
        f.txtPasswort->setText(pw["anna.mueller"]);
        f.cmdAnzeigen->click();
        QVERIFY(gelesen.wait(10000));
        QCOMPARE(f.bericht().schueler.size(), 1);
    }

    // Joined through the settings tab; every recorded exercise reaches the
    // server, also when the server was away meanwhile or the program was
    // started again; the writing window says how it went.
    void aufzeichnungGesendet() {
        passwortNurDatei(true);
        TestEnv env;
        env.app->klasse().setWiederholungMs(200);
        frmarc& d = env.app->forms.get<frmarc>();
        auto* s = d.findChild<Klassenseite*>();
        s->txtServer->setText("127.0.0.1");
        s->txtPort->setValue(srv->port());
        s->txtDatenbank->setText("velkora");
        s->txtLogin->setText("juergen.weiss");
        s->txtPasswort->setText(pw["juergen.weiss"]);
        QVERIFY(s->chkTls->isChecked());
        d.Command14_Click();
        QTRY_COMPARE(passwortort(*env.app), Passwortort::Datei);
        QCOMPARE(QFile::permissions(passwortDatei(*env.app)), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                                  QFileDevice::ReadUser | QFileDevice::WriteUser);
        const QString anzahl =
            QStringLiteral("SELECT count(*) FROM velkora.auswertung WHERE schueler = 'juergen.weiss' AND idlektion = 9");
        auto aufzeichnen = [&] {
            Uebung& ex = env.app->ex;
            ex = Uebung{};
            ex.lektionsnr = 9, ex.zaehler = 50, ex.fehler = 1, ex.laufzeit = 30, ex.anschlaegeGanz = 50;
            ex.anschlaegeProMinute = 100, ex.Fehlerquote = 0.02;
            ergebnisseAufzeichnen(*env.app);
        };
        aufzeichnen();
        QTRY_COMPARE(env.app->klasse().status(), kStatusGesendet);
        auto* label = env.app->forms.get<frmSchreiben>().findChild<QLabel*>("klasseStatus");
        QVERIFY(label && !label->isHidden());
        QCOMPARE(label->accessibleName(), "Klasse: an die Klasse gesendet");
        QCOMPARE(zahl(srv->admin(), anzahl), 1);
        QVERIFY(srv->stoppen("immediate"));
        aufzeichnen();
        QTRY_COMPARE(env.app->klasse().status(), kStatusWartet);
        QCOMPARE(label->text(), "Klasse: wartet auf den Server");
        QVERIFY(srv->starten());
        QTRY_COMPARE_WITH_TIMEOUT(env.app->klasse().status(), kStatusGesendet, 10000);
        QCOMPARE(zahl(srv->admin(), anzahl), 2);
        QVERIFY(srv->stoppen());
        aufzeichnen();
        QTRY_COMPARE(env.app->klasse().status(), kStatusWartet);
        env.restart();
        QVERIFY(srv->starten());
        env.app->klasse().anstossen();
        QTRY_COMPARE_WITH_TIMEOUT(env.app->klasse().status(), kStatusGesendet, 10000);
        QCOMPARE(zahl(srv->admin(), anzahl), 3);
    }

    // The sender killed at random moments while it sends: nothing lost,
    // nothing doubled, the day's sums right.
    void senderGetoetet() {
        const QString w = datei("getoetet");
        QList<Tabellenzeile> alle;
        for (int i = 0; i < 300; ++i) alle << ergebnis(7, 1).zeilen;
        QVERIFY(warteAnhaengen(w, alle));
        auto* zufall = QRandomGenerator::global();
        int getoetet = 0;
        for (int runde = 0; runde < 8 && QFile::exists(w); ++runde) {
            QProcess p;
            p.start(VELKORA_KLASSENSENDER, {w, QString::number(srv->port()), "anna.mueller", pw["anna.mueller"]});
            QVERIFY(p.waitForStarted());
            QThread::msleep(zufall->bounded(100, 400));
            if (::kill(pid_t(p.processId()), SIGKILL) == 0) ++getoetet;
            p.waitForFinished();
        }
        QVERIFY(getoetet > 0);
        QProcess p;
        p.start(VELKORA_KLASSENSENDER, {w, QString::number(srv->port()), "anna.mueller", pw["anna.mueller"]});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(!QFile::exists(w));
        QCOMPARE(zahl(srv->admin(), "SELECT count(*) FROM velkora.auswertung WHERE idlektion = 7"), 300);
        QCOMPARE(zahl(srv->admin(), "SELECT count(*) FROM velkora.tastenwerte t JOIN velkora.auswertung a USING "
                                    "(ergebnis) WHERE a.idlektion = 7"),
                 900);
        QCOMPARE(zahl(srv->admin(), "SELECT sum(falsch) FROM velkora.tastentage WHERE schueler = 'anna.mueller'"),
                 zahl(srv->admin(), "SELECT sum(falsch) FROM velkora.tastenwerte WHERE schueler = 'anna.mueller'"));
    }
};

VELKORA_TEST_MAIN(TestKlasse)
#include "tst_klasse.moc"
