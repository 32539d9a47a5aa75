#include "practice/lernstand.h"
#include "stats/datenbank.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {
bool tabelleFehlt(const QSqlQuery& q) { return q.lastError().text().contains(QLatin1String("no such table")); }
}  // namespace

std::optional<Lernstand> lernstandLesen(QSqlDatabase db, QString* fehler) {
    Lernstand l;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    auto scheitern = [&]() -> std::optional<Lernstand> {
        if (fehler) *fehler = q.lastError().text();
        return std::nullopt;
    };
    if (!q.prepare(QStringLiteral("SELECT DISTINCT IDLektion FROM Auswertung WHERE IDLektion BETWEEN 1 AND 18 "
                                  "AND ergebnis <= ? ORDER BY IDLektion")))
        return scheitern();
    q.addBindValue(kBestandenBis);
    if (!q.exec()) return scheitern();
    while (q.next()) l.bestanden << q.value(0).toInt();

    // The newest results with records: the last rows appended.
    if (!q.exec(QStringLiteral("SELECT ergebnis FROM Tastenwerte GROUP BY ergebnis ORDER BY max(rowid) DESC LIMIT %1")
                    .arg(kLetzteUebungen))) {
        if (tabelleFehlt(q)) return l;
        return scheitern();
    }
    {
        QStringList ids;
        while (q.next()) ids << q.value(0).toString();
        if (!ids.isEmpty()) l.neuestes = ids.first();
        for (const QString& id : ids) {
            std::optional<Zeichenwerte> w = ergebniswerteLesen(db, id, fehler);
            if (!w) return std::nullopt;
            l.uebungen << *w;
        }
    }
    return l;
}

std::optional<Lernstand> lernstandLesen(const QString& datenbankOrdner, QString* fehler) {
    Verbindung v;
    if (!v.oeffnen(verbindungstext(Verbindungstext::kJet, datenbankOrdner, Verbindungstext::kVelkora))) {
        if (fehler) *fehler = v.fehler();
        return std::nullopt;
    }
    return lernstandLesen(v.db(), fehler);
}

quint32 saatFuer(const Lernstand& l) {
    // FNV-1a: the same in every run (qHash is seeded per process).
    quint32 h = 2166136261u;
    for (QChar c : l.neuestes) h = (h ^ c.unicode()) * 16777619u;
    return h;
}

QString lektionsBereiche(const QList<int>& lektionen) {
    QStringList teile;
    for (qsizetype i = 0; i < lektionen.size();) {
        qsizetype j = i;
        while (j + 1 < lektionen.size() && lektionen[j + 1] == lektionen[j] + 1) ++j;
        if (j - i >= 2) teile << QStringLiteral("%1 bis %2").arg(lektionen[i]).arg(lektionen[j]);
        else
            for (qsizetype k = i; k <= j; ++k) teile << QString::number(lektionen[k]);
        i = j + 1;
    }
    return teile.join(QStringLiteral(", "));
}
