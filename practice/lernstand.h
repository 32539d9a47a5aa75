#pragma once
#include "insight/tastenwerte.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <optional>

// What the results database knows of a learner for "Schwächen üben": the
// per-key records of the last exercises and the lessons passed.
struct Lernstand {
    QList<Zeichenwerte> uebungen;  // newest first, at most kLetzteUebungen
    QList<int> bestanden;          // lessons 1 to 18 passed, ascending
    QString neuestes;              // id of the newest result with records, empty when none
};

// The seed of the next "Schwächen üben" text: the same until the next
// exercise is stored, so a text can be reproduced from the records.
quint32 saatFuer(const Lernstand& l);

constexpr int kLetzteUebungen = 12;
// A lesson counts as passed once it was stored with an error rate (per
// cent) at or below this.
constexpr double kBestandenBis = 2.0;

// Reads it from an open velkora.mdb. A file without the record tables gives
// the lessons alone; other failures give nothing, with the engine's reason
// in *fehler.
std::optional<Lernstand> lernstandLesen(QSqlDatabase db, QString* fehler = nullptr);
// The same from the databases of a folder; nothing when they cannot be read.
std::optional<Lernstand> lernstandLesen(const QString& datenbankOrdner, QString* fehler = nullptr);

// "1 bis 6, 9, 11": lesson numbers as ranges.
QString lektionsBereiche(const QList<int>& lektionen);
