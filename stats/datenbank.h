#pragma once
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

class App;

// The two results databases.
enum class Ergebnisdatei { Velkora, Finger };
// The file a table's rows belong to: fehlerliste to finger.mdb, every
// other table (Auswertung and the tables added beside it) to velkora.mdb.
Ergebnisdatei dateiFuerTabelle(const QString& tabelle);

// Why a database could not take rows, as ergebnisseSpeichern() tells it.
enum class Fehlerart {
    Gesperrt,          // in use by another program: passes
    Voll,              // the disk (or the allowed file size) is full: passes
    Fehlt,             // no such file, or something else than a file under its name
    Beschaedigt,       // not a database, or a damaged one
    Schreibgeschuetzt, // the file or its folder may not be written
    Aufbau,            // a table or column is missing
    Sonstig,
};

// The statements the results windows run, as the windows know them.
namespace Sql {
// Overview: only the number of rows is used.
inline const QString kUebungen = QStringLiteral("SELECT * FROM Auswertung;");
// Overview: the plain mean of the keystrokes per minute.
inline const QString kMittelwertAnschlaege = QStringLiteral(
    " SELECT Avg([Auswertung].[anschlaege]) AS [Mittelwert von anschlaege]FROM Auswertung;");
// Overview: the characters there were to type.
inline const QString kSummeMaximalPunkte = QStringLiteral(
    "SELECT Sum(Auswertung.MaximalPunkte) AS [Summe von MaximalPunkte]FROM Auswertung;");
// Overview, finger database: errors per hand and in total.
inline const QString kSummeFehler = QStringLiteral(
    "SELECT Sum(fehlerliste.LIHA) AS [Summe von LIHA], Sum(fehlerliste.REHA) AS [Summe von REHA], "
    "Sum([LIHA]+[REHA]) AS Gesamt FROM fehlerliste;");
// Record browsers; also the row sets the recording appends to.
inline const QString kAuswertung = QStringLiteral(
    "select Datum,Zeit,IDLektion,MaximalPunkte,stoppzeit,zaehler,fehler,ergebnis,anschlaege "
    "from Auswertung");
inline const QString kFehlerliste = QStringLiteral(
    "select LIHA,lkleinerfinger,lringfinger,lmittelfinger,lzeigefinger,ldaumenfinger,"
    "rdaumenfinger,rzeigefinger,rmittelfinger,rringfinger,rkleinerfinger,REHA from fehlerliste");
// Finger chart: the first row, every column a category.
inline const QString kStatistik = QStringLiteral("select * from statistik");
// Lesson charts: grouping commands, run through shapeAlsSql().
inline const QString kMittelJeLektion = QStringLiteral(
    "SHAPE {select IDLektion,anschlaege from Auswertung Order by IDLektion} AS ChildCommand "
    "COMPUTE ChildCommand, AVG(ChildCommand.[anschlaege]) AS [anschlaege] BY [IDLektion]");
inline const QString kEinheitenJeLektion = QStringLiteral(
    "SHAPE {select IDDatensatz,IDLektion from Auswertung Order by IDDatensatz} AS ChildCommand "
    "COMPUTE ChildCommand, COUNT(ChildCommand.[IDDatensatz]) AS [IDDatensatz] BY [IDLektion]");
}  // namespace Sql

// Connection descriptions: prefix, then the database directory, then suffix.
namespace Verbindungstext {
inline const QString kJet = QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=");
inline const QString kShape = QStringLiteral("PROVIDER=MSDataShape;Data Source=");
inline const QString kVelkoraGross = QStringLiteral("\\Velkora.mdb;");
inline const QString kVelkora = QStringLiteral("\\velkora.mdb;");
inline const QString kFinger = QStringLiteral("\\finger.mdb;");
inline const QString kVelkoraShape =
    QStringLiteral("\\velkora.mdb;Data Provider=Microsoft.Jet.OLEDB.4.0");
}  // namespace Verbindungstext

// The names of the two database files as delivered.
inline const QString kVelkoraMdb = QStringLiteral("velkora.mdb");
inline const QString kFingerMdb = QStringLiteral("finger.mdb");

// Builds a connection description. A directory that would break the
// description apart (a semicolon, a quote, blanks at its ends) is quoted.
QString verbindungstext(const QString& prefix, const QString& dir, const QString& suffix);

// The parts of a connection description the program understands.
struct Verbindungsangaben {
    QString provider;
    QString dataSource;    // the database file
    QString dataProvider;  // the engine below a grouping provider
};

// Parses "key=value;key=value". Keys are compared without regard to case,
// blanks around keys and values are dropped, a value may be quoted with " or
// ' (a doubled quote inside stands for one). On failure returns nothing and
// sets *fehler to a German description.
std::optional<Verbindungsangaben> zerlegeVerbindung(const QString& text, QString* fehler = nullptr);

// The file a path names, its file name matched without regard to case
// (backslashes count as separators). Empty when there is no such file.
QString findeDatei(const QString& pfad);

// Turns a grouping command "SHAPE {child} AS c COMPUTE c, AGG(c.[col]) AS
// [name] BY [key]" into the SQL that delivers its parent rows: one row per
// key, in ascending key order, with the key column and the aggregate under
// the same names. Empty when the text is not such a command.
QString shapeAlsSql(const QString& shape);

