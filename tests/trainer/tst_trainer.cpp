// The writing window driven through its input box: key judging, finger
// attribution, the on-screen keyboard, the figure, the stopwatch, the rating
// and the end of an exercise.
#include "lessons/frmLek.h"
#include "platform/richtextview.h"
#include "platform/units.h"
#include "shell/frmVelkora.h"
#include "stats/frmStatistik.h"
#include "testenv.h"
#include "trainer/anzeigefeld.h"
#include "trainer/frmSchreiben.h"
#include "trainer/keybutton.h"
#include "trainer/keytable.h"
#include "trainer/recording.h"

#include <QApplication>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMenu>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>

namespace {
const QColor kBase(192, 192, 255);
const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);

// A running exercise over text, as the lesson start leaves it.
frmSchreiben& exercise(TestEnv& env, const QString& text) {
    env.app->opt.checkFehlermeldung = true;
    env.app->opt.checkGeraeusch = true;
    env.app->opt.checkAnimat = true;
    frmSchreiben& s = env.app->forms.get<frmSchreiben>();
    s.rtb1->setText(text);
    s.rtb1->setLocked(false);
    s.Text1->setEnabled(true);
    s.Text1->setReadOnly(false);
    s.Text1->clear();
    s.zaehlen();
    s.strt();
    s.Text2->show();
    return s;
}

// Types one key: a character, or <Enter>, <BS>, <F2>, <Left>, <Tab>.
void type(QWidget* w, const QString& token) {
    static const QHash<QString, Qt::Key> named = {
        {"<Enter>", Qt::Key_Return}, {"<BS>", Qt::Key_Backspace}, {"<F2>", Qt::Key_F2},
        {"<Left>", Qt::Key_Left},    {"<Tab>", Qt::Key_Tab},      {"<Del>", Qt::Key_Delete}};
    if (named.contains(token)) {
        QTest::keyClick(w, named[token]);
        return;
    }
    const QChar c = token[0];
    static const QHash<QChar, Qt::Key> umlauts = {{QChar(0xF6), Qt::Key_Odiaeresis},
                                                 {QChar(0xE4), Qt::Key_Adiaeresis},
                                                 {QChar(0xFC), Qt::Key_Udiaeresis},
                                                 {QChar(0xDF), Qt::Key_ssharp}};
    if (umlauts.contains(c)) {
        QKeyEvent press(QEvent::KeyPress, umlauts[c], Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, umlauts[c], Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QApplication::sendEvent(w, &release);
        return;
    }
    QTest::keyClick(w, c.toLatin1());
}

void typeAll(QWidget* w, const QStringList& tokens) {
    for (const QString& t : tokens) type(w, t);
}
}  // namespace

class TstTrainer : public QObject {
    Q_OBJECT
private slots:
    void judging_data();
    void judging();
    void counterAtLimit();
    void endOfExercise();
    void keyColours_data();
    void keyColours();
    void enterStaysRed();
    void shortcutsAreNoErrors();
    void composedCharacters_data();
    void composedCharacters();
    void modifierChords_data();
    void modifierChords();
    void altLetterOpensMenu();
    void releaseElsewhere_data();
    void releaseElsewhere();
    void startComesToFront();
    void fingerTable_data();
    void fingerTable();
    void colourDesign_data();
    void colourDesign();
    void endPromptVisible();
    void longParagraphInSight();
    void figure();
    void stopwatch_data();
    void stopwatch();
    void rating_data();
    void rating();
    void noScoredCharacters();
    void buttons();
    void keyboardPaintsColours();
    void expectedKeyBox();
    void screenMatchesFreshPainting_data();
    void screenMatchesFreshPainting();
    void screenshot();
};

void TstTrainer::judging_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<double>("fehler");
    QTest::addColumn<double>("zaehler");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QList<int>>("fingers");  // LIHA, lklein, lzeige, REHA, rklein, rzeige
    QTest::addColumn<int>("errorSounds");
    using L = QList<int>;
    QTest::newRow("correct a") << "ab" << QStringList{"a"} << 0.0 << 1.0 << "a" << "b" << L{0, 0, 0, 0, 0, 0} << 0;
    QTest::newRow("a expected, A typed") << "ab" << QStringList{"A"} << 1.0 << 0.0 << "" << "a" << L{1, 1, 0, 0, 0, 0} << 1;
    QTest::newRow("A expected, a typed") << "Ab" << QStringList{"a"} << 1.0 << 0.0 << "" << "A" << L{0, 0, 0, 0, 0, 0} << 1;
    QTest::newRow("space expected, x typed") << "a b" << QStringList{"a", "x"} << 0.0 << 1.0 << "a" << "LEER" << L{0, 0, 0, 0, 0, 0} << 1;
    QTest::newRow("space typed") << "a b" << QStringList{"a", " "} << 0.0 << 1.0 << "a " << "b" << L{0, 0, 0, 0, 0, 0} << 0;
    QTest::newRow("backspace at a letter") << "ab" << QStringList{"a", "<BS>"} << 1.0 << 1.0 << "a" << "b" << L{1, 0, 1, 0, 0, 0} << 1;
    QTest::newRow("enter at a letter") << "fj" << QStringList{"f", "<Enter>"} << 1.0 << 1.0 << "f" << "j" << L{0, 0, 0, 1, 0, 1} << 1;
    QTest::newRow("enter at a break") << "a\r\nb" << QStringList{"a", "<Enter>"} << 0.0 << 1.0 << "a\n" << "b" << L{0, 0, 0, 0, 0, 0} << 0;
    QTest::newRow("letter at a break") << "a\r\nb" << QStringList{"a", "b"} << 0.0 << 1.0 << "a" << "RETURN" << L{0, 0, 0, 0, 0, 0} << 1;
    QTest::newRow("ö correct") << QString::fromUtf8("öx") << QStringList{QString::fromUtf8("ö")} << 0.0 << 1.0 << QString::fromUtf8("ö") << "x" << L{0, 0, 0, 0, 0, 0} << 0;
    QTest::newRow("ß expected, s typed") << QString::fromUtf8("ßx") << QStringList{"s"} << 1.0 << 0.0 << "" << QString::fromUtf8("ß") << L{0, 0, 0, 1, 1, 0} << 1;
    QTest::newRow("digit expected") << "1x" << QStringList{"2"} << 1.0 << 0.0 << "" << "1" << L{0, 0, 0, 0, 0, 0} << 1;
    QTest::newRow("delete and arrows change nothing") << "ab" << QStringList{"a", "<Del>", "<Left>"} << 0.0 << 1.0 << "a" << "b" << L{0, 0, 0, 0, 0, 0} << 0;
    QTest::newRow("two errors then right") << "qx" << QStringList{"w", "e", "q"} << 2.0 << 1.0 << "q" << "x" << L{2, 2, 0, 0, 0, 0} << 2;
}

