#include "klasse/uebersicht.h"
#include "insight/export.h"
#include "insight/tastenwerte.h"

#include <QHash>
#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>

namespace {
std::optional<double> zahlOderNichts(const QVariant& v) {
    if (v.isNull()) return std::nullopt;
    return v.toDouble();
}
QString deutsch(double v, int stellen) { return QLocale(QLocale::German, QLocale::Germany).toString(v, 'f', stellen); }
}  // namespace

Klassenbericht klassenberichtLesen(QSqlDatabase db, const QDate& von, const QDate& bis, int schwaechste) {
    Klassenbericht b;
    const QString v = von.toString(Qt::ISODate), z = bis.toString(Qt::ISODate);
    auto fehlgeschlagen = [&](const QSqlQuery& q) {
        b.fehler = q.lastError().text().simplified();
        return b;
    };
    // These few grouping queries run in well under a second; compiling them
    // first (PostgreSQL's JIT, which their estimated cost would start) takes
    // longer than running them.
    QSqlQuery(db).exec(QStringLiteral("SET jit = off"));
    QSqlQuery s(db);
    s.setForwardOnly(true);
    s.prepare(QStringLiteral(
        "SELECT p.login, p.name, p.klasse, a.n, a.letzter, a.anschlaege, a.fehler, a.hoechste "
        "FROM velkora.schueler p LEFT JOIN ("
        " SELECT schueler, count(*) AS n, max(datum) AS letzter, avg(anschlaege) AS anschlaege,"
        " 100.0 * sum(fehler) / nullif(sum(zaehler), 0) AS fehler,"
        " max(idlektion) FILTER (WHERE idlektion BETWEEN 1 AND 18 AND fehlerquote <= ?) AS hoechste"
        " FROM velkora.auswertung WHERE datum BETWEEN ?::date AND ?::date GROUP BY schueler"
        ") a ON a.schueler = p.login ORDER BY p.klasse, p.name"));
    s.addBindValue(kBestandenBisProzent);
    s.addBindValue(v);
    s.addBindValue(z);
    if (!s.exec()) return fehlgeschlagen(s);
    QHash<QString, int> zeile;
    while (s.next()) {
        Schuelerzeile r;
        r.login = s.value(0).toString();
        r.name = s.value(1).toString();
        r.klasse = s.value(2).toString();
        r.uebungen = s.value(3).toLongLong();
        r.letzterTag = s.value(4).toDate();
        r.anschlaege = zahlOderNichts(s.value(5));
        r.fehlerProzent = zahlOderNichts(s.value(6));
        r.hoechsteLektion = s.value(7).toInt();
        zeile.insert(r.login, int(b.schueler.size()));
        b.schueler << r;
    }

    // The weakest keys, per pupil, weakest first: the whole months of the
    // range from the month sums [m1, m2), the days before and after them
    // from the day sums.
    QDate m1(von.year(), von.month(), 1);
    if (m1 < von) m1 = m1.addMonths(1);
    QDate m2(bis.year(), bis.month(), 1);
    if (bis.addDays(1).day() == 1) m2 = m2.addMonths(1);
    if (m2 < m1) m2 = m1;
    const QString a = m1.toString(Qt::ISODate), e = m2.toString(Qt::ISODate);
    QSqlQuery t(db);
    t.setForwardOnly(true);
    t.prepare(QStringLiteral(
        "SELECT schueler, zeichen, 100.0 * sum(falsch) / (sum(richtig) + sum(falsch)) AS quote FROM ("
        " SELECT schueler, zeichen, richtig, falsch FROM velkora.tastenmonate WHERE monat >= ?::date AND monat < ?::date"
        " UNION ALL SELECT schueler, zeichen, richtig, falsch FROM velkora.tastentage"
        " WHERE (datum >= ?::date AND datum < ?::date) OR (datum >= ?::date AND datum <= ?::date)"
        ") x GROUP BY schueler, zeichen "
        "HAVING sum(richtig) + sum(falsch) >= ? AND sum(falsch) > 0 ORDER BY schueler, quote DESC, zeichen"));
    for (const QString& w : {a, e, v, a, e, z}) t.addBindValue(w);
    t.addBindValue(kMindestAnschlaege);
    if (!t.exec()) return fehlgeschlagen(t);
    while (t.next()) {
        const auto it = zeile.constFind(t.value(0).toString());
        if (it == zeile.cend()) continue;
        QStringList& l = b.schueler[*it].schwaechsteTasten;
        const QString zeichen = t.value(1).toString();
        if (l.size() < schwaechste && zeichen.size() == 1)
            l << QStringLiteral("%1 (%2 %)").arg(zeichenName(zeichen[0].unicode()), deutsch(t.value(2).toDouble(), 1));
    }

    QSqlQuery l(db);
    l.setForwardOnly(true);
    l.prepare(QStringLiteral(
        "SELECT idlektion, count(*), count(DISTINCT schueler), "
        "count(DISTINCT schueler) FILTER (WHERE fehlerquote <= ?), max(datum), avg(anschlaege), "
        "100.0 * sum(fehler) / nullif(sum(zaehler), 0) FROM velkora.auswertung "
        "WHERE datum BETWEEN ?::date AND ?::date GROUP BY idlektion ORDER BY idlektion"));
    l.addBindValue(kBestandenBisProzent);
    l.addBindValue(v);
    l.addBindValue(z);
    if (!l.exec()) return fehlgeschlagen(l);
    while (l.next()) {
        Lektionszeile r;
        r.lektion = l.value(0).toInt();
        r.uebungen = l.value(1).toLongLong();
        r.schueler = l.value(2).toLongLong();
        r.bestanden = l.value(3).toLongLong();
        r.letzterTag = l.value(4).toDate();
        r.anschlaege = zahlOderNichts(l.value(5));
        r.fehlerProzent = zahlOderNichts(l.value(6));
        b.lektionen << r;
    }
    return b;
}

