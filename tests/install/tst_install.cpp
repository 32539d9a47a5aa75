// The installed program: the install tree, its desktop files checked by the
// desktop's own validators, the Debian package, and an installed Velkora
// started from a read-only prefix with a fresh home directory — one exercise
// recorded into the user's database and found again on the next start.
#include "../lessons/tippen.h"
#include "shell/app.h"
#include "shell/frmVelkora.h"
#include "lessons/frmLek.h"
#include "platform/richtextview.h"
#include "testenv.h"
#include "trainer/frmSchreiben.h"

#include <QDirIterator>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {
const QString kId = QStringLiteral("org.velkora.Velkora");

// Runs a program to its end; its exit code, or -1 when it could not run.
int ausfuehren(const QString& programm, const QStringList& args, QString* ausgabe = nullptr,
               const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
               int wartenMs = 120000) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(programm, args);
    if (!p.waitForFinished(wartenMs)) return -1;
    if (ausgabe) *ausgabe = QString::fromLocal8Bit(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// Rows of a table in a database file, -1 when it cannot be read.
int zeilen(const QString& datei, const QString& tabelle) {
    int n = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("zaehlen"));
        db.setDatabaseName(datei);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            QSqlQuery q(QStringLiteral("SELECT COUNT(*) FROM ") + tabelle, db);
            if (q.next()) n = q.value(0).toInt();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("zaehlen"));
    return n;
}

void schreibschutz(const QString& wurzel, bool an) {
    QDirIterator it(wurzel, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    QStringList alle{wurzel};
    while (it.hasNext()) alle << it.next();
    const QFile::Permissions w = QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup | QFile::WriteOther;
    for (const QString& f : alle) {
        const QFile::Permissions p = QFile::permissions(f);
        QFile::setPermissions(f, an ? p & ~w : p | QFile::WriteOwner | QFile::WriteUser);
    }
}

// Every file of a directory tree, relative to it, with its size.
QMap<QString, qint64> baum(const QString& wurzel) {
    QMap<QString, qint64> r;
    QDirIterator it(wurzel, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        r.insert(QDir(wurzel).relativeFilePath(it.filePath()), it.fileInfo().size());
    }
    return r;
}
}  // namespace

class TstInstall : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;
    QString prefix_, home_;
    QString shareDir() const { return prefix_ + QStringLiteral("/share/velkora"); }
    QString benutzerDir() const { return home_ + QStringLiteral("/.local/share/Velkora/Velkora"); }
    QProcessEnvironment programmUmgebung() const {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("HOME"), home_);
        for (const char* v : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
            e.remove(QString::fromLatin1(v));
        e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return e;
    }
    // Starts the installed executable, lets it run until the user's
    // databases are there and it has shown its windows, then ends it.
    void installiertStarten() {
        QProcess p;
        p.setProcessEnvironment(programmUmgebung());
        p.setWorkingDirectory(home_);
        p.start(prefix_ + QStringLiteral("/bin/velkora"), {});
        QVERIFY2(p.waitForStarted(), qPrintable(p.errorString()));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(benutzerDir() + QStringLiteral("/velkora.mdb")), 15000);
        QTest::qWait(500);
        QVERIFY2(p.state() == QProcess::Running, qPrintable(QString::fromLocal8Bit(p.readAll())));
        p.kill();
        p.waitForFinished();
    }

