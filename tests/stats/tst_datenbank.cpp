// The results databases: the statements on the delivered schema, the
// connection descriptions, where the files live, and recording finished
// exercises — including every way a database file can be unusable.
#include "lessons/frmLek.h"
#include "platform/numbers.h"
#include "platform/richtextview.h"
#include "stats/ablage.h"
#include "stats/datenbank.h"
#include "stats/datenblatt.h"
#include "stats/frmStatistik.h"
#include "stats/zeilensatz.h"
#include "stats/zusatztabellen.h"
#include "statshelfer.h"
#include "trainer/frmSchreiben.h"
#include "trainer/recording.h"
#include "windows/frmWait.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <cmath>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using Zeilen = QList<QVariantList>;

namespace {
// Equal as the database means it: both null, or the same number, or the
// same text.
bool gleicherWert(const QVariant& a, const QVariant& b) {
    if (a.isNull() || b.isNull()) return a.isNull() && b.isNull();
    bool okA = false, okB = false;
    const double x = a.toDouble(&okA), y = b.toDouble(&okB);
    if (okA && okB) return std::abs(x - y) < 1e-9 * std::max(1.0, std::abs(x));
    return a.toString() == b.toString();
}

QString zeigen(const Zeilen& z) {
    QStringList out;
    for (const auto& r : z) {
        QStringList c;
        for (const auto& v : r) c << (v.isNull() ? QStringLiteral("NULL") : v.toString());
        out << QLatin1Char('(') + c.join(QStringLiteral(", ")) + QLatin1Char(')');
    }
    return out.join(QLatin1Char(' '));
}

QVariant N() { return QVariant(); }

// The finger columns of the relation statistik, in order.
const QStringList kStatistikSpalten = {
    "Linker kleiner Finger", "Linker Ringfinger",   "Linker Mittelfinger",  "Linker Zeigefinger",
    "Linker Daumen",         "Rechter Daumen",      "Rechter Zeigefinger",  "Rechter Mittelfinger",
    "Rechter Ringfinger",    "Rechter kleiner Finger"};

// Holds a write lock on a database from another thread, as another program
// would, and lets it go after the given time (never, if negative, until
// freigeben()).
class Sperre : public QThread {
public:
    Sperre(const QString& pfad, int ms) : pfad_(pfad), ms_(ms) {}
    ~Sperre() override {
        freigeben();
        wait();
    }
    void freigeben() { los_ = true; }
    bool gesperrt() const { return gesperrt_; }

protected:
    void run() override {
        {
            TestDb db(pfad_);
            if (!db.exec(QStringLiteral("BEGIN EXCLUSIVE"))) return;
            gesperrt_ = true;
            QElapsedTimer t;
            t.start();
            while (!los_ && (ms_ < 0 || t.elapsed() < ms_)) QThread::msleep(5);
            db.exec(QStringLiteral("COMMIT"));
        }
    }

private:
    QString pfad_;
    int ms_;
    std::atomic<bool> los_{false};
    std::atomic<bool> gesperrt_{false};
};

// The values of the worked example: 140 scored characters typed with 3
// errors in 75 seconds.
void beispielWerte(Uebung& ex) {
    ex.lektionsnr = 4;
    ex.MaxZeichen = 140;
    ex.zaehler = 140;
    ex.fehler = 3;
    ex.Fehlerquote = rundeGerade(3.0 / 140, 2);
    ex.laufzeit = 75;
    ex.sekunden = 75;
    ex.anschlaegeGanz = 140;
    ex.anschlaegeProMinute = 112;
    // Twelve different values, in the order of the columns: a column written
    // to its neighbour shows.
    ex.finger = Fingerfehler{10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 35};
}

const QVariantList kBeispielAuswertung = {4, 140, 1.25, 140, 3, 2, 112};
const QVariantList kBeispielFinger = {10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 35};
const QString kAuswertungWerte = QStringLiteral(
    "SELECT IDLektion, MaximalPunkte, stoppzeit, zaehler, fehler, ergebnis, anschlaege FROM Auswertung");

void vergleicheZeile(const QVariantList& ist, const QVariantList& soll) {
    QCOMPARE(ist.size(), soll.size());
    for (int i = 0; i < soll.size(); ++i)
        QVERIFY2(gleicherWert(ist[i], soll[i]),
                 qPrintable(QStringLiteral("column %1: %2 instead of %3").arg(i).arg(ist[i].toString(), soll[i].toString())));
}
}  // namespace

class TstDatenbank : public QObject {
    Q_OBJECT
private slots:
    void init();

    void anweisungen_data();
    void anweisungen();
    void shapeBefehle_data();
    void shapeBefehle();
    void verbindungstexte_data();
    void verbindungstexte();
    void verbindungsfehler_data();
    void verbindungsfehler();
    void dateinamenOhneGrossKlein();
    void unbrauchbareDateien_data();
    void unbrauchbareDateien();
    void zeilensatzBlaettert();
    void ablageImProgrammverzeichnis();
    void ablageImBenutzerverzeichnis();

    void beispielUebung_data();
    void beispielUebung();
    void uebungGetipptBisDbEnde();
    void aufzeichnungsfehler_data();
    void aufzeichnungsfehler();
    void kurzeSperreWirdAbgewartet();
    void offenerBrowserStehtAufNeuerZeile();
    void volleFestplatte();
    void ersetzteDatenbank();
    void ausstehendeBeimStart();
    void beschaedigteAusstehendDatei();
    void ergebnisNurEinmal();
    void zusatzImSchema();
    void abgewieseneZeile_data();
    void abgewieseneZeile();
    void ausstehendNichtAenderbar_data();
    void ausstehendNichtAenderbar();
    void ergebnisordnerSchreibgeschuetzt();

private:
    std::unique_ptr<TestEnv> env_;
};

void TstDatenbank::init() {
    env_ = std::make_unique<TestEnv>();
    leereDatenbanken(*env_);
}

// ---- the statements on the delivered schema ----