void TstTrainer::judging() {
    QFETCH(QString, text);
    QFETCH(QStringList, keys);
    QFETCH(double, fehler);
    QFETCH(double, zaehler);
    QFETCH(QString, box);
    QFETCH(QString, display);
    QFETCH(QList<int>, fingers);
    QFETCH(int, errorSounds);
    TestEnv env;
    frmSchreiben& s = exercise(env, text);
    typeAll(s.Text1, keys);
    const Uebung& ex = env.app->ex;
    QCOMPARE(ex.fehler, fehler);
    QCOMPARE(ex.zaehler, zaehler);
    QCOMPARE(s.Text1->toPlainText(), box);
    QCOMPARE(s.Text2->text(), display);
    const Fingerfehler& f = ex.finger;
    QCOMPARE((QList<int>{f.LIHA, f.lkleinerfinger, f.lzeigefinger, f.REHA, f.rkleinerfinger, f.rzeigefinger}), fingers);
    QCOMPARE(f.ldaumenfinger + f.rdaumenfinger, 0);
    QCOMPARE(env.services.sounds.filter("FASTHEY.wav").size(), errorSounds);
    // Every key (but F1 to F4) clicks.
    QCOMPARE(env.services.sounds.filter("MsgType.wav").size(), keys.size());
}

void TstTrainer::counterAtLimit() {
    TestEnv env;
    frmSchreiben& s = exercise(env, "ax");
    env.app->ex.finger.LIHA = 32767;
    type(s.Text1, "s");
    QCOMPARE(env.app->ex.finger.LIHA, qint16(32767));
    QCOMPARE(env.app->ex.finger.lkleinerfinger, qint16(1));
    QCOMPARE(env.app->ex.fehler, 1.0);
}

void TstTrainer::endOfExercise() {
    TestEnv env;
    frmSchreiben& s = exercise(env, "ab");
    frmLek& lek = env.app->forms.get<frmLek>();
    lek.Stoppuhr();
    QVERIFY(!s.Command5->isEnabled());
    env.app->ex.anschlaegeProMinute = 120;
    env.app->ex.animSchritt = 1;
    typeAll(s.Text1, {"a", "b"});
    QCOMPARE(s.Text2->text(), QString("ENDE"));
    QVERIFY(s.rtb1->text().contains(frmSchreiben::kAuswertungPrompt));
    type(s.Text1, "x");  // any key runs the evaluation
    QCOMPARE(s.Text2->text(), QString("DB_ENDE"));
    QCOMPARE(s.Text1->toPlainText(),
             QString::fromUtf8("MaxZeichen: 2\nFehler: 0(0 Prozent )Klasse! 120 Anschläge/Min\n"
                               "Bitte eine Lektion auswählen (Strg + l)"));
    QVERIFY(s.Text1->isReadOnly());
    QVERIFY(s.rtb1->locked());
    QVERIFY(s.rtb1->text().isEmpty());
    QVERIFY(s.Command5->isEnabled());
    QVERIFY(!s.Command6->isEnabled());
    QVERIFY(!lek.Timer3->isActive());
    QCOMPARE(s.Label2->text(), QString("120"));
    QCOMPARE(s.Text5->text(), QString::fromUtf8("120 Anschläge/Min."));
    QCOMPARE(env.app->ex.anschlaegeGanz, qint16(2));
    QCOMPARE(env.app->ex.animX, 10);
    QCOMPARE(env.app->ex.animSchritt, qint16(0));
    for (int i = 0; i < 61; ++i) QCOMPARE(s.tastenfarbe(i), kBase);
    // Keys after the end are wrong keys and change nothing else.
    type(s.Text1, "y");
    QCOMPARE(env.app->ex.fehler, 1.0);
    QCOMPARE(s.Text2->text(), QString("DB_ENDE"));
    QVERIFY(s.Text1->toPlainText().startsWith("MaxZeichen: 2"));
}

