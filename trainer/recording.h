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

// Stores the rows still pending from earlier runs (at start-up), silently:
// what still cannot be stored stays pending.
void ausstehendeNachtragen(App& app);

// The file that keeps results not stored yet, in the user's data directory.
QString ausstehendDatei(const App& app);

// A row waiting to be stored, with the database directory it belongs to.
struct AusstehendeZeile {
    QString verzeichnis;
    Tabellenzeile zeile;
    friend bool operator==(const AusstehendeZeile&, const AusstehendeZeile&) = default;
};
// The pending rows in their order. A file that cannot be read as such is
// moved aside (never deleted) and counts as empty; *fehler then says so.
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
// directory, then the given ones, all in one transaction; keeps what cannot
// be stored in the pending file.
Ablagebericht ergebnisseAblegen(const QString& datenbankDir, const QString& ausstehendPfad,
                                const QList<Tabellenzeile>& neu);
