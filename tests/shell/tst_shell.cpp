// Start-up and shut-down of the main window: options read from the store,
// title and fixed geometry, writing back at exit; the splash window.
#include "platform/richtextview.h"
#include "platform/units.h"
#include "shell/frmVelkora.h"
#include "testenv.h"
#include "trainer/frmSchreiben.h"
#include "windows/frmSplash.h"

#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPushButton>

class TstShell : public QObject {
    Q_OBJECT
private slots:
    void firstStart();
    void storedValues_data();
    void storedValues();
    void shutDownWrites();
    void minimisedExit();
    void unwritableStore();
    void splashKeys_data();
    void splashKeys();
    void programDir();
};

static QString opt(TestEnv& env, const char* key) {
    return env.app->GetSetting("Optionen", QString::fromUtf8(key));
}

void TstShell::firstStart() {
    TestEnv env;
    frmVelkora& w = env.app->forms.get<frmVelkora>();
    QCOMPARE(w.windowTitle(), QString("Velkora 1.0  "));
    const Optionen& o = env.app->opt;
    QVERIFY(o.checkAnimat && o.checkFehlermeldung && o.checkGeraeusch && o.checkReminder &&
            o.checkStatistik);
    QCOMPARE(o.farbwert1, 16761024);
    QCOMPARE(o.tdauer, qint16(5));
    QCOMPARE(w.pos(), QPoint(38, 55));
    QCOMPARE(w.size(), QSize(twipsToPx(14060), twipsToPx(9710)));
    // The writing window opened with the introduction.
    frmSchreiben* s = env.app->forms.loaded<frmSchreiben>();
    QVERIFY(s);
    QVERIFY(!s->rtb1->text().isEmpty());
    QVERIFY(!s->Text1->isEnabled());
    QVERIFY(s->Text2->isHidden());
    QVERIFY(env.services.messages.isEmpty());
}

void TstShell::storedValues_data() {
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("expected");
    QTest::newRow("name") << "Optionen" << "Benutzer" << "Anna" << "title" << "Velkora 1.0     Anna";
    QTest::newRow("width 500") << "Settings" << "MainWidth" << "500" << "width" << "937";
    QTest::newRow("height 20000") << "Settings" << "MainHeight" << "20000" << "height" << "647";
    QTest::newRow("left 100") << "Settings" << "MainLeft" << "100" << "left" << "7";
    QTest::newRow("left text") << "Settings" << "MainLeft" << "links" << "left" << "0";
    QTest::newRow("Tdauer abc") << "Optionen" << "Tdauer" << "abc" << "tdauer" << "0";
    QTest::newRow("Tdauer 12") << "Optionen" << "Tdauer" << "12" << "tdauer" << "12";
    QTest::newRow("Farbwert1 huge") << "Optionen" << "Farbwert1" << "9999999999999" << "farbwert1" << "0";
    QTest::newRow("Farbwert1 255") << "Optionen" << "Farbwert1" << "255" << "farbwert1" << "255";
    QTest::newRow("CheckAnimat False") << "Optionen" << "CheckAnimat" << "False" << "animat" << "0";
    QTest::newRow("CheckAnimat word") << "Optionen" << "CheckAnimat" << "jein" << "animat" << "0";
    QTest::newRow("CheckGeräusch False") << "Optionen" << QString::fromUtf8("CheckGeräusch") << "False"
                                         << "geraeusch" << "0";
}

void TstShell::storedValues() {
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, what);
    QFETCH(QString, expected);
    TestEnv env;
    env.app->SaveSetting(section, key, value);
    frmVelkora& w = env.app->forms.get<frmVelkora>();
    QString actual;
    if (what == "title") actual = w.windowTitle();
    else if (what == "width") actual = QString::number(w.width());
    else if (what == "height") actual = QString::number(w.height());
    else if (what == "left") actual = QString::number(w.pos().x());
    else if (what == "tdauer") actual = QString::number(env.app->opt.tdauer);
    else if (what == "farbwert1") actual = QString::number(env.app->opt.farbwert1);
    else if (what == "animat") actual = QString::number(env.app->opt.checkAnimat);
    else if (what == "geraeusch") actual = QString::number(env.app->opt.checkGeraeusch);
    QCOMPARE(actual, expected);
    // Whatever was stored, start-up ends with the window at its fixed size.
    QCOMPARE(w.size(), QSize(937, 647));
}

