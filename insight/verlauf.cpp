#include "insight/verlauf.h"
#include "lessons/catalogue.h"
#include "stats/datenbank.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTimeZone>
#include <algorithm>
#include <climits>

Nummernbereich lektionsBereich() {
    Nummernbereich b{INT_MAX, INT_MIN};
    for (const Katalogeintrag& e : kLektionskatalog)
        if (e.gruppe == Gruppe::Lektionen) {
            b.von = std::min(b.von, int(e.nummer));
            b.bis = std::max(b.bis, int(e.nummer));
        }
    return b;
}

std::optional<QList<Tageswert>> tageswerteLesen(QSqlDatabase db, Uebungsauswahl auswahl, QString* fehler) {
    QString bedingung;
    switch (auswahl) {
    case Uebungsauswahl::Alle: break;
    // "+IDLektion" keeps the engine off the index by exercise number, which
    // would leave it to sort by day: the index by day covers the query.
    case Uebungsauswahl::Lektionen: bedingung = QStringLiteral(" AND +IDLektion BETWEEN :von AND :bis"); break;
    case Uebungsauswahl::Texte:
        bedingung = QStringLiteral(" AND (+IDLektion IS NULL OR +IDLektion NOT BETWEEN :von AND :bis)");
        break;
    }
    QSqlQuery q(db);
    q.setForwardOnly(true);
    // One group per stored date; the dates are ISO text, so they sort in
    // calendar order.
    q.prepare(QStringLiteral("SELECT Datum, Avg(anschlaege), Avg(ergebnis), Count(*) FROM Auswertung "
                             "WHERE Datum IS NOT NULL%1 GROUP BY Datum ORDER BY Datum")
                  .arg(bedingung));
    if (auswahl != Uebungsauswahl::Alle) {
        const Nummernbereich b = lektionsBereich();
        q.bindValue(QStringLiteral(":von"), b.von);
        q.bindValue(QStringLiteral(":bis"), b.bis);
    }
    if (!q.exec()) {
        if (fehler) *fehler = engineText(q.lastError());
        return std::nullopt;
    }
    QList<Tageswert> tage;
    while (q.next()) {
        const QDate tag = QDate::fromString(q.value(0).toString(), Qt::ISODate);
        if (!tag.isValid()) continue;  // written by someone else; no place on the axis
        tage.append({tag, q.value(1).toDouble(), q.value(2).toDouble(), q.value(3).toInt()});
    }
    if (q.lastError().isValid()) {
        if (fehler) *fehler = engineText(q.lastError());
        return std::nullopt;
    }
    return tage;
}

QList<QList<Tageswert>> tagesLaeufe(const QList<Tageswert>& tage) {
    QList<QList<Tageswert>> laeufe;
    for (const Tageswert& t : tage) {
        if (laeufe.isEmpty() || laeufe.last().last().tag.addDays(1) != t.tag) laeufe.append(QList<Tageswert>());
        laeufe.last().append(t);
    }
    return laeufe;
}

qint64 tagesPosition(const QDate& tag) { return QDateTime(tag, QTime(12, 0), Qt::UTC).toMSecsSinceEpoch(); }

int zielAusText(const QString& text) {
    bool ok = false;
    const int z = text.trimmed().toInt(&ok);
    return ok && z >= 0 && z <= kZielMax ? z : 0;
}