void TstDatenbank::anweisungen_data() {
    QTest::addColumn<QString>("datei");
    QTest::addColumn<QString>("art");  // sql, anzahl (row count), shape
    QTest::addColumn<QString>("anweisung");
    QTest::addColumn<Zeilen>("einfuegen");  // Auswertung: key, characters, keystrokes; fehlerliste: LIHA, REHA, lklein
    QTest::addColumn<QStringList>("spalten");
    QTest::addColumn<Zeilen>("erwartet");

    const Zeilen vier = {{19, 300, 200}, {4, 140, 100}, {4, 150, 110}, {4, 160, 121}};
    const QString v = QStringLiteral("velkora"), f = QStringLiteral("finger");

    QTest::newRow("1 empty") << v << "anzahl" << Sql::kUebungen << Zeilen{} << QStringList{} << Zeilen{{0}};
    QTest::newRow("1 one") << v << "anzahl" << Sql::kUebungen << Zeilen{{4, 140, 112}} << QStringList{} << Zeilen{{1}};
    QTest::newRow("1 several") << v << "anzahl" << Sql::kUebungen << vier << QStringList{} << Zeilen{{4}};

    const QStringList mw = {"Mittelwert von anschlaege"};
    QTest::newRow("2 empty: null") << v << "sql" << Sql::kMittelwertAnschlaege << Zeilen{} << mw << Zeilen{{N()}};
    QTest::newRow("2 one") << v << "sql" << Sql::kMittelwertAnschlaege << Zeilen{{4, 140, 112}} << mw << Zeilen{{112}};
    QTest::newRow("2 several: plain mean") << v << "sql" << Sql::kMittelwertAnschlaege << vier << mw
                                           << Zeilen{{132.75}};
    QTest::newRow("2 null ignored") << v << "sql" << Sql::kMittelwertAnschlaege
                                    << Zeilen{{4, 140, 100}, {4, 140, N()}, {5, 140, 200}} << mw << Zeilen{{150}};

    const QStringList sm = {"Summe von MaximalPunkte"};
    QTest::newRow("3 empty: null") << v << "sql" << Sql::kSummeMaximalPunkte << Zeilen{} << sm << Zeilen{{N()}};
    QTest::newRow("3 one") << v << "sql" << Sql::kSummeMaximalPunkte << Zeilen{{4, 140, 112}} << sm << Zeilen{{140}};
    QTest::newRow("3 several") << v << "sql" << Sql::kSummeMaximalPunkte << vier << sm << Zeilen{{750}};
    QTest::newRow("3 null ignored") << v << "sql" << Sql::kSummeMaximalPunkte
                                    << Zeilen{{4, N(), 100}, {4, 140, 100}} << sm << Zeilen{{140}};

    const QStringList sf = {"Summe von LIHA", "Summe von REHA", "Gesamt"};
    QTest::newRow("4 empty: nulls") << f << "sql" << Sql::kSummeFehler << Zeilen{} << sf << Zeilen{{N(), N(), N()}};
    QTest::newRow("4 one") << f << "sql" << Sql::kSummeFehler << Zeilen{{2, 1, 0}} << sf << Zeilen{{2, 1, 3}};
    QTest::newRow("4 several") << f << "sql" << Sql::kSummeFehler << Zeilen{{2, 1, 0}, {0, 4, 0}, {3, 3, 0}} << sf
                               << Zeilen{{5, 8, 13}};
    // A row with a null hand adds nothing to the total of both hands.
    QTest::newRow("4 nulls") << f << "sql" << Sql::kSummeFehler << Zeilen{{N(), 2, 0}, {1, 1, 0}} << sf
                             << Zeilen{{1, 3, 2}};

    QTest::newRow("5 columns") << v << "sql" << Sql::kAuswertung << Zeilen{}
                               << QStringList{"Datum", "Zeit", "IDLektion", "MaximalPunkte", "stoppzeit",
                                              "zaehler", "fehler", "ergebnis", "anschlaege"}
                               << Zeilen{};
    QTest::newRow("6 columns") << f << "sql" << Sql::kFehlerliste << Zeilen{}
                               << QStringList{"LIHA", "lkleinerfinger", "lringfinger", "lmittelfinger",
                                              "lzeigefinger", "ldaumenfinger", "rdaumenfinger", "rzeigefinger",
                                              "rmittelfinger", "rringfinger", "rkleinerfinger", "REHA"}
                               << Zeilen{};

    QVariantList nullen, summen;
    for (int i = 0; i < 10; ++i) {
        nullen << N();
        summen << (i == 0 ? 5 : 0);
    }
    QTest::newRow("7 empty: nulls") << f << "sql" << Sql::kStatistik << Zeilen{} << kStatistikSpalten
                                    << Zeilen{nullen};
    QTest::newRow("7 totals per finger") << f << "sql" << Sql::kStatistik << Zeilen{{3, 0, 2}, {4, 1, 3}}
                                         << kStatistikSpalten << Zeilen{summen};
    // Every finger its own value, so each column is told from its neighbours.
    QTest::newRow("7 every finger") << f << "sql" << Sql::kStatistik
                                    << Zeilen{{100, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 200},
                                              {100, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 200}}
                                    << kStatistikSpalten << Zeilen{{11, 22, 33, 44, 55, 66, 77, 88, 99, 110}};

    const QStringList ma = {"IDLektion", "anschlaege"};
    QTest::newRow("8 empty: no rows") << v << "shape" << Sql::kMittelJeLektion << Zeilen{} << ma << Zeilen{};
    QTest::newRow("8 one") << v << "shape" << Sql::kMittelJeLektion << Zeilen{{4, 140, 112}} << ma
                           << Zeilen{{4, 112}};
    QTest::newRow("8 several, ascending keys") << v << "shape" << Sql::kMittelJeLektion << vier << ma
                                               << Zeilen{{4, 331.0 / 3}, {19, 200}};
    QTest::newRow("8 nulls") << v << "shape" << Sql::kMittelJeLektion
                             << Zeilen{{4, 140, N()}, {4, 140, 100}, {N(), 140, 50}} << ma
                             << Zeilen{{N(), 50}, {4, 100}};

    const QStringList ei = {"IDLektion", "IDDatensatz"};
    QTest::newRow("9 empty: no rows") << v << "shape" << Sql::kEinheitenJeLektion << Zeilen{} << ei << Zeilen{};
    QTest::newRow("9 several") << v << "shape" << Sql::kEinheitenJeLektion << vier << ei
                               << Zeilen{{4, 3}, {19, 1}};
}

void TstDatenbank::anweisungen() {
    QFETCH(QString, datei);
    QFETCH(QString, art);
    QFETCH(QString, anweisung);
    QFETCH(Zeilen, einfuegen);
    QFETCH(QStringList, spalten);
    QFETCH(Zeilen, erwartet);

    const bool finger = datei == QLatin1String("finger");
    {
        TestDb db(finger ? fingerPfad(*env_) : velkoraPfad(*env_));
        for (const auto& r : einfuegen) {
            if (finger && r.size() == 12) fingerZeileEinfuegen(db, r);
            else if (finger) fingerEinfuegen(db, r[0], r[1], r[2]);
            else uebungEinfuegen(db, r[0], r[1], r[2]);
        }
    }
    // Through the program's own connection, as the windows run them.
    Verbindung v;
    QVERIFY2(v.oeffnen(verbindungstext(Verbindungstext::kJet, env_->programDir(),
                                       finger ? Verbindungstext::kFinger : Verbindungstext::kVelkoraGross)),
             qPrintable(v.fehler()));
    Zeilen ist;
    QStringList istSpalten;
    if (art == QLatin1String("anzahl")) {
        QString fehler;
        const auto n = zeilenAnzahl(v.db(), anweisung, &fehler);
        QVERIFY2(n.has_value(), qPrintable(fehler));
        ist = {{*n}};
    } else {
        const QString sql = art == QLatin1String("shape") ? shapeAlsSql(anweisung) : anweisung;
        QSqlQuery q(v.db());
        QVERIFY2(q.exec(sql), qPrintable(q.lastError().text()));
        for (int i = 0; i < q.record().count(); ++i) istSpalten << q.record().fieldName(i);
        while (q.next()) {
            QVariantList r;
            for (int i = 0; i < q.record().count(); ++i) r << q.value(i);
            ist << r;
        }
        QCOMPARE(istSpalten, spalten);
    }
    QVERIFY2(ist.size() == erwartet.size(), qPrintable(zeigen(ist)));
    for (int i = 0; i < ist.size(); ++i)
        for (int c = 0; c < erwartet[i].size(); ++c)
            QVERIFY2(gleicherWert(ist[i].value(c), erwartet[i][c]), qPrintable(zeigen(ist)));
}