// Key events one at a time: "+x" presses, "-x" releases; then the colours.
void TstTrainer::keyColours_data() {
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QList<int>>("indices");
    QTest::addColumn<QStringList>("colours");  // b base, g green, r red
    QTest::addColumn<int>("clicks");
    using L = QList<int>;
    QTest::newRow("shift+a held") << QStringList{"+Shift", "+A"} << L{9, 10, 8} << QStringList{"g", "g", "g"} << 2;
    QTest::newRow("shift+a released") << QStringList{"+Shift", "+A", "-A", "-Shift"} << L{9, 10, 8} << QStringList{"b", "b", "b"} << 2;
    QTest::newRow("caps once") << QStringList{"+Caps", "-Caps"} << L{13} << QStringList{"r"} << 1;
    QTest::newRow("caps twice") << QStringList{"+Caps", "-Caps", "+Caps", "-Caps"} << L{13} << QStringList{"b"} << 2;
    QTest::newRow("ctrl lights AltGr") << QStringList{"+Ctrl"} << L{18, 40} << QStringList{"g", "b"} << 1;
    QTest::newRow("alt lights Alt") << QStringList{"+Alt"} << L{17, 18} << QStringList{"g", "b"} << 1;
    QTest::newRow("F2 is silent") << QStringList{"+F2"} << L{56} << QStringList{"g"} << 0;
    QTest::newRow("F2 released") << QStringList{"+F2", "-F2"} << L{56} << QStringList{"b"} << 0;
    QTest::newRow("arrow lights nothing") << QStringList{"+Left"} << L{39, 53} << QStringList{"b", "b"} << 1;
    QTest::newRow("hash lights minus") << QStringList{"+#"} << L{39} << QStringList{"g"} << 1;
    QTest::newRow("space bar") << QStringList{"+Space"} << L{2} << QStringList{"g"} << 1;
}

void TstTrainer::keyColours() {
    QFETCH(QStringList, events);
    QFETCH(QList<int>, indices);
    QFETCH(QStringList, colours);
    QFETCH(int, clicks);
    static const QHash<QString, QPair<Qt::Key, QString>> keys = {
        {"Shift", {Qt::Key_Shift, ""}}, {"A", {Qt::Key_A, "A"}},       {"Caps", {Qt::Key_CapsLock, ""}},
        {"Ctrl", {Qt::Key_Control, ""}}, {"Alt", {Qt::Key_Alt, ""}},    {"F2", {Qt::Key_F2, ""}},
        {"Left", {Qt::Key_Left, ""}},   {"#", {Qt::Key_NumberSign, "#"}}, {"Space", {Qt::Key_Space, " "}}};
    TestEnv env;
    frmSchreiben& s = exercise(env, "zzz");
    for (const QString& e : events) {
        const auto [key, text] = keys[e.mid(1)];
        QKeyEvent ev(e[0] == '+' ? QEvent::KeyPress : QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(s.Text1, &ev);
    }
    for (int i = 0; i < indices.size(); ++i) {
        const QColor want = colours[i] == "g" ? kGreen : colours[i] == "r" ? kRed : kBase;
        QCOMPARE(s.tastenfarbe(indices[i]), want);
    }
    QCOMPARE(env.services.sounds.filter("MsgType.wav").size(), clicks);
}

void TstTrainer::enterStaysRed() {
    TestEnv env;
    frmSchreiben& s = exercise(env, "a\r\nb");
    type(s.Text1, "a");
    QCOMPARE(s.tastenfarbe(53), kRed);
    typeAll(s.Text1, {"x", "y"});
    QCOMPARE(s.tastenfarbe(53), kRed);
    QTest::keyPress(s.Text1, Qt::Key_Return);
    QCOMPARE(s.tastenfarbe(53), kGreen);
    QTest::keyRelease(s.Text1, Qt::Key_Return);
    QCOMPARE(s.tastenfarbe(53), kBase);
    QCOMPARE(s.Text2->text(), QString("b"));
}

void TstTrainer::shortcutsAreNoErrors() {
    TestEnv env;
    frmVelkora& main = env.app->forms.get<frmVelkora>();
    int triggered = 0;
    QAction* a = main.lek()->addAction("Probe");
    a->setShortcut(QKeySequence("Ctrl+J"));
    connect(a, &QAction::triggered, [&] { ++triggered; });
    main.show();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    frmSchreiben& s = exercise(env, "ab");
    s.Text1->setFocus();
    QTest::keyClick(s.Text1, Qt::Key_J, Qt::ControlModifier);
    QCOMPARE(env.app->ex.fehler, 0.0);
    QVERIFY(s.Text1->toPlainText().isEmpty());
    QCOMPARE(triggered, 1);
}

// What the platforms deliver for a dead key: X11 and Wayland swallow the
// dead key and commit the composed character through the input method;
// Windows sends the dead key without text, then the next key with the
// composed text. Events: "dead^" / "dead´" press a dead key (no text),
// "im:x" commits x, "pre:x" shows x as text still being composed,
// "key:x" presses and releases a key whose text is x.
void TstTrainer::composedCharacters_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<double>("fehler");
    QTest::addColumn<double>("zaehler");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("display");
    const QString e = QString::fromUtf8("é"), a = QString::fromUtf8("â"), acute = QString::fromUtf8("´");
    QTest::newRow("dead key alone is no key yet") << "^x" << QStringList{"dead^"} << 0.0 << 0.0 << "" << "^";
    QTest::newRow("committed sign") << "^x" << QStringList{"dead^", "im:^"} << 0.0 << 1.0 << "^" << "x";
    QTest::newRow("committed letter") << e + "x" << QStringList{"dead´", "im:" + e} << 0.0 << 1.0 << e << "x";
    QTest::newRow("composed key text") << a + "x" << QStringList{"dead^", "key:" + a} << 0.0 << 1.0 << a << "x";
    QTest::newRow("acute twice") << acute + "x" << QStringList{"dead´", "im:" + acute} << 0.0 << 1.0 << acute << "x";
    // X11 swallows the dead key's press and composes ´ and space to '.
    QTest::newRow("acute, space on X11") << acute + "x" << QStringList{"up´", "im:'"} << 0.0 << 1.0 << acute << "x";
    QTest::newRow("apostrophe key stays") << acute + "x" << QStringList{"up´", "key:'"} << 1.0 << 0.0 << "" << acute;
    QTest::newRow("wrong composition") << e + "x" << QStringList{"dead^", "im:" + QString::fromUtf8("ê")} << 1.0 << 0.0 << "" << e;
    QTest::newRow("pre-edit is not typed") << e + "x" << QStringList{"pre:" + e} << 0.0 << 0.0 << "" << e;
    QTest::newRow("commit of two characters") << "ab" << QStringList{"im:ab"} << 0.0 << 2.0 << "ab" << "ENDE";
    QTest::newRow("outside the code page") << "ax" << QStringList{"im:" + QString(QChar(0x0103))} << 0.0 << 0.0 << "" << "a";
}

