// Start-up and shut-down of the main window: options read from the store,
// title and fixed geometry, writing back at exit; the splash window.
#include "lessons/frmLek.h"
#include "platform/richtextview.h"
#include "platform/units.h"
#include "settings/frmarc.h"
#include "shell/frmVelkora.h"
#include "stats/frmStatistik.h"
#include "testenv.h"
#include "trainer/frmSchreiben.h"
#include "windows/frmSplash.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>

class TstShell : public QObject {
    Q_OBJECT
private slots:
    void firstStart();
    void storedValues_data();
    void storedValues();
    void resizeSnapsBack_data();
    void resizeSnapsBack();
    void windowPlacement_data();
    void windowPlacement();
    void shutDownWrites();
    void minimisedExit();
    void unwritableStore_data();
    void unwritableStore();
    void splashKeys_data();
    void splashKeys();
    void programDir();
    void shortcuts_data();
    void shortcuts();
    void settingsTabs_data();
    void settingsTabs();
    void timerCommands_data();
    void timerCommands();
    void timerKeysInInputBox();
    void statistik_data();
    void statistik();
};

namespace {
QAction* action(frmVelkora& w, const char* name) {
    auto* a = w.findChild<QAction*>(QString::fromLatin1(name));
    if (!a) qFatal("no menu item %s", name);
    return a;
}

// The main window shown and active, so that its shortcuts apply.
frmVelkora& aktivesHauptfenster(TestEnv& env) {
    frmVelkora& w = env.app->forms.get<frmVelkora>();
    w.show();
    w.activateWindow();
    if (!QTest::qWaitForWindowActive(&w)) qWarning("main window not active");
    return w;
}
}  // namespace

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
    // Far beyond the 16-bit range: taken as its end, not wrapped, and then
    // brought back onto the screen.
    QTest::newRow("left huge") << "Settings" << "MainLeft" << "32212254720" << "onscreen" << "1";
    QTest::newRow("top huge negative") << "Settings" << "MainTop" << "-32212254720" << "onscreen" << "1";
    QTest::newRow("Tdauer abc") << "Optionen" << "Tdauer" << "abc" << "tdauer" << "0";
    QTest::newRow("Tdauer 12") << "Optionen" << "Tdauer" << "12" << "tdauer" << "12";
    QTest::newRow("Farbwert1 huge") << "Optionen" << "Farbwert1" << "9999999999999" << "farbwert1" << "0";
    QTest::newRow("Farbwert1 255") << "Optionen" << "Farbwert1" << "255" << "farbwert1" << "255";
    QTest::newRow("CheckAnimat False") << "Optionen" << "CheckAnimat" << "False" << "animat" << "0";
    QTest::newRow("CheckAnimat word") << "Optionen" << "CheckAnimat" << "jein" << "animat" << "0";
    QTest::newRow("CheckGeräusch False") << "Optionen" << QString::fromUtf8("CheckGeräusch") << "False"
                                         << "geraeusch" << "0";
    // Edited by hand.
    QTest::newRow("CheckAnimat true") << "Optionen" << "CheckAnimat" << "true" << "animat" << "1";
    QTest::newRow("CheckGeräusch TRUE") << "Optionen" << QString::fromUtf8("CheckGeräusch") << "TRUE"
                                        << "geraeusch" << "1";
    // No longer than the settings dialog's name box holds.
    QTest::newRow("name of 40 000 characters") << "Optionen" << "Benutzer" << QString(40000, 'n') << "title"
                                               << "Velkora 1.0     " + QString(QLineEdit().maxLength(), 'n');
}

void TstShell::windowPlacement_data() {
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<QPoint>("platz");
    QTest::newRow("on the first screen") << QPoint(38, 55) << QPoint(38, 55);
    QTest::newRow("on the second screen") << QPoint(2000, 100) << QPoint(2000, 100);
    QTest::newRow("title bar just on") << QPoint(1820, 0) << QPoint(1820, 0);
    QTest::newRow("title bar off to the right") << QPoint(3150, 10) << QPoint(983, 10);
    QTest::newRow("16-bit end, left") << QPoint(twipsToPx(-32768), 20) << QPoint(0, 20);
    QTest::newRow("16-bit end, bottom") << QPoint(10, twipsToPx(32767)) << QPoint(10, 433);
    QTest::newRow("above the screens") << QPoint(100, -40) << QPoint(100, 0);
}