void TstDatenbank::shapeBefehle_data() {
    QTest::addColumn<QString>("shape");
    QTest::addColumn<QString>("sql");
    QTest::newRow("mean by key") << Sql::kMittelJeLektion
                                 << QStringLiteral("SELECT \"IDLektion\" AS \"IDLektion\", AVG(\"anschlaege\") AS "
                                                   "\"anschlaege\" FROM (select IDLektion,anschlaege from Auswertung "
                                                   "Order by IDLektion) GROUP BY \"IDLektion\" ORDER BY \"IDLektion\"");
    QTest::newRow("count by key") << Sql::kEinheitenJeLektion
                                  << QStringLiteral("SELECT \"IDLektion\" AS \"IDLektion\", COUNT(\"IDDatensatz\") AS "
                                                    "\"IDDatensatz\" FROM (select IDDatensatz,IDLektion from "
                                                    "Auswertung Order by IDDatensatz) GROUP BY \"IDLektion\" ORDER "
                                                    "BY \"IDLektion\"");
    QTest::newRow("plain select") << Sql::kAuswertung << QString();
    QTest::newRow("unknown aggregate") << QStringLiteral(
        "SHAPE {select a,b from t} AS C COMPUTE C, DROP(C.[b]) AS [b] BY [a]") << QString();
    QTest::newRow("other child name") << QStringLiteral(
        "SHAPE {select a,b from t} AS C COMPUTE D, SUM(D.[b]) AS [b] BY [a]") << QString();
}

void TstDatenbank::shapeBefehle() {
    QFETCH(QString, shape);
    QFETCH(QString, sql);
    QCOMPARE(shapeAlsSql(shape), sql);
}

// ---- connection descriptions ----

void TstDatenbank::verbindungstexte_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("provider");
    QTest::addColumn<QString>("quelle");

    const QString jet = QStringLiteral("Microsoft.Jet.OLEDB.4.0");
    QTest::newRow("results") << verbindungstext(Verbindungstext::kJet, "/opt/velkora", Verbindungstext::kVelkora)
                             << jet << "/opt/velkora\\velkora.mdb";
    QTest::newRow("grouping") << verbindungstext(Verbindungstext::kShape, "/opt/velkora", Verbindungstext::kVelkoraShape)
                              << "MSDataShape" << "/opt/velkora\\velkora.mdb";
    QTest::newRow("keys in any case, blanks") << " provider = microsoft.jet.oledb.4.0 ; DATA SOURCE = /a b/c.mdb ;"
                                              << "microsoft.jet.oledb.4.0" << "/a b/c.mdb";
    QTest::newRow("other keys ignored") << "Provider=Microsoft.Jet.OLEDB.4.0;Mode=Share Deny None;Data Source=/x.mdb;"
                                           "Persist Security Info=False"
                                        << jet << "/x.mdb";
    // Directories that would break the description apart are quoted.
    for (const char* dir : {"/tmp/a;b", "/tmp/a\"b", "/tmp/it's", " /tmp/blank ", "/tmp/a=b"})
        QTest::newRow(dir) << verbindungstext(Verbindungstext::kJet, QString::fromUtf8(dir), Verbindungstext::kFinger)
                           << jet << QString::fromUtf8(dir) + "\\finger.mdb";
}

void TstDatenbank::verbindungstexte() {
    QFETCH(QString, text);
    QFETCH(QString, provider);
    QFETCH(QString, quelle);
    QString fehler;
    const auto a = zerlegeVerbindung(text, &fehler);
    QVERIFY2(a.has_value(), qPrintable(fehler));
    QCOMPARE(a->provider, provider);
    QCOMPARE(a->dataSource, quelle);
}

void TstDatenbank::verbindungsfehler_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("no data source") << "PROVIDER=Microsoft.Jet.OLEDB.4.0;";
    QTest::newRow("empty data source") << "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=;";
    QTest::newRow("unknown provider") << "PROVIDER=SQLOLEDB;Data Source=/x.mdb;";
    QTest::newRow("no provider") << "Data Source=/x.mdb;";
    QTest::newRow("grouping without engine") << "PROVIDER=MSDataShape;Data Source=/x.mdb";
    QTest::newRow("unclosed quote") << "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=\"/x.mdb;";
    QTest::newRow("part without value") << "PROVIDER=Microsoft.Jet.OLEDB.4.0;Unsinn;Data Source=/x.mdb";
}

void TstDatenbank::verbindungsfehler() {
    QFETCH(QString, text);
    QString fehler;
    QVERIFY(!zerlegeVerbindung(text, &fehler).has_value());
    QVERIFY(!fehler.isEmpty());
    Verbindung v;
    QVERIFY(!v.oeffnen(text));
    QVERIFY(!v.fehler().isEmpty());
}

// ---- files ----

void TstDatenbank::dateinamenOhneGrossKlein() {
    QTemporaryDir dir;
    QVERIFY(QFile::copy(leereDatenbank("velkora.mdb"), dir.path() + "/VELKORA.MDB"));
    for (const QString& suffix : {Verbindungstext::kVelkora, Verbindungstext::kVelkoraGross}) {
        Verbindung v;
        QVERIFY2(v.oeffnen(verbindungstext(Verbindungstext::kJet, dir.path(), suffix)), qPrintable(v.fehler()));
        QCOMPARE(QFileInfo(v.datei()).fileName(), QStringLiteral("VELKORA.MDB"));
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"VELKORA.MDB"});
}

void TstDatenbank::unbrauchbareDateien_data() {
    QTest::addColumn<QByteArray>("inhalt");  // "-" for no file at all
    QTest::addColumn<bool>("oeffnet");       // the connection opens; the table is still missing
    QTest::newRow("missing") << QByteArray("-") << false;
    QTest::newRow("empty, 0 bytes") << QByteArray() << true;
    QByteArray zufall(8192, 0);
    for (int i = 0; i < zufall.size(); ++i) zufall[i] = char((i * 7919 + 13) % 251);
    QTest::newRow("random bytes") << zufall << false;
    QTest::newRow("text file") << QByteArray("Dies ist keine Datenbank.\r\n").repeated(100) << false;
}

void TstDatenbank::unbrauchbareDateien() {
    QFETCH(QByteArray, inhalt);
    QFETCH(bool, oeffnet);
    QTemporaryDir dir;
    const QString pfad = dir.path() + "/velkora.mdb";
    if (inhalt != "-") {
        QFile f(pfad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(inhalt);
    }
    Verbindung v;
    QCOMPARE(v.oeffnen(verbindungstext(Verbindungstext::kJet, dir.path(), Verbindungstext::kVelkora)), oeffnet);
    Zeilensatz rs;
    QVERIFY(!rs.oeffnen(v.db(), Sql::kAuswertung));
    QVERIFY(!(oeffnet ? rs.fehler() : v.fehler()).isEmpty());
    // Opening never creates or changes a file.
    QCOMPARE(QFileInfo::exists(pfad), inhalt != "-");
    if (inhalt != "-") {
        QFile f(pfad);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), inhalt);
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), inhalt == "-" ? 0 : 1);
}

