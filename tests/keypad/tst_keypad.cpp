// The numeric keypad trainer driven through its typing box with keypad key
// events: the walk through a lesson, the keypad lighting, the Num Lock
// blinking, the main window's state and the authored lesson files.
#include "keypad/frmNumBlock.h"
#include "platform/richtextview.h"
#include "platform/textcodec.h"
#include "shell/frmVelkora.h"
#include "testenv.h"
#include "trainer/frmSchreiben.h"
#include "trainer/keybutton.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace {
const QColor kBase(192, 192, 255);
const QColor kGreen(0, 255, 0);
const QColor kSilver(192, 192, 192);
const QColor kRed(255, 0, 0);

void send(QWidget* w, int key, Qt::KeyboardModifiers mods, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(w, &release);
}

// One key as the German layout sends it. Tokens: "k7", "k," ... keypad keys
// with Num Lock on; "<KPEnter>"; "<Home>", "<Left>", "<Del>" keypad keys with
// Num Lock off; "<Enter>" the main Enter; any other single character the
// main block's key.
struct Key {
    int key;
    Qt::KeyboardModifiers mods;
    QString text;
};

Key keyFor(const QString& token) {
    static const QHash<QString, Key> named = {
        {"<KPEnter>", {Qt::Key_Enter, Qt::KeypadModifier, "\r"}},
        {"<Enter>", {Qt::Key_Return, Qt::NoModifier, "\r"}},
        {"<Home>", {Qt::Key_Home, Qt::KeypadModifier, ""}},
        {"<Left>", {Qt::Key_Left, Qt::KeypadModifier, ""}},
        {"<Clear>", {Qt::Key_Clear, Qt::KeypadModifier, ""}},
        {"<Del>", {Qt::Key_Delete, Qt::KeypadModifier, ""}},
        {"<NumLock>", {Qt::Key_NumLock, Qt::NoModifier, ""}},
    };
    if (named.contains(token)) return named[token];
    const bool keypad = token.size() == 2 && token[0] == QLatin1Char('k');
    const QChar c = keypad ? token[1] : token[0];
    static const QHash<QChar, int> signs = {{',', Qt::Key_Comma},   {'.', Qt::Key_Period},
                                            {'/', Qt::Key_Slash},   {'*', Qt::Key_Asterisk},
                                            {'-', Qt::Key_Minus},   {'+', Qt::Key_Plus},
                                            {' ', Qt::Key_Space}};
    int key = signs.value(c, 0);
    if (c.isDigit()) key = Qt::Key_0 + c.digitValue();
    if (c.isLetter()) key = Qt::Key_A + (c.toUpper().unicode() - 'A');
    return {key, keypad ? Qt::KeypadModifier : Qt::NoModifier, QString(c)};
}

void type(QWidget* w, const QString& token) {
    const Key k = keyFor(token);
    send(w, k.key, k.mods, k.text);
}

void typeAll(QWidget* w, const QStringList& tokens) {
    for (const QString& t : tokens) type(w, t);
}

// Types a text as a learner does on the keypad: every character with its
// keypad key, Enter for each line break.
void typeOnKeypad(QWidget* w, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\n')) continue;
        type(w, text[i] == QLatin1Char('\r') ? QStringLiteral("<KPEnter>") : QStringLiteral("k") + text[i]);
    }
}

// The trainer with a lesson of this text started from the first button.
frmNumBlock& lesson(TestEnv& env, const QByteArray& text) {
    env.app->opt.checkGeraeusch = true;
    env.app->opt.checkFehlermeldung = true;
    env.writeFile("\\NumLektion1.inf", text);
    frmNumBlock& n = env.app->forms.get<frmNumBlock>();
    n.Command3_Click(0);
    n.tastenRuhe();
    env.services.clear();
    return n;
}

int greenButton(const frmNumBlock& n) {
    int found = -1;
    for (int i = 0; i < 17; ++i)
        if (n.Command1[i]->color() == kGreen) found = found < 0 ? i : 99;
    return found;
}

int countOf(const QStringList& list, const QString& suffix) {
    int c = 0;
    for (const QString& s : list) c += s.endsWith(suffix) ? 1 : 0;
    return c;
}

QByteArray digest(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
}
}  // namespace

class TstKeypad : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { shared_ = std::make_unique<TestEnv>(); }
    void cleanupTestCase() { shared_.reset(); }
    void keyLightsButton_data();
    void keyLightsButton();
    void releaseAfterNumLockChange();
    void releaseElsewhere();
    void walk_data();
    void walk();
    void lessonAgainRestarts();
    void hiddenLessons();
    void blinking();
    void mainWindowState();
    void openedFromWritingWindow();
    void missingFiles();
    void lessonFiles_data();
    void lessonFiles();
    void screenshot();

