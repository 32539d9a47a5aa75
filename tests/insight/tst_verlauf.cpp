// Progress over time and the export of the stored results.
#include "../stats/statshelfer.h"
#include "insight/export.h"
#include "insight/frmFortschritt.h"
#include "shell/frmVelkora.h"
#include "testenv.h"

#include <QAction>
#include <QChartView>
#include <QDir>
#include <QLabel>
#include <QLineSeries>
#include <QRadioButton>
#include <QSpinBox>
#include <QScatterSeries>
#include <QTableView>
#include <unistd.h>

namespace {
QByteArray lesen(const QString& pfad) {
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<fehlt>");
}

void ausloesen(TestEnv& env, const char* name) {
    auto* a = env.app->forms.get<frmVelkora>().findChild<QAction*>(QLatin1String(name));
    QVERIFY2(a, name);
    a->trigger();
}

// Two results as the recording stores them, with their finger rows.
void zweiErgebnisse(const TestEnv& env) {
    TestDb v(velkoraPfad(env)), f(fingerPfad(env));
    QVERIFY(v.exec("INSERT INTO Auswertung (Datum, Zeit, IDLektion, MaximalPunkte, stoppzeit, zaehler, fehler, "
                   "ergebnis, anschlaege) VALUES ('2024-05-17', '14:03:07', 4, 140, 1.25, 140, 3, 2.14, 112), "
                   "('2024-05-18', '09:15:00', 100, 80, 70.0 / 60, 80, 0, 0, 69)"));
    fingerZeileEinfuegen(f, {2, 1, 1, 0, 0, 0, 0, 1, 0, 0, 0, 1});
    fingerZeileEinfuegen(f, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
}

const QByteArray kKopf =
    "\xEF\xBB\xBFNr.;Datum;Zeit;\xC3\x9C" "bung;\xC3\x9C" "bungsname;Zeichen;Fehler;Fehler in %;Anschl\xC3\xA4ge/Min.;"
    "Dauer (Sek.);Linke Hand;Linker kleiner Finger;Linker Ringfinger;Linker Mittelfinger;Linker Zeigefinger;"
    "Linker Daumen;Rechter Daumen;Rechter Zeigefinger;Rechter Mittelfinger;Rechter Ringfinger;"
    "Rechter kleiner Finger;Rechte Hand\r\n";
const QByteArray kTastenKopf =
    "\xEF\xBB\xBFNr.;Datum;Zeit;\xC3\x9C" "bung;Art;Vorher;Zeichen;Zeichencode;Richtig;Falsch;Fehler in %;"
    "Mittlere Zeit (ms);Zeit gesamt (ms);Gemessene Anschl\xC3\xA4ge\r\n";

// One exercise on a day: exercise number, keystrokes, error percentage.
void amTag(const TestDb& v, const QString& tag, int nr, int anschlaege, double prozent) {
    QVERIFY(v.exec("INSERT INTO Auswertung (Datum, Zeit, IDLektion, MaximalPunkte, stoppzeit, zaehler, fehler, "
                   "ergebnis, anschlaege) VALUES (?, '10:00:00', ?, 100, 1, 100, 1, ?, ?)",
                   {tag, nr, prozent, anschlaege}));
}
}  // namespace

class TstVerlauf : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    // The export of two known results, through the menu, read back byte for byte.
    void exportBytes() {
        TestEnv env;
        zweiErgebnisse(env);
        QTemporaryDir ziel;
        env.services.saveAnswer = ziel.filePath("ergebnisse");  // the suffix is added
        env.services.answer = Msg::No;  // no per-key file
        ausloesen(env, "menExport");
        QCOMPARE(env.services.dialogs.size(), 1);
        QCOMPARE(lesen(ziel.filePath("ergebnisse.csv")),
                 kKopf + "1;17.05.2024;14:03:07;4;Lektion 4 a/\xC3\xB6;140;3;2,14;112;75;2;1;1;0;0;0;0;1;0;0;0;1\r\n"
                         "2;18.05.2024;09:15:00;100;Intensiv-Training Linke Hand;80;0;0,00;69;70;"
                         "0;0;0;0;0;0;0;0;0;0;0;0\r\n");
        QVERIFY(!QFileInfo::exists(ziel.filePath("ergebnisse-tasten.csv")));
        QCOMPARE(env.services.messages.size(), 2);  // the question, then where it went
        QCOMPARE(env.services.messages[1].text,
                 QString("2 Ergebnisse wurden in „%1“ geschrieben.").arg(ziel.filePath("ergebnisse.csv")));
    }

