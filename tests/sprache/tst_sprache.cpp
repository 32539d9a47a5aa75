// Spoken keys: the name of every character of a text, what is heard while typing.
#include "allefenster.h"
#include "../lessons/tippen.h"
#include "platform/richtextview.h"
#include "platform/textcodec.h"
#include "sprache/sprachausgabe.h"
#include "sprache/tastensprache.h"
#include "testenv.h"

#include <QPlainTextEdit>

class TstSprache : public QObject {
    Q_OBJECT
private slots:
    // One row per kind of character.
    void zeichen_data() {
        QTest::addColumn<QString>("zeichen");
        QTest::addColumn<QString>("gesprochen");
        QTest::newRow("small letter") << "f" << "f";
        QTest::newRow("capital") << "F" << "großes F";
        QTest::newRow("umlaut") << "ä" << "ä";
        QTest::newRow("digit") << "7" << "7";
        QTest::newRow("line break") << "\n" << "Eingabetaste";
        QTest::newRow("sign of its own key") << "," << "Komma";
        QTest::newRow("shifted digit") << "/" << "Umschalt und 7: Schrägstrich";
        QTest::newRow("shifted sign") << ";" << "Umschalt und Komma: Semikolon";
        QTest::newRow("alt gr letter") << "@" << "Alt Gr und Q: At-Zeichen";
        QTest::newRow("key the keyboard picture lacks") << "'" << "Umschalt und Raute: Apostroph";
        QTest::newRow("dead key alone") << "^" << "Zirkumflex-Taste, dann Leertaste: Zirkumflex";
        QTest::newRow("dead key letter") << "é" << "Akut, dann e: e mit Akut";
        QTest::newRow("dead key capital") << "È" << "Umschalt und Akut, dann Umschalt und E: großes E mit Gravis";
        QTest::newRow("accent without dead key") << "ñ" << "n mit Tilde";
        QTest::newRow("sign without key") << "„" << "Anführungszeichen unten";
    }
    void zeichen() {
        QFETCH(QString, zeichen);
        QFETCH(QString, gesprochen);
        QCOMPARE(gesprochenesZeichen(zeichen[0]), gesprochen);
    }

    // Every character Windows-1252 gives a text has a name of words; only
    // the five codes without a character are read as codes.
    void jedesZeichen() {
        QStringList ohne;
        for (int code = 0x20; code < 0x100; ++code) {
            if (code == 0x7F) continue;  // no text holds it
            const QChar c = decodeCp1252(QByteArray(1, char(code)))[0];
            const QString n = gesprochenesZeichen(c);
            const bool leer = QList<int>{0x81, 0x8D, 0x8F, 0x90, 0x9D}.contains(code);
            if (n.isEmpty() || n.startsWith(QLatin1String("Zeichen ")) != leer) ohne << QString::number(code, 16);
        }
        QVERIFY2(ohne.isEmpty(), qPrintable(ohne.join(", ")));
        QCOMPARE(Sprachausgabe::ansage(QLatin1Char('f')), QStringLiteral("f, linker Zeigefinger"));
    }

    // Heard over "ff j": the start, the next key, "falsch" and the expected key, only the
    // newest of fast keys, rating and summary, nothing when off ("!": it interrupts).
    void ansagen_data() {
        QTest::addColumn<bool>("an");
        QTest::addColumn<QString>("tasten");
        QTest::addColumn<QStringList>("gesagt");  // the first texts handed over
        QTest::newRow("start") << true << "" << QStringList{"!Lektion 1 j/f", "Erste Taste: f, linker Zeigefinger"};
        QTest::newRow("accepted") << true << "f" << QStringList{"!f, linker Zeigefinger"};
        QTest::newRow("newest only") << true << "ff" << QStringList{"!Leertaste, Daumen"};
        QTest::newRow("wrong") << true << "k" << QStringList{"!falsch, f, linker Zeigefinger"};
        QTest::newRow("end") << true << "ff jx" << QStringList{"!Übung beendet. Bewertung: Klasse!", "MaxZeichen: 3"};
        QTest::newRow("off") << false << "fk" << QStringList{};
    }
    void ansagen() {
        QFETCH(bool, an);
        QFETCH(QString, tasten);
        QFETCH(QStringList, gesagt);
        TestEnv env;
        env.app->forms.get<frmVelkora>();
        env.app->opt.checkSprache = an;
        QVERIFY(env.app->forms.get<frmLek>().starteUebung(Gruppe::Lektionen, QStringLiteral("1")));
        frmSchreiben& s = env.app->forms.get<frmSchreiben>();
        s.rtb1->setText(QStringLiteral("ff j"));
        s.zaehlen();
        s.strt();
        if (!tasten.isEmpty()) QTest::qWait(1);
        env.services.gesprochen.clear();
        for (QChar c : tasten) tippeZeichen(s.Text1, c);
        // Nothing is said while keys are judged (the end's recording shows a window).
        const bool ende = tasten.endsWith(QLatin1Char('x'));
        QVERIFY(ende || env.services.gesprochen.isEmpty());
        QTest::qWait(1);
        QCOMPARE(env.services.gesprochen.mid(0, gesagt.size()), gesagt);
        if (ende) QCOMPARE(s.Text1->accessibleName(), QStringLiteral("Zusammenfassung"));
    }
};

VELKORA_TEST_MAIN(TstSprache)
#include "tst_sprache.moc"