void TstTrainer::composedCharacters() {
    QFETCH(QString, text);
    QFETCH(QStringList, events);
    QFETCH(double, fehler);
    QFETCH(double, zaehler);
    QFETCH(QString, box);
    QFETCH(QString, display);
    TestEnv env;
    frmSchreiben& s = exercise(env, text);
    bool deadKeyLit = true;
    for (const QString& ev : events) {
        const QString arg = ev.mid(ev.indexOf(':') + 1);
        if (ev.startsWith("up")) {
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Dead_Acute, Qt::NoModifier, QString());
            QApplication::sendEvent(s.Text1, &release);
        } else if (ev.startsWith("dead")) {
            const Qt::Key key = ev == "dead^" ? Qt::Key_Dead_Circumflex : Qt::Key_Dead_Acute;
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString());
            QApplication::sendEvent(s.Text1, &press);
            for (int i : tastenFuerVk(key == Qt::Key_Dead_Circumflex ? 220 : 221))
                deadKeyLit = deadKeyLit && s.tastenfarbe(i) == kGreen;
            QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString());
            QApplication::sendEvent(s.Text1, &release);
        } else if (ev.startsWith("im:") || ev.startsWith("pre:")) {
            QInputMethodEvent im(ev.startsWith("pre:") ? arg : QString(), {});
            if (ev.startsWith("im:")) im.setCommitString(arg);
            QApplication::sendEvent(s.Text1, &im);
        } else {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, arg);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, arg);
            QApplication::sendEvent(s.Text1, &press);
            QApplication::sendEvent(s.Text1, &release);
        }
    }
    const Uebung& ex = env.app->ex;
    QCOMPARE(ex.fehler, fehler);
    QCOMPARE(ex.zaehler, zaehler);
    QCOMPARE(s.Text1->toPlainText(), box);
    QCOMPARE(s.Text2->text(), display);
    QVERIFY2(deadKeyLit, "the dead key lights on key down");
    QCOMPARE(env.services.sounds.filter("FASTHEY.wav").size(), int(fehler));
}

// Alt chords are the menu's access keys and never typing; AltGr types,
// whether it arrives as Ctrl+Alt (Windows) or as its own level (X11).
void TstTrainer::modifierChords_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("keyText");
    QTest::addColumn<bool>("typed");
    QTest::addColumn<double>("fehler");
    const int alt = Qt::AltModifier, ctrlAlt = Qt::ControlModifier | Qt::AltModifier;
    const QString euro = QString::fromUtf8("€");
    QTest::newRow("Alt+J where j is expected") << "jx" << int(Qt::Key_J) << alt << "j" << false << 0.0;
    QTest::newRow("Alt+X where j is expected") << "jx" << int(Qt::Key_X) << alt << "x" << false << 0.0;
    QTest::newRow("Alt+Shift+J") << "Jx" << int(Qt::Key_J) << (alt | int(Qt::ShiftModifier)) << "J" << false << 0.0;
    QTest::newRow("Ctrl+J") << "jx" << int(Qt::Key_J) << int(Qt::ControlModifier) << "\x0a" << false << 0.0;
    QTest::newRow("AltGr+Q as Ctrl+Alt") << "@x" << int(Qt::Key_Q) << ctrlAlt << "@" << true << 0.0;
    QTest::newRow("Ctrl+Alt+E") << euro + "x" << int(Qt::Key_E) << ctrlAlt << euro << true << 0.0;
    QTest::newRow("AltGr+Q on X11") << "@x" << int(Qt::Key_At) << int(Qt::GroupSwitchModifier) << "@" << true << 0.0;
    QTest::newRow("AltGr+7 on X11") << "{x" << int(Qt::Key_BraceLeft) << 0 << "{" << true << 0.0;
    QTest::newRow("AltGr+M wrong") << "mx" << int(Qt::Key_mu) << ctrlAlt << QString::fromUtf8("µ") << false << 1.0;
}

void TstTrainer::modifierChords() {
    QFETCH(QString, text);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, keyText);
    QFETCH(bool, typed);
    QFETCH(double, fehler);
    TestEnv env;
    frmSchreiben& s = exercise(env, text);
    const auto m = Qt::KeyboardModifiers(modifiers);
    QKeyEvent press(QEvent::KeyPress, key, m, keyText);
    QKeyEvent release(QEvent::KeyRelease, key, m, keyText);
    QApplication::sendEvent(s.Text1, &press);
    QApplication::sendEvent(s.Text1, &release);
    QCOMPARE(env.app->ex.fehler, fehler);
    QCOMPARE(env.app->ex.zaehler, typed ? 1.0 : 0.0);
    QCOMPARE(s.Text1->toPlainText(), typed ? keyText : QString());
    QCOMPARE(s.Text2->text(), typed ? QString("x") : QString(text[0]));
    const Fingerfehler& f = env.app->ex.finger;
    QCOMPARE(f.REHA + f.LIHA, fehler > 0 ? 1 : 0);
}

void TstTrainer::altLetterOpensMenu() {
    TestEnv env;
    frmVelkora& main = env.app->forms.get<frmVelkora>();
    main.show();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    frmSchreiben& s = exercise(env, "lx");
    s.Text1->setFocus();
    QTest::keyClick(s.Text1, Qt::Key_L, Qt::AltModifier);
    QTRY_VERIFY(main.lek()->isVisible());
    main.lek()->close();
    QCOMPARE(env.app->ex.fehler, 0.0);
    QCOMPARE(env.app->ex.zaehler, 0.0);
    QCOMPARE(s.Text2->text(), QString("l"));
}

