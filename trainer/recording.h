#pragma once
#include <QDateTime>
#include <QStringList>
#include <QVariantList>
#include "stats/datenbank.h"

class App;
struct Uebung;
struct Fingerfehler;

// One row to append: the columns in the order they are set, and their values.
struct Ergebniszeile {
    QStringList spalten;
    QVariantList werte;
};

// The results row of a finished exercise, ended at the given moment: date and
// time as ISO text, the error percentage rounded to two decimals (halves to
// even), the duration in minutes unrounded.
Ergebniszeile auswertungZeile(const Uebung& ex, const QDateTime& ende);
// The finger errors row of a finished exercise.
Ergebniszeile fingerZeile(const Fingerfehler& f);

// A new result id: all rows of one recorded result carry it.
QString neueErgebnisId();
// The rows of a finished exercise's result, ended at the given moment: its
// Auswertung row, then its fehlerliste row, both with the given id.
QList<Tabellenzeile> ergebnisZeilen(const Uebung& ex, const QDateTime& ende, const QString& ergebnis);

// Stores the results of the finished exercise (one row of results, one row
// of finger errors, together) and ends the exercise: the display reads
// "DB_ENDE". Rows that cannot be stored are kept as pending and reported
// with the database file and the reason.
void ergebnisseAufzeichnen(App& app);

// Stores the rows still pending from earlier runs (at start-up): what still
// cannot be stored stays pending without a word; rows the database refuses
// and a pending file that cannot be changed are reported.
void ausstehendeNachtragen(App& app);

// The file that keeps results not stored yet, in the user's data directory.
QString ausstehendDatei(const App& app);

// A row waiting to be stored, with the database directory it belongs to.
struct AusstehendeZeile {
    QString verzeichnis;
    Tabellenzeile zeile;
    friend bool operator==(const AusstehendeZeile&, const AusstehendeZeile&) = default;
};
// Where pending rows are kept when the pending file (or its folder) cannot
// be written: a folder beside the pending file's folder, "<folder>-ausstehend".
QString ausstehendErsatz(const QString& ausstehendPfad);
// The pending rows in their order. A file that cannot be read as such is
// moved aside (never deleted) and counts as empty; *fehler then says so
// (also when it cannot be moved, and then it stays as it is).
QList<AusstehendeZeile> ausstehendeLesen(const QString& datei, QString* fehler = nullptr);
// Replaces the file's content at once (written to a temporary file and
// renamed); no rows remove it. False when it cannot be written.
bool ausstehendeSchreiben(const QString& datei, const QList<AusstehendeZeile>& zeilen);

// What ergebnisseAblegen() did.
struct Ablagebericht {
    QList<Tabellenzeile> gespeichert;  // in the order stored (pending ones first)
    QStringList meldungen;             // German, for the user; empty when all was stored
    bool neueGespeichert = true;       // the given rows are in the databases
};
// The recording's work: appends the rows pending for this database
// directory, then the given ones (one result; rows without an id get one),
// all in one transaction; keeps what cannot be stored in the pending file,
// or in its substitute (ausstehendErsatz) when it cannot be written. A
// result the database refuses is put aside, with its reason, in
// "abgewiesene-ergebnisse.json" beside the pending file, and reported; the
// results after it are stored. With no given rows (at start-up), failures
// of the databases are not reported.
Ablagebericht ergebnisseAblegen(const QString& datenbankDir, const QString& ausstehendPfad,
                                const QList<Tabellenzeile>& neu);