void TstDatenbank::zeilensatzBlaettert() {
    // More rows than one page, so moves cross pages in both directions.
    {
        TestDb db(velkoraPfad(*env_));
        db.exec("BEGIN");
        for (int i = 1; i <= 150; ++i) uebungEinfuegen(db, i % 7, i, 100 + i);
        db.exec("COMMIT");
    }
    Verbindung v;
    QVERIFY(v.oeffnen(verbindungstext(Verbindungstext::kJet, env_->programDir(), Verbindungstext::kVelkora)));
    Zeilensatz rs;
    int bewegungen = 0;
    rs.MoveComplete = [&] { ++bewegungen; };
    QVERIFY(rs.oeffnen(v.db(), Sql::kAuswertung));
    QCOMPARE(rs.anzahl(), qint64(150));
    QCOMPARE(rs.position(), qint64(1));
    QCOMPARE(rs.wert("MaximalPunkte").toInt(), 1);
    QVERIFY(rs.moveLast());
    QCOMPARE(rs.wert("maximalpunkte").toInt(), 150);
    for (int i = 149; i >= 60; --i) QVERIFY(rs.movePrevious());
    QCOMPARE(rs.position(), qint64(60));
    QCOMPARE(rs.wert(3).toInt(), 60);
    QVERIFY(rs.moveNext() && rs.moveNext());
    QCOMPARE(rs.wert("MaximalPunkte").toInt(), 62);
    QVERIFY(rs.anfuegen("Auswertung", {"datum", "IDLektion", "MaximalPunkte"}, {"2024-06-01", 9, 151}));
    QCOMPARE(rs.anzahl(), qint64(151));
    QCOMPARE(rs.position(), qint64(151));
    QCOMPARE(rs.wert("Datum").toString(), QStringLiteral("2024-06-01"));
    QVERIFY(rs.wert("Zeit").isNull());
    QVERIFY(rs.movePrevious());
    QCOMPARE(rs.wert("MaximalPunkte").toInt(), 150);
    QVERIFY(rs.moveNext() && rs.moveNext());
    QVERIFY(rs.eof());
    QVERIFY(!rs.wert("Datum").isValid());
    QCOMPARE(bewegungen, 1 + 90 + 2 + 1 + 1 + 2);  // every move, also onto EOF
}

void TstDatenbank::ablageImProgrammverzeichnis() {
    QTemporaryDir benutzer;
    const QString ziel = benutzer.path() + "/daten";
    QCOMPARE(datenbankVerzeichnis(env_->programDir(), ziel), env_->programDir());
    QVERIFY(!QFileInfo::exists(ziel));
}