private:
    // One program for the many rows of the key tests: every row starts a
    // fresh lesson in the same trainer.
    std::unique_ptr<TestEnv> shared_;
};

void TstKeypad::keyLightsButton_data() {
    QTest::addColumn<QString>("token");
    QTest::addColumn<int>("button");
    const struct {
        const char* token;
        int button;
    } rows[] = {{"k0", 14}, {"k1", 11}, {"k2", 12}, {"k3", 13}, {"k4", 8}, {"k5", 9},
                {"k6", 10}, {"k7", 4},  {"k8", 5},  {"k9", 6},  {"k/", 1}, {"k*", 2},
                {"k-", 3},  {"k+", 7},  {"k,", 15}, {"<KPEnter>", 16}, {"<Enter>", 16},
                // the main block's digits and signs light nothing
                {"7", -1}, {"0", -1}, {"-", -1}, {"+", -1}, {",", -1}, {"/", -1},
                // Num Lock off: navigation keys, and Num Lock itself
                {"<Home>", -1}, {"<Left>", -1}, {"<Clear>", -1}, {"<Del>", -1}, {"<NumLock>", -1}};
    for (const auto& r : rows) QTest::newRow(r.token) << QString::fromUtf8(r.token) << r.button;
}

void TstKeypad::keyLightsButton() {
    QFETCH(QString, token);
    QFETCH(int, button);
    TestEnv& env = *shared_;
    frmNumBlock& n = lesson(env, "1");
    const Key k = keyFor(token);
    QKeyEvent press(QEvent::KeyPress, k.key, k.mods, k.text);
    QApplication::sendEvent(n.Text1, &press);
    QCOMPARE(greenButton(n), button);
    QCOMPARE(countOf(env.services.sounds, "MsgType.wav"), 1);  // every key clicks
    QKeyEvent release(QEvent::KeyRelease, k.key, k.mods, k.text);
    QApplication::sendEvent(n.Text1, &release);
    QCOMPARE(greenButton(n), -1);
    for (int i = 1; i < 17; ++i)
        QCOMPARE(n.Command1[i]->color(), i == button ? kSilver : kBase);
}

void TstKeypad::releaseAfterNumLockChange() {
    TestEnv& env = *shared_;
    frmNumBlock& n = lesson(env, "5");
    // Keypad 5 goes down with Num Lock on and comes up after it was switched
    // off: the same physical key (scan code 84) reports a navigation key.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_5, Qt::KeypadModifier, 84, 0xffb5, 0, "5");
    QApplication::sendEvent(n.Text1, &press);
    QCOMPARE(greenButton(n), 9);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Clear, Qt::KeypadModifier, 84, 0xff9d, 0, "");
    QApplication::sendEvent(n.Text1, &release);
    QCOMPARE(n.Command1[9]->color(), kSilver);
    QCOMPARE(n.Text2->text(), QStringLiteral("ENDE"));
}

