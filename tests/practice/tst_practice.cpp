// "Schwächen üben": the texts made from a learner's records, the word list
// they are made of, and the exercise as the lesson window starts it.
#include "../lessons/tippen.h"
#include "../stats/statshelfer.h"
#include "lessons/frmLek.h"
#include "platform/textcodec.h"
#include "practice/generator.h"
#include "practice/lernstand.h"
#include "trainer/frmSchreiben.h"
#include "platform/richtextview.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTabWidget>

namespace {
const Wortschatz& wortschatz() {
    static Wortschatz w = [] {
        Wortschatz x;
        wortschatzLaden(QStringLiteral(VELKORA_SOURCE_DIR "/data/woerter.txt"),
                        QStringLiteral(VELKORA_SOURCE_DIR "/data/phrasen.txt"), x);
        return x;
    }();
    return w;
}

// Records written short: "k 60/20 300" is 60 presses at k, 20 of them
// wrong, 300 ms each; "ei 40/15" a pair. Exercises are separated by '|',
// newest first; keys of the allowed set not named get "rest".
QList<Zeichenwerte> werte(const QString& text, const Tastenauswahl& erlaubt, const QString& rest) {
    QList<Zeichenwerte> l;
    for (const QString& uebung : text.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        Zeichenwerte w;
        auto eintragen = [](Tastenwert& t, const QStringList& teile) {
            const QStringList z = teile.value(1).split(QLatin1Char('/'));
            const qint64 n = z.value(0).toLongLong(), f = z.value(1).toLongLong();
            t = Tastenwert{n - f, f, (n - f) * teile.value(2, QStringLiteral("200")).toLongLong(), n - f};
        };
        for (char16_t c : erlaubt.zeichen)
            if (QChar(c).isLetter() && !rest.isEmpty()) eintragen(w.zeichen[c], QStringList{QString(), rest});
        for (const QString& e : uebung.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const QStringList teile = e.simplified().split(QLatin1Char(' '));
            const QString was = teile[0];
            if (was.size() == 1) eintragen(w.zeichen[was[0].unicode()], teile);
            else eintragen(w.paare[paarSchluessel(was[0].unicode(), was[1].unicode())], teile);
        }
        l << w;
    }
    return l;
}

QList<int> lektionenBis(int n) {
    QList<int> l;
    for (int i = 1; i <= n; ++i) l << i;
    return l;
}
}  // namespace

