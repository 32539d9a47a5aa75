#include "klasse/versand.h"
#include "platform/textcodec.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QMutexLocker>
#include <QSaveFile>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

namespace {
constexpr qint64 kMaxBytes = 256LL * 1024 * 1024;
// Sent results taken out of the waiting file at a time.
constexpr int kGruppe = 25;

// The recording (user-interface thread) adds to the file while the sender
// (its own thread) takes results out; each change is read, changed and
// replaced whole under this lock.
QMutex& dateiSperre() {
    static QMutex m;
    return m;
}

QJsonObject alsJson(const WartendesErgebnis& e) {
    QJsonArray zeilen;
    for (const Tabellenzeile& z : e.zeilen) {
        QJsonArray werte;
        for (const QVariant& w : z.werte) werte.append(QJsonValue::fromVariant(w));
        zeilen.append(QJsonObject{{QStringLiteral("tabelle"), z.tabelle},
                                  {QStringLiteral("spalten"), QJsonArray::fromStringList(z.spalten)},
                                  {QStringLiteral("werte"), werte}});
    }
    return {{QStringLiteral("ergebnis"), e.ergebnis}, {QStringLiteral("zeilen"), zeilen}};
}

struct Gelesen {
    QList<WartendesErgebnis> ergebnisse;
    bool unbrauchbar = false;
    QString fehler;
};

Gelesen lesen(const QString& datei) {
    Gelesen g;
    const FileRead r = readRegularFile(datei, kMaxBytes);
    if (r.status == FileReadStatus::Missing) return g;
    QJsonParseError pe;
    const QJsonDocument doc = r.ok() ? QJsonDocument::fromJson(r.bytes, &pe) : QJsonDocument();
    if (!r.ok() || pe.error != QJsonParseError::NoError || !doc.isObject()) {
        g.unbrauchbar = true;
        g.fehler = QStringLiteral("Die Datei der Ergebnisse, die auf den Klassenserver warten („%1“), ist nicht "
                                  "lesbar; sie bleibt unverändert liegen.")
                       .arg(QDir::toNativeSeparators(datei));
        return g;
    }
    for (const QJsonValue& v : doc.object().value(QStringLiteral("ergebnisse")).toArray()) {
        const QJsonObject o = v.toObject();
        WartendesErgebnis e;
        e.ergebnis = o.value(QStringLiteral("ergebnis")).toString();
        for (const QJsonValue& zv : o.value(QStringLiteral("zeilen")).toArray()) {
            const QJsonObject zo = zv.toObject();
            Tabellenzeile z;
            z.tabelle = zo.value(QStringLiteral("tabelle")).toString();
            for (const QJsonValue& s : zo.value(QStringLiteral("spalten")).toArray()) z.spalten << s.toString();
            for (const QJsonValue& w : zo.value(QStringLiteral("werte")).toArray()) z.werte << w.toVariant();
            z.ergebnis = e.ergebnis;
            if (!z.tabelle.isEmpty() && z.spalten.size() == z.werte.size()) e.zeilen << z;
        }
        if (!e.ergebnis.isEmpty()) g.ergebnisse << e;
    }
    return g;
}

bool schreiben(const QString& datei, const QList<WartendesErgebnis>& ergebnisse) {
    if (ergebnisse.isEmpty()) return !QFileInfo::exists(datei) || QFile::remove(datei);
    QDir().mkpath(QFileInfo(datei).absolutePath());
    QJsonArray a;
    for (const WartendesErgebnis& e : ergebnisse) a.append(alsJson(e));
    QSaveFile f(datei);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(QJsonDocument(QJsonObject{{QStringLiteral("ergebnisse"), a}}).toJson(QJsonDocument::Compact));
    return f.commit();
}

// The value of a column of a row, the column's name compared without regard to case.
QVariant wert(const Tabellenzeile& z, const char* spalte) {
    const QLatin1String s(spalte);
    for (int i = 0; i < z.spalten.size(); ++i)
        if (z.spalten[i].compare(s, Qt::CaseInsensitive) == 0) return z.werte.value(i);
    return QVariant();
}

bool ist(const Tabellenzeile& z, const char* tabelle) {
    return z.tabelle.compare(QLatin1String(tabelle), Qt::CaseInsensitive) == 0;
}

const char* const kFinger[] = {"liha",          "lkleinerfinger", "lringfinger",   "lmittelfinger",
                               "lzeigefinger",  "ldaumenfinger",  "rdaumenfinger", "rzeigefinger",
                               "rmittelfinger", "rringfinger",    "rkleinerfinger", "reha"};

// A value refused for what it is (SQLSTATE classes 22 and 23), not for
// the connection or the login.
bool datenFehler(const QSqlError& e) {
    const QString c = e.nativeErrorCode();
    return c.startsWith(QLatin1String("22")) || c.startsWith(QLatin1String("23"));
}
bool rechteFehler(const QSqlError& e) { return e.nativeErrorCode() == QLatin1String("42501"); }
}  // namespace

