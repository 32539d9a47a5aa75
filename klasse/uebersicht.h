#pragma once
#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>

// What the teacher's overview shows, read from the class server through a
// few grouping queries (the server sums, the indexes on pupil and date and
// on lesson and date serve them); a teacher's login sees its classes only.

// A lesson counts as passed once stored with an error rate of at most 2 %.
constexpr double kBestandenBisProzent = 2.0;

struct Schuelerzeile {
    QString login, name, klasse;
    qint64 uebungen = 0;
    QDate letzterTag;
    std::optional<double> anschlaege;     // mean keystrokes per minute
    std::optional<double> fehlerProzent;  // errors per hundred correct keys
    int hoechsteLektion = 0;              // highest of lessons 1 to 18 passed; 0: none
    QStringList schwaechsteTasten;        // "ö (12,5 %)", weakest first
};

struct Lektionszeile {
    int lektion = 0;
    qint64 uebungen = 0;
    qint64 schueler = 0;     // pupils who did it
    qint64 bestanden = 0;    // pupils who passed it
    QDate letzterTag;
    std::optional<double> anschlaege;
    std::optional<double> fehlerProzent;
};

struct Klassenbericht {
    QList<Schuelerzeile> schueler;
    QList<Lektionszeile> lektionen;
    QString fehler;  // the server's text when a query failed
};

// The overview for the days von to bis (both included).
Klassenbericht klassenberichtLesen(QSqlDatabase db, const QDate& von, const QDate& bis, int schwaechste = 3);

// CSV files as the results export writes them: the pupils into datei, the
// lessons into the file beside it ("x.csv" -> "x-lektionen.csv").
QString lektionsDateiFuer(const QString& datei);
QByteArray schuelerCsv(const Klassenbericht& b);
QByteArray lektionenCsv(const Klassenbericht& b);