    // The per-key file: rows linked to their result through the markers,
    // characters a spreadsheet would lose written out, quotes quoted; no
    // tables at all give the heading alone.
    void tastenDatei_data() {
        QTest::addColumn<bool>("tabellen");
        QTest::addColumn<QByteArray>("erwartet");
        QTest::newRow("ohne Tabellen") << false << kTastenKopf;
        QTest::newRow("mit Tabellen")
            << true
            << kTastenKopf + "1;17.05.2024;14:03:07;4;Taste;;a;U+0061;10;2;16,67;167;1500;9\r\n"
                             "1;17.05.2024;14:03:07;4;Taste;;Leerzeichen;U+0020;5;0;0,00;200;1000;5\r\n"
                             ";19.05.2024;;;Taste;;Zeilenumbruch;U+000A;1;0;0,00;;0;0\r\n"
                             "1;17.05.2024;14:03:07;4;Paar;a;\"\"\"\";U+0061 U+0022;3;1;25,00;300;900;3\r\n";
    }
    void tastenDatei() {
        QFETCH(bool, tabellen);
        QFETCH(QByteArray, erwartet);
        TestEnv env;
        zweiErgebnisse(env);
        if (TestDb v(velkoraPfad(env)); !tabellen) {
            // A file made before the per-key records.
            QVERIFY(v.exec("DROP TABLE Tastenwerte"));
            QVERIFY(v.exec("DROP TABLE Paarwerte"));
        } else {
            QVERIFY(v.exec("INSERT INTO Ablage VALUES ('id-1', 1)"));
            QVERIFY(v.exec("INSERT INTO Tastenwerte VALUES ('id-1', '2024-05-17', 'a', 10, 2, 1500, 9), "
                           "('id-1', '2024-05-17', ' ', 5, 0, 1000, 5), ('verloren', '2024-05-19', char(10), 1, 0, 0, 0)"));
            QVERIFY(v.exec("INSERT INTO Paarwerte VALUES ('id-1', '2024-05-17', 'a', '\"', 3, 1, 900, 3)"));
        }
        QTemporaryDir ziel;
        env.services.saveAnswer = ziel.filePath("e.csv");
        env.services.answer = Msg::Yes;
        ausloesen(env, "menExport");
        QCOMPARE(lesen(ziel.filePath("e-tasten.csv")), erwartet);
        QVERIFY(lesen(ziel.filePath("e.csv")).startsWith(kKopf));
        QVERIFY(env.services.messages.last().text.contains(ziel.filePath("e-tasten.csv")));
    }

