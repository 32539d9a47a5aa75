#pragma once
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class App;
class QWidget;

// Exporting the stored results as files German spreadsheet programs open
// directly: semicolons between fields, a decimal comma, UTF-8 with a
// byte-order mark, CR LF after every line.

// One field: quoted (quotes inside doubled) when it holds a semicolon, a
// quote, a line break or blanks at its ends, so that it reads back as it is.
QByteArray csvFeld(const QString& text);
// A line of fields with its CR LF.
QByteArray csvZeile(const QStringList& felder);
// A stored number as a field: with the given decimals (halves to even) or,
// for -1, in its shortest form; always a decimal comma and no grouping.
// Null and what is not a number give an empty field.
QString csvZahl(const QVariant& wert, int stellen = -1);
// An ISO date ("2024-05-17") as "17.05.2024"; other text stays as it is.
QString csvDatum(const QVariant& iso);

// The name of an exercise number as the catalogue has it ("Lektion 4 a/ö",
// "Übungs-Text 2", "Intensiv-Training Linke Hand", "Eigener Text"); empty
// for a number it does not know.
QString uebungsName(int nummer);

// Which row of fehlerliste belongs to which result. The recording writes a
// result's two rows in one transaction, in order, so without anything else
// the n-th result (by IDDatensatz) goes with the n-th finger row (by row
// number). Results and finger rows that carry a result id (the marker
// tables "Ablage" of both files) are matched by it instead, so that a row
// lost in one file does not shift all later pairs; the rows without one,
// stored before the markers existed, are paired in order among themselves.
//   ids:            IDDatensatz of the results, ascending
//   velkoraMarker:  result id -> IDDatensatz (velkora.mdb's Ablage)
//   fingerMarker:   result ids of finger.mdb's Ablage in the order stored,
//                   each marking one of the newest finger rows;
//                   fingerMarkerDa: that table exists
//   fingerZeilen:   the number of finger rows
// Returns per result the index of its finger row (in row order), or -1.
QList<int> fingerZuordnung(const QList<qint64>& ids, const QHash<QString, qint64>& velkoraMarker,
                           const QStringList& fingerMarker, bool fingerMarkerDa, int fingerZeilen);

// What an export did.
struct Exportbericht {
    bool ok = false;
    QString fehler;         // German, when not ok
    qint64 ergebnisse = 0;  // rows of results written
    qint64 tastenZeilen = -1;  // rows of the per-key file; -1: not written
    QString hinweis;        // something the learner should know (finger rows unreadable)
};

// The file beside the results file that takes the per-key records
// ("ergebnisse.csv" -> "ergebnisse-tasten.csv").
QString tastenDateiFuer(const QString& ergebnisDatei);

// Writes every stored result of the database directory with its finger
// counters, one row each, into the file; with tastenDatei not empty also
// the per-key records into that file. Each file is written under a
// temporary name and takes the place of the file only when complete, so a
// failure leaves no half file behind (and an existing file as it was).
Exportbericht ergebnisseExportieren(const QString& datenbankDir, const QString& datei,
                                    const QString& tastenDatei = QString());

// The menu command: the file dialog, the question about the per-key file,
// the export, and a message saying where it went or why not.
void exportDialog(App& app, QWidget* parent);
