#pragma once
#include <QString>

// Where the results databases are used from. The program directory, when the
// program may write there (the files and the directory itself, which the
// engine needs for its journal). Otherwise — an installed program — the
// user's data directory, which is seeded once with copies of the delivered
// empty databases; files already there are never replaced. When the user's
// directory cannot be made either, the program directory is returned and
// recording reports the failure as it happens.
QString datenbankVerzeichnis(const QString& programDir, const QString& benutzerDir);

// Seeds the user's directory: copies each delivered database that is not
// there yet (names matched without regard to case), writable for the user.
// Returns false when the directory cannot be made.
bool datenbankenKopieren(const QString& programDir, const QString& benutzerDir);

// True when a file can be created in the directory.
bool verzeichnisBeschreibbar(const QString& dir);