void TstShell::windowPlacement() {
    QFETCH(QPoint, pos);
    QFETCH(QPoint, platz);
    // Two screens side by side, the second one smaller.
    const QList<QRect> bereiche{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    QCOMPARE(aufBildschirm(pos, QSize(937, 647), bereiche), platz);
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
    else if (what == "onscreen") actual = QString::number(w.screen()->availableGeometry().contains(w.pos()));
    else if (what == "tdauer") actual = QString::number(env.app->opt.tdauer);
    else if (what == "farbwert1") actual = QString::number(env.app->opt.farbwert1);
    else if (what == "animat") actual = QString::number(env.app->opt.checkAnimat);
    else if (what == "geraeusch") actual = QString::number(env.app->opt.checkGeraeusch);
    QCOMPARE(actual, expected);
    // Whatever was stored, start-up ends with the window at its fixed size.
    QCOMPARE(w.size(), QSize(937, 647));
}

void TstShell::resizeSnapsBack_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("smaller") << QSize(600, 400);
    QTest::newRow("larger") << QSize(1200, 900);
    QTest::newRow("only wider") << QSize(1000, 647);
    QTest::newRow("only lower") << QSize(937, 500);
}

// Dragging the frame after the window is open: it springs back to its
// fixed size, and the writing window still fills it.
void TstShell::resizeSnapsBack() {
    QFETCH(QSize, size);
    TestEnv env;
    frmVelkora& w = env.app->forms.get<frmVelkora>();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QWidget* sub = env.app->forms.get<frmSchreiben>().parentWidget();
    const QSize subSize = sub->size();
    w.resize(size);
    QTRY_COMPARE(w.size(), QSize(937, 647));
    QTRY_COMPARE(sub->size(), subSize);
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

// A settings file that cannot be read or written as it stands: the learner
// is told at the start, by the settings dialog's OK and at the end, once
// each, and the program still runs.
void TstShell::unwritableStore_data() {
    QTest::addColumn<QString>("art");
    QTest::addColumn<QString>("beimStart");  // part of the message at the start; empty: none
    QTest::addColumn<QString>("beimEnde");
    QTest::newRow("a folder before the start") << "vorher" << "sondern ein Ordner" << "sondern ein Ordner";
    QTest::newRow("a folder made while running") << "danach" << "" << "sondern ein Ordner";
    QTest::newRow("10 MB of values") << "gross" << "beiseitegelegt" << "";
}

void TstShell::unwritableStore() {
    QFETCH(QString, art);
    QFETCH(QString, beimStart);
    QFETCH(QString, beimEnde);
    TestEnv env;
    env.app.reset();
    QFile f(env.settingsFile());
    if (art == "vorher") QVERIFY(QDir().mkpath(env.settingsFile()));
    else QVERIFY(f.open(QIODevice::WriteOnly) && f.write("[Optionen]\nBenutzer=Anna\n[Fremd]\nx=") &&
                 f.write(QByteArray(art == "gross" ? 10 << 20 : 1, 'x')) && f.flush());
    env.restart();
    frmVelkora& w = env.app->forms.get<frmVelkora>();
    auto meldung = [&](const QString& teil) {
        QCOMPARE(env.services.messages.size(), teil.isEmpty() ? 0 : 1);
        for (const auto& m : env.services.messages)
            QVERIFY2(m.text.contains(teil) && m.text.contains(env.settingsFile()), qPrintable(m.text));
        env.services.clear();
    };
    meldung(beimStart);
    if (art == "danach") {
        QVERIFY(QFile::remove(env.settingsFile()) && QDir().mkpath(env.settingsFile()));
        frmarc& d = env.app->forms.get<frmarc>();
        QCOMPARE(d.Text5->maxLength(), SettingsStore::kMaxValueLength);  // the store reads no more
        d.Command14->click();
        meldung(beimEnde);
    }
    QVERIFY(w.close());
    meldung(beimEnde);
    if (art != "vorher") QCOMPARE(w.windowTitle(), QString("Velkora 1.0     Anna"));
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

// ---- the menu ----

void TstShell::shortcuts_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("effect");
    QTest::newRow("Ctrl+Q") << int(Qt::Key_Q) << "closed";
    QTest::newRow("Ctrl+L") << int(Qt::Key_L) << "frmLek";
    QTest::newRow("Ctrl+R") << int(Qt::Key_R) << "frmarc 1";
    QTest::newRow("Ctrl+X") << int(Qt::Key_X) << "frmStatistik";
    QTest::newRow("Ctrl+W") << int(Qt::Key_W) << frmSchreiben::kHomepage;
    QTest::newRow("Ctrl+M") << int(Qt::Key_M) << frmVelkora::kMailAdresse;
    QTest::newRow("Ctrl+G") << int(Qt::Key_G) << "frmGym";
    QTest::newRow("Ctrl+T") << int(Qt::Key_T) << "frmTip";
    QTest::newRow("Ctrl+Y") << int(Qt::Key_Y) << "frmAbout";
    QTest::newRow("Ctrl+N") << int(Qt::Key_N) << "frmNumBlock";
}

void TstShell::shortcuts() {
    QFETCH(int, key);
    QFETCH(QString, effect);
    TestEnv env;
    frmVelkora& w = aktivesHauptfenster(env);
    QTest::keyClick(&w, Qt::Key(key), Qt::ControlModifier);
    auto* arc = env.app->forms.loaded<frmarc>();
    auto* lek = env.app->forms.loaded<frmLek>();
    auto* stat = env.app->forms.loaded<frmStatistik>();
    if (effect == "closed") {
        QVERIFY(!env.app->forms.loaded<frmSchreiben>());
        QCOMPARE(env.app->GetSetting("Settings", "MainLeft"), QString("570"));
    } else if (effect == "frmLek") {
        QVERIFY(lek && lek->isVisible());
    } else if (effect == "frmarc 1") {
        QVERIFY(arc && arc->isVisible() && arc->isModal());
        QCOMPARE(arc->SSTab1->currentIndex(), 1);
        QCOMPARE(env.services.beeps, 1);
    } else if (effect.startsWith("frm") && effect != "frmStatistik") {
        QWidget* f = nullptr;
        for (QWidget* t : QApplication::topLevelWidgets())
            if (t->objectName() == effect && t->isVisible()) f = t;
        QVERIFY2(f && f->isVisible(), qPrintable(effect));
    } else if (effect == "frmStatistik") {
        QVERIFY(stat && stat->isVisible());
        QCOMPARE(stat->Text1->text(), QString("0"));  // the empty results table
    } else if (!effect.isEmpty()) {
        QCOMPARE(env.services.opened, QStringList{effect});
    }
    if (effect != "frmarc 1") QVERIFY(!arc || !arc->isVisible());
    if (effect.isEmpty()) QVERIFY(env.services.opened.isEmpty() && !lek && !stat);
    QVERIFY(env.services.messages.isEmpty());
}

void TstShell::settingsTabs_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("tab");
    QTest::newRow("Audio") << "aud" << 0;
    QTest::newRow("Reminder") << "re" << 1;
    QTest::newRow("Farbe") << "fa" << 2;
    QTest::newRow("Verschiedenes") << "mennam" << 3;
    QTest::newRow("writing window") << "Command13" << 0;
}