QString lektionsDateiFuer(const QString& datei) {
    const QString basis = datei.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive) ? datei.chopped(4) : datei;
    return basis + QStringLiteral("-lektionen.csv");
}

namespace {
QString zahlFeld(const std::optional<double>& w, int stellen) { return w ? csvZahl(*w, stellen) : QString(); }
QString tagFeld(const QDate& d) { return d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : QString(); }
}  // namespace

QByteArray schuelerCsv(const Klassenbericht& b) {
    QByteArray a = "\xEF\xBB\xBF" + csvZeile({"Klasse", "Name", "Login", "Übungen", "Letzter Übungstag",
                                               "Anschläge/Min", "Fehler in %", "Höchste bestandene Lektion",
                                               "Schwächste Tasten"});
    for (const Schuelerzeile& s : b.schueler)
        a += csvZeile({s.klasse, s.name, s.login, QString::number(s.uebungen), tagFeld(s.letzterTag),
                       zahlFeld(s.anschlaege, 0), zahlFeld(s.fehlerProzent, 2),
                       s.hoechsteLektion ? QString::number(s.hoechsteLektion) : QString(),
                       s.schwaechsteTasten.join(QStringLiteral(", "))});
    return a;
}

QByteArray lektionenCsv(const Klassenbericht& b) {
    QByteArray a = "\xEF\xBB\xBF" + csvZeile({"Schlüssel-Nr.", "Übung", "Übungen", "Schülerinnen und Schüler",
                                               "bestanden", "Letzter Übungstag", "Anschläge/Min", "Fehler in %"});
    for (const Lektionszeile& l : b.lektionen)
        a += csvZeile({QString::number(l.lektion), uebungsName(l.lektion), QString::number(l.uebungen),
                       QString::number(l.schueler), QString::number(l.bestanden), tagFeld(l.letzterTag),
                       zahlFeld(l.anschlaege, 0), zahlFeld(l.fehlerProzent, 2)});
    return a;
}
