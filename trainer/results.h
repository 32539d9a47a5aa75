#pragma once
#include <QString>
#include <QtGlobal>

// The rating of a finished exercise, computed from its counters.
struct Bewertung {
    enum class Meldung { Keine, ZuVieleFehler, ExtremVieleFehler };
    double fehlerquote = 0;  // errors per scored character, two decimals, halves to even
    Meldung meldung = Meldung::Keine;
    QString text;  // "Klasse!" or empty
};

// Rates fehler errors on maxZeichen scored characters (maxZeichen > 0).
Bewertung bewerte(double fehler, double maxZeichen);

inline const QString kMeldungZuViele =
    QStringLiteral("Zu viele Fehler.Diese Lektion bitte intensiv wiederholen!");
inline const QString kMeldungExtrem =
    QStringLiteral("Leider extrem viele Fehler, bitte intensiv üben !");

// The three-line summary that replaces the input box's text at the end
// (lines separated by CR LF).
QString zusammenfassung(double maxZeichen, double fehler, double fehlerquote,
                        const QString& bewertung, qint16 anschlaegeProMinute);
