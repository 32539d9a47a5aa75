// The exercise engine of the writing window: counting, marking and walking
// a text character by character.
#include "platform/richtextview.h"
#include "testenv.h"
#include "trainer/frmSchreiben.h"

#include <QLabel>
#include <QLineEdit>

class TstEngine : public QObject {
    Q_OBJECT
private slots:
    void maxZeichen_data();
    void maxZeichen();
    void walk_data();
    void walk();
    void marking();
    void endPrompt();
    void emptyText();
    void introMissingOrBinary();
    void introTooLong();
};

namespace {
frmSchreiben& start(TestEnv& env, const QString& text) {
    frmSchreiben& s = env.app->forms.get<frmSchreiben>();
    s.rtb1->setText(text);
    s.zaehlen();
    s.strt();
    return s;
}
}  // namespace

void TstEngine::maxZeichen_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("max");
    QTest::newRow("letters, space, break") << "ab cd\r\ne" << 5.0;
    QTest::newRow("only blanks and breaks") << "  \r\n \r\n" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("umlauts and signs") << QString::fromUtf8("ä ö, ü.") << 5.0;
}

void TstEngine::maxZeichen() {
    QFETCH(QString, text);
    QFETCH(double, max);
    TestEnv env;
    frmSchreiben& s = start(env, text);
    QCOMPARE(env.app->ex.MaxZeichen, max);
    QCOMPARE(s.Label6->text(), QString::number(max));
    QVERIFY(!s.Label5->isHidden());
}

// Each step: the display before the step; "|" separates steps.
void TstEngine::walk_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("displays");
    QTest::addColumn<int>("beeps");
    QTest::newRow("a b") << "ab" << QStringList{"a", "b", "ENDE"} << 1;
    QTest::newRow("a space b") << "a b" << QStringList{"a", "LEER", "b", "ENDE"} << 1;
    QTest::newRow("a CR LF b") << "a\r\nb" << QStringList{"a", "RETURN", "b", "ENDE"} << 2;
    QTest::newRow("leading CR LF") << "\r\nx" << QStringList{"RETURN", "x", "ENDE"} << 1;
    QTest::newRow("double space") << "a  b" << QStringList{"a", "LEER", "LEER", "b", "ENDE"} << 1;
    QTest::newRow("trailing space") << "a " << QStringList{"a", "LEER", "ENDE"} << 1;
    QTest::newRow("empty line") << "a\r\n\r\nb" << QStringList{"a", "RETURN", "RETURN", "b", "ENDE"} << 3;
    QTest::newRow("trailing break") << "a\r\n" << QStringList{"a", "RETURN", "ENDE"} << 2;
}

void TstEngine::walk() {
    QFETCH(QString, text);
    QFETCH(QStringList, displays);
    QFETCH(int, beeps);
    TestEnv env;
    frmSchreiben& s = start(env, text);
    for (int i = 0; i < displays.size(); ++i) {
        QCOMPARE(s.Text2->text(), displays[i]);
        if (i + 1 < displays.size()) s.weiter();
    }
    QCOMPARE(env.services.beeps, beeps);
}

void TstEngine::marking() {
    TestEnv env;
    frmSchreiben& s = start(env, "ab c\r\nd");
    RichTextView& v = *s.rtb1;
    QCOMPARE(v.charColor(0), QColor(255, 0, 0));
    QVERIFY(v.charMarker(0));
    QCOMPARE(v.charColor(1), QColor(0, 0, 0));
    s.weiter();  // a accepted: a black, b red
    QCOMPARE(v.charColor(0), QColor(0, 0, 0));
    QVERIFY(!v.charMarker(0));
    QCOMPARE(v.charColor(1), QColor(255, 0, 0));
    QCOMPARE(v.selStart(), 1);
    s.weiter();  // the space is selected and red
    QCOMPARE(s.Text2->text(), QString("LEER"));
    QCOMPARE(v.selStart(), 2);
    QCOMPARE(v.charColor(2), QColor(255, 0, 0));
    s.weiter();
    s.weiter();  // c accepted: a line break, nothing red
    QCOMPARE(s.Text2->text(), QString("RETURN"));
    for (int i = 0; i < v.text().size(); ++i) QCOMPARE(v.charColor(i), QColor(0, 0, 0));
    QCOMPARE(v.selStart(), 6);
    s.weiter();  // Enter: d red
    QCOMPARE(s.Text2->text(), QString("d"));
    QCOMPARE(v.charColor(6), QColor(255, 0, 0));
    QCOMPARE(s.textpos, 7);
}

void TstEngine::endPrompt() {
    TestEnv env;
    frmSchreiben& s = start(env, "ab");
    s.weiter();
    s.weiter();
    QCOMPARE(s.Text2->text(), QString("ENDE"));
    QCOMPARE(s.rtb1->text(), QString("\r\n") + frmSchreiben::kAuswertungPrompt);
}

void TstEngine::emptyText() {
    TestEnv env;
    frmSchreiben& s = env.app->forms.get<frmSchreiben>();
    s.Text2->setText("x");
    s.rtb1->setText(QString());
    s.zaehlen();
    s.strt();
    QCOMPARE(s.Text2->text(), QString("x"));  // the display keeps its text
    QCOMPARE(s.textpos, 1);
}

void TstEngine::introMissingOrBinary() {
    {
        TestEnv env;
        env.removeFile("\\Intro.inf");
        frmSchreiben& s = env.app->forms.get<frmSchreiben>();
        QVERIFY(s.rtb1->text().isEmpty());
        QVERIFY(env.services.messages.isEmpty());
    }
    {
        TestEnv env;
        QByteArray junk;
        for (int i = 0; i < 5000; ++i) junk.append(char((i * 7919) & 0xFF));
        env.writeFile("\\Intro.inf", junk);
        frmSchreiben& s = env.app->forms.get<frmSchreiben>();
        // A binary file is no text: named, and not shown.
        QVERIFY(s.rtb1->text().isEmpty() && env.services.messages.size() == 1);
        QVERIFY(env.services.messages[0].text.contains("\"Intro.inf\" ist keine Textdatei"));
        s.zaehlen();
        s.strt();
        s.weiter();
    }
}

void TstEngine::introTooLong() {
    TestEnv env;
    env.writeFile("\\Intro.inf", QByteArray(40000, 'x'));
    frmSchreiben& s = env.app->forms.get<frmSchreiben>();
    QVERIFY(s.rtb1->text().isEmpty());
    QCOMPARE(env.services.messages.size(), 1);
    QVERIFY(env.services.messages[0].text.contains("Intro.inf"));
    // A later text that is too long leaves the current one in place.
    s.rtb1->setText("alt");
    env.writeFile("\\lang.inf", QByteArray(40000, 'y'));
    QVERIFY(!s.ladeText(env.app->datei("\\lang.inf"), true));
    QCOMPARE(s.rtb1->text(), QString("alt"));
    QVERIFY(env.services.messages.last().text.contains("lang.inf"));
}

VELKORA_TEST_MAIN(TstEngine)
#include "tst_engine.moc"