void TstShell::shutDownWrites() {
    TestEnv env;
    env.app->SaveSetting("Settings", "MainLeft", "100");
    frmVelkora& w = env.app->forms.get<frmVelkora>();
    w.show();
    env.app->opt.benutzer = QString::fromUtf8("Jörg");
    env.app->opt.checkStatistik = false;
    env.app->opt.tdauer = 17;
    QVERIFY(w.close());
    // The fixed place is written back, not the window's own.
    QCOMPARE(env.app->GetSetting("Settings", "MainLeft"), QString("570"));
    QCOMPARE(env.app->GetSetting("Settings", "MainHeight"), QString("9710"));
    QCOMPARE(opt(env, "Benutzer"), QString::fromUtf8("Jörg"));
    QCOMPARE(opt(env, "CheckStatistik"), QString("False"));
    QCOMPARE(opt(env, "CheckGeräusch"), QString("True"));
    QCOMPARE(opt(env, "Farbwert1"), QString("16761024"));
    QCOMPARE(opt(env, "Tdauer"), QString("17"));
    QVERIFY(!env.app->forms.loaded<frmSchreiben>());
    // The next start reads what was written.
    env.restart();
    QCOMPARE(env.app->forms.get<frmVelkora>().windowTitle(), QString::fromUtf8("Velkora 1.0     Jörg"));
    QVERIFY(!env.app->opt.checkStatistik);
}

void TstShell::minimisedExit() {
    TestEnv env;
    env.app->SaveSetting("Settings", "MainLeft", "100");
    frmVelkora& w = env.app->forms.get<frmVelkora>();
    w.showMinimized();
    QVERIFY(w.isMinimized());
    env.app->opt.benutzer = "Mia";
    w.close();
    QCOMPARE(env.app->GetSetting("Settings", "MainLeft"), QString("100"));
    QVERIFY(env.app->GetSetting("Settings", "MainTop").isEmpty());
    QCOMPARE(opt(env, "Benutzer"), QString("Mia"));
}

void TstShell::unwritableStore() {
    TestEnv env;
    frmVelkora& w = env.app->forms.get<frmVelkora>();
    // The settings file becomes a directory: every write fails.
    QFile::remove(env.settingsFile());
    QDir().mkpath(env.settingsFile());
    env.restart();
    frmVelkora& w2 = env.app->forms.get<frmVelkora>();
    Q_UNUSED(w);
    w2.show();
    QVERIFY(w2.close());
    QVERIFY(!env.app->forms.loaded<frmVelkora>() || !w2.isVisible());
}

void TstShell::splashKeys_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
    QTest::newRow("OK") << 0;
}

void TstShell::splashKeys() {
    QFETCH(int, key);
    TestEnv env;
    frmSplash& s = env.app->forms.get<frmSplash>();
    s.show();
    QVERIFY(!env.app->forms.loaded<frmVelkora>());
    if (key) QTest::keyClick(&s, Qt::Key(key));
    else s.cmdOK->click();
    frmVelkora* w = env.app->forms.loaded<frmVelkora>();
    QVERIFY(w);
    QVERIFY(w->isVisible());
    QVERIFY(!env.app->forms.loaded<frmSplash>());
}

void TstShell::programDir() {
    QTemporaryDir root;
    QDir().mkpath(root.filePath("bin"));
    QDir().mkpath(root.filePath("share/velkora"));
    QFile f(root.filePath("share/velkora/Intro.inf"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    // Data beside the executable wins; otherwise the installed data directory.
    QCOMPARE(App::findProgramDir(root.filePath("bin")), QDir::cleanPath(root.filePath("share/velkora")));
    QFile g(root.filePath("bin/Intro.inf"));
    QVERIFY(g.open(QIODevice::WriteOnly));
    g.close();
    QCOMPARE(App::findProgramDir(root.filePath("bin")), QDir::cleanPath(root.filePath("bin")));
}

VELKORA_TEST_MAIN(TstShell)
#include "tst_shell.moc"