QString klassenWarteDatei(const QString& userDataDir) {
    return userDataDir + QStringLiteral("/klasse-wartend.json");
}
QString klassenAbgewiesenDatei(const QString& userDataDir) {
    return userDataDir + QStringLiteral("/klasse-abgewiesen.json");
}

QList<WartendesErgebnis> warteLesen(const QString& datei, QString* fehler) {
    QMutexLocker sperre(&dateiSperre());
    Gelesen g = lesen(datei);
    if (fehler) *fehler = g.fehler;
    return g.ergebnisse;
}

bool warteAnhaengen(const QString& datei, const QList<Tabellenzeile>& zeilen) {
    if (zeilen.isEmpty()) return true;
    QMutexLocker sperre(&dateiSperre());
    Gelesen g = lesen(datei);
    if (g.unbrauchbar) return false;
    for (const Tabellenzeile& z : zeilen) {
        if (z.ergebnis.isEmpty()) continue;
        auto it = std::find_if(g.ergebnisse.begin(), g.ergebnisse.end(),
                               [&](const WartendesErgebnis& e) { return e.ergebnis == z.ergebnis; });
        if (it == g.ergebnisse.end()) it = g.ergebnisse.insert(g.ergebnisse.end(), WartendesErgebnis{z.ergebnis, {}});
        it->zeilen << z;
    }
    return schreiben(datei, g.ergebnisse);
}

namespace {
// Takes a result out of the waiting file (and, when given, keeps it in the
// file of refused ones).
bool herausnehmen(const QString& datei, const QSet<QString>& ergebnisse, const QString& abgewiesenDatei,
                  const QString& grund) {
    QMutexLocker sperre(&dateiSperre());
    Gelesen g = lesen(datei);
    if (g.unbrauchbar) return false;
    if (!abgewiesenDatei.isEmpty()) {
        Gelesen a = lesen(abgewiesenDatei);
        for (const WartendesErgebnis& e : g.ergebnisse)
            if (ergebnisse.contains(e.ergebnis)) {
                WartendesErgebnis b = e;
                b.zeilen.prepend(Tabellenzeile{QStringLiteral("grund"), {QStringLiteral("text"), QStringLiteral("zeit")},
                                               {grund, QDateTime::currentDateTime().toString(Qt::ISODate)}, e.ergebnis});
                a.ergebnisse << b;
            }
        if (a.unbrauchbar || !schreiben(abgewiesenDatei, a.ergebnisse)) return false;
    }
    g.ergebnisse.removeIf([&](const WartendesErgebnis& e) { return ergebnisse.contains(e.ergebnis); });
    return schreiben(datei, g.ergebnisse);
}
}  // namespace