// A key whose release reaches another window does not stay lit: the typing
// box losing the keyboard, and a lesson start, show it released.
void TstKeypad::releaseElsewhere() {
    TestEnv& env = *shared_;
    frmNumBlock& n = lesson(env, "55");
    QKeyEvent press(QEvent::KeyPress, Qt::Key_5, Qt::KeypadModifier, "5");
    QApplication::sendEvent(n.Text1, &press);
    QCOMPARE(greenButton(n), 9);
    QFocusEvent weg(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(n.Text1, &weg);
    QCOMPARE(greenButton(n), -1);
    QCOMPARE(n.Command1[9]->color(), kSilver);
    QApplication::sendEvent(n.Text1, &press);
    QCOMPARE(greenButton(n), 9);
    n.Command3_Click(0);
    QCOMPARE(greenButton(n), -1);
    QCOMPARE(n.Command1[9]->color(), kSilver);
}

void TstKeypad::walk_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("errorSounds");
    QTest::addColumn<int>("beeps");
    QTest::newRow("keypad digit") << QByteArray("78") << QStringList{"k7"} << "8" << "7" << 0 << 0;
    QTest::newRow("main-block digit counts as the character") << QByteArray("78") << QStringList{"7"} << "8" << "7" << 0 << 0;
    QTest::newRow("wrong digit swallowed") << QByteArray("78") << QStringList{"k8"} << "7" << "" << 1 << 0;
    QTest::newRow("num lock off types nothing") << QByteArray("78") << QStringList{"<Home>", "<Left>"} << "7" << "" << 0 << 0;
    QTest::newRow("decimal key gives a comma") << QByteArray("1,5") << QStringList{"k1", "k,"} << "5" << "1," << 0 << 0;
    QTest::newRow("period is not the comma") << QByteArray("1,5") << QStringList{"k1", "."} << "," << "1" << 1 << 0;
    QTest::newRow("operators") << QByteArray("+-*/9") << QStringList{"k+", "k-", "k*", "k/"} << "9" << "+-*/" << 0 << 0;
    QTest::newRow("line break asks for Enter") << QByteArray("1\r\n2") << QStringList{"k1"} << "ENTER" << "1" << 0 << 1;
    QTest::newRow("keypad Enter") << QByteArray("1\r\n2") << QStringList{"k1", "<KPEnter>"} << "2" << "1\n" << 0 << 1;
    QTest::newRow("main Enter") << QByteArray("1\r\n2") << QStringList{"k1", "<Enter>"} << "2" << "1\n" << 0 << 1;
    QTest::newRow("digit at a line break") << QByteArray("1\r\n2") << QStringList{"k1", "k2"} << "ENTER" << "1" << 1 << 1;
    QTest::newRow("space") << QByteArray("1 2") << QStringList{"k1", " "} << "2" << "1 " << 0 << 0;
    QTest::newRow("digit at a space") << QByteArray("1 2") << QStringList{"k1", "k2"} << "LEER" << "1" << 1 << 0;
    QTest::newRow("CR LF first") << QByteArray("\r\n5") << QStringList{} << "ENTER" << "" << 0 << 0;
    QTest::newRow("CR LF first, then Enter") << QByteArray("\r\n5") << QStringList{"<KPEnter>"} << "5" << "\n" << 0 << 0;
    QTest::newRow("last character") << QByteArray("12") << QStringList{"k1", "k2"} << "ENDE" << "12" << 0 << 1;
    QTest::newRow("text ending in CR LF") << QByteArray("12\r\n") << QStringList{"k1", "k2"} << "ENTER" << "12" << 0 << 1;
    QTest::newRow("Enter at the closing CR LF") << QByteArray("12\r\n") << QStringList{"k1", "k2", "<KPEnter>"} << "ENDE" << "12\n" << 0 << 2;
    QTest::newRow("ENDE, any key ends") << QByteArray("12") << QStringList{"k1", "k2", "k9"} << "ENDE" << frmNumBlock::kLektionBeendet << 0 << 1;
    QTest::newRow("ENDE, a letter ends") << QByteArray("12\r\n") << QStringList{"k1", "k2", "<KPEnter>", "x"} << "ENDE" << frmNumBlock::kLektionBeendet << 0 << 2;
}

void TstKeypad::walk() {
    QFETCH(QByteArray, text);
    QFETCH(QStringList, keys);
    QFETCH(QString, display);
    QFETCH(QString, typed);
    QFETCH(int, errorSounds);
    QFETCH(int, beeps);
    TestEnv& env = *shared_;
    frmNumBlock& n = lesson(env, text);
    typeAll(n.Text1, keys);
    QCOMPARE(n.Text2->text(), display);
    QCOMPARE(n.Text1->toPlainText(), typed);
    QCOMPARE(countOf(env.services.sounds, "FASTHEY.wav"), errorSounds);
    QCOMPARE(countOf(env.services.sounds, "MsgType.wav"), keys.size());
    QCOMPARE(env.services.beeps, beeps);
    if (typed == frmNumBlock::kLektionBeendet) {
        QVERIFY(n.rtb2->text().isEmpty());
        QVERIFY(n.Text1->isReadOnly());
        return;
    }
    // Exactly the expected character is marked; at a line break none is.
    const QString t = n.rtb2->text();
    int marked = -1;
    for (int i = 0; i < t.size(); ++i)
        if (n.rtb2->charColor(i) == kRed && n.rtb2->charMarker(i)) marked = i;
    if (display.size() == 1 || display == QLatin1String("LEER")) QCOMPARE(marked, n.textpos - 1);
    else QCOMPARE(marked, -1);
}