void TstDatenbank::ablageImBenutzerverzeichnis() {
    QTemporaryDir installiert, benutzer;
    QVERIFY(QFile::copy(leereDatenbank("velkora.mdb"), installiert.path() + "/Velkora.mdb"));
    QVERIFY(QFile::copy(leereDatenbank("finger.mdb"), installiert.path() + "/finger.mdb"));
    for (const char* n : {"/Velkora.mdb", "/finger.mdb"})
        QFile::setPermissions(installiert.path() + n, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    const QString ziel = benutzer.path() + "/a/b";

    // Seeded once, writable, under the delivered names.
    QVERIFY(datenbankenKopieren(installiert.path(), ziel));
    QStringList namen = QDir(ziel).entryList(QDir::Files);
    namen.sort(Qt::CaseSensitive);
    QCOMPARE(namen, (QStringList{"Velkora.mdb", "finger.mdb"}));
    for (const char* n : {"/Velkora.mdb", "/finger.mdb"})
        QVERIFY(QFile::permissions(ziel + n) & QFile::WriteOwner);
    // Results stored there are never replaced by a second seeding.
    {
        TestDb db(ziel + "/Velkora.mdb");
        uebungEinfuegen(db, 4, 140, 112);
    }
    QVERIFY(datenbankenKopieren(installiert.path(), ziel));
    QCOMPARE(TestDb(ziel + "/Velkora.mdb").anzahl("Auswertung"), qint64(1));

    // The choice itself needs a directory the program cannot write to,
    // which root always can.
    if (geteuid() == 0) QSKIP("root writes into read-only directories");
    QFile::setPermissions(installiert.path(), QFile::ReadOwner | QFile::ExeOwner);
    const QString anderer = benutzer.path() + "/c";
    QCOMPARE(datenbankVerzeichnis(installiert.path(), anderer), anderer);
    QFile::setPermissions(installiert.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// ---- recording ----

void TstDatenbank::beispielUebung_data() {
    QTest::addColumn<bool>("statistik");
    QTest::newRow("statistics on") << true;
    QTest::newRow("statistics off") << false;
}

void TstDatenbank::beispielUebung() {
    QFETCH(bool, statistik);
    App& app = *env_->app;
    app.opt.checkStatistik = statistik;
    frmSchreiben& s = app.forms.get<frmSchreiben>();
    s.Text2->setText("ENDE");
    beispielWerte(app.ex);

    const QDateTime vorher = QDateTime::currentDateTime().addSecs(-1);
    ergebnisseAufzeichnen(app);
    const QDateTime nachher = QDateTime::currentDateTime().addSecs(1);

    QCOMPARE(s.Text2->text(), QStringLiteral("DB_ENDE"));
    QVERIFY2(env_->services.messages.isEmpty(), qPrintable(env_->services.messages.value(0).text));
    const Zeilen a = TestDb(velkoraPfad(*env_)).rows(kAuswertungWerte);
    QCOMPARE(a.size(), 1);
    vergleicheZeile(a[0], kBeispielAuswertung);
    const Zeilen zeit = TestDb(velkoraPfad(*env_)).rows("SELECT Datum || 'T' || Zeit, IDDatensatz FROM Auswertung");
    const QDateTime gespeichert = QDateTime::fromString(zeit[0][0].toString(), Qt::ISODate);
    QVERIFY2(gespeichert >= vorher.addMSecs(-vorher.time().msec()) && gespeichert <= nachher,
             qPrintable(zeit[0][0].toString()));
    QCOMPARE(zeit[0][1].toInt(), 1);
    const Zeilen f = TestDb(fingerPfad(*env_)).rows(Sql::kFehlerliste);
    QCOMPARE(f.size(), 1);
    vergleicheZeile(f[0], kBeispielFinger);

    // The wait window is gone, the overview is loaded but hidden.
    QVERIFY(!app.forms.loaded<frmWait>());
    QVERIFY(app.forms.loaded<frmStatistik>());
    QVERIFY(!app.forms.loaded<frmStatistik>()->isVisible());

    // A second exercise gets the next key.
    ergebnisseAufzeichnen(app);
    QCOMPARE(TestDb(velkoraPfad(*env_)).rows("SELECT IDDatensatz FROM Auswertung"), (Zeilen{{1}, {2}}));
    QCOMPARE(TestDb(fingerPfad(*env_)).anzahl("fehlerliste"), qint64(2));
}

void TstDatenbank::uebungGetipptBisDbEnde() {
    App& app = *env_->app;
    app.opt.checkStatistik = false;
    frmSchreiben& s = app.forms.get<frmSchreiben>();
    // Two lines of ten seven-letter words: 140 scored characters.
    QStringList zeilen;
    for (int z = 0; z < 2; ++z) {
        QStringList woerter;
        for (int w = 0; w < 10; ++w) woerter << QStringLiteral("asdfjkl");
        zeilen << woerter.join(' ');
    }
    s.rtb1->setText(zeilen.join("\r\n"));
    s.rtb1->setLocked(false);
    s.zaehlen();
    s.strt();
    s.Text1->setEnabled(true);
    s.Text1->setReadOnly(false);
    app.ex.lektionsnr = 4;
    QCOMPARE(app.ex.MaxZeichen, 140.0);

    // Three wrong keys: at an "a", a "j" and an "l".
    QSet<QChar> fehlerBei = {'a', 'j', 'l'};
    int schritte = 0;
    while (s.Text2->text() != QLatin1String("ENDE")) {
        QVERIFY(++schritte < 400);
        const QString e = s.Text2->text();
        if (e == QLatin1String("RETURN")) QTest::keyClick(s.Text1, Qt::Key_Return);
        else if (e == QLatin1String("LEER")) QTest::keyClick(s.Text1, Qt::Key_Space);
        else {
            if (fehlerBei.remove(e[0])) QTest::keyClick(s.Text1, 'x');
            QTest::keyClick(s.Text1, e[0].toLatin1());
        }
    }
    QCOMPARE(app.ex.zaehler, 140.0);
    QCOMPARE(app.ex.fehler, 3.0);
    // The stopwatch's last tick comes at 75 seconds.
    app.ex.sekunden = 74;
    app.forms.get<frmLek>().Timer3_Timer();
    QCOMPARE(app.ex.anschlaegeProMinute, qint16(112));
    QTest::keyClick(s.Text1, Qt::Key_Space);  // the one more key that ends the exercise

    QCOMPARE(s.Text2->text(), QStringLiteral("DB_ENDE"));
    QVERIFY2(env_->services.messages.isEmpty(), qPrintable(env_->services.messages.value(0).text));
    const Zeilen a = TestDb(velkoraPfad(*env_)).rows(kAuswertungWerte);
    QCOMPARE(a.size(), 1);
    vergleicheZeile(a[0], kBeispielAuswertung);
    // The three errors: left little finger (a), right index (j), right ring (l).
    const Zeilen f = TestDb(fingerPfad(*env_)).rows(Sql::kFehlerliste);
    QCOMPARE(f.size(), 1);
    vergleicheZeile(f[0], QVariantList{1, 1, 0, 0, 0, 0, 0, 1, 0, 1, 0, 2});
    QCOMPARE(TestDb(velkoraPfad(*env_)).rows("SELECT Datum FROM Auswertung")[0][0].toString(),
             QDate::currentDate().toString(Qt::ISODate));
}

void TstDatenbank::aufzeichnungsfehler_data() {
    QTest::addColumn<QString>("datei");
    QTest::addColumn<QString>("schaden");
    QTest::addColumn<QString>("engine");   // part of the engine's text in the message
    QTest::addColumn<QString>("deutsch");  // the German reason before it

    for (const char* datei : {"velkora.mdb", "finger.mdb"}) {
        const QString d = QString::fromLatin1(datei);
        QTest::newRow(qPrintable(d + ": missing")) << d << "fehlt" << "nicht vorhanden" << "nicht vorhanden";
        QTest::newRow(qPrintable(d + ": empty")) << d << "leer" << "no such table" << "fehlt eine Tabelle";
        QTest::newRow(qPrintable(d + ": damaged")) << d << "kaputt" << "not a database" << "beschädigt";
        QTest::newRow(qPrintable(d + ": locked")) << d << "gesperrt" << "locked" << "gesperrt";
        QTest::newRow(qPrintable(d + ": no table")) << d << "ohneTabelle" << "no such table" << "fehlt eine Tabelle";
        QTest::newRow(qPrintable(d + ": missing column")) << d << "ohneSpalte" << "no column named" << "oder Spalte";
        QTest::newRow(qPrintable(d + ": read-only")) << d << "schreibgeschuetzt" << "readonly" << "schreibgeschützt";
        QTest::newRow(qPrintable(d + ": a folder")) << d << "ordner" << "ist ein Ordner" << "ist ein Ordner";
    }
}

void TstDatenbank::aufzeichnungsfehler() {
    QFETCH(QString, datei);
    QFETCH(QString, schaden);
    QFETCH(QString, engine);
    QFETCH(QString, deutsch);
    const bool velkora = datei == QLatin1String("velkora.mdb");
    const QString pfad = velkora ? velkoraPfad(*env_) : fingerPfad(*env_);
    const QString tabelle = velkora ? QStringLiteral("Auswertung") : QStringLiteral("fehlerliste");

    std::unique_ptr<Sperre> sperre;
    if (schaden == "fehlt") {
        QFile::remove(pfad);
    } else if (schaden == "leer") {
        QFile::resize(pfad, 0);
    } else if (schaden == "kaputt") {
        QFile f(pfad);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QByteArray zufall(4096, 0);
        for (int i = 0; i < zufall.size(); ++i) zufall[i] = char((i * 131 + 7) % 256);
        f.write(zufall);
    } else if (schaden == "gesperrt") {
        sperre = std::make_unique<Sperre>(pfad, -1);
        sperre->start();
        QTRY_VERIFY(sperre->gesperrt());
    } else if (schaden == "ohneTabelle") {
        QVERIFY(TestDb(pfad).exec("DROP TABLE " + tabelle));
    } else if (schaden == "ohneSpalte") {
        // The same table without its second column.
        TestDb db(pfad);
        if (velkora) {
            QVERIFY(db.exec("DROP TABLE Auswertung"));
            QVERIFY(db.exec("CREATE TABLE Auswertung (IDDatensatz INTEGER PRIMARY KEY, Datum TEXT)"));
        } else {
            QVERIFY(db.exec("DROP VIEW statistik"));
            QVERIFY(db.exec("DROP TABLE fehlerliste"));
            QVERIFY(db.exec("CREATE TABLE fehlerliste (LIHA INTEGER)"));
        }
    } else if (schaden == "schreibgeschuetzt") {
        if (geteuid() == 0) QVERIFY(unveraenderlich(pfad, true));
        else QFile::setPermissions(pfad, QFile::ReadOwner);
    } else if (schaden == "ordner") {
        QFile::remove(pfad);
        QVERIFY(QDir().mkpath(pfad));
    }

    App& app = *env_->app;
    beispielWerte(app.ex);
    QElapsedTimer t;
    t.start();
    ergebnisseAufzeichnen(app);
    if (sperre) {
        // Waited for, but not for ever.
        QVERIFY2(t.elapsed() >= kBusyTimeoutMs - 100 && t.elapsed() < 3 * kBusyTimeoutMs + 2000,
                 qPrintable(QString::number(t.elapsed())));
        sperre->freigeben();
        sperre->wait();
    }
    if (schaden == "schreibgeschuetzt" && geteuid() == 0) unveraenderlich(pfad, false);
    QFile::setPermissions(pfad, QFile::ReadOwner | QFile::WriteOwner);

    // The exercise still ends; exactly one message, naming the file and
    // carrying the engine's reason.
    QCOMPARE(app.forms.get<frmSchreiben>().Text2->text(), QStringLiteral("DB_ENDE"));
    QCOMPARE(env_->services.messages.size(), 1);
    const auto& m = env_->services.messages[0];
    QVERIFY2(m.text.contains(QDir::toNativeSeparators(pfad)), qPrintable(m.text));
    QVERIFY2(m.text.contains(engine, Qt::CaseInsensitive), qPrintable(m.text));
    // The reason in German first; only the file at fault, in the singular.
    QVERIFY2(m.text.indexOf(deutsch) >= 0 && m.text.indexOf(deutsch) <= m.text.indexOf(engine, 0, Qt::CaseInsensitive),
             qPrintable(m.text));
    QVERIFY2(m.text.contains(QStringLiteral("in die Datenbank „")), qPrintable(m.text));
    QVERIFY(m.text.startsWith(QStringLiteral("Die Ergebnisse dieser Übung konnten nicht")));
    QCOMPARE(m.style, int(Msg::Exclamation));
    QVERIFY(!app.forms.loaded<frmWait>());

    QVERIFY2(m.text.contains(QStringLiteral("aufbewahrt")), qPrintable(m.text));
    // A lock passes: both rows wait together. A lasting fault of one file
    // does not keep the other table from its row.
    const QString anderer = velkora ? fingerPfad(*env_) : velkoraPfad(*env_);
    QVERIFY2(!m.text.contains(QDir::toNativeSeparators(anderer)), qPrintable(m.text));
    const QString andereTabelle = velkora ? QStringLiteral("fehlerliste") : QStringLiteral("Auswertung");
    if (schaden == "gesperrt") QCOMPARE(TestDb(anderer).anzahl(andereTabelle), qint64(0));
    else if (velkora) vergleicheZeile(TestDb(fingerPfad(*env_)).rows(Sql::kFehlerliste).value(0), kBeispielFinger);
    else vergleicheZeile(TestDb(velkoraPfad(*env_)).rows(kAuswertungWerte).value(0), kBeispielAuswertung);
    // What was not stored is pending.
    QCOMPARE(ausstehendeLesen(ausstehendDatei(app)).size(), schaden == "gesperrt" ? 2 : 1);
    // Nothing half written: a file that could be read holds no row.
    if (schaden == "gesperrt" || schaden == "schreibgeschuetzt")
        QCOMPARE(TestDb(pfad).anzahl(tabelle), qint64(0));
    // No file was created for a missing one.
    if (schaden == "fehlt") QVERIFY(!QFileInfo::exists(pfad));

    // Once the lock is released, the next exercise stores the pending
    // rows first and its own after them: both tables in step.
    if (schaden == "gesperrt") {
        env_->services.clear();
        ergebnisseAufzeichnen(app);
        QVERIFY2(env_->services.messages.isEmpty(), qPrintable(env_->services.messages.value(0).text));
        QCOMPARE(TestDb(velkoraPfad(*env_)).anzahl("Auswertung"), qint64(2));
        QCOMPARE(TestDb(fingerPfad(*env_)).anzahl("fehlerliste"), qint64(2));
        QVERIFY(!QFileInfo::exists(ausstehendDatei(app)));
    }
}

void TstDatenbank::kurzeSperreWirdAbgewartet() {
    Sperre sperre(velkoraPfad(*env_), 300);
    sperre.start();
    QTRY_VERIFY(sperre.gesperrt());
    App& app = *env_->app;
    beispielWerte(app.ex);
    ergebnisseAufzeichnen(app);
    QVERIFY2(env_->services.messages.isEmpty(), qPrintable(env_->services.messages.value(0).text));
    QCOMPARE(TestDb(velkoraPfad(*env_)).anzahl("Auswertung"), qint64(1));
}

void TstDatenbank::offenerBrowserStehtAufNeuerZeile() {
    {
        TestDb db(velkoraPfad(*env_));
        uebungEinfuegen(db, 1, 100, 90);
        uebungEinfuegen(db, 2, 110, 95);
        TestDb f(fingerPfad(*env_));
        fingerEinfuegen(f, 1, 1);
        fingerEinfuegen(f, 2, 2);
    }
    App& app = *env_->app;
    frmdaten& d = app.forms.get<frmdaten>();
    d.show();
    QCOMPARE(d.lblStatus->text(), QStringLiteral("Record: 1"));
    beispielWerte(app.ex);
    ergebnisseAufzeichnen(app);
    QCOMPARE(d.lblStatus->text(), QStringLiteral("Record: 3"));
    QCOMPARE(d.txtFields[0]->text(), QDate::currentDate().toString("dd.MM.yyyy"));
    QCOMPARE(d.txtFields[3]->text(), QStringLiteral("140"));
    QCOMPARE(d.txtFields[4]->text(), QStringLiteral("1,25"));
    QCOMPARE(d.txtFields[7]->text(), QStringLiteral("2,00"));
    // The finger browser was loaded by the recording and stands there too.
    frmblockdat* b = app.forms.loaded<frmblockdat>();
    QVERIFY(b);
    QVERIFY(!b->isVisible());
    QCOMPARE(b->adoPrimaryRS.position(), qint64(3));
    QCOMPARE(b->txtFields[11]->text(), QStringLiteral("35"));
    // Paging back reads the stored rows.
    d.cmdPrevious_Click();
    QCOMPARE(d.txtFields[2]->text(), QStringLiteral("2"));
    QCOMPARE(env_->services.beeps, 0);
}

void TstDatenbank::volleFestplatte() {
    // No file may grow past 4 KiB: the journal's first page already does.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit vorher{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &vorher), 0);
    rlimit knapp = vorher;
    knapp.rlim_cur = 4096;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &knapp), 0);
    App& app = *env_->app;
    beispielWerte(app.ex);
    ergebnisseAufzeichnen(app);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &vorher), 0);

    // Neither row, both kept, and the user told so.
    QCOMPARE(TestDb(velkoraPfad(*env_)).anzahl("Auswertung"), qint64(0));
    QCOMPARE(TestDb(fingerPfad(*env_)).anzahl("fehlerliste"), qint64(0));
    QCOMPARE(env_->services.messages.size(), 1);
    QVERIFY2(env_->services.messages[0].text.contains("aufbewahrt"), qPrintable(env_->services.messages[0].text));
    QCOMPARE(ausstehendeLesen(ausstehendDatei(app)).size(), 2);

    // With room again, the next exercise stores both results, the kept one first.
    env_->services.clear();
    app.ex.lektionsnr = 7;
    ergebnisseAufzeichnen(app);
    QVERIFY2(env_->services.messages.isEmpty(), qPrintable(env_->services.messages.value(0).text));
    QCOMPARE(TestDb(velkoraPfad(*env_)).rows("SELECT IDLektion FROM Auswertung ORDER BY IDDatensatz"),
             (Zeilen{{4}, {7}}));
    QCOMPARE(TestDb(fingerPfad(*env_)).anzahl("fehlerliste"), qint64(2));
    QVERIFY(!QFileInfo::exists(ausstehendDatei(app)));
}