class TestPractice : public QObject {
    Q_OBJECT
private slots:
    void texte_data() {
        QTest::addColumn<int>("bis");         // lessons 1 to bis passed; 0: all keys
        QTest::addColumn<QString>("werte");
        QTest::addColumn<QString>("rest");    // the records of every other allowed letter
        QTest::addColumn<QStringList>("geuebt");  // trained, in this order, at the front
        QTest::addRow("zwei Tasten stets falsch") << 6 << "k 60/20, l 60/18" << "60/0" << QStringList{"k", "l"};
        QTest::addRow("ß und ö, alle Tasten") << 0 << "ß 30/10, ö 40/12" << "100/1" << QStringList{"ß", "ö"};
        QTest::addRow("ein Paar") << 12 << "i 100/16, ei 40/15" << "100/1" << QStringList{"i", "ei"};
        QTest::addRow("eine langsame Taste") << 8 << "h 80/0 700" << "80/0" << QStringList{"h"};
        QTest::addRow("die neueste Übung zählt mehr")
            << 10 << "f 20/8 | d 20/8" << "20/0" << QStringList{"f", "d"};
        QTest::addRow("kaum gedrückte Taste") << 6 << "g 3/0" << "200/1" << QStringList{"g"};
        QTest::addRow("keine Werte") << 6 << "" << "" << QStringList{};
        QTest::addRow("keine Werte, alle Tasten") << 0 << "" << "" << QStringList{};
    }
    void texte() {
        QFETCH(int, bis);
        QFETCH(QString, werte);
        QFETCH(QString, rest);
        QFETCH(QStringList, geuebt);
        const Tastenauswahl erlaubt = bis ? erlaubteTasten(lektionenBis(bis)) : alleLektionsTasten();
        const QList<Zeichenwerte> w = ::werte(werte, erlaubt, rest);
        const Schwaechenuebung u = schwaechenuebung(wortschatz(), w, erlaubt, kZielZeichen, 7);
        QVERIFY(!u.zuWenigWoerter);
        QCOMPARE((u.was.tasten + u.was.paare).mid(0, geuebt.size()), geuebt);
        QCOMPARE(u.was.ohneDaten, werte.isEmpty());
        QVERIFY2(u.bewertet >= kZielZeichen && u.bewertet < kZielZeichen + 60, qPrintable(QString::number(u.bewertet)));
        // Windows-1252, CR LF, short lines, allowed keys, real words.
        QCOMPARE(decodeCp1252(u.datei), u.text);
        QVERIFY(!u.datei.contains('?'));
        const QSet<QString> liste(wortschatz().woerter.cbegin(), wortschatz().woerter.cend());
        for (const QString& zeile : u.text.split(QStringLiteral("\r\n"))) {
            QVERIFY(!zeile.contains(QLatin1Char('\r')) && !zeile.contains(QLatin1Char('\n')));
            QVERIFY2(zeile.size() <= kZeilenlaenge && !zeile.isEmpty(), qPrintable(zeile));
            for (QChar c : zeile) QVERIFY2(erlaubt.erlaubt(c), qPrintable(zeile));
            for (const QString& wort : zeile.split(QLatin1Char(' ')))
                QVERIFY2(liste.contains(QString(wort).remove(QRegularExpression(QStringLiteral("[,.]+$")))),
                         qPrintable(wort));
        }
        // Weak keys and pairs at least twice their usual share; without
        // records every allowed letter comes up.
        const Vorrat v = vorrat(wortschatz(), erlaubt);
        for (const QString& x : u.was.tasten + u.was.paare)
            QVERIFY2(anteilIn(u.text, x) >= 2 * ueblicherAnteil(wortschatz(), x),
                     qPrintable(QStringLiteral("%1: %2 / %3").arg(x).arg(anteilIn(u.text, x)).arg(ueblicherAnteil(wortschatz(), x))));
        if (u.was.ohneDaten)
            for (char16_t c : erlaubt.zeichen)
                if (QChar(c).isLetter() && anteilImVorrat(v, QString(QChar(c))) > 0)
                    QVERIFY2(anteilIn(u.text, QString(QChar(c))) > 0, qPrintable(QString(QChar(c))));
        // Same seed, same text; another seed, another text.
        QCOMPARE(schwaechenuebung(wortschatz(), w, erlaubt, kZielZeichen, 7).text, u.text);
        QVERIFY(schwaechenuebung(wortschatz(), w, erlaubt, kZielZeichen, 8).text != u.text);
    }

    // A key pressed a few times without a miss is not taken for a strong one.
    void unsicher() {
        const Tastenauswahl erlaubt = erlaubteTasten(lektionenBis(6));
        const QHash<char16_t, double> s = tastenSchwaeche(werte("g 3/0, h 200/2", erlaubt, "200/2"), erlaubt);
        QVERIFY(s.value(u'g') > 1.2 * s.value(u'h'));
        QCOMPARE(schwaechenuebung(wortschatz(), {}, erlaubteTasten(lektionenBis(2)), 400, 1).zuWenigWoerter, true);
    }