Sendeausgang ergebnisSenden(QSqlDatabase db, const WartendesErgebnis& e, QString* fehler) {
    QList<const Tabellenzeile*> auswertung, finger;
    QJsonArray tasten, paare;
    QHash<QString, QJsonArray> weitere;
    for (const Tabellenzeile& z : e.zeilen) {
        if (ist(z, "Auswertung")) auswertung << &z;
        else if (ist(z, "fehlerliste")) finger << &z;
        else if (ist(z, "Tastenwerte") || ist(z, "Paarwerte")) {
            QJsonObject o;
            for (const char* s : {"vorher", "zeichen", "richtig", "falsch", "zeit_ms", "zeit_n"})
                o.insert(QLatin1String(s), QJsonValue::fromVariant(wert(z, s)));
            o.insert(QStringLiteral("datum"), QJsonValue::fromVariant(wert(z, "datum")));
            (ist(z, "Tastenwerte") ? tasten : paare).append(o);
        } else {
            QJsonObject o;
            for (int i = 0; i < z.spalten.size(); ++i) o.insert(z.spalten[i], QJsonValue::fromVariant(z.werte.value(i)));
            weitere[z.tabelle].append(o);
        }
    }

    auto scheitern = [&](const QSqlError& err) {
        *fehler = err.text().simplified();
        db.rollback();
        if (datenFehler(err)) return Sendeausgang::Abgewiesen;
        if (rechteFehler(err)) return Sendeausgang::Verweigert;
        return Sendeausgang::Verbindung;
    };
    if (!db.transaction()) return scheitern(db.lastError());
    for (const Tabellenzeile* z : auswertung) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral(
            "INSERT INTO velkora.auswertung (ergebnis, datum, zeit, idlektion, maximalpunkte, stoppzeit, zaehler, "
            "fehler, fehlerquote, anschlaege) VALUES (?::uuid, ?::date, ?::time, ?, ?, ?, ?, ?, ?, ?) "
            "ON CONFLICT DO NOTHING"));
        q.addBindValue(e.ergebnis);
        // "ergebnis" of the learner's table is the error percentage.
        for (const char* s : {"datum", "zeit", "IDLektion", "MaximalPunkte", "stoppzeit", "zaehler", "fehler",
                              "ergebnis", "anschlaege"})
            q.addBindValue(wert(*z, s));
        if (!q.exec()) return scheitern(q.lastError());
    }
    for (const Tabellenzeile* z : finger) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral(
            "INSERT INTO velkora.fehlerliste (ergebnis, liha, lkleinerfinger, lringfinger, lmittelfinger, "
            "lzeigefinger, ldaumenfinger, rdaumenfinger, rzeigefinger, rmittelfinger, rringfinger, rkleinerfinger, "
            "reha) VALUES (?::uuid, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT DO NOTHING"));
        q.addBindValue(e.ergebnis);
        for (const char* s : kFinger) q.addBindValue(wert(*z, s));
        if (!q.exec()) return scheitern(q.lastError());
    }
    auto json = [](const QJsonArray& a) {
        return QString::fromUtf8(QJsonDocument(a).toJson(QJsonDocument::Compact));
    };
    if (!tasten.isEmpty()) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral(
            "INSERT INTO velkora.tastenwerte (ergebnis, datum, zeichen, richtig, falsch, zeit_ms, zeit_n) "
            "SELECT ?::uuid, r.datum, r.zeichen, r.richtig, r.falsch, r.zeit_ms, r.zeit_n FROM "
            "jsonb_to_recordset(?::jsonb) AS r(datum date, zeichen text, richtig integer, falsch integer, "
            "zeit_ms bigint, zeit_n integer) ON CONFLICT DO NOTHING"));
        q.addBindValue(e.ergebnis);
        q.addBindValue(json(tasten));
        if (!q.exec()) return scheitern(q.lastError());
    }
    if (!paare.isEmpty()) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral(
            "INSERT INTO velkora.paarwerte (ergebnis, datum, vorher, zeichen, richtig, falsch, zeit_ms, zeit_n) "
            "SELECT ?::uuid, r.datum, r.vorher, r.zeichen, r.richtig, r.falsch, r.zeit_ms, r.zeit_n FROM "
            "jsonb_to_recordset(?::jsonb) AS r(datum date, vorher text, zeichen text, richtig integer, "
            "falsch integer, zeit_ms bigint, zeit_n integer) ON CONFLICT DO NOTHING"));
        q.addBindValue(e.ergebnis);
        q.addBindValue(json(paare));
        if (!q.exec()) return scheitern(q.lastError());
    }
    for (auto it = weitere.cbegin(); it != weitere.cend(); ++it) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral(
            "INSERT INTO velkora.weitere_zeilen (ergebnis, tabelle, nr, zeile) "
            "SELECT ?::uuid, ?, r.nr::integer, r.zeile FROM jsonb_array_elements(?::jsonb) WITH ORDINALITY "
            "AS r(zeile, nr) ON CONFLICT DO NOTHING"));
        q.addBindValue(e.ergebnis);
        q.addBindValue(it.key());
        q.addBindValue(json(it.value()));
        if (!q.exec()) return scheitern(q.lastError());
    }
    if (!db.commit()) return scheitern(db.lastError());
    return Sendeausgang::Gesendet;
}