// A key whose release goes to another window (a shortcut opens the lesson
// window, an access key opens a menu) does not stay lit, nor does one held
// when an exercise starts; Caps Lock and the expected Enter keep their red.
void TstTrainer::releaseElsewhere_data() {
    QTest::addColumn<int>("modifier");  // the key held, and the letter typed with it
    QTest::addColumn<int>("index");     // the on-screen key it lights
    QTest::newRow("Ctrl+L, the lesson window") << int(Qt::Key_Control) << 18;
    QTest::newRow("Alt+L, the lesson menu") << int(Qt::Key_Alt) << 17;
}

void TstTrainer::releaseElsewhere() {
    QFETCH(int, modifier);
    QFETCH(int, index);
    TestEnv env;
    frmVelkora& main = env.app->forms.get<frmVelkora>();
    main.show();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    frmLek& lek = env.app->forms.get<frmLek>();  // loaded by an earlier lesson, so it resets no keys
    frmSchreiben& s = exercise(env, "a\r\nb");
    s.Text1->setFocus();
    type(s.Text1, "a");
    QTest::keyClick(s.Text1, Qt::Key_CapsLock);
    QTest::keyPress(s.Text1, Qt::Key(modifier));
    QCOMPARE(s.tastenfarbe(index), kGreen);
    QTest::keyPress(s.Text1, Qt::Key_L, modifier == Qt::Key_Control ? Qt::ControlModifier : Qt::AltModifier);
    QTRY_COMPARE(s.tastenfarbe(index), kBase);
    QCOMPARE(s.tastenfarbe(53), kRed);  // Enter expected
    QCOMPARE(s.tastenfarbe(13), kRed);  // Caps Lock on
    main.lek()->close();
    // Held while the lesson starts: the release goes to the lesson window.
    lek.zeigen();
    QKeyEvent shift(QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier);
    QApplication::sendEvent(s.Text1, &shift);
    QCOMPARE(s.tastenfarbe(9), kGreen);
    lek.Command1->click();
    QCOMPARE(s.tastenfarbe(9), kBase);
    QCOMPARE(s.tastenfarbe(10), kBase);
}

// A lesson started while the statistics overview covers the writing window
// is typed in sight: the writing window comes to the front with the
// keyboard in its input box.
void TstTrainer::startComesToFront() {
    TestEnv env;
    env.app->opt.checkStatistik = true;
    frmVelkora& main = env.app->forms.get<frmVelkora>();
    main.show();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    frmSchreiben& s = env.app->forms.get<frmSchreiben>();
    s.Command9->click();
    frmStatistik& st = env.app->forms.get<frmStatistik>();
    QVERIFY(st.isVisible());
    QMdiArea* mdi = main.mdiArea();
    auto oben = [mdi] { return mdi->subWindowList(QMdiArea::StackingOrder).last(); };
    QCOMPARE(oben()->widget(), &st);
    s.Command7->click();
    frmLek& lek = env.app->forms.get<frmLek>();
    lek.activateWindow();  // the lesson window has the keyboard, as after a click into it
    QVERIFY(QTest::qWaitForWindowActive(&lek));
    lek.Command1->click();
    QCOMPARE(oben(), s.parentWidget());
    QCOMPARE(mdi->activeSubWindow(), s.parentWidget());
    QTRY_COMPARE(QApplication::focusWidget(), s.Text1);
    QVERIFY(QApplication::activeWindow() == &main);
    QVERIFY(s.Text1->visibleRegion().boundingRect().size() == s.Text1->size());
}

// A wrong key at each kind of expected character, with all twelve counters
// compared: a finger swapped with its neighbour, or y and z placed as on a
// US keyboard, fails here.
void TstTrainer::fingerTable_data() {
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("raised");
    const QString l = "LIHA", r = "REHA";
    QTest::newRow("q little") << "q" << QStringList{l, "lkleinerfinger"};
    QTest::newRow("y little (bottom left)") << "y" << QStringList{l, "lkleinerfinger"};
    QTest::newRow("w ring") << "w" << QStringList{l, "lringfinger"};
    QTest::newRow("x ring") << "x" << QStringList{l, "lringfinger"};
    QTest::newRow("e middle") << "e" << QStringList{l, "lmittelfinger"};
    QTest::newRow("c middle") << "c" << QStringList{l, "lmittelfinger"};
    QTest::newRow("f index") << "f" << QStringList{l, "lzeigefinger"};
    QTest::newRow("b index") << "b" << QStringList{l, "lzeigefinger"};
    QTest::newRow("z index (top middle)") << "z" << QStringList{r, "rzeigefinger"};
    QTest::newRow("n index") << "n" << QStringList{r, "rzeigefinger"};
    QTest::newRow("i middle") << "i" << QStringList{r, "rmittelfinger"};
    QTest::newRow("comma middle") << "," << QStringList{r, "rmittelfinger"};
    QTest::newRow("o ring") << "o" << QStringList{r, "rringfinger"};
    QTest::newRow("period ring") << "." << QStringList{r, "rringfinger"};
    QTest::newRow("p little") << "p" << QStringList{r, "rkleinerfinger"};
    QTest::newRow("hyphen little") << "-" << QStringList{r, "rkleinerfinger"};
    QTest::newRow("ä little") << QString::fromUtf8("ä") << QStringList{r, "rkleinerfinger"};
    QTest::newRow("ß little") << QString::fromUtf8("ß") << QStringList{r, "rkleinerfinger"};
    QTest::newRow("capital: none") << "Q" << QStringList{};
    QTest::newRow("digit: none") << "7" << QStringList{};
}

