// Per-key records: what a typed exercise stores, how older and read-only
// files fare, and how the heatmap colours and names the keys.
#include "../lessons/tippen.h"
#include "../stats/statshelfer.h"
#include "insight/frmTasten.h"
#include "platform/richtextview.h"
#include "testenv.h"
#include "trainer/frmSchreiben.h"
#include "trainer/keybutton.h"
#include "trainer/recording.h"
#include "trainer/keytable.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

namespace {
// Starts an exercise over text in the writing window, as the lesson window does.
frmSchreiben& beginnen(App& app, const QString& text) {
    frmSchreiben& s = app.forms.get<frmSchreiben>();
    s.rtb1->setLocked(false);
    s.rtb1->setText(text);
    s.Text1->setReadOnly(false);
    s.Text1->setEnabled(true);
    s.zaehlen();
    s.strt();
    return s;
}

// Types a script of "key@ms" steps ("\r" for Return); the clock stands at
// ms when the key goes down. The key after the last one ends the exercise.
void tippen(TestEnv& env, frmSchreiben& s, const QStringList& schritte) {
    for (const QString& schritt : schritte) {
        const qsizetype at = schritt.lastIndexOf(QLatin1Char('@'));
        env.services.uhr = schritt.mid(at + 1).toLongLong();
        tippeZeichen(s.Text1, schritt[0]);
    }
}

QString sichtbar(QString s) { return s.replace(QLatin1Char(' '), QStringLiteral("␣")).replace(QLatin1Char('\n'), QStringLiteral("↵")); }

// The stored records as "a:richtig/falsch/zeit_ms/zeit_n", sorted.
QString tastenwerteText(const TestEnv& env) {
    TestDb v(velkoraPfad(env));
    QStringList t;
    for (const QVariantList& r : v.rows("SELECT zeichen, richtig, falsch, zeit_ms, zeit_n FROM Tastenwerte ORDER BY zeichen"))
        t << QStringLiteral("%1:%2/%3/%4/%5").arg(sichtbar(r[0].toString())).arg(r[1].toInt()).arg(r[2].toInt()).arg(r[3].toInt()).arg(r[4].toInt());
    return t.join(' ');
}
QString paarwerteText(const TestEnv& env) {
    TestDb v(velkoraPfad(env));
    QStringList t;
    for (const QVariantList& r :
         v.rows("SELECT vorher, zeichen, richtig, falsch, zeit_ms, zeit_n FROM Paarwerte ORDER BY vorher, zeichen"))
        t << QStringLiteral("%1%2:%3/%4/%5/%6").arg(sichtbar(r[0].toString()), sichtbar(r[1].toString())).arg(r[2].toInt()).arg(r[3].toInt()).arg(r[4].toInt()).arg(r[5].toInt());
    return t.join(' ');
}

// A velkora.mdb as an earlier version made it: without the record tables.
void alteDatei(const TestEnv& env) {
    TestDb v(velkoraPfad(env));
    for (const QVariantList& r : v.rows("SELECT type, name FROM sqlite_master WHERE name IN ('Tastenwerte', 'Paarwerte', "
                                        "'Tastentage', 'Paartage', 'Tastensumme', 'Paarsumme') AND type = 'table'"))
        v.exec(QStringLiteral("DROP TABLE %1").arg(r[1].toString()));
    v.exec("INSERT INTO Auswertung (Datum, Zeit, IDLektion, zaehler, fehler) VALUES ('2024-05-17', '14:03:07', 3, 99, 4)");
}
// Sets the file's write version: above 2 the engine opens it read-only,
// whoever runs the test (file permissions do not hold for root).
void schreibversion(const TestEnv& env, char v) {
    QFile f(velkoraPfad(env));
    QVERIFY(f.open(QIODevice::ReadWrite) && f.seek(18) && f.write(&v, 1) == 1);
}
}  // namespace

class TstTasten : public QObject {
    Q_OBJECT
private slots:
    void init() { QDir().mkpath(QDir::tempPath()); }