void TstKeypad::lessonAgainRestarts() {
    TestEnv env;
    frmNumBlock& n = lesson(env, "456\r\n654\r\n");
    typeOnKeypad(n.Text1, "456\r\n6");
    QCOMPARE(n.Text2->text(), QStringLiteral("5"));
    n.Command3_Click(0);
    QCOMPARE(n.textpos, 1);
    QCOMPARE(n.Text2->text(), QStringLiteral("4"));
    QVERIFY(n.Text1->toPlainText().isEmpty());
    QVERIFY(!n.Text1->isReadOnly());
    QCOMPARE(n.rtb2->charColor(0), kRed);
    QCOMPARE(n.rtb2->charColor(5), QColor(0, 0, 0));
    // Also after the end of the lesson.
    typeOnKeypad(n.Text1, "456\r\n654\r\n");
    type(n.Text1, "k0");
    QCOMPARE(n.Text1->toPlainText(), frmNumBlock::kLektionBeendet);
    n.Command3_Click(0);
    QCOMPARE(n.Text2->text(), QStringLiteral("4"));
    QVERIFY(n.Text1->toPlainText().isEmpty());
}

void TstKeypad::hiddenLessons() {
    TestEnv env;
    frmNumBlock& n = lesson(env, "456");
    n.show();
    for (int i = 0; i < 6; ++i) QCOMPARE(n.Command3[i]->isVisible(), i < 3);
    QCOMPARE(n.Command3[0]->toolTip(), QStringLiteral("Lektion1"));
    type(n.Text1, "k4");
    for (int i = 3; i < 6; ++i) {
        n.Command3_Click(i);
        QCOMPARE(n.Text2->text(), QStringLiteral("5"));
        QCOMPARE(n.textpos, 2);
    }
    QVERIFY(env.services.messages.isEmpty());
}

void TstKeypad::blinking() {
    TestEnv env;
    frmNumBlock& n = env.app->forms.get<frmNumBlock>();
    const QColor face = n.palette().color(QPalette::Button);
    QVERIFY(n.TimerNumBlock->isActive());
    QCOMPARE(n.TimerNumBlock->interval(), 1000);
    QCOMPARE(n.Command1[0]->color(), kBase);
    n.TimerNumBlock_Timer();
    QCOMPARE(n.Command1[0]->color(), face);
    n.TimerNumBlock_Timer();
    QCOMPARE(n.Command1[0]->color(), kRed);
    n.TimerNumBlock_Timer();
    QCOMPARE(n.Command1[0]->color(), face);
    n.TimerNumBlock_Timer();
    QCOMPARE(n.Command1[0]->color(), kRed);
    // The first key stops it, whatever the key, and leaves the button plain.
    type(n.Text1, "<Home>");
    QVERIFY(!n.TimerNumBlock->isActive());
    QCOMPARE(n.Command1[0]->color(), face);
    QVERIFY(!n.blinkAn);
    n.TimerNumBlock->start();
    n.Command3_Click(1);  // a lesson start stops it too
    QVERIFY(!n.TimerNumBlock->isActive());
    // It really ticks.
    n.TimerNumBlock->setInterval(10);
    n.TimerNumBlock->start();
    QTRY_COMPARE_WITH_TIMEOUT(n.Command1[0]->color(), kRed, 2000);
}

void TstKeypad::mainWindowState() {
    TestEnv env;
    frmVelkora& main = env.app->forms.get<frmVelkora>();
    main.show();
    QVERIFY(!main.isMinimized());
    frmNumBlock* n = &env.app->forms.get<frmNumBlock>();
    QVERIFY(main.isMinimized());
    n->Command2_Click();
    QVERIFY(!env.app->forms.loaded<frmNumBlock>());
    QCOMPARE(main.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized), Qt::WindowNoState);
    // Closed by the window frame.
    n = &env.app->forms.get<frmNumBlock>();
    QVERIFY(main.isMinimized());
    QPointer<frmNumBlock> weg(n);
    n->close();
    QCOMPARE(main.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized), Qt::WindowNoState);
    QTRY_VERIFY(weg.isNull());
    QVERIFY(!env.app->forms.loaded<frmNumBlock>());
    // The main window's close takes the trainer with it.
    env.app->forms.get<frmNumBlock>();
    main.close();
    QTRY_VERIFY(!env.app->forms.loaded<frmNumBlock>());
}

void TstKeypad::openedFromWritingWindow() {
    TestEnv env;
    frmSchreiben& s = env.app->forms.get<frmSchreiben>();
    QVERIFY(!env.app->forms.loaded<frmNumBlock>());
    s.Command12->click();
    frmNumBlock* n = env.app->forms.loaded<frmNumBlock>();
    QVERIFY(n);
    QVERIFY(n->isVisible());
    QCOMPARE(n->windowTitle(), QStringLiteral("NumBlock-Trainer"));
    QVERIFY(n->rtb2->text().contains(QStringLiteral("Grundstellung")));
    QVERIFY(n->Text1->isReadOnly());
    QVERIFY(env.services.messages.isEmpty());
}

