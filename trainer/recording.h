#pragma once
#include <QDateTime>
#include <QStringList>
#include <QVariantList>

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

// Stores the results of the finished exercise (one row of results, one row
// of finger errors) and ends the exercise: the display reads "DB_ENDE".
// A row that cannot be stored is reported with the database file and the
// engine's reason; the other row is still tried.
void ergebnisseAufzeichnen(App& app);
