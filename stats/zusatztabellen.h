#pragma once
#include "stats/datenbank.h"

#include <QSqlDatabase>
#include <QString>

// The tables, indexes and triggers the results databases hold beside
// Auswertung and fehlerliste. Each is a "CREATE ... IF NOT EXISTS"
// statement written without a schema name, and each also stands in
// data/velkora.sql or data/finger.sql, so a new file has it from the start
// while a file made by an earlier version gains it at the next recording,
// with no row touched. New statements are appended at the end.
struct Zusatzanweisung {
    Ergebnisdatei datei;
    const char* sql;
};

inline constexpr Zusatzanweisung kZusatzanweisungen[] = {
    // Marks of the stored results: a result whose mark is there is not
    // stored again. IDDatensatz is the key of the result's Auswertung row.
    {Ergebnisdatei::Velkora, "CREATE TABLE IF NOT EXISTS Ablage (ergebnis TEXT PRIMARY KEY, IDDatensatz INTEGER)"},
    {Ergebnisdatei::Finger, "CREATE TABLE IF NOT EXISTS Ablage (ergebnis TEXT PRIMARY KEY)"},
    // Per-key records of each result, and their running totals per day and
    // over all days, kept by triggers in the transaction storing them.
    {Ergebnisdatei::Velkora,
     "CREATE TABLE IF NOT EXISTS Tastenwerte (ergebnis TEXT NOT NULL, datum TEXT NOT NULL, zeichen TEXT NOT NULL, "
     "richtig INTEGER NOT NULL, falsch INTEGER NOT NULL, zeit_ms INTEGER NOT NULL, zeit_n INTEGER NOT NULL, "
     "PRIMARY KEY (ergebnis, zeichen))"},
    {Ergebnisdatei::Velkora,
     "CREATE TABLE IF NOT EXISTS Paarwerte (ergebnis TEXT NOT NULL, datum TEXT NOT NULL, vorher TEXT NOT NULL, "
     "zeichen TEXT NOT NULL, richtig INTEGER NOT NULL, falsch INTEGER NOT NULL, zeit_ms INTEGER NOT NULL, "
     "zeit_n INTEGER NOT NULL, PRIMARY KEY (ergebnis, vorher, zeichen))"},
    {Ergebnisdatei::Velkora,
     "CREATE TABLE IF NOT EXISTS Tastentage (datum TEXT NOT NULL, zeichen TEXT NOT NULL, richtig INTEGER NOT NULL, "
     "falsch INTEGER NOT NULL, zeit_ms INTEGER NOT NULL, zeit_n INTEGER NOT NULL, PRIMARY KEY (datum, zeichen)) "
     "WITHOUT ROWID"},
    {Ergebnisdatei::Velkora,
     "CREATE TABLE IF NOT EXISTS Paartage (datum TEXT NOT NULL, vorher TEXT NOT NULL, zeichen TEXT NOT NULL, "
     "richtig INTEGER NOT NULL, falsch INTEGER NOT NULL, zeit_ms INTEGER NOT NULL, zeit_n INTEGER NOT NULL, "
     "PRIMARY KEY (datum, vorher, zeichen)) WITHOUT ROWID"},
    {Ergebnisdatei::Velkora,
     "CREATE TABLE IF NOT EXISTS Tastensumme (zeichen TEXT NOT NULL PRIMARY KEY, richtig INTEGER NOT NULL, "
     "falsch INTEGER NOT NULL, zeit_ms INTEGER NOT NULL, zeit_n INTEGER NOT NULL) WITHOUT ROWID"},
    {Ergebnisdatei::Velkora,
     "CREATE TABLE IF NOT EXISTS Paarsumme (vorher TEXT NOT NULL, zeichen TEXT NOT NULL, richtig INTEGER NOT NULL, "
     "falsch INTEGER NOT NULL, zeit_ms INTEGER NOT NULL, zeit_n INTEGER NOT NULL, PRIMARY KEY (vorher, zeichen)) "
     "WITHOUT ROWID"},
    {Ergebnisdatei::Velkora,
     "CREATE TRIGGER IF NOT EXISTS Tastenwerte_summen AFTER INSERT ON Tastenwerte BEGIN "
     "INSERT INTO Tastentage VALUES (new.datum, new.zeichen, new.richtig, new.falsch, new.zeit_ms, new.zeit_n) "
     "ON CONFLICT (datum, zeichen) DO UPDATE SET richtig = richtig + excluded.richtig, "
     "falsch = falsch + excluded.falsch, zeit_ms = zeit_ms + excluded.zeit_ms, zeit_n = zeit_n + excluded.zeit_n; "
     "INSERT INTO Tastensumme VALUES (new.zeichen, new.richtig, new.falsch, new.zeit_ms, new.zeit_n) "
     "ON CONFLICT (zeichen) DO UPDATE SET richtig = richtig + excluded.richtig, "
     "falsch = falsch + excluded.falsch, zeit_ms = zeit_ms + excluded.zeit_ms, zeit_n = zeit_n + excluded.zeit_n; "
     "END"},
    {Ergebnisdatei::Velkora,
     "CREATE TRIGGER IF NOT EXISTS Paarwerte_summen AFTER INSERT ON Paarwerte BEGIN "
     "INSERT INTO Paartage VALUES (new.datum, new.vorher, new.zeichen, new.richtig, new.falsch, new.zeit_ms, "
     "new.zeit_n) ON CONFLICT (datum, vorher, zeichen) DO UPDATE SET richtig = richtig + excluded.richtig, "
     "falsch = falsch + excluded.falsch, zeit_ms = zeit_ms + excluded.zeit_ms, zeit_n = zeit_n + excluded.zeit_n; "
     "INSERT INTO Paarsumme VALUES (new.vorher, new.zeichen, new.richtig, new.falsch, new.zeit_ms, new.zeit_n) "
     "ON CONFLICT (vorher, zeichen) DO UPDATE SET richtig = richtig + excluded.richtig, "
     "falsch = falsch + excluded.falsch, zeit_ms = zeit_ms + excluded.zeit_ms, zeit_n = zeit_n + excluded.zeit_n; "
     "END"},
    // The progress window groups by day, also over lessons or texts alone:
    // the index covers all it reads, in date order.
    {Ergebnisdatei::Velkora,
     "CREATE INDEX IF NOT EXISTS Auswertung_Datum ON Auswertung (Datum, IDLektion, anschlaege, ergebnis)"},
    // The copy tests: one row per result beside its Auswertung row, with
    // the figures as counted, the grade, the source and the copy.
    {Ergebnisdatei::Velkora,
     "CREATE TABLE IF NOT EXISTS Abschrift (ergebnis TEXT PRIMARY KEY, datum TEXT NOT NULL, zeit TEXT NOT NULL, "
     "titel TEXT NOT NULL, dauer INTEGER NOT NULL, sekunden REAL NOT NULL, korrektur INTEGER NOT NULL, "
     "brutto INTEGER NOT NULL, fehler INTEGER NOT NULL, quote REAL NOT NULL, anschlaege REAL NOT NULL, "
     "netto REAL NOT NULL, note INTEGER NOT NULL CHECK (note BETWEEN 1 AND 6), vorlage TEXT NOT NULL, "
     "abschrift TEXT NOT NULL)"},
};

// A statement of the list for the schema it is to run in ("main",
// "velkora", "finger"): the created object's name qualified with it.
QString zusatzFuerSchema(const char* sql, const QString& schema);

// Runs the statements of one file on an open connection, the file being
// the schema given (the connection's own "main" or an attached one), each
// on its own: one that fails is left out and the others still run.
// Returns the engine's text of the first failure, empty when all ran.
QString zusatztabellenAnlegen(QSqlDatabase db, const QString& schema, Ergebnisdatei datei);