private slots:
    void initTestCase() {
        QVERIFY(tmp_.isValid());
        prefix_ = tmp_.filePath(QStringLiteral("prefix"));
        home_ = tmp_.filePath(QStringLiteral("home"));
        QVERIFY(QDir().mkpath(home_));
        QString aus;
        QCOMPARE(ausfuehren(QStringLiteral(VELKORA_CMAKE),
                            {"--install", VELKORA_BUILD_DIR, "--prefix", prefix_}, &aus), 0);
        schreibschutz(prefix_, true);
        // The program's own name decides the user's data directory.
        QCoreApplication::setApplicationName(QStringLiteral("Velkora"));
        QCoreApplication::setOrganizationName(QStringLiteral("Velkora"));
        qputenv("HOME", home_.toLocal8Bit());
        for (const char* v : {"XDG_DATA_HOME", "XDG_CONFIG_HOME"}) qunsetenv(v);
    }
    void cleanupTestCase() { schreibschutz(prefix_, false); }

    // Menu entry, icons and metainfo where the desktop looks for them; the
    // icon renders at their sizes.
    void layout_data() {
        QTest::addColumn<QString>("datei");
        QTest::addColumn<int>("groesse");
        QTest::newRow("program") << "bin/velkora" << 0;
        QTest::newRow("desktop") << "share/applications/" + kId + ".desktop" << 0;
        QTest::newRow("metainfo") << "share/metainfo/" + kId + ".metainfo.xml" << 0;
        QTest::newRow("svg") << "share/icons/hicolor/scalable/apps/" + kId + ".svg" << 0;
        QTest::newRow("manual page") << "share/man/man1/velkora.1.gz" << 0;
        QTest::newRow("copyright") << "share/doc/velkora/copyright" << 0;
        QTest::newRow("handbook") << "share/velkora/hilfe/index.html" << 0;
        QTest::newRow("handbook as documentation") << "share/doc/velkora/html/index.html" << 0;
        for (int s : {48, 128, 256})
            QTest::newRow(qPrintable(QString("png %1").arg(s)))
                << QString("share/icons/hicolor/%1x%1/apps/%2.png").arg(s).arg(kId) << s;
    }
    void layout() {
        QFETCH(QString, datei);
        QFETCH(int, groesse);
        const QString pfad = prefix_ + '/' + datei;
        QVERIFY2(QFileInfo(pfad).isFile(), qPrintable(pfad));
        if (groesse) {
            const QImage bild(pfad);
            QCOMPARE(bild.size(), QSize(groesse, groesse));
            // Drawn, not blank: the corners are clear, the middle is not.
            QCOMPARE(qAlpha(bild.pixel(0, 0)), 0);
            QVERIFY(qAlpha(bild.pixel(groesse / 2, groesse / 2)) == 255);
        }
    }

    // Every data file of the build's program directory is installed, the
    // same size; the databases arrive empty.
    void datendateien() {
        const QDir gebaut(QStringLiteral(VELKORA_PROGRAM_DIR));
        const QRegularExpression art(QStringLiteral("\\.(inf|txt|rtf|wav|ani|avi|mdb)$"),
                                     QRegularExpression::CaseInsensitiveOption);
        // The build's own lists, which lie there too.
        const QRegularExpression baulisten(QStringLiteral("^(CMake|CPack|install_manifest)"));
        const QMap<QString, qint64> installiert = baum(shareDir());
        int anzahl = 0;
        for (const QFileInfo& f : gebaut.entryInfoList(QDir::Files)) {
            if (!art.match(f.fileName()).hasMatch() || f.fileName().contains(baulisten)) continue;
            ++anzahl;
            QVERIFY2(installiert.contains(f.fileName()), qPrintable(f.fileName() + " is not installed"));
            if (!f.suffix().compare("mdb", Qt::CaseInsensitive)) continue;
            QCOMPARE(installiert.value(f.fileName()), f.size());
        }
        QVERIFY(anzahl >= 30);
        QCOMPARE(zeilen(shareDir() + "/velkora.mdb", "Auswertung"), 0);
    }

    // The desktop's validators accept the menu entry and the metainfo.
    void validatoren_data() {
        QTest::addColumn<QString>("programm");
        QTest::addColumn<QStringList>("args");
        QTest::newRow("desktop-file-validate")
            << "desktop-file-validate" << QStringList{"share/applications/" + kId + ".desktop"};
        QTest::newRow("appstreamcli")
            << "appstreamcli"
            << QStringList{"validate", "--no-net", "share/metainfo/" + kId + ".metainfo.xml"};
    }
    void validatoren() {
        QFETCH(QString, programm);
        QFETCH(QStringList, args);
        const QString exe = QStandardPaths::findExecutable(programm);
        if (exe.isEmpty()) QSKIP(qPrintable(programm + " is not installed"));
        const QString datei = prefix_ + '/' + args.takeLast();
        QString aus;
        QVERIFY2(ausfuehren(exe, args << datei, &aus) == 0, qPrintable(aus));
        QVERIFY2(!aus.contains(QRegularExpression("^(E|W):", QRegularExpression::MultilineOption)),
                 qPrintable(aus));
    }

    // The installed executable starts from the read-only prefix and seeds the
    // user's data directory; nothing is written into the prefix.
    void ersterStart() {
        const QMap<QString, qint64> vorher = baum(prefix_);
        installiertStarten();
        QCOMPARE(baum(prefix_), vorher);
        QCOMPARE(zeilen(benutzerDir() + "/velkora.mdb", "Auswertung"), 0);
    }

    // An exercise typed through the installed files lands in the user's
    // database, and stays there over the next starts.
    void uebungAufgezeichnet() {
        const QString benutzer = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QCOMPARE(QDir::cleanPath(benutzer), QDir::cleanPath(benutzerDir()));
        const Ablageorte orte = ablageorte(prefix_ + "/bin", benutzer);
        QCOMPARE(orte.programDir, QDir::cleanPath(shareDir()));
        QCOMPARE(orte.databaseDir, QDir::cleanPath(benutzerDir()));
        {
            FakeServices services;
            SettingsStore store(home_ + "/settings.ini");
            App app(orte.programDir, store, services, orte.databaseDir);
            app.forms.get<frmVelkora>();
            frmSchreiben& s = app.forms.get<frmSchreiben>();
            s.Command7->click();
            app.forms.get<frmLek>().Command1->click();
            const QString soll = s.rtb1->text();
            QVERIFY(soll.size() > 100);
            tippeText(s.Text1, soll);
            QTest::keyClick(s.Text1, 'j');
            QCOMPARE(s.Text2->text(), QStringLiteral("DB_ENDE"));
            QVERIFY2(services.messages.isEmpty(), qPrintable(services.messages.value(0).text));
        }
        QCOMPARE(zeilen(benutzerDir() + "/velkora.mdb", "Auswertung"), 1);
        QCOMPARE(zeilen(benutzerDir() + "/finger.mdb", "fehlerliste"), 1);
        // The installed program again, and the start-up rules once more.
        installiertStarten();
        QCOMPARE(ablageorte(prefix_ + "/bin", benutzer).databaseDir, QDir::cleanPath(benutzerDir()));
        QCOMPARE(zeilen(benutzerDir() + "/velkora.mdb", "Auswertung"), 1);
        QCOMPARE(zeilen(shareDir() + "/velkora.mdb", "Auswertung"), 0);
    }

    // The Debian package: its name, the dependencies for the libraries and
    // the plugins, and the install tree under /usr.
    void paket() {
        for (const char* tool : {"dpkg-deb", "dpkg-shlibdeps"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                QSKIP(qPrintable(QString::fromLatin1(tool) + " is not installed"));
        const QString aus = tmp_.filePath("paket");
        QString log;
        QVERIFY2(ausfuehren(QStringLiteral(VELKORA_CPACK),
                            {"-G", "DEB", "--config", VELKORA_BUILD_DIR "/CPackConfig.cmake", "-B", aus,
                             "-D", "CPACK_OUTPUT_FILE_PREFIX=" + aus},
                            &log) == 0,
                 qPrintable(log));
        const QString deb = aus + "/velkora_1.0-1_amd64.deb";
        QVERIFY2(QFile::exists(deb), qPrintable(QDir(aus).entryList().join(' ')));
        QString depends, inhalt;
        QCOMPARE(ausfuehren("dpkg-deb", {"-f", deb, "Depends"}, &depends), 0);
        for (const char* p : {"libqt6sql6-sqlite", "qt6-qpa-plugins", "fonts-liberation", "libqt6widgets6",
                              "libqt6multimedia6", "libqt6charts6", "libc6"})
            QVERIFY2(depends.contains(QRegularExpression(QString("(^|, )%1( |,|$)").arg(p))),
                     qPrintable(depends));
        QCOMPARE(ausfuehren("dpkg-deb", {"-c", deb}, &inhalt), 0);
        for (const QString& f : QStringList{"./usr/bin/velkora", "./usr/share/velkora/Intro.inf",
                                 "./usr/share/applications/" + kId + ".desktop",
                                 "./usr/share/doc/velkora/changelog.Debian.gz"})
            QVERIFY2(inhalt.contains(f), qPrintable(f));
        // Debian's own checker finds neither an error nor a warning in it
        // (a missing copyright file or changelog is an error, a missing
        // manual page a warning).
        const QString lintian = QStandardPaths::findExecutable(QStringLiteral("lintian"));
        if (lintian.isEmpty()) QSKIP("lintian is not installed");
        QString befund;
        const int rc = ausfuehren(lintian, {"--fail-on", "error,warning", deb}, &befund,
                                  QProcessEnvironment::systemEnvironment(), 600000);
        const QRegularExpression meldung("^(E|W): ", QRegularExpression::MultilineOption);
        QVERIFY2(rc == 0 && !befund.contains(meldung), qPrintable(befund));
    }
};

VELKORA_TEST_MAIN(TstInstall)
#include "tst_install.moc"