    // A result whose file cannot be written leaves nothing behind and says
    // why in German; the program's own files are never a target.
    void exportFehlschlag_data() {
        QTest::addColumn<QString>("fall");
        QTest::addColumn<QString>("meldung");
        QTest::newRow("Ordner schreibgeschützt") << "schreibgeschuetzt" << "nicht beschrieben werden";
        QTest::newRow("Ordner ist eine Datei") << "datei" << "nicht geschrieben werden";
        QTest::newRow("Datenbank beschädigt") << "datenbank" << "kann nicht gelesen werden";
        QTest::newRow("Datenbank als Ziel") << "eigene" << "nicht überschrieben";
    }
    void exportFehlschlag() {
        QFETCH(QString, fall);
        QFETCH(QString, meldung);
        if (fall == "schreibgeschuetzt" && ::geteuid() == 0)
            QSKIP("root may write into a read-only folder; the folder-is-a-file case covers the failure path");
        TestEnv env;
        zweiErgebnisse(env);
        QTemporaryDir ziel;
        QString datei = ziel.filePath("ergebnisse.csv");
        if (fall == "schreibgeschuetzt") {
            QVERIFY(QFile::setPermissions(ziel.path(), QFile::ReadOwner | QFile::ExeOwner));
        } else if (fall == "datei") {
            QFile platz(ziel.filePath("ordner"));
            QVERIFY(platz.open(QIODevice::WriteOnly));
            datei = ziel.filePath("ordner/ergebnisse.csv");
        } else if (fall == "datenbank") {
            env.writeFile("velkora.mdb", QByteArray(4096, 'x'));
        } else {
            datei = velkoraPfad(env);
        }
        const QByteArray vorher = lesen(velkoraPfad(env));
        env.services.saveAnswer = datei;
        env.services.answer = Msg::Yes;
        ausloesen(env, "menExport");
        QFile::setPermissions(ziel.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!env.services.messages.isEmpty());
        QVERIFY2(env.services.messages.last().text.contains(meldung), qPrintable(env.services.messages.last().text));
        QCOMPARE(env.services.messages.last().style & 0x70, int(Msg::Exclamation));
        const QStringList uebrig = QDir(ziel.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        QCOMPARE(uebrig, fall == "datei" ? QStringList{"ordner"} : QStringList{});
        QCOMPARE(lesen(velkoraPfad(env)), vorher);
    }

    // Finger rows and results paired by result id where both files mark
    // it, by order among the rows stored before the markers.
    void zuordnung_data() {
        QTest::addColumn<QList<qint64>>("ids");
        QTest::addColumn<QStringList>("velkora");  // "id=IDDatensatz"
        QTest::addColumn<QStringList>("finger");
        QTest::addColumn<bool>("fingerDa");
        QTest::addColumn<int>("zeilen");
        QTest::addColumn<QList<int>>("erwartet");
        QTest::newRow("in Reihenfolge") << QList<qint64>{1, 2, 3} << QStringList{} << QStringList{} << false << 3
                                        << QList<int>{0, 1, 2};
        QTest::newRow("weniger Fingerzeilen")
            << QList<qint64>{1, 2, 3} << QStringList{} << QStringList{} << false << 2 << QList<int>{0, 1, -1};
        QTest::newRow("alt und neu")
            << QList<qint64>{1, 2, 5, 7} << QStringList{"a=5", "b=7"} << QStringList{"a", "b"} << true << 4
            << QList<int>{0, 1, 2, 3};
        QTest::newRow("Ergebnis ohne Fingerzeile")  // b's finger row was lost
            << QList<qint64>{1, 5, 7, 8} << QStringList{"a=5", "b=7", "c=8"} << QStringList{"a", "c"} << true << 3
            << QList<int>{0, 1, -1, 2};
        QTest::newRow("Fingerzeile ohne Ergebnis")  // b's result row was lost
            << QList<qint64>{5, 8} << QStringList{"a=5", "c=8"} << QStringList{"a", "b", "c"} << true << 3
            << QList<int>{0, 2};
        QTest::newRow("Marker nur in velkora.mdb")
            << QList<qint64>{1, 5} << QStringList{"a=5"} << QStringList{} << false << 2 << QList<int>{0, 1};
        QTest::newRow("mehr Marker als Zeilen")
            << QList<qint64>{5, 7} << QStringList{"a=5", "b=7"} << QStringList{"b", "a", "x"} << true << 2
            << QList<int>{0, 1};
    }
    void zuordnung() {
        QFETCH(QList<qint64>, ids);
        QFETCH(QStringList, velkora);
        QFETCH(QStringList, finger);
        QFETCH(bool, fingerDa);
        QFETCH(int, zeilen);
        QFETCH(QList<int>, erwartet);
        QHash<QString, qint64> marker;
        for (const QString& m : velkora) marker.insert(m.section('=', 0, 0), m.section('=', 1).toLongLong());
        QCOMPARE(fingerZuordnung(ids, marker, finger, fingerDa, zeilen), erwartet);
    }

    // Per day the means and the count; a day without practice splits the
    // lines; the choice of lessons or texts follows the catalogue.
    void fortschritt_data() {
        QTest::addColumn<QString>("knopf");
        QTest::addColumn<QStringList>("tage");  // "Tag Übungen Anschläge Fehler"
        QTest::addColumn<int>("laeufe");
        QTest::newRow("Alle") << "optAlle"
                              << QStringList{"2024-05-13 2 110 1.5", "2024-05-14 1 90 4", "2024-05-16 1 130 0"} << 2;
        QTest::newRow("Lektionen") << "optLektionen" << QStringList{"2024-05-13 1 100 2", "2024-05-16 1 130 0"} << 2;
        QTest::newRow("Texte") << "optTexte" << QStringList{"2024-05-13 1 120 1", "2024-05-14 1 90 4"} << 1;
    }
    void fortschritt() {
        QFETCH(QString, knopf);
        QFETCH(QStringList, tage);
        QFETCH(int, laeufe);
        TestEnv env;
        {
            TestDb v(velkoraPfad(env));
            amTag(v, "2024-05-13", 18, 100, 2);
            amTag(v, "2024-05-13", 19, 120, 1);
            amTag(v, "2024-05-14", 99, 90, 4);
            amTag(v, "2024-05-16", 1, 130, 0);  // the 15th: no practice
        }
        ausloesen(env, "menFortschritt");
        frmFortschritt* w = env.app->forms.loaded<frmFortschritt>();
        QVERIFY(w && w->isVisible());
        w->findChild<QRadioButton*>(knopf)->click();
        QStringList ist;
        for (const Tageswert& t : w->tage())
            ist << QString("%1 %2 %3 %4").arg(t.tag.toString(Qt::ISODate)).arg(t.uebungen).arg(t.anschlaege).arg(t.fehlerProzent);
        QCOMPARE(ist, tage);
        QCOMPARE(w->laeufe().size(), laeufe);
        QCOMPARE(w->anschlaegeSerie()->count(), tage.size());
        QCOMPARE(w->lstTage->model()->rowCount(), tage.size());
        QCOMPARE(w->lstTage->model()->index(0, 1).data().toString(), tage.last().section(' ', 1, 1));  // newest first
        QVERIFY(env.services.messages.isEmpty());

        // On the screen: the line joins days one after the other and
        // leaves the day without practice empty.
        QApplication::processEvents();
        QChart* c = w->chtFortschritt->chart();
        const QImage bild = w->chtFortschritt->viewport()->grab().toImage();
        auto blauBei = [&](const Tageswert& a, const Tageswert& b) {
            const QPointF mitte((tagesPosition(a.tag) + tagesPosition(b.tag)) / 2.0,
                                (a.anschlaege + b.anschlaege) / 2);
            const QPoint p = w->chtFortschritt->mapFromScene(c->mapToScene(c->mapToPosition(mitte, w->anschlaegeSerie())));
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx) {
                    const QColor f = bild.pixelColor(p + QPoint(dx, dy));
                    if (f.blue() > 140 && f.red() < 90) return true;
                }
            return false;
        };
        for (int i = 1; i < w->tage().size(); ++i) {
            const Tageswert &a = w->tage()[i - 1], &b = w->tage()[i];
            QVERIFY2(blauBei(a, b) == (a.tag.daysTo(b.tag) == 1), qPrintable(b.tag.toString()));
        }
    }

