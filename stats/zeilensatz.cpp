#include "stats/zeilensatz.h"
#include "stats/datenbank.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {
QString ohneSemikolon(QString s) {
    s = s.trimmed();
    while (s.endsWith(QLatin1Char(';'))) s.chop(1);
    return s;
}
}  // namespace

bool Zeilensatz::oeffnen(QSqlDatabase db, const QString& anweisung) {
    schliessen();
    fehler_.clear();
    if (!db.isOpen()) {
        fehler_ = QStringLiteral("Die Datenbank ist nicht geöffnet.");
        return false;
    }
    const QString innen = ohneSemikolon(anweisung);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT * FROM (%1) LIMIT 0").arg(innen))) {
        fehler_ = engineText(q.lastError());
        return false;
    }
    QStringList spalten;
    const QSqlRecord rec = q.record();
    for (int i = 0; i < rec.count(); ++i) spalten << rec.fieldName(i);
    q.finish();
    const auto n = zeilenAnzahl(db, innen, &fehler_);
    if (!n) return false;

    db_ = db;
    anweisung_ = innen;
    spalten_ = spalten;
    anzahl_ = *n;
    offen_ = true;
    pos_ = anzahl_ > 0 ? 0 : -1;
    if (anzahl_ > 0 && !ladeSeite(0)) {
        const QString f = fehler_;
        schliessen();
        fehler_ = f;
        return false;
    }
    return true;
}

void Zeilensatz::schliessen() {
    db_ = QSqlDatabase();
    anweisung_.clear();
    spalten_.clear();
    seite_.clear();
    anzahl_ = 0;
    pos_ = -1;
    seiteStart_ = 0;
    offen_ = false;
}

bool Zeilensatz::ladeSeite(qint64 index) {
    if (index >= seiteStart_ && index < seiteStart_ + seite_.size()) return true;
    const qint64 start = index / kSeite * kSeite;
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT * FROM (%1) LIMIT ? OFFSET ?").arg(anweisung_));
    q.addBindValue(kSeite);
    q.addBindValue(start);
    if (!q.exec()) {
        fehler_ = engineText(q.lastError());
        return false;
    }
    QList<QVariantList> rows;
    const int n = static_cast<int>(spalten_.size());
    while (q.next()) {
        QVariantList r;
        r.reserve(n);
        for (int i = 0; i < n; ++i) r << q.value(i);
        rows << r;
    }
    if (q.lastError().isValid()) {
        fehler_ = engineText(q.lastError());
        return false;
    }
    if (index - start >= rows.size()) {
        fehler_ = QStringLiteral("Der Datensatz ist nicht mehr vorhanden.");
        return false;
    }
    seiteStart_ = start;
    seite_ = rows;
    return true;
}

bool Zeilensatz::gehe(qint64 ziel) {
    if (!offen_) {
        fehler_ = QStringLiteral("Die Datensätze sind nicht geöffnet.");
        return false;
    }
    if (anzahl_ == 0) ziel = -1;
    if (ziel >= 0 && ziel < anzahl_ && !ladeSeite(ziel)) return false;
    pos_ = qBound<qint64>(-1, ziel, anzahl_);
    if (MoveComplete) MoveComplete();
    return true;
}

bool Zeilensatz::moveFirst() { return gehe(0); }
bool Zeilensatz::moveLast() { return gehe(anzahl_ - 1); }
bool Zeilensatz::moveNext() { return gehe(pos_ + 1); }
bool Zeilensatz::movePrevious() { return gehe(pos_ - 1); }

int Zeilensatz::spaltenIndex(const QString& spalte) const {
    for (int i = 0; i < spalten_.size(); ++i)
        if (spalten_[i].compare(spalte, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QVariant Zeilensatz::wert(int spalte) const {
    if (!hatZeile()) return QVariant();
    const qint64 i = pos_ - seiteStart_;
    if (i < 0 || i >= seite_.size()) return QVariant();
    return seite_[i].value(spalte);
}

QVariant Zeilensatz::wert(const QString& spalte) const { return wert(spaltenIndex(spalte)); }

bool Zeilensatz::anfuegen(const QString& tabelle, const QStringList& spalten, const QVariantList& werte) {
    if (!offen_) {
        fehler_ = QStringLiteral("Die Datensätze sind nicht geöffnet.");
        return false;
    }
    const QString f = zeileAnfuegen(db_, tabelle, spalten, werte);
    if (!f.isEmpty()) {
        fehler_ = f;
        return false;
    }
    angefuegt(spalten, werte);
    return true;
}

void Zeilensatz::angefuegt(const QStringList& spalten, const QVariantList& werte) {
    if (!offen_) return;
    QVariantList zeile;
    for (const QString& s : spalten_) {
        QVariant v;
        for (int i = 0; i < spalten.size(); ++i)
            if (spalten[i].compare(s, Qt::CaseInsensitive) == 0) v = werte.value(i);
        zeile << v;
    }
    // The new row is the set's last: keep it with the cached page when that
    // page reaches the end, otherwise it starts a page of its own.
    if (seiteStart_ + seite_.size() == anzahl_ && seite_.size() < 4 * kSeite) {
        seite_ << zeile;
    } else {
        seite_ = {zeile};
        seiteStart_ = anzahl_;
    }
    ++anzahl_;
    pos_ = anzahl_ - 1;
    if (MoveComplete) MoveComplete();
}