Sendebericht warteSenden(const Klassenzugang& z, const QString& datei, const QString& abgewiesenDatei,
                         const QString& verbindungsname) {
    Sendebericht b;
    QList<WartendesErgebnis> liste = warteLesen(datei, &b.fehler);
    b.wartend = liste.size();
    if (liste.isEmpty()) return b;
    QSqlDatabase db = QSqlDatabase::contains(verbindungsname) ? QSqlDatabase::database(verbindungsname, false)
                                                              : QSqlDatabase();
    if (!db.isValid() || !db.isOpen()) {
        QString f;
        if (!klasseVerbinden(z, verbindungsname, 4, &f)) {
            b.letzter = Sendeausgang::Verbindung;
            b.fehler = f;
            return b;
        }
        db = QSqlDatabase::database(verbindungsname, false);
    }
    // Results the server has committed leave the file in groups (each
    // rewrite of the file costs its whole length). Should the program die
    // before, the next run sends them again and the server keeps the ones
    // it has.
    QSet<QString> gesendet;
    auto austragen = [&] {
        if (gesendet.isEmpty()) return true;
        const bool ok = herausnehmen(datei, gesendet, QString(), QString());
        if (ok) b.wartend -= int(gesendet.size()), b.gesendet += int(gesendet.size());
        else b.fehler = QStringLiteral("Die Datei der wartenden Ergebnisse lässt sich nicht ändern.");
        gesendet.clear();
        return ok;
    };
    for (const WartendesErgebnis& e : liste) {
        QString f;
        const Sendeausgang a = ergebnisSenden(db, e, &f);
        b.letzter = a;
        if (a == Sendeausgang::Gesendet) {
            gesendet.insert(e.ergebnis);
            if (gesendet.size() >= kGruppe && !austragen()) return b;
            continue;
        }
        if (a == Sendeausgang::Abgewiesen) {
            // Refused for good: kept aside for a person, not sent again.
            if (!herausnehmen(datei, {e.ergebnis}, abgewiesenDatei, f)) {
                b.fehler = QStringLiteral("Die Datei der wartenden Ergebnisse lässt sich nicht ändern.");
                break;
            }
            --b.wartend;
            continue;
        }
        b.fehler = a == Sendeausgang::Verweigert
                       ? QStringLiteral("Der Server nimmt von „%1“ keine Ergebnisse an (kein Login einer "
                                        "Schülerin oder eines Schülers).\n(Meldung des Servers: %2)")
                             .arg(z.login, f)
                       : QStringLiteral("Die Verbindung zum Klassenserver ist unterbrochen.\n(Meldung des Servers: %1)")
                             .arg(f);
        // A broken connection is opened anew next time.
        db.close();
        break;
    }
    austragen();
    return b;
}