void TstDatenbank::ersetzteDatenbank() {
    // A backup of the empty file, restored while the program runs.
    const QString sicherung = env_->programDir() + "/sicherung.mdb";
    QVERIFY(QFile::copy(velkoraPfad(*env_), sicherung));
    App& app = *env_->app;
    frmdaten& d = app.forms.get<frmdaten>();
    d.show();
    beispielWerte(app.ex);
    ergebnisseAufzeichnen(app);
    QCOMPARE(d.adoPrimaryRS.anzahl(), qint64(1));
    QVERIFY(::rename(QFile::encodeName(sicherung).constData(), QFile::encodeName(velkoraPfad(*env_)).constData()) == 0);

    app.ex.lektionsnr = 9;
    ergebnisseAufzeichnen(app);
    QVERIFY2(env_->services.messages.isEmpty(), qPrintable(env_->services.messages.value(0).text));
    QCOMPARE(TestDb(velkoraPfad(*env_)).rows("SELECT IDLektion FROM Auswertung"), (Zeilen{{9}}));
    QCOMPARE(TestDb(fingerPfad(*env_)).anzahl("fehlerliste"), qint64(2));
    // The open browser reads the restored file now, not the one it had.
    QCOMPARE(d.adoPrimaryRS.anzahl(), qint64(1));
    QCOMPARE(d.txtFields[2]->text(), QStringLiteral("9"));
}

