#pragma once
#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <optional>

// The progress over time: per day of practice the mean keystrokes per
// minute, the mean error percentage and the number of stored exercises.

// Which stored exercises count.
enum class Uebungsauswahl { Alle, Lektionen, Texte };

// The first and the last number of the lessons, as the catalogue has them;
// every other number (practice texts, own texts, intensive training) counts
// as a text.
struct Nummernbereich {
    int von = 0;
    int bis = 0;
};
Nummernbereich lektionsBereich();

// One day with stored exercises.
struct Tageswert {
    QDate tag;
    double anschlaege = 0;     // mean keystrokes per minute
    double fehlerProzent = 0;  // mean error percentage
    int uebungen = 0;
    friend bool operator==(const Tageswert&, const Tageswert&) = default;
};

// The days with stored exercises of the choice, oldest first; rows without
// a date are left out. Nothing, with the engine's text in *fehler, when the
// table cannot be read.
std::optional<QList<Tageswert>> tageswerteLesen(QSqlDatabase db, Uebungsauswahl auswahl, QString* fehler);

// The days split into runs of days one after the other: a day without
// practice between two days ends a run, so that it is drawn as a gap and
// not as a line through a day that had none.
QList<QList<Tageswert>> tagesLaeufe(const QList<Tageswert>& tage);

// Where a day stands on the chart's time axis: its noon in UTC, in ms since
// the epoch, so that every day is the same length and shows its own date in
// any time zone within twelve hours of UTC.
qint64 tagesPosition(const QDate& tag);

// The learner's goal in keystrokes per minute, kept in the settings store.
inline const QString kZielAbschnitt = QStringLiteral("Optionen");
inline const QString kZielSchluessel = QStringLiteral("ZielAnschlaege");
inline constexpr int kZielMax = 999;
// The stored text as a goal: a whole number from 0 to kZielMax; anything
// else (text, fractions, out of range) is 0, no goal.
int zielAusText(const QString& text);