void TstTrainer::fingerTable() {
    QFETCH(QString, expected);
    QFETCH(QStringList, raised);
    TestEnv env;
    frmSchreiben& s = exercise(env, expected + "#");
    type(s.Text1, "#");
    type(s.Text1, "#");
    // All twelve counters by the names of their columns.
    const Ergebniszeile z = fingerZeile(env.app->ex.finger);
    QCOMPARE(z.spalten.size(), 12);
    for (int i = 0; i < z.spalten.size(); ++i) {
        const bool hit = raised.contains(z.spalten[i], Qt::CaseInsensitive);
        QVERIFY2(z.werte[i].toInt() == (hit ? 2 : 0), qPrintable(z.spalten[i] + " = " + z.werte[i].toString()));
    }
    QCOMPARE(env.app->ex.fehler, 2.0);
}

// The colour design of the keyboard frame and the figure's strip, as the
// settings dialog stores it (a BGR number; 0 means the base colour).
void TstTrainer::colourDesign_data() {
    QTest::addColumn<QStringList>("stored");  // stored and applied one after the other
    QTest::addColumn<QColor>("colour");
    QTest::newRow("stored colour") << QStringList{"65280"} << QColor(0, 255, 0);
    QTest::newRow("blue-green-red order") << QStringList{"16711680"} << QColor(0, 0, 255);
    QTest::newRow("0 after a colour") << QStringList{"255", "0"} << kBase;
    QTest::newRow("no number keeps the colour") << QStringList{"255", "rot"} << kRed;
}

void TstTrainer::colourDesign() {
    QFETCH(QStringList, stored);
    QFETCH(QColor, colour);
    TestEnv env;
    frmVelkora& main = env.app->forms.get<frmVelkora>();
    main.show();
    frmSchreiben& s = env.app->forms.get<frmSchreiben>();
    for (const QString& v : stored) {
        env.app->SaveSetting("Optionen", "Farbwert1", v);
        s.farbesetzen();
    }
    const QImage img = main.grab().toImage();
    QCOMPARE(img.pixelColor(s.Frame1->mapTo(&main, QPoint(3, 340))), colour);
    QCOMPARE(img.pixelColor(s.Picture1->mapTo(&main, QPoint(s.Picture1->width() - 3, 3))), colour);
}

void TstTrainer::endPromptVisible() {
    TestEnv env;
    frmVelkora& main = env.app->forms.get<frmVelkora>();
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    frmSchreiben& s = exercise(env, "ab");
    typeAll(s.Text1, {"a", "b"});
    QCOMPARE(s.Text2->text(), QString("ENDE"));
    // The prompt's last character lies inside the view: nothing is cut off.
    QTextCursor end(s.rtb1->document());
    end.movePosition(QTextCursor::End);
    const QRect r = s.rtb1->cursorRect(end);
    QVERIFY2(s.rtb1->viewport()->rect().contains(r), qPrintable(QString("%1,%2").arg(r.right()).arg(r.bottom())));
    QVERIFY(main.grab().save(screenshotDir() + "/frmSchreiben_ende.png"));
}

// A paragraph far wider and taller than the view: it wraps, the marked
// character stays in sight as the walk goes on, and the offsets the engine
// sees are those of the unwrapped text.
void TstTrainer::longParagraphInSight() {
    TestEnv env;
    frmVelkora& main = env.app->forms.get<frmVelkora>();
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QString text = QString("jede fee sah die kleine dose ").repeated(40);
    text = text.trimmed() + "\r\nalle lasen";
    frmSchreiben& s = exercise(env, text);
    RichTextView* v = s.rtb1;
    QCOMPARE(v->horizontalScrollBar()->maximum(), 0);
    for (int i = 0; i < text.indexOf('\r') + 3; ++i) {
        const QString e = s.Text2->text();
        type(s.Text1, e == "LEER" ? " " : e == "RETURN" ? "<Enter>" : e);
        if (i % 97 != 0) continue;
        QVERIFY2(v->viewport()->rect().contains(v->cursorRect()), qPrintable(QString::number(i)));
        QCOMPARE(v->selStart(), s.textpos - 1);
        if (text[s.textpos - 1] != '\n') {
            QCOMPARE(v->charColor(s.textpos - 1), kRed);
            QVERIFY(v->charMarker(s.textpos - 1));
        }
    }
    QCOMPARE(env.app->ex.fehler, 0.0);
    QCOMPARE(s.Text2->text(), QString("l"));
    QCOMPARE(v->text(), text);
    QCOMPARE(v->charColor(0), QColor(0, 0, 0));
    QVERIFY(main.grab().save(screenshotDir() + "/frmSchreiben_absatz.png"));
}

void TstTrainer::figure() {
    TestEnv env;
    QString text;
    for (int i = 0; i < 100; ++i) text += QChar('a' + i % 3);
    frmSchreiben& s = exercise(env, text);
    for (int i = 0; i < 50; ++i) type(s.Text1, QString(text[i]));
    QCOMPARE(env.app->ex.animSchritt, qint16(50));
    QCOMPARE(env.app->ex.animX, 280);
    if (s.animFigur.fenster) QCOMPARE(s.animFigur.fenster->pos(), QPoint(280, 0));
    // Switched off in the store: the figure goes at the next key.
    env.app->SaveSetting("Optionen", "CheckAnimat", "False");
    type(s.Text1, QString(text[50]));
    QVERIFY(!s.animFigur.fenster);
    QVERIFY(!env.app->opt.checkAnimat);
}