void TstShell::settingsTabs() {
    QFETCH(QString, command);
    QFETCH(int, tab);
    TestEnv env;
    frmVelkora& w = env.app->forms.get<frmVelkora>();
    auto oeffnen = [&] {
        if (command == "Command13") env.app->forms.get<frmSchreiben>().Command13->click();
        else action(w, command.toLatin1().constData())->trigger();
        return env.app->forms.loaded<frmarc>();
    };
    for (int anderer : {3 - tab, 2}) {
        frmarc* d = oeffnen();
        QVERIFY(d && d->isVisible() && d->isModal());
        QCOMPARE(d->SSTab1->currentIndex(), tab);
        d->SSTab1->setCurrentIndex(anderer);  // left on another tab
        d->Command7->click();
    }
    // Loaded unseen (as the statistics gate does), it still opens on the tab.
    env.app->forms.get<frmarc>().SSTab1->setCurrentIndex(3 - tab);
    QCOMPARE(oeffnen()->SSTab1->currentIndex(), tab);
    QCOMPARE(env.services.beeps, command == "Command13" ? 0 : 3);
}

void TstShell::timerCommands_data() {
    QTest::addColumn<bool>("uebung");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<bool>("laeuft");
    QTest::newRow("anhalten, no exercise") << false << QStringList{"menTimAnh"} << false;
    QTest::newRow("starten, no exercise") << false << QStringList{"Timstart"} << false;
    QTest::newRow("anhalten") << true << QStringList{"menTimAnh"} << false;
    QTest::newRow("anhalten twice") << true << QStringList{"menTimAnh", "menTimAnh"} << false;
    QTest::newRow("starten while running") << true << QStringList{"Timstart"} << true;
    QTest::newRow("anhalten, starten") << true << QStringList{"menTimAnh", "Timstart"} << true;
    QTest::newRow("starten twice after a stop") << true << QStringList{"menTimAnh", "Timstart", "Timstart"} << true;
}