void TstKeypad::missingFiles() {
    TestEnv env;
    env.removeFile("\\NumIntro.inf");
    env.removeFile("\\NumLektion2.inf");
    frmNumBlock& n = env.app->forms.get<frmNumBlock>();
    QCOMPARE(env.services.messages.size(), 1);
    QVERIFY(env.services.messages[0].text.contains(QStringLiteral("\"NumIntro.inf\"")));
    QVERIFY(n.rtb2->text().isEmpty());
    // Usable: lesson 1 starts and takes keys.
    n.Command3_Click(0);
    typeOnKeypad(n.Text1, "45");
    QCOMPARE(n.Text1->toPlainText(), QStringLiteral("45"));
    const QString text = n.rtb2->text();
    const QString display = n.Text2->text();
    n.Command3_Click(1);
    QCOMPARE(env.services.messages.size(), 2);
    QVERIFY(env.services.messages[1].text.contains(QStringLiteral("\"NumLektion2.inf\"")));
    // The lesson in progress goes on where it was.
    QCOMPARE(n.rtb2->text(), text);
    QCOMPARE(n.Text2->text(), display);
    QCOMPARE(n.Text1->toPlainText(), QStringLiteral("45"));
    type(n.Text1, QStringLiteral("k") + display);
    QCOMPARE(n.Text1->toPlainText(), QStringLiteral("45") + display);
}

void TstKeypad::lessonFiles_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("keys");  // the keypad keys the lesson may use
    QTest::newRow("Lektion 1") << 0 << "4560\r\n";
    QTest::newRow("Lektion 2") << 1 << "0123456789\r\n";
    QTest::newRow("Lektion 3") << 2 << "0123456789/*-+,\r\n";
}

void TstKeypad::lessonFiles() {
    QFETCH(int, index);
    QFETCH(QString, keys);
    TestEnv env;
    env.app->opt.checkFehlermeldung = true;
    const QString path = env.app->datei(frmNumBlock::lektionsDatei(index));
    QFile f(path);
    QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(path));
    const QByteArray bytes = f.readAll();
    // Windows-1252 with CR LF: no lone LF or CR.
    QCOMPARE(bytes.count("\r\n"), bytes.count('\n'));
    QCOMPARE(bytes.count("\r\n"), bytes.count('\r'));
    const QString text = decodeCp1252(bytes);
    for (QChar c : text) QVERIFY2(keys.contains(c), qPrintable(QStringLiteral("'%1'").arg(c)));
    QVERIFY(text.size() > 40);

    const QString db1 = env.programDir() + "/velkora.mdb", db2 = env.programDir() + "/finger.mdb";
    const QByteArray before1 = digest(db1), before2 = digest(db2);
    QVERIFY(!before1.isEmpty());

    frmNumBlock& n = env.app->forms.get<frmNumBlock>();
    QVERIFY(!n.rtb2->text().isEmpty());  // the introduction
    n.Command3_Click(index);
    env.services.clear();
    typeOnKeypad(n.Text1, text);
    QCOMPARE(n.Text2->text(), QStringLiteral("ENDE"));
    QCOMPARE(countOf(env.services.sounds, "FASTHEY.wav"), 0);
    QCOMPARE(n.Text1->toPlainText(), QString(text).remove(QLatin1Char('\r')));
    type(n.Text1, "<KPEnter>");
    QCOMPARE(n.Text1->toPlainText(), frmNumBlock::kLektionBeendet);
    QVERIFY(n.rtb2->text().isEmpty());
    // Nothing is recorded.
    QCOMPARE(digest(db1), before1);
    QCOMPARE(digest(db2), before2);
    QVERIFY(!env.app->forms.isLoaded("frmdaten"));
    QVERIFY(!env.app->forms.isLoaded("frmStatistik"));
}

void TstKeypad::screenshot() {
    TestEnv env;
    frmNumBlock& n = env.app->forms.get<frmNumBlock>();
    n.show();
    n.Command3_Click(2);
    typeOnKeypad(n.Text1, "12,5");
    QKeyEvent press(QEvent::KeyPress, Qt::Key_0, Qt::KeypadModifier, "0");
    QApplication::sendEvent(n.Text1, &press);  // held: lit green
    fotografieren(&n, QStringLiteral("frmNumBlock"), QSize(700, 300));
    const QImage key = n.Command1[14]->grab().toImage();
    QCOMPARE(key.pixelColor(key.width() / 2, key.height() / 4), kGreen);
}

VELKORA_TEST_MAIN(TstKeypad)
#include "tst_keypad.moc"