void TstTrainer::stopwatch_data() {
    QTest::addColumn<int>("ticks");
    QTest::addColumn<double>("zaehler");
    QTest::addColumn<QString>("text3");
    QTest::addColumn<QString>("label10");
    QTest::addColumn<int>("apm");
    QTest::newRow("1 tick") << 1 << 4.0 << "1 sec" << "0 min" << 240;
    QTest::newRow("12 ticks") << 12 << 30.0 << "12 sec" << "0,2 min" << 150;
    QTest::newRow("90 ticks") << 90 << 100.0 << "90 sec" << "1,5 min" << 67;
    QTest::newRow("clamped") << 1 << 600.0 << "1 sec" << "0 min" << 32767;
}

void TstTrainer::stopwatch() {
    QFETCH(int, ticks);
    QFETCH(double, zaehler);
    QFETCH(QString, text3);
    QFETCH(QString, label10);
    QFETCH(int, apm);
    TestEnv env;
    frmSchreiben& s = env.app->forms.get<frmSchreiben>();
    frmLek& lek = env.app->forms.get<frmLek>();
    QVERIFY(lek.Timer3->isActive());
    QCOMPARE(lek.Timer3->interval(), 1000);
    env.app->ex.zaehler = zaehler;
    for (int i = 0; i < ticks; ++i) lek.Timer3_Timer();
    QCOMPARE(s.Text3->text(), text3);
    QCOMPARE(s.Label12->text(), QString::number(ticks));
    QCOMPARE(s.Label10->text(), label10);
    QCOMPARE(s.Text4->text(), label10.chopped(4));
    QCOMPARE(env.app->ex.laufzeit, double(ticks));
    QCOMPARE(int(env.app->ex.anschlaegeProMinute), apm);
}

void TstTrainer::rating_data() {
    QTest::addColumn<double>("fehler");
    QTest::addColumn<double>("quote");
    QTest::addColumn<QString>("label8");
    QTest::addColumn<QString>("bewertung");
    QTest::addColumn<QString>("message");
    QTest::newRow("0 errors") << 0.0 << 0.0 << "0" << "Klasse!" << "";
    QTest::newRow("1 error is a tie to 0") << 1.0 << 0.0 << "0" << "Klasse!" << "";
    QTest::newRow("40 errors") << 40.0 << 0.2 << "20" << "" << "";
    QTest::newRow("200 errors") << 200.0 << 1.0 << "100" << ""
                                << "Zu viele Fehler.Diese Lektion bitte intensiv wiederholen!";
    QTest::newRow("260 errors") << 260.0 << 1.3 << "130" << ""
                                << QString::fromUtf8("Leider extrem viele Fehler, bitte intensiv üben !");
}

void TstTrainer::rating() {
    QFETCH(double, fehler);
    QFETCH(double, quote);
    QFETCH(QString, label8);
    QFETCH(QString, bewertung);
    QFETCH(QString, message);
    TestEnv env;
    frmSchreiben& s = env.app->forms.get<frmSchreiben>();
    env.app->ex.MaxZeichen = 200;
    env.app->ex.fehler = fehler;
    env.app->ex.Bewertung = "alt";
    s.rechnen();
    QCOMPARE(env.app->ex.Fehlerquote, quote);
    QCOMPARE(s.Label8->text(), label8);
    QCOMPARE(env.app->ex.Bewertung, bewertung);
    if (message.isEmpty()) {
        QVERIFY(env.services.messages.isEmpty());
    } else {
        QCOMPARE(env.services.messages.size(), 1);
        QCOMPARE(env.services.messages[0].text, message);
        QCOMPARE(env.services.messages[0].title, QString("Velkora"));
        QCOMPARE(env.services.messages[0].style, 0);
    }
}

void TstTrainer::noScoredCharacters() {
    TestEnv env;
    frmSchreiben& s = env.app->forms.get<frmSchreiben>();
    env.app->ex.MaxZeichen = 10;
    env.app->ex.fehler = 5;
    s.rechnen();
    QCOMPARE(env.app->ex.Fehlerquote, 0.5);
    // A text of blanks and breaks only: no rate, and none carried over.
    frmSchreiben& t = exercise(env, " \r\n ");
    typeAll(t.Text1, {" ", "<Enter>", " "});
    QCOMPARE(t.Text2->text(), QString("ENDE"));
    type(t.Text1, "q");
    QCOMPARE(env.app->ex.Fehlerquote, 0.0);
    QVERIFY(t.Text1->toPlainText().contains("Fehler: 5(0 Prozent )"));
}

void TstTrainer::buttons() {
    TestEnv env;
    frmSchreiben& s = env.app->forms.get<frmSchreiben>();
    frmLek& lek = env.app->forms.get<frmLek>();
    // The stop button stops once; a second click does nothing.
    s.Command6->setEnabled(true);
    s.Command6_Click();
    QVERIFY(!lek.Timer3->isActive());
    QVERIFY(s.Command5->isEnabled());
    QVERIFY(!s.Command6->isEnabled());
    s.setTastenfarbe(0, kRed);
    s.Command6_Click();
    QCOMPARE(s.tastenfarbe(0), kRed);
    s.Command5_Click();
    QVERIFY(lek.Timer3->isActive());
    QVERIFY(!s.Command5->isEnabled());
    QCOMPARE(s.tastenfarbe(0), kBase);
    // Statistics and reminder switched off: their messages only.
    env.app->opt.checkStatistik = false;
    s.Command9->click();
    QCOMPARE(env.services.messages.last().title, QString("STATISTIK nicht aktiviert"));
    QCOMPARE(env.services.messages.last().style, int(Msg::Information));
    env.app->opt.checkReminder = false;
    s.Command11->click();
    QCOMPARE(env.services.messages.last().title, QString("REMINDER nicht aktiviert"));
    s.Command14->click();
    QCOMPARE(env.services.editors, 1);
    s.Command10->click();
    QCOMPARE(env.services.opened, QStringList{frmSchreiben::kHomepage});
    QVERIFY(s.Command10->toolTip().contains(frmSchreiben::kHomepage));
}