    // The goal as stored, also when the store holds something else; a
    // changed goal is kept and drawn.
    void ziel_data() {
        QTest::addColumn<QString>("gespeichert");
        QTest::addColumn<int>("ziel");
        QTest::newRow("Zahl") << "150" << 150;
        QTest::newRow("Text") << "schnell" << 0;
        QTest::newRow("Bruch") << "12,5" << 0;
        QTest::newRow("negativ") << "-20" << 0;
        QTest::newRow("zu groß") << "100000" << 0;
        QTest::newRow("fehlt") << "" << 0;
    }
    void ziel() {
        QFETCH(QString, gespeichert);
        QFETCH(int, ziel);
        TestEnv env;
        {
            TestDb v(velkoraPfad(env));
            amTag(v, "2024-05-13", 1, 100, 2);
        }
        if (!gespeichert.isEmpty()) env.app->SaveSetting("Optionen", "ZielAnschlaege", gespeichert);
        frmFortschritt* w = &env.app->forms.get<frmFortschritt>();
        QCOMPARE(w->txtZiel->value(), ziel);
        QCOMPARE(w->zielSerie() != nullptr, ziel > 0);
        w->txtZiel->setValue(180);
        QCOMPARE(env.app->GetSetting("Optionen", "ZielAnschlaege"), QString("180"));
        QVERIFY(w->zielSerie());
        QCOMPARE(w->zielSerie()->at(0).y(), 180.0);
        env.app->forms.unload<frmFortschritt>();
        QCOMPARE(env.app->forms.get<frmFortschritt>().txtZiel->value(), 180);
    }

    // A database that cannot be read is reported; the window shows
    // "Keine Daten!" and stays usable.
    void kaputteDatenbank_data() {
        QTest::addColumn<QByteArray>("inhalt");
        QTest::newRow("beschädigt") << QByteArray(8192, '\x5a');
        QTest::newRow("fehlt") << QByteArray();
    }
    void kaputteDatenbank() {
        QFETCH(QByteArray, inhalt);
        TestEnv env;
        if (inhalt.isEmpty()) env.removeFile("velkora.mdb");
        else env.writeFile("velkora.mdb", inhalt);
        frmFortschritt& w = env.app->forms.get<frmFortschritt>();
        w.show();
        QCOMPARE(env.services.messages.size(), 1);
        QVERIFY2(env.services.messages[0].text.startsWith("Die Datenbank „"), qPrintable(env.services.messages[0].text));
        QVERIFY(w.Label1->isVisible());
        QVERIFY(!w.chtFortschritt->isVisible());
        w.optTexte->click();
        QCOMPARE(env.services.messages.size(), 1);
    }
};

VELKORA_TEST_MAIN(TstVerlauf)
#include "tst_verlauf.moc"