    // What a typed exercise stores: per character and per pair the presses
    // right and wrong, and the times from the key accepted before.
    void aufzeichnen_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("schritte");
        QTest::addColumn<QString>("tasten");
        QTest::addColumn<QString>("paare");
        QTest::newRow("fehlerfrei, die erste Taste ohne Zeit")
            << "fdf" << QStringList{"f@1000", "d@1300", "f@1500", "x@9000"} << "d:1/0/300/1 f:2/0/200/1"
            << "df:1/0/200/1 fd:1/0/300/1";
        // The wrong keys count at the expected one; its time runs from the
        // key before the error, so the hesitation shows.
        QTest::newRow("fehler zählen beim erwarteten zeichen")
            << "fdf" << QStringList{"f@1000", "j@1100", "k@1200", "d@1600", "f@1700", "x@9000"}
            << "d:1/2/600/1 f:2/0/100/1" << "df:1/0/100/1 fd:1/2/600/1";
        QTest::newRow("fehler an der ersten taste: kein paar")
            << "fd" << QStringList{"j@500", "f@1000", "d@1250", "x@9000"} << "d:1/0/250/1 f:1/1/0/0" << "fd:1/0/250/1";
        QTest::newRow("leer und zeilenumbruch sind zeichen")
            << "a b\r\nA" << QStringList{"a@0", " @200", "b@500", "x@600", "\r@900", "A@1400", "x@9000"}
            << "↵:1/1/400/1 ␣:1/0/200/1 A:1/0/500/1 a:1/0/0/0 b:1/0/300/1"
            << "↵A:1/0/500/1 ␣b:1/0/300/1 a␣:1/0/200/1 b↵:1/1/400/1";
        QTest::newRow("eine pause über zehn sekunden zählt ohne zeit")
            << "ff" << QStringList{"f@0", "f@20000", "x@30000"} << "f:2/0/0/0" << "ff:1/0/0/0";
    }
    void aufzeichnen() {
        QFETCH(QString, text);
        QFETCH(QStringList, schritte);
        QFETCH(QString, tasten);
        QFETCH(QString, paare);
        TestEnv env;
        leereDatenbanken(env);
        frmSchreiben& s = beginnen(*env.app, text);
        tippen(env, s, schritte);
        QCOMPARE(s.Text2->text(), QStringLiteral("DB_ENDE"));
        QVERIFY2(env.services.messages.isEmpty(), qPrintable(env.services.messages.value(0).text));
        QCOMPARE(tastenwerteText(env), tasten);
        QCOMPARE(paarwerteText(env), paare);
        // The records carry the result's id and date, and the running totals hold their sums.
        TestDb v(velkoraPfad(env));
        QCOMPARE(v.rows("SELECT count(*) FROM Tastenwerte t JOIN Ablage a ON a.ergebnis = t.ergebnis "
                        "JOIN Auswertung w ON w.IDDatensatz = a.IDDatensatz AND w.Datum = t.datum").value(0).value(0).toInt(),
                 v.rows("SELECT count(*) FROM Tastenwerte").value(0).value(0).toInt());
        QCOMPARE(v.rows("SELECT sum(richtig), sum(falsch), sum(zeit_ms), sum(zeit_n) FROM Tastensumme"),
                 v.rows("SELECT sum(richtig), sum(falsch), sum(zeit_ms), sum(zeit_n) FROM Tastenwerte"));
        QCOMPARE(v.rows("SELECT sum(richtig), sum(falsch), sum(zeit_ms), sum(zeit_n) FROM Paartage"),
                 v.rows("SELECT sum(richtig), sum(falsch), sum(zeit_ms), sum(zeit_n) FROM Paarwerte"));
        // A second recording without a typed exercise stores no records again.
        const int vorher = v.rows("SELECT count(*) FROM Tastenwerte").value(0).value(0).toInt();
        ergebnisseAufzeichnen(*env.app);
        QCOMPARE(v.rows("SELECT count(*) FROM Tastenwerte").value(0).value(0).toInt(), vorher);
    }

    // A file of an earlier version gains the tables and keeps its rows; a
    // read-only one records the results as before, records kept pending with them.
    void alteDateien_data() {
        QTest::addColumn<bool>("schreibgeschuetzt");
        QTest::newRow("alt") << false;
        QTest::newRow("alt und schreibgeschützt") << true;
    }
    void alteDateien() {
        QFETCH(bool, schreibgeschuetzt);
        // The same exercise without records, as the program stored it so far.
        QList<FakeServices::Message> ohne;
        QList<QVariantList> fingerOhne;
        for (bool mitTasten : {false, true}) {
            TestEnv env;
            leereDatenbanken(env);
            alteDatei(env);
            if (schreibgeschuetzt) schreibversion(env, 3);
            frmSchreiben& s = beginnen(*env.app, QStringLiteral("fdf"));
            if (mitTasten) tippen(env, s, {"f@0", "d@300", "f@600", "x@900"});
            else ergebnisseAufzeichnen(*env.app);
            TestDb f(fingerPfad(env));
            const QList<QVariantList> finger = f.rows("SELECT * FROM fehlerliste");
            if (!mitTasten) {
                ohne = env.services.messages;
                for (auto& m : ohne) m.text.replace(env.programDir(), "<dir>");
                QCOMPARE(ohne.isEmpty(), !schreibgeschuetzt);
                fingerOhne = finger;
                continue;
            }
            QCOMPARE(env.services.messages.size(), ohne.size());
            for (int i = 0; i < ohne.size(); ++i)
                QCOMPARE(QString(env.services.messages[i].text).replace(env.programDir(), "<dir>"), ohne[i].text);
            QCOMPARE(finger.size(), fingerOhne.size());
            TestDb v(velkoraPfad(env));
            const QVariantList alt = v.rows("SELECT Datum || ' ' || Zeit || ' ' || IDLektion FROM Auswertung").value(0);
            QCOMPARE(alt.value(0).toString(), QStringLiteral("2024-05-17 14:03:07 3"));
            const QStringList tabellen = v.db().tables();
            QCOMPARE(tabellen.contains("Tastenwerte"), !schreibgeschuetzt);
            if (!schreibgeschuetzt) {
                QCOMPARE(tastenwerteText(env), QStringLiteral("d:1/0/300/1 f:2/0/300/1"));
                continue;
            }
            // Kept for later, with the result they belong to.
            const QList<AusstehendeZeile> warten = ausstehendeLesen(ausstehendDatei(*env.app));
            QStringList tabellenWartend;
            for (const AusstehendeZeile& a : warten) tabellenWartend << a.zeile.tabelle;
            QCOMPARE(tabellenWartend.count("Auswertung"), 1);
            QCOMPARE(tabellenWartend.count("Tastenwerte"), 2);
            QCOMPARE(tabellenWartend.count("Paarwerte"), 2);
            // Writable again: the next start stores them together.
            schreibversion(env, 1);
            ausstehendeNachtragen(*env.app);
            QCOMPARE(tastenwerteText(env), QStringLiteral("d:1/0/300/1 f:2/0/300/1"));
        }
    }

    // The colour and figures of a key for its presses.
    void farbe_data() {
        QTest::addColumn<int>("richtig");
        QTest::addColumn<int>("falsch");
        QTest::addColumn<int>("zeitMs");
        QTest::addColumn<int>("zeitN");
        QTest::addColumn<int>("faerbung");
        QTest::addColumn<QColor>("farbe");
        QTest::addColumn<QString>("text");
        const int fq = int(Faerbung::Fehlerquote), zt = int(Faerbung::Zeit);
        QTest::newRow("19 anschläge: zu wenig") << 19 << 0 << 1900 << 19 << fq << kFarbeZuWenig << "zu wenig Daten";
        QTest::newRow("20 fehlerfrei: blau") << 20 << 0 << 4000 << 20 << fq << QColor(120, 175, 235) << "0,0 % Fehler, 200 ms";
        QTest::newRow("10 %: orange") << 18 << 2 << 4500 << 18 << fq << QColor(242, 140, 40) << "10,0 % Fehler, 250 ms";
        QTest::newRow("über 10 %: orange") << 10 << 10 << 2000 << 10 << fq << QColor(242, 140, 40) << "50,0 % Fehler, 200 ms";
        // Times on the scale 200 to 400 ms.
        QTest::newRow("zeit: langsamste") << 20 << 0 << 8000 << 20 << zt << QColor(242, 140, 40) << "0,0 % Fehler, 400 ms";
        QTest::newRow("zeit: ohne gemessene") << 20 << 0 << 0 << 0 << zt << kFarbeZuWenig << "0,0 % Fehler";
    }
    void farbe() {
        QFETCH(int, richtig);
        QFETCH(int, falsch);
        QFETCH(int, zeitMs);
        QFETCH(int, zeitN);
        QFETCH(int, faerbung);
        QFETCH(QColor, farbe);
        QFETCH(QString, text);
        const Tastenwert w{richtig, falsch, zeitMs, zeitN};
        const Faerbung f = Faerbung(faerbung);
        const Skala s = f == Faerbung::Zeit ? Skala{200, 400} : Skala{0, 10};
        QCOMPARE(tastenFarbe(w, f, s), farbe);
        QCOMPARE(kennzahlText(w), text);
    }

    // The heatmap adds characters onto their keys and names each key with its figures.
    void heatmap() {
        TestEnv env;
        leereDatenbanken(env);
        {
            TestDb v(velkoraPfad(env));
            const QString heute = QDate::currentDate().toString(Qt::ISODate);
            const QString alt = QDate::currentDate().addDays(-40).toString(Qt::ISODate);
            // f plain and capital, @ with AltGr; an older result only in "all".
            for (const auto& [id, tag, z, r, f, ms] :
                 {std::tuple{"1", alt, "f", 100, 50, 20000}, {"2", heute, "f", 200, 2, 48000}, {"2", heute, "F", 35, 3, 7000},
                  {"2", heute, "@", 30, 0, 15000}, {"2", heute, "j", 10, 0, 2000}})
                v.exec("INSERT INTO Tastenwerte VALUES (?, ?, ?, ?, ?, ?, ?)", {id, tag, z, r, f, ms, r});
            v.exec("INSERT INTO Paarwerte VALUES ('2', ?, 'f', 'j', 40, 4, 9000, 40)", {heute});
        }
        frmTasten& h = env.app->forms.get<frmTasten>();
        auto name = [&](int i) { return h.Command1[i]->accessibleName(); };
        QCOMPARE(int(h.zeitraum()), int(Zeitraum::Alle));
        QCOMPARE(name(0), QStringLiteral("Taste F: 14,1 % Fehler, 224 ms"));  // 55 of 390
        h.cboZeitraum->setCurrentIndex(int(Zeitraum::Tage7));
        QCOMPARE(name(0), QStringLiteral("Taste F: 2,1 % Fehler, 234 ms"));  // 5 of 240
        QCOMPARE(name(kTasteShiftRechts), QStringLiteral("Umschalt rechts: 7,9 % Fehler, 200 ms"));
        QCOMPARE(name(kTasteShiftLinks), QStringLiteral("Umschalt links: zu wenig Daten"));
        QCOMPARE(name(19), QStringLiteral("Taste Q: 0,0 % Fehler, 500 ms"));
        QCOMPARE(name(18), QStringLiteral("Taste Alt Gr: 0,0 % Fehler, 500 ms"));
        QCOMPARE(name(1), QStringLiteral("Taste J: zu wenig Daten"));
        QCOMPARE(h.Command1[1]->color(), kFarbeZuWenig);
        QCOMPARE(h.lstTasten->item(0)->text(), QStringLiteral("Umschalt rechts: 7,9 % Fehler, 200 ms (38 Anschläge)"));
        QCOMPARE(h.lstPaare->item(0)->text(), QStringLiteral("f → j: 9,1 % Fehler, 225 ms (44 Anschläge)"));
        h.cboFaerbung->setCurrentIndex(int(Faerbung::Zeit));
        QCOMPARE(h.lstTasten->item(0)->text(), QStringLiteral("Taste Alt Gr: 0,0 % Fehler, 500 ms (30 Anschläge)"));
        QCOMPARE(h.Command1[19]->color(), skalenfarbe(1));
        h.cboZeitraum->setCurrentIndex(int(Zeitraum::LetzteUebung));
        QCOMPARE(name(0), QStringLiteral("Taste F: 2,1 % Fehler, 234 ms"));
    }
};

VELKORA_TEST_MAIN(TstTasten)
#include "tst_tasten.moc"