void TstDatenbank::ausstehendeBeimStart() {
    const QString dir = QDir::cleanPath(env_->programDir());
    auto paar = [&](int nr, const char* datum) {
        Uebung ex;
        beispielWerte(ex);
        ex.lektionsnr = qint16(nr);
        const Ergebniszeile a = auswertungZeile(ex, QDateTime(QDate::fromString(datum, Qt::ISODate), QTime(8, 30)));
        const Ergebniszeile f = fingerZeile(ex.finger);
        return QList<AusstehendeZeile>{{dir, {"Auswertung", a.spalten, a.werte}},
                                       {dir, {"fehlerliste", f.spalten, f.werte}}};
    };
    // Kept by an earlier run: two exercises of this program, one of another
    // program directory, which stays.
    const AusstehendeZeile fremd{"/anderswo", {"Auswertung", {"IDLektion"}, {5}, "e-fremd"}};
    QVERIFY(ausstehendeSchreiben(ausstehendDatei(*env_->app), paar(3, "2020-01-02") + QList{fremd} + paar(8, "2020-01-03")));

    env_->restart();
    ausstehendeNachtragen(*env_->app);
    QCOMPARE(TestDb(velkoraPfad(*env_)).rows("SELECT IDLektion, Datum, Zeit FROM Auswertung ORDER BY IDDatensatz"),
             (Zeilen{{3, "2020-01-02", "08:30:00"}, {8, "2020-01-03", "08:30:00"}}));
    QCOMPARE(TestDb(fingerPfad(*env_)).anzahl("fehlerliste"), qint64(2));
    QCOMPARE(ausstehendeLesen(ausstehendDatei(*env_->app)), QList{fremd});
    QVERIFY(env_->services.messages.isEmpty());
}

void TstDatenbank::beschaedigteAusstehendDatei() {
    App& app = *env_->app;
    QFile f(ausstehendDatei(app));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("{\"zeilen\": [kaputt");
    f.close();
    beispielWerte(app.ex);
    ergebnisseAufzeichnen(app);
    // Put aside for a person to look at, never deleted; the result is stored.
    QCOMPARE(env_->services.messages.size(), 1);
    QVERIFY2(env_->services.messages[0].text.contains("beiseitegelegt"), qPrintable(env_->services.messages[0].text));
    QCOMPARE(QDir(app.userDataDir()).entryList({"ausstehende-ergebnisse.json.defekt-*"}).size(), 1);
    QCOMPARE(TestDb(velkoraPfad(*env_)).anzahl("Auswertung"), qint64(1));
    QCOMPARE(TestDb(fingerPfad(*env_)).anzahl("fehlerliste"), qint64(1));
}

void TstDatenbank::ergebnisNurEinmal() {
    // A file made before the marks: it gains its table Ablage, no row touched.
    {
        TestDb v(velkoraPfad(*env_));
        QVERIFY(v.exec("DROP TABLE Ablage"));
        uebungEinfuegen(v, 1, 100, 90);
        // A further table of velkora.mdb whose rows see the result's mark.
        QVERIFY(v.exec("CREATE TABLE Extra (ergebnis TEXT, taste TEXT, id INTEGER)"));
        QVERIFY(v.exec("CREATE TRIGGER ExtraId AFTER INSERT ON Extra BEGIN UPDATE Extra SET id = "
                       "(SELECT IDDatensatz FROM Ablage WHERE ergebnis = NEW.ergebnis) WHERE rowid = NEW.rowid; END"));
    }
    Uebung ex;
    beispielWerte(ex);
    QList<Tabellenzeile> zeilen = ergebnisZeilen(ex, QDateTime::currentDateTime(), "e-1");
    for (const char* t : {"a", "s", "d"}) zeilen << Tabellenzeile{"Extra", {"ergebnis", "taste"}, {"e-1", t}, "e-1"};
    for (int mal = 0; mal < 3; ++mal) {
        const Speicherergebnis e = ergebnisseSpeichern(env_->programDir(), zeilen);
        QCOMPARE(e.gespeichert, QList<bool>(zeilen.size(), true));
        QVERIFY(e.fehler.isEmpty());
    }
    const TestDb v(velkoraPfad(*env_));
    QCOMPARE(v.rows("SELECT ergebnis, IDDatensatz FROM Ablage"), (Zeilen{{"e-1", 2}}));
    QCOMPARE(v.rows("SELECT taste, id FROM Extra ORDER BY rowid"), (Zeilen{{"a", 2}, {"s", 2}, {"d", 2}}));
    QCOMPARE(v.anzahl("Auswertung"), qint64(2));
    const TestDb f(fingerPfad(*env_));
    QCOMPARE(f.rows("SELECT ergebnis FROM Ablage"), (Zeilen{{"e-1"}}));
    QCOMPARE(f.anzahl("fehlerliste"), qint64(1));
}