// Each key paints the cap cached for its colour: what the keyboard shows
// follows every change of colour, back and forth, and leaves the
// neighbours as they are.
void TstTrainer::keyboardPaintsColours() {
    TestEnv env;
    frmSchreiben& s = exercise(env, "fff");
    s.show();
    const int taste = tastenFuerVk('F').front();
    const QRect f = s.Command1[taste]->geometry();
    const QPoint face = f.topLeft() + QPoint(8, f.height() / 2);  // left of the legend
    const QPoint nachbar = f.topLeft() + QPoint(f.width() + 8, f.height() / 2);
    auto farbe = [&](QPoint at) { return s.Frame1->grab().toImage().pixelColor(at); };
    QCOMPARE(farbe(face), kBase);
    for (const QColor& c : {kGreen, kBase, kRed, kBase}) {
        s.setTastenfarbe(taste, c);
        QCOMPARE(farbe(face), c);
        QCOMPARE(farbe(nachbar), kBase);
    }
}

// The expected-key box shows each text from a picture drawn once. It shows
// what a box of the same kind painting afresh shows, also after its colours
// changed, and fills its rounded corners with the colour of the window
// around it, as when the window showed through.
void TstTrainer::expectedKeyBox() {
    TestEnv env;
    frmSchreiben& s = exercise(env, "fj fj");
    s.show();
    QVERIFY(s.Text2->testAttribute(Qt::WA_OpaquePaintEvent));
    auto frisch = [&] {
        Anzeigefeld neu(s.Frame4);  // never shown: it paints without pictures
        neu.setGeometry(s.Text2->geometry());
        neu.setFont(s.Text2->font());
        neu.setStyleSheet(s.Text2->styleSheet());
        neu.setReadOnly(true);
        neu.setText(s.Text2->text());
        return neu.grab().toImage();
    };
    typeAll(s.Text1, {"f", "j", " "});
    QCOMPARE(s.Text2->grab().toImage(), frisch());
    s.Text2->setStyleSheet(QStringLiteral("QLineEdit { color: rgb(0,0,255); background: white; }"));
    typeAll(s.Text1, {"f"});  // "j" again, drawn before in red
    QCOMPARE(s.Text2->text(), QStringLiteral("j"));
    QCOMPARE(s.Text2->grab().toImage(), frisch());

    const QImage bild = s.Frame4->grab().toImage();
    const QRect box = s.Text2->geometry();
    const QColor aussen = bild.pixelColor(box.topLeft() - QPoint(2, 0));
    for (const QPoint ecke : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()})
        QCOMPARE(bild.pixelColor(ecke), aussen);
}

void TstTrainer::screenMatchesFreshPainting_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("keys");
    QTest::newRow("mark along a line") << "fff jjj fff jjj" << QStringList{"f", "f", "f", " ", "j"};
    QTest::newRow("wrong keys") << "fj fj" << QStringList{"f", "x", "j", "k", " "};
    QTest::newRow("line break") << "fj\r\njf" << QStringList{"f", "j", "<Enter>", "j"};
    QStringList lang;
    for (int i = 0; i < 9; ++i) lang << "f" << "f" << "f" << " " << "j" << "j" << "j" << " ";
    QTest::newRow("typed line wraps") << QString("fff jjj ").repeated(12) << lang;
}

// Keys repaint only the places they change. What the screen then holds
// (the window's backing store) must equal the window painted afresh:
// marks, typed text, lit keys and figure, nothing left over.
void TstTrainer::screenMatchesFreshPainting() {
    QFETCH(QString, text);
    QFETCH(QStringList, keys);
    TestEnv env;
    QApplication::setCursorFlashTime(0);  // the input cursor stays shown
    frmVelkora& main = env.app->forms.get<frmVelkora>();
    main.show();
    frmSchreiben& s = exercise(env, text);
    s.show();
    QVERIFY(QTest::qWaitForWindowExposed(s.window()));
    QCoreApplication::processEvents();
    typeAll(s.Text1, keys);
    QTest::keyPress(s.Text1, Qt::Key_F);  // a key held down
    QWidget* w = s.window();
    // A timer (stopwatch, figure) may change a display between the two
    // grabs on a busy machine; a place the keys failed to repaint stays
    // wrong however often it is grabbed.
    QImage screen, fresh;
    for (int versuch = 0; versuch < 3 && (versuch == 0 || screen != fresh); ++versuch) {
        QCoreApplication::processEvents();
        screen = w->screen()->grabWindow(w->winId()).toImage().convertToFormat(QImage::Format_RGB32);
        fresh = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    QTest::keyRelease(s.Text1, Qt::Key_F);
    QCOMPARE(screen.size(), fresh.size());
    QCOMPARE(screen, fresh);
}

void TstTrainer::screenshot() {
    TestEnv env;
    frmVelkora& main = env.app->forms.get<frmVelkora>();
    main.show();
    frmSchreiben& s = exercise(env, "fjf jfj fff jjj\r\nfj jf");
    s.Frame3->show();
    typeAll(s.Text1, {"f", "j", "f", " ", "x"});
    QTest::keyPress(s.Text1, Qt::Key_Shift);
    const QImage img = main.grab().toImage();
    QTest::keyRelease(s.Text1, Qt::Key_Shift);
    QCOMPARE(img.size(), main.size());
    // Not blank: the keyboard's base colour shows in its lower half.
    QCOMPARE(img.pixelColor(s.Frame1->mapTo(&main, QPoint(3, 340))), kBase);
    QVERIFY(img.save(screenshotDir() + "/frmSchreiben.png"));
}

VELKORA_TEST_MAIN(TstTrainer)
#include "tst_trainer.moc"
