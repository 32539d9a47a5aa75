// The exercise texts as authored: each uses only the keys taught so far,
// fits the target view, has a sensible length, and can be typed through
// without a single error.
#include "testenv.h"
#include "lessons/catalogue.h"
#include "lessons/frmLek.h"
#include "platform/textcodec.h"
#include "tippen.h"
#include "platform/richtextview.h"
#include "trainer/frmSchreiben.h"

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {
// The keys each lesson adds, in the order of the lessons.
const QStringList kNeueTasten = {"fj", "dk", "sl", "aö", "gh", "ei", "ru", "wo", "qp",
                                 "tz", "vm", "bn", "c,", "x.", "y-", "äü", "ß"};

QString bisLektion(int n) {
    QString s;
    for (int i = 0; i < std::min(n, 17); ++i) s += kNeueTasten[i];
    return s;
}

QString grossbuchstaben(const QString& tasten) {
    QString s;
    for (QChar c : tasten)
        if (c.isLetter() && c != QChar(0xDF)) s += c.toUpper();
    return s;
}

QByteArray quelle(const QString& name) {
    QFile f(QStringLiteral(VELKORA_SOURCE_DIR "/data/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

class TestLessonTexts : public QObject {
    Q_OBJECT

    void dateien() {
        QTest::addColumn<QString>("datei");
        QTest::addColumn<QString>("erlaubt");  // besides blank and line breaks
        QTest::addColumn<QString>("neu");      // keys the text must drill
        for (int n = 1; n <= 18; ++n)
            QTest::addRow("Lektion%d", n)
                << QStringLiteral("Lektion%1.inf").arg(n)
                << bisLektion(n) + (n == 18 ? grossbuchstaben(bisLektion(17)) : QString())
                << (n == 18 ? QString() : kNeueTasten[n - 1]);
        const QString klein = bisLektion(17);
        for (int n = 1; n <= 4; ++n)
            QTest::addRow("Text%d", n) << QStringLiteral("Text%1.inf").arg(n) << klein << "";
        QTest::newRow("Text5") << "Text5.inf" << klein + grossbuchstaben(klein) << "";
        const QString links = QStringLiteral("qwertasdfgyxcvb");
        const QString rechts = QStringLiteral("zuiopühjklöänm,.-ß");
        QTest::newRow("LIHA") << "LIHA.inf" << links << "";
        QTest::newRow("LIHA1") << "LIHA1.inf" << links << "";
        QTest::newRow("REHA") << "REHA.inf" << rechts << "";
        QTest::newRow("REHA1") << "REHA1.inf" << rechts << "";
    }

private slots:
    void inhalt_data() { dateien(); }
    void inhalt() {
        QFETCH(QString, datei);
        QFETCH(QString, erlaubt);
        QFETCH(QString, neu);
        const QByteArray bytes = quelle(datei);
        QVERIFY2(!bytes.isEmpty(), qPrintable(datei));
        QVERIFY2(!looksLikeUtf8(bytes), "the texts are Windows-1252");
        const QString text = decodeCp1252(bytes);
        // Line breaks are CR LF pairs and nothing else.
        QCOMPARE(text.count('\r'), text.count("\r\n"));
        QCOMPARE(text.count('\n'), text.count("\r\n"));
        const QStringList zeilen = text.split("\r\n");
        int bewertet = 0;
        for (int z = 0; z < zeilen.size(); ++z) {
            const QString& zeile = zeilen[z];
            const QByteArray wo = QStringLiteral("%1 line %2: \"%3\"").arg(datei).arg(z + 1).arg(zeile).toUtf8();
            QVERIFY2(zeile.size() <= 48, wo.constData());
            // A blank the learner cannot see is one he cannot type.
            QVERIFY2(!zeile.endsWith(' ') && !zeile.startsWith(' '), wo.constData());
            QVERIFY2(!zeile.contains("  "), wo.constData());
            for (QChar c : zeile) {
                if (c == ' ') continue;
                QVERIFY2(erlaubt.contains(c), (wo + " has '" + QString(c).toUtf8() + "'").constData());
                ++bewertet;
            }
        }
        QVERIFY2(bewertet >= 250 && bewertet <= 1200, qPrintable(QString::number(bewertet)));
        // A lesson opens with its new keys and keeps drilling them.
        for (QChar c : neu) QVERIFY2(text.count(c) >= 5, qPrintable(datei + ": few " + c));
        if (datei.startsWith("Lektion") && datei != QLatin1String("Lektion18.inf"))
            for (QChar c : neu) QVERIFY2(zeilen[0].contains(c), qPrintable(zeilen[0]));
    }

    // The two parts of a hand's training together drill every key of that
    // hand; capitals are practised with either hand's Shift key.
    void abdeckung_data() {
        QTest::addColumn<QStringList>("dateien");
        QTest::addColumn<QString>("tasten");
        QTest::addColumn<int>("mindestens");
        QTest::newRow("left hand") << QStringList{"LIHA.inf", "LIHA1.inf"} << "qwertasdfgyxcvb" << 5;
        QTest::newRow("right hand") << QStringList{"REHA.inf", "REHA1.inf"} << "zuiopühjklöänm,.-ß" << 5;
        QTest::newRow("capitals, left hand") << QStringList{"Lektion18.inf"} << "QWERTASDFGYXCVB" << 20;
        QTest::newRow("capitals, right hand") << QStringList{"Lektion18.inf"} << "ZUIOPÜHJKLÖÄNM" << 20;
        QTest::newRow("text 5, left hand") << QStringList{"Text5.inf"} << "QWERTASDFGYXCVB" << 5;
        QTest::newRow("text 5, right hand") << QStringList{"Text5.inf"} << "ZUIOPÜHJKLÖÄNM" << 5;
    }
    void abdeckung() {
        QFETCH(QStringList, dateien);
        QFETCH(QString, tasten);
        QFETCH(int, mindestens);
        QString text;
        for (const QString& d : dateien) text += decodeCp1252(quelle(d));
        if (dateien.size() > 1) {
            // Every key, each several times.
            for (QChar c : tasten) QVERIFY2(text.count(c) >= mindestens, qPrintable(QString(c)));
        } else {
            int n = 0;
            for (QChar c : tasten) n += text.count(c);
            QVERIFY2(n >= mindestens, qPrintable(QString::number(n)));
        }
    }

    // Started from the catalogue and typed key by key, every text ends
    // without an error: no character in it that the keyboard cannot give.
    void durchTippen_data() { dateien(); }
    void durchTippen() {
        QFETCH(QString, datei);
        const Katalogeintrag* eintrag = nullptr;
        for (const Katalogeintrag& e : kLektionskatalog)
            if (e.dateiName() == "\\" + datei) eintrag = &e;
        QVERIFY(eintrag);
        TestEnv env;
        frmLek& lek = env.app->forms.get<frmLek>();
        QVERIFY(lek.starteUebung(eintrag->gruppe, QString::fromUtf16(eintrag->auswahl)));
        frmSchreiben& s = env.app->forms.get<frmSchreiben>();
        tippeText(s.Text1, s.rtb1->text());
        QCOMPARE(s.Text2->text(), QStringLiteral("ENDE"));
        QCOMPARE(env.app->ex.fehler, 0.0);
        QCOMPARE(env.app->ex.zaehler, env.app->ex.MaxZeichen);
    }
};

VELKORA_TEST_MAIN(TestLessonTexts)
#include "tst_lessontexts.moc"
