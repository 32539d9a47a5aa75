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
    // The progress window groups by day, also over lessons or texts alone:
    // the index covers all it reads, in date order.
    {Ergebnisdatei::Velkora,
     "CREATE INDEX IF NOT EXISTS Auswertung_Datum ON Auswertung (Datum, IDLektion, anschlaege, ergebnis)"},
};

// A statement of the list for the schema it is to run in ("main",
// "velkora", "finger"): the created object's name qualified with it.
QString zusatzFuerSchema(const char* sql, const QString& schema);

// Runs the statements of one file on an open connection, the file being
// the schema given (the connection's own "main" or an attached one), each
// on its own: one that fails is left out and the others still run.
// Returns the engine's text of the first failure, empty when all ran.
QString zusatztabellenAnlegen(QSqlDatabase db, const QString& schema, Ergebnisdatei datei);