void TstDatenbank::zusatzImSchema() {
    // Each additional statement stands in the schema files too, so new and old files end up alike.
    // Compared without regard to how the lines are broken and indented.
    const auto eben = [](const QString& t) {
        static const QRegularExpression blanks(QStringLiteral(R"(\s*([(),])\s*)"));
        return t.simplified().replace(blanks, QStringLiteral("\\1"));
    };
    for (const Zusatzanweisung& z : kZusatzanweisungen) {
        QFile f(QStringLiteral(VELKORA_SOURCE_DIR "/data/") + (z.datei == Ergebnisdatei::Velkora ? "velkora.sql" : "finger.sql"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY2(eben(QString::fromUtf8(f.readAll())).contains(eben(QString::fromUtf8(z.sql))), z.sql);
    }
}

namespace {
// A pending result of this program directory: its two rows under one id.
QList<AusstehendeZeile> ausstehend(const QString& dir, const QString& id, int nr, const QString& datum = "2020-01-02",
                                   const QString& spalte = "datum") {
    Uebung ex;
    beispielWerte(ex);
    ex.lektionsnr = qint16(nr);
    QList<AusstehendeZeile> out;
    for (Tabellenzeile z : ergebnisZeilen(ex, QDateTime(QDate(2020, 1, 2), QTime(8, 30)), id)) {
        if (z.tabelle == "Auswertung") {
            z.werte[0] = datum;
            z.spalten[0] = spalte;
        }
        out << AusstehendeZeile{QDir::cleanPath(dir), z};
    }
    return out;
}

QString abgewiesenDatei(const QString& ordner) { return ordner + "/abgewiesene-ergebnisse.json"; }
}  // namespace

void TstDatenbank::abgewieseneZeile_data() {
    QTest::addColumn<QString>("datum");
    QTest::addColumn<QString>("spalte");
    QTest::addColumn<QString>("engine");
    QTest::newRow("Datum no date") << "gestern" << "datum" << "CHECK constraint failed";
    QTest::newRow("a column the table lacks") << "2020-01-02" << "Unsinn" << "no column named Unsinn";
}

void TstDatenbank::abgewieseneZeile() {
    QFETCH(QString, datum);
    QFETCH(QString, spalte);
    QFETCH(QString, engine);
    App& app = *env_->app;
    // A refused result, then a sound one behind it.
    QVERIFY(ausstehendeSchreiben(ausstehendDatei(app), ausstehend(env_->programDir(), "schlecht", 3, datum, spalte) +
                                                          ausstehend(env_->programDir(), "gut", 5)));
    beispielWerte(app.ex);
    const QString beiseite = abgewiesenDatei(app.userDataDir());
    for (int mal = 0; mal < 2; ++mal) {
        env_->services.clear();
        ergebnisseAufzeichnen(app);
        QCOMPARE(env_->services.messages.size(), mal == 0 ? 1 : 0);
        if (mal) continue;
        const QString m = env_->services.messages[0].text;
        QVERIFY2(m.contains("abgewiesen") && m.contains("„Auswertung“") && m.contains(engine) &&
                     m.contains(QDir::toNativeSeparators(beiseite)) && !m.contains("dieser Übung"),
                 qPrintable(m));
    }
    QCOMPARE(TestDb(velkoraPfad(*env_)).rows("SELECT IDLektion FROM Auswertung ORDER BY IDDatensatz"),
             (Zeilen{{5}, {4}, {4}}));
    QCOMPARE(TestDb(fingerPfad(*env_)).anzahl("fehlerliste"), qint64(4));  // its finger row was fine
    QVERIFY(!QFileInfo::exists(ausstehendDatei(app)));
    // Kept for a person, with the reason, once.
    QCOMPARE(ausstehendeLesen(beiseite).size(), 1);
    QVERIFY(ausstehendeLesen(beiseite).value(0).zeile.werte.contains(datum));
}

void TstDatenbank::ausstehendNichtAenderbar_data() {
    QTest::addColumn<QString>("was");  // what is made unchangeable
    QTest::newRow("the file, immutable") << "datei";
    QTest::newRow("its folder, read-only") << "ordner";
}

void TstDatenbank::ausstehendNichtAenderbar() {
    QFETCH(QString, was);
    if (was == "datei" && geteuid() != 0) QSKIP("only root can make a file immutable");
    const QString ordner = env_->programDir() + "/daten";
    const QString datei = ordner + "/ausstehend.json";
    QVERIFY(ausstehendeSchreiben(datei, ausstehend(env_->programDir(), "alt", 3) +
                                            ausstehend(env_->programDir(), "schlecht", 2, "gestern")));
    QVERIFY(unveraenderlich(was == "datei" ? datei : ordner, true));
    Uebung ex;
    beispielWerte(ex);
    QStringList meldungen;
    // Three exercises and a start: the pending result is stored once, the
    // refused one put aside once, and each is told once.
    for (int nr : {10, 11, 12, 0}) {
        ex.lektionsnr = qint16(nr);
        const Ablagebericht b = ergebnisseAblegen(
            env_->programDir(), datei,
            nr ? ergebnisZeilen(ex, QDateTime::currentDateTime(), neueErgebnisId()) : QList<Tabellenzeile>{});
        meldungen << b.meldungen;
    }
    unveraenderlich(was == "datei" ? datei : ordner, false);
    QDir(QFileInfo(ausstehendErsatz(datei)).absolutePath()).removeRecursively();
    QCOMPARE(TestDb(velkoraPfad(*env_)).rows("SELECT IDLektion FROM Auswertung ORDER BY IDDatensatz"),
             (Zeilen{{3}, {10}, {11}, {12}}));
    QCOMPARE(TestDb(fingerPfad(*env_)).anzahl("fehlerliste"), qint64(5));
    QVERIFY2(meldungen.size() == 2, qPrintable(meldungen.join("\n---\n")));
    QVERIFY2(meldungen.filter("abgewiesen").size() == 1, qPrintable(meldungen.join("\n---\n")));
    QVERIFY2(meldungen.filter("kann nicht geändert werden").size() == 1, qPrintable(meldungen.join("\n---\n")));
    QCOMPARE(ausstehendeLesen(datei).size(), 4);  // untouched
}

void TstDatenbank::ergebnisordnerSchreibgeschuetzt() {
    // The results folder is also the one of the pending file.
    App& app = *env_->app;
    const QString ersatz = ausstehendErsatz(ausstehendDatei(app));
    auto aufzeichnen = [&](bool gesperrt) {
        env_->services.clear();
        QVERIFY(!gesperrt || unveraenderlich(app.userDataDir(), true));
        ergebnisseAufzeichnen(app);
        if (gesperrt) unveraenderlich(app.userDataDir(), false);
    };
    beispielWerte(app.ex);
    aufzeichnen(true);
    QCOMPARE(env_->services.messages.size(), 1);
    const QString m = env_->services.messages[0].text;
    QVERIFY2(m.contains("schreibgeschützt") && m.contains(QDir::toNativeSeparators(ersatz)) && !m.contains("verloren"),
             qPrintable(m));
    QCOMPARE(ausstehendeLesen(ersatz).size(), 2);
    // Writable again: the kept result first, then the new one; nothing left over.
    app.ex.lektionsnr = 7;
    aufzeichnen(false);
    QVERIFY2(env_->services.messages.isEmpty(), qPrintable(env_->services.messages.value(0).text));
    QCOMPARE(TestDb(velkoraPfad(*env_)).rows("SELECT IDLektion FROM Auswertung ORDER BY IDDatensatz"), (Zeilen{{4}, {7}}));
    QVERIFY(!QFileInfo::exists(ersatz));

    // A damaged pending file that cannot be moved aside stays as it is, and
    // the message does not say it was.
    QFile f(ausstehendDatei(app));
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write("{kaputt") == 7);
    f.close();
    aufzeichnen(true);
    QDir(QFileInfo(ersatz).absolutePath()).removeRecursively();
    const QString d = env_->services.messages.value(0).text;
    QVERIFY2(d.contains("beschädigt") && !d.contains("beiseitegelegt als"), qPrintable(d));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("{kaputt"));
}

VELKORA_TEST_MAIN(TstDatenbank)
#include "tst_datenbank.moc"