    void wortliste() {
        const QStringList& w = wortschatz().woerter;
        QVERIFY(w.size() >= 4000);
        QCOMPARE(QSet<QString>(w.cbegin(), w.cend()).size(), w.size());
        QVERIFY(wortschatz().phrasen.size() >= 400);
        const QSet<QString> liste(w.cbegin(), w.cend());
        for (const QString& p : wortschatz().phrasen)
            for (const QString& x : p.split(QLatin1Char(' ')))
                QVERIFY2(liste.contains(QString(x).remove(QRegularExpression(QStringLiteral("[,.]+$")))), qPrintable(p));
        QProcess hunspell;
        hunspell.start(QStringLiteral("hunspell"), {"-i", "UTF-8", "-d", "de_DE", "-l",
                                                    QStringLiteral(VELKORA_SOURCE_DIR "/data/woerter.txt")});
        QVERIFY2(hunspell.waitForFinished(60000), "hunspell hunspell-de-de (tools/install-deps.sh)");
        QCOMPARE(hunspell.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(hunspell.readAllStandardOutput()), QString());
    }

    // The lesson window: the lessons passed and the one proposed; then the
    // exercise started and typed to its end, stored under its own number.
    void fenster_data() {
        QTest::addColumn<QVariantList>("gespeichert");  // pairs: lesson, error rate
        QTest::addColumn<QString>("bestanden");
        QTest::addColumn<int>("vorschlag");
        QTest::addRow("neu") << QVariantList{} << "Noch keine Lektion bestanden. Vorschlag: Lektion 1" << 1;
        QTest::addRow("1 bis 6, 7 zu viele Fehler")
            << QVariantList{1, 0.5, 2, 2.0, 3, 1.0, 4, 0.0, 5, 1.5, 6, 0.7, 7, 2.01, 9, 1.0}
            << "Bestanden: Lektion 1 bis 6, 9. Vorschlag: Lektion 7" << 7;
    }
    void fenster() {
        QFETCH(QVariantList, gespeichert);
        QFETCH(QString, bestanden);
        QFETCH(int, vorschlag);
        TestEnv env;
        {
            TestDb db(velkoraPfad(env));
            for (qsizetype i = 0; i < gespeichert.size(); i += 2)
                QVERIFY(db.exec(QStringLiteral("INSERT INTO Auswertung (Datum, Zeit, IDLektion, ergebnis) VALUES "
                                               "('2024-05-17', '12:00:00', ?, ?)"),
                                {gespeichert[i], gespeichert[i + 1]}));
        }
        frmLek& lek = env.app->forms.get<frmLek>();
        lek.zeigen();
        QCOMPARE(lek.lblBestanden->text(), bestanden);
        lek.cmdVorschlag->click();
        QCOMPARE(lek.Slider1->value(), vorschlag);

        lek.SSTab1->setCurrentIndex(lek.tabSchwaechen);
        if (gespeichert.isEmpty()) {
            QCOMPARE(lek.lblGeuebt->text(), QStringLiteral("Mit diesen Tasten gibt es noch zu wenige Wörter."));
            QVERIFY(!lek.starteSchwaechen());
            QCOMPARE(env.services.messages.size(), 1);
            lek.chkAlleTasten->setChecked(true);
        }
        QVERIFY(lek.lblGeuebt->text().startsWith(QStringLiteral("Noch keine Tastenwerte gespeichert")));
        lek.cmdSchwaechen->click();
        QCOMPARE(env.app->ex.lektionsnr, qint16(102));
        frmSchreiben& s = env.app->forms.get<frmSchreiben>();
        const QString text = s.rtb1->text();
        QVERIFY(text.size() > 400);
        tippeText(s.Text1, text);
        QTest::keyClick(s.Text1, Qt::Key_Return);
        TestDb db(velkoraPfad(env));
        QCOMPARE(db.rows(QStringLiteral("SELECT count(*) FROM Auswertung WHERE IDLektion = 102"))[0][0].toInt(), 1);
        QVERIFY(db.rows(QStringLiteral("SELECT count(*) FROM Tastenwerte"))[0][0].toInt() > 5);
    }
};

VELKORA_TEST_MAIN(TestPractice)
#include "tst_practice.moc"