// The engine's own description of an error.
QString engineText(const class QSqlError& e);
// The kind of a failure that concerns the whole file, from the engine's code.
Fehlerart fehlerart(const class QSqlError& e);
// The German reason for a kind of failure ("Die Datenbank ist gesperrt ...").
QString fehlerartText(Fehlerart art);
// True when the error says the file is locked by another connection or
// program: a passing state, worth trying again later.
bool istGesperrt(const class QSqlError& e);

// How long a locked database is waited for before a statement fails.
constexpr int kBusyTimeoutMs = 2000;

// One named connection to a results database, held while its owner lives.
// Only an existing file is opened (opening never creates one); the
// connection waits for a locked file up to kBusyTimeoutMs and writes with
// full synchronisation.
class Verbindung {
public:
    Verbindung() = default;
    ~Verbindung();
    Verbindung(const Verbindung&) = delete;
    Verbindung& operator=(const Verbindung&) = delete;

    // Opens the database a connection description names. On failure
    // fehler() holds the reason (German, with the engine's text) and
    // datei() the file that was looked for.
    bool oeffnen(const QString& beschreibung);
    void schliessen();
    bool istOffen() const { return offen_; }
    QSqlDatabase db() const;
    const QString& fehler() const { return fehler_; }
    const QString& datei() const { return datei_; }
    // The last failure was a lock held by someone else.
    bool gesperrt() const { return gesperrt_; }
    // The kind of the last failure (Fehlt when the file was not found).
    Fehlerart fehlerart() const { return art_; }

    // True when the open file is no longer the one under its name: it was
    // replaced (a backup restored) or removed. The connection would go on
    // reading and writing the old file.
    bool ersetzt() const;
    // Opens the file under the name again when the open one was replaced;
    // false when that fails (fehler() says why).
    bool auffrischen();

private:
    QString name_;
    QString beschreibung_;
    QString datei_;
    QString fehler_;
    bool offen_ = false;
    bool gesperrt_ = false;
    Fehlerart art_ = Fehlerart::Fehlt;
    quint64 geraet_ = 0, knoten_ = 0;  // identity of the open file
};

// Why a database file cannot be found: "nicht vorhanden", or what stands
// there instead of a file (a folder, a pipe, ...).
QString fehltGrund(const QString& datei);

// One row for one of the two results databases.
struct Tabellenzeile {
    QString tabelle;  // "Auswertung", "fehlerliste", or a table of velkora.mdb added later
    QStringList spalten;
    QVariantList werte;
    // The result the row belongs to, made once when it is recorded
    // (QUuid::createUuid(), without braces); all rows of one result carry
    // the same. Marked in the file's table Ablage when stored, so a result
    // is never stored twice. Empty: stored without a mark.
    QString ergebnis = {};
    friend bool operator==(const Tabellenzeile&, const Tabellenzeile&) = default;
};

// What became of rows given to ergebnisseSpeichern().
struct Speicherergebnis {
    QList<bool> gespeichert;  // per row, in the order given (also: already marked as stored)
    // Per row: why the database refused this row itself (a failed check,
    // a value of the wrong kind); empty for every other row. Such rows are
    // not stored, and the rows after them are.
    QStringList abgelehnt;
    struct Fehler {
        QString datei;  // the database file (as found, or as looked for)
        QString grund;  // German first, then the engine's own text
        Fehlerart art = Fehlerart::Sonstig;
    };
    QList<Fehler> fehler;  // one per database that could not take its rows
};

// Appends rows to the results databases of a directory in one transaction:
// one connection to velkora.mdb with finger.mdb attached, so that the
// engine's commit over both files stores every row or none (the rollback
// journal gives that; a write-ahead log would not). Before storing, the
// additional tables (stats/zusatztabellen.h) are made where missing. The
// rows of one result in one file are stored together with that result's
// mark in the file's table Ablage; rows whose result is marked there
// already are skipped and count as stored. In velkora.mdb a result's
// Auswertung row comes first, then its mark (with the row's IDDatensatz),
// then its rows of further tables; each distinct statement is prepared
// once. A result the database refuses (a failed check) is left out with
// its reason in abgelehnt; the others are stored. A file that cannot be
// used for good (missing, damaged, no database, a folder, no such table,
// read-only) leaves its own rows unstored while the other file's rows are
// stored; a lock or a full disk leaves all rows unstored.
Speicherergebnis ergebnisseSpeichern(const QString& verzeichnis, const QList<Tabellenzeile>& zeilen);

// Appends one row in a transaction of its own: either the whole row is
// stored or nothing. Returns the engine's error text, empty on success.
QString zeileAnfuegen(QSqlDatabase db, const QString& tabelle, const QStringList& spalten,
                      const QVariantList& werte);

// The number of rows a statement delivers, counted by the engine.
std::optional<qint64> zeilenAnzahl(QSqlDatabase db, const QString& anweisung, QString* fehler);

// The German message for a database that cannot be used.
QString datenbankMeldung(const QString& datei, const QString& fehler);