void TstShell::timerCommands() {
    QFETCH(bool, uebung);
    QFETCH(QStringList, commands);
    QFETCH(bool, laeuft);
    TestEnv env;
    frmVelkora& w = env.app->forms.get<frmVelkora>();
    frmSchreiben& s = env.app->forms.get<frmSchreiben>();
    if (uebung) {
        s.Command7->click();
        env.app->forms.get<frmLek>().Command1->click();  // lesson 1
        QVERIFY(!s.Frame3->isHidden());
    }
    for (const QString& c : commands) action(w, c.toLatin1().constData())->trigger();
    frmLek* lek = env.app->forms.loaded<frmLek>();
    if (!uebung) {
        QVERIFY(!lek);  // nothing was loaded for nothing
        QVERIFY(!s.Command5->isEnabled());
        return;
    }
    QCOMPARE(lek->Timer3->isActive(), laeuft);
    // The writing window's buttons mirror the stopwatch.
    QCOMPARE(s.Command5->isEnabled(), !laeuft);
    QCOMPARE(s.Command6->isEnabled(), laeuft);
}

void TstShell::timerKeysInInputBox() {
    TestEnv env;
    frmVelkora& w = aktivesHauptfenster(env);
    frmSchreiben& s = env.app->forms.get<frmSchreiben>();
    s.Command7->click();
    frmLek& lek = env.app->forms.get<frmLek>();
    lek.Command1->click();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    s.Text1->setFocus();
    QTest::keyClick(s.Text1, Qt::Key_A, Qt::ControlModifier);
    QVERIFY(!lek.Timer3->isActive());
    QVERIFY(s.Command5->isEnabled());
    QTest::keyClick(s.Text1, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(lek.Timer3->isActive());
    QVERIFY(s.Text1->toPlainText().isEmpty());  // the chords typed nothing
}

void TstShell::statistik_data() {
    QTest::addColumn<QString>("stored");
    QTest::newRow("on") << "True";
    QTest::newRow("off") << "False";
}

void TstShell::statistik() {
    QFETCH(QString, stored);
    TestEnv env;
    env.app->SaveSetting("Optionen", "CheckStatistik", stored);
    frmVelkora& w = env.app->forms.get<frmVelkora>();
    w.show();
    action(w, "menst")->trigger();
    // The gate read the dialog's switch, which loaded it unseen.
    frmarc* d = env.app->forms.loaded<frmarc>();
    QVERIFY(d && !d->isVisible());
    frmStatistik* st = env.app->forms.loaded<frmStatistik>();
    if (stored == "True") {
        QVERIFY(st && st->isVisible());
        QCOMPARE(st->Text1->text(), QString("0"));
        QVERIFY(env.services.messages.isEmpty());
        return;
    }
    QVERIFY(!st);  // no database was opened
    QCOMPARE(env.services.messages.size(), 1);
    QCOMPARE(env.services.messages[0].title, QString("STATISTIK nicht aktiviert"));
    QCOMPARE(env.services.messages[0].text,
             QString("Sie können die Statistik im Menü: Optionen/Einstellungen/Verschiedenes aktivieren."));
    QCOMPARE(env.services.messages[0].style, int(Msg::Information));
}

VELKORA_TEST_MAIN(TstShell)
#include "tst_shell.moc"
