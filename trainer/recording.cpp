#include "trainer/recording.h"
#include "platform/numbers.h"
#include "shell/app.h"
#include "stats/datenblatt.h"
#include "stats/frmStatistik.h"
#include "trainer/frmSchreiben.h"
#include "windows/frmWait.h"

#include "platform/textcodec.h"
#include "stats/ablage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QSaveFile>
#include <QHash>
#include <QSet>
#include <QUuid>
#include <algorithm>

Ergebniszeile auswertungZeile(const Uebung& ex, const QDateTime& ende) {
    return {
        {QStringLiteral("datum"), QStringLiteral("zeit"), QStringLiteral("IDLektion"),
         QStringLiteral("MaximalPunkte"), QStringLiteral("stoppzeit"), QStringLiteral("zaehler"),
         QStringLiteral("fehler"), QStringLiteral("ergebnis"), QStringLiteral("Anschlaege")},
        {ende.date().toString(Qt::ISODate), ende.time().toString(QStringLiteral("HH:mm:ss")),
         static_cast<int>(ex.lektionsnr), static_cast<int>(ex.anschlaegeGanz), ex.laufzeit / 60,
         ex.zaehler, ex.fehler, rundeGerade(ex.Fehlerquote * 100, 2),
         static_cast<int>(ex.anschlaegeProMinute)},
    };
}

Ergebniszeile fingerZeile(const Fingerfehler& f) {
    Ergebniszeile z;
    const std::pair<const char*, qint16> spalten[] = {
        {"LIHA", f.LIHA},
        {"lkleinerfinger", f.lkleinerfinger},
        {"lringfinger", f.lringfinger},
        {"lmittelfinger", f.lmittelfinger},
        {"lzeigefinger", f.lzeigefinger},
        {"ldaumenfinger", f.ldaumenfinger},
        {"rdaumenfinger", f.rdaumenfinger},
        {"rzeigefinger", f.rzeigefinger},
        {"rmittelfinger", f.rmittelfinger},
        {"rringfinger", f.rringfinger},
        {"rkleinerfinger", f.rkleinerfinger},
        {"reha", f.REHA},
    };
    for (const auto& [name, wert] : spalten) {
        z.spalten << QString::fromLatin1(name);
        z.werte << static_cast<int>(wert);
    }
    return z;
}

QString neueErgebnisId() { return QUuid::createUuid().toString(QUuid::WithoutBraces); }

QList<Tabellenzeile> ergebnisZeilen(const Uebung& ex, const QDateTime& ende, const QString& ergebnis) {
    const Ergebniszeile a = auswertungZeile(ex, ende);
    const Ergebniszeile f = fingerZeile(ex.finger);
    return {Tabellenzeile{QStringLiteral("Auswertung"), a.spalten, a.werte, ergebnis},
            Tabellenzeile{QStringLiteral("fehlerliste"), f.spalten, f.werte, ergebnis}};
}

namespace {
const QString kAusstehendName = QStringLiteral("ausstehende-ergebnisse.json");
constexpr qint64 kAusstehendMaxBytes = 64LL * 1024 * 1024;

QJsonObject alsJson(const AusstehendeZeile& a) {
    QJsonArray werte;
    for (const QVariant& w : a.zeile.werte) werte.append(QJsonValue::fromVariant(w));
    return QJsonObject{{QStringLiteral("verzeichnis"), a.verzeichnis},
                       {QStringLiteral("ergebnis"), a.zeile.ergebnis},
                       {QStringLiteral("tabelle"), a.zeile.tabelle},
                       {QStringLiteral("spalten"), QJsonArray::fromStringList(a.zeile.spalten)},
                       {QStringLiteral("werte"), werte}};
}

std::optional<AusstehendeZeile> ausJson(const QJsonValue& v) {
    const QJsonObject o = v.toObject();
    const QJsonArray spalten = o.value(QStringLiteral("spalten")).toArray();
    const QJsonArray werte = o.value(QStringLiteral("werte")).toArray();
    AusstehendeZeile a;
    a.verzeichnis = o.value(QStringLiteral("verzeichnis")).toString();
    a.zeile.tabelle = o.value(QStringLiteral("tabelle")).toString();
    a.zeile.ergebnis = o.value(QStringLiteral("ergebnis")).toString();
    for (const QJsonValue& s : spalten) a.zeile.spalten << s.toString();
    for (const QJsonValue& w : werte) a.zeile.werte << w.toVariant();
    if (a.verzeichnis.isEmpty() || a.zeile.tabelle.isEmpty() || a.zeile.spalten.isEmpty() ||
        a.zeile.spalten.size() != a.zeile.werte.size())
        return std::nullopt;
    return a;
}

// Rows kept by an earlier version carry no result id. Each Auswertung row
// and the fehlerliste row right after it (of the same directory) were one
// result; any other row is one on its own. The id is made from the rows'
// content (and how many equal ones came before), so the same file gives
// the same ids at every reading, also when it cannot be rewritten; once
// rewritten, the file keeps them.
void ergebnisIdsErgaenzen(QList<AusstehendeZeile>& zeilen) {
    static const QUuid kRaum = QUuid::fromString(QStringLiteral("6f1d8c52-3b0e-4d8f-9a57-2c4e1b7a9d03"));
    QHash<QByteArray, int> gesehen;
    for (qsizetype i = 0; i < zeilen.size(); ++i) {
        if (!zeilen[i].zeile.ergebnis.isEmpty()) continue;
        qsizetype bis = i + 1;
        if (bis < zeilen.size() && zeilen[bis].zeile.ergebnis.isEmpty() &&
            zeilen[i].zeile.tabelle.compare(QLatin1String("Auswertung"), Qt::CaseInsensitive) == 0 &&
            zeilen[bis].zeile.tabelle.compare(QLatin1String("fehlerliste"), Qt::CaseInsensitive) == 0 &&
            zeilen[bis].verzeichnis == zeilen[i].verzeichnis)
            ++bis;
        QJsonArray inhalt;
        for (qsizetype k = i; k < bis; ++k) inhalt.append(alsJson(zeilen[k]));
        const QByteArray text = QJsonDocument(inhalt).toJson(QJsonDocument::Compact);
        const int vorher = gesehen[text]++;
        const QString id = QUuid::createUuidV5(kRaum, text + '#' + QByteArray::number(vorher))
                               .toString(QUuid::WithoutBraces);
        for (qsizetype k = i; k < bis; ++k) zeilen[k].zeile.ergebnis = id;
        i = bis - 1;
    }
}

// "„a“" or "„a“ und „b“".
QString dateienText(const QStringList& dateien) {
    QStringList t;
    for (const QString& d : dateien) t << QStringLiteral("„%1“").arg(QDir::toNativeSeparators(d));
    return t.join(QStringLiteral(" und "));
}
}  // namespace

QString ausstehendDatei(const App& app) {
    return app.userDataDir() + QLatin1Char('/') + kAusstehendName;
}

QString ausstehendErsatz(const QString& datei) {
    const QFileInfo fi(datei);
    const QFileInfo ordner(fi.absolutePath());
    return ordner.absolutePath() + QLatin1Char('/') + ordner.fileName() + QStringLiteral("-ausstehend/") +
           fi.fileName();
}

namespace {
QString nativ(const QString& pfad) { return QDir::toNativeSeparators(pfad); }

// What reading one pending file gave.
struct Gelesen {
    QList<AusstehendeZeile> zeilen;
    bool vorhanden = false;    // there is something under the name
    bool unbrauchbar = false;  // not readable as pending rows and still there: never written over
    QString meldung;           // German, for the user
};

Gelesen lesen(const QString& datei) {
    Gelesen g;
    const FileRead r = readRegularFile(datei, kAusstehendMaxBytes);
    if (r.status == FileReadStatus::Missing) return g;
    g.vorhanden = true;
    if (r.status == FileReadStatus::NotRegular || r.status == FileReadStatus::Unreadable) {
        // Nothing known about its rows: left as it is, and said so.
        g.unbrauchbar = true;
        g.meldung = QStringLiteral("Die Datei der noch nicht gespeicherten Ergebnisse kann nicht gelesen werden: %1 "
                                   "Was darin steht, wird erst nachgetragen, wenn sie wieder gelesen werden kann.")
                        .arg(fileReadMessage(r.status, nativ(datei)));
        return g;
    }
    bool gut = r.ok();
    if (gut) {
        QJsonParseError pe;
        const QJsonDocument doc = QJsonDocument::fromJson(r.bytes, &pe);
        gut = pe.error == QJsonParseError::NoError && doc.isObject();
        for (const QJsonValue& v : doc.object().value(QStringLiteral("zeilen")).toArray()) {
            if (const auto a = ausJson(v)) g.zeilen << *a;
            else gut = false;
        }
    }
    if (gut) {
        ergebnisIdsErgaenzen(g.zeilen);
        return g;
    }
    // Kept for a person to look at; the program starts a new list.
    g.zeilen.clear();
    const QString beiseite = datei + QStringLiteral(".defekt-") +
                             QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QFile f(datei);
    if (f.rename(beiseite)) {
        g.vorhanden = false;
        g.meldung = QStringLiteral("Die Datei der noch nicht gespeicherten Ergebnisse „%1“ ist beschädigt; "
                                   "sie wurde als „%2“ beiseitegelegt.")
                        .arg(nativ(datei), nativ(beiseite));
    } else {
        g.unbrauchbar = true;
        g.meldung = QStringLiteral("Die Datei der noch nicht gespeicherten Ergebnisse „%1“ ist beschädigt und kann "
                                   "nicht beiseitegelegt werden (Meldung des Systems: %2). Sie bleibt unverändert "
                                   "liegen, damit nichts darin verloren geht.")
                        .arg(nativ(datei), f.errorString());
    }
    return g;
}

// Why a file cannot be written: German first, then the system's text.
QString schreibGrund(const QString& datei, const QString& system) {
    const QFileInfo fi(datei);
    const QFileInfo ordner(fi.absolutePath());
    QString de;
    if (ordner.exists() && !ordner.isDir()) de = QStringLiteral("an Stelle ihres Ordners steht eine Datei");
    else if (!ordner.exists()) de = QStringLiteral("ihr Ordner kann nicht angelegt werden");
    else if (!verzeichnisBeschreibbar(ordner.absoluteFilePath())) de = QStringLiteral("ihr Ordner ist schreibgeschützt");
    else if (fi.exists() && !fi.isWritable()) de = QStringLiteral("sie ist schreibgeschützt");
    else if (fi.exists()) de = QStringLiteral("sie ist gesperrt oder unveränderlich");
    else de = QStringLiteral("der Datenträger ist voll");
    return system.isEmpty() ? de : QStringLiteral("%1 (Meldung des Systems: %2)").arg(de, system);
}

bool schreiben(const QString& datei, const QJsonObject& inhalt, QString* grund) {
    if (!QDir().mkpath(QFileInfo(datei).absolutePath())) {
        *grund = schreibGrund(datei, QString());
        return false;
    }
    QSaveFile f(datei);
    if (f.open(QIODevice::WriteOnly)) {
        f.write(QJsonDocument(inhalt).toJson(QJsonDocument::Compact));
        if (f.commit()) return true;
    }
    *grund = schreibGrund(datei, f.errorString());
    return false;
}

bool zeilenSchreiben(const QString& datei, const QList<AusstehendeZeile>& zeilen, QString* grund) {
    if (zeilen.isEmpty()) {
        QFile f(datei);
        if (!f.exists() || f.remove()) return true;
        *grund = schreibGrund(datei, f.errorString());
        return false;
    }
    QJsonArray a;
    for (const AusstehendeZeile& z : zeilen) a.append(alsJson(z));
    return schreiben(datei, QJsonObject{{QStringLiteral("zeilen"), a}}, grund);
}

// ---- rows the database refused, kept for a person ----

const QString kAbgewiesenName = QStringLiteral("abgewiesene-ergebnisse");

QByteArray zeilenSchluessel(const AusstehendeZeile& a) {
    return QJsonDocument(alsJson(a)).toJson(QJsonDocument::Compact);
}

// The rows kept so far in the files of refused rows of a folder.
QSet<QByteArray> abgewieseneIn(const QString& ordner, QStringList* dateien) {
    QSet<QByteArray> out;
    const QDir d(ordner);
    for (const QString& n : d.entryList({kAbgewiesenName + QStringLiteral("*.json")}, QDir::Files)) {
        const FileRead r = readRegularFile(d.filePath(n), kAusstehendMaxBytes);
        const QJsonDocument doc = QJsonDocument::fromJson(r.bytes);
        if (dateien) *dateien << n;
        for (const QJsonValue& v : doc.object().value(QStringLiteral("zeilen")).toArray())
            if (const auto a = ausJson(v)) out.insert(zeilenSchluessel(*a));
    }
    return out;
}

// Appends refused rows (with their reason) to the file of refused rows of
// the first folder that takes them. Rows kept there before are not added
// again (zeilen keeps only the new ones, to be told). Returns the file, or
// empty with *grund when none could take them.
QString beiseitelegen(const QStringList& ordner, QList<QPair<AusstehendeZeile, QString>>& zeilen,
                      QString* grund) {
    QSet<QByteArray> schon;
    QString gefunden;
    for (const QString& o : ordner) {
        QStringList dateien;
        schon.unite(abgewieseneIn(o, &dateien));
        if (gefunden.isEmpty() && !dateien.isEmpty()) gefunden = o + QLatin1Char('/') + dateien.first();
    }
    QList<QPair<AusstehendeZeile, QString>> neu;
    for (const auto& z : zeilen)
        if (!schon.contains(zeilenSchluessel(z.first))) neu << z;
    zeilen = neu;
    if (neu.isEmpty()) return gefunden;
    for (const QString& o : ordner) {
        QString datei = o + QLatin1Char('/') + kAbgewiesenName + QStringLiteral(".json");
        QJsonArray a;
        if (QFileInfo::exists(datei)) {
            QJsonParseError pe;
            const QJsonDocument doc = QJsonDocument::fromJson(readRegularFile(datei, kAusstehendMaxBytes).bytes, &pe);
            if (pe.error == QJsonParseError::NoError && doc.isObject())
                a = doc.object().value(QStringLiteral("zeilen")).toArray();
            else  // never written over: a file of its own beside it
                datei = o + QLatin1Char('/') + kAbgewiesenName + QLatin1Char('-') +
                        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")) +
                        QStringLiteral(".json");
        }
        const QString jetzt = QDateTime::currentDateTime().toString(Qt::ISODate);
        for (const auto& [zeile, warum] : neu) {
            QJsonObject j = alsJson(zeile);
            j.insert(QStringLiteral("grund"), warum);
            j.insert(QStringLiteral("abgewiesen"), jetzt);
            a.append(j);
        }
        if (schreiben(datei, QJsonObject{{QStringLiteral("zeilen"), a}}, grund)) return datei;
    }
    return QString();
}

// "vom 17.05.2024, 14:03:07" from the result's Auswertung row, if given.
QString ergebnisZeit(const QList<Tabellenzeile>& zeilen, const QString& ergebnis) {
    for (const Tabellenzeile& z : zeilen) {
        if (z.ergebnis != ergebnis || z.tabelle.compare(QLatin1String("Auswertung"), Qt::CaseInsensitive) != 0)
            continue;
        QString datum, zeit;
        for (int i = 0; i < z.spalten.size() && i < z.werte.size(); ++i) {
            if (z.spalten[i].compare(QLatin1String("datum"), Qt::CaseInsensitive) == 0) datum = z.werte[i].toString();
            if (z.spalten[i].compare(QLatin1String("zeit"), Qt::CaseInsensitive) == 0) zeit = z.werte[i].toString();
        }
        const QDate d = QDate::fromString(datum, Qt::ISODate);
        if (d.isValid()) datum = d.toString(QStringLiteral("dd.MM.yyyy"));
        if (datum.isEmpty()) return QString();
        return zeit.isEmpty() ? QStringLiteral(" vom %1").arg(datum) : QStringLiteral(" vom %1, %2").arg(datum, zeit);
    }
    return QString();
}

QString datenbankDatei(const QString& dir, const QString& tabelle) {
    const QString name = dateiFuerTabelle(tabelle) == Ergebnisdatei::Finger ? kFingerMdb : kVelkoraMdb;
    const QString f = findeDatei(dir + QLatin1Char('/') + name);
    return f.isEmpty() ? dir + QLatin1Char('/') + name : f;
}

QString schluessel(const AusstehendeZeile& a) { return a.verzeichnis + QLatin1Char('\n') + a.zeile.ergebnis; }
}  // namespace

QList<AusstehendeZeile> ausstehendeLesen(const QString& datei, QString* fehler) {
    Gelesen g = lesen(datei);
    if (fehler) *fehler = g.meldung;
    return g.zeilen;
}

bool ausstehendeSchreiben(const QString& datei, const QList<AusstehendeZeile>& zeilen) {
    QString grund;
    return zeilenSchreiben(datei, zeilen, &grund);
}

Ablagebericht ergebnisseAblegen(const QString& datenbankDir, const QString& ausstehendPfad,
                                const QList<Tabellenzeile>& neu) {
    Ablagebericht bericht;
    const QString ersatzPfad = ausstehendErsatz(ausstehendPfad);
    const Gelesen haupt = lesen(ausstehendPfad);
    const Gelesen ersatz = lesen(ersatzPfad);
    for (const Gelesen* g : {&haupt, &ersatz})
        if (!g->meldung.isEmpty()) bericht.meldungen << g->meldung;
    // The substitute file is written only when the main one cannot be: a
    // result in both is taken from it. Rows of the main file that are not
    // there were stored before (and are skipped as such) or came later.
    QSet<QString> imErsatz;
    for (const AusstehendeZeile& a : ersatz.zeilen) imErsatz.insert(schluessel(a));
    QList<AusstehendeZeile> vorher;
    QList<bool> ausHaupt;
    for (const AusstehendeZeile& a : haupt.zeilen)
        if (!imErsatz.contains(schluessel(a))) {
            vorher << a;
            ausHaupt << true;
        }
    for (const AusstehendeZeile& a : ersatz.zeilen) {
        vorher << a;
        ausHaupt << false;
    }

    // The rows of this directory, pending first, then the new ones; rows
    // of another directory stay as they are.
    const QString dir = QDir::cleanPath(datenbankDir);
    QList<AusstehendeZeile> fremd;
    QList<Tabellenzeile> zeilen;
    QList<bool> zeileAusHaupt;
    for (qsizetype i = 0; i < vorher.size(); ++i) {
        if (QDir::cleanPath(vorher[i].verzeichnis) == dir) {
            zeilen << vorher[i].zeile;
            zeileAusHaupt << ausHaupt[i];
        } else {
            fremd << vorher[i];
        }
    }
    const qsizetype alt = zeilen.size();
    // The given rows are one result: rows without an id get one together.
    const QString id = neueErgebnisId();
    for (Tabellenzeile z : neu) {
        if (z.ergebnis.isEmpty()) z.ergebnis = id;
        zeilen << z;
    }
    if (zeilen.isEmpty() && !ersatz.vorhanden) return bericht;

    const Speicherergebnis e = zeilen.isEmpty() ? Speicherergebnis{} : ergebnisseSpeichern(dir, zeilen);

    // Refused rows go aside, each result with one message.
    QList<QPair<AusstehendeZeile, QString>> abgewiesen;
    for (qsizetype i = 0; i < zeilen.size(); ++i)
        if (!e.abgelehnt.value(i).isEmpty()) abgewiesen.append({AusstehendeZeile{dir, zeilen[i]}, e.abgelehnt[i]});
    QString beiseiteGrund;
    const QString beiseite =
        abgewiesen.isEmpty() ? QString()
                             : beiseitelegen({QFileInfo(ausstehendPfad).absolutePath(), QFileInfo(ersatzPfad).absolutePath()},
                                             abgewiesen, &beiseiteGrund);
    QSet<QByteArray> neuBeiseite;
    for (const auto& z : abgewiesen) neuBeiseite.insert(zeilenSchluessel(z.first));
    QStringList gemeldet;
    for (const auto& [a, warum] : abgewiesen) {
        if (gemeldet.contains(a.zeile.ergebnis + a.zeile.tabelle)) continue;
        gemeldet << a.zeile.ergebnis + a.zeile.tabelle;
        const bool diese = neu.size() && a.zeile.ergebnis == zeilen.last().ergebnis;
        const QString wer = diese ? QStringLiteral("Das Ergebnis dieser Übung")
                                  : QStringLiteral("Ein noch nicht gespeichertes Ergebnis%1")
                                        .arg(ergebnisZeit(zeilen, a.zeile.ergebnis));
        const QString wohin =
            beiseite.isEmpty()
                ? QStringLiteral("Es konnte nicht beiseitegelegt werden (%1) und bleibt aufbewahrt.").arg(beiseiteGrund)
                : QStringLiteral("Es wurde zum Nachsehen in „%1“ beiseitegelegt; die Ergebnisse danach wurden "
                                 "gespeichert.")
                      .arg(nativ(beiseite));
        bericht.meldungen << QStringLiteral("%1 (Tabelle „%2“) wurde von der Datenbank „%3“ abgewiesen und nicht "
                                            "gespeichert: ein Wert darin ist nicht zulässig.\n(Meldung der Datenbank: "
                                            "%4)\n\n%5")
                                 .arg(wer, a.zeile.tabelle, nativ(datenbankDatei(dir, a.zeile.tabelle)), warum, wohin);
    }

    QList<AusstehendeZeile> bleiben = fremd;
    bool ausHauptGespeichert = false;
    for (qsizetype i = 0; i < zeilen.size(); ++i) {
        const bool gespeichert = e.gespeichert.value(i);
        const bool weg = !e.abgelehnt.value(i).isEmpty() && !beiseite.isEmpty();
        if (gespeichert) bericht.gespeichert << zeilen[i];
        else if (!weg) bleiben << AusstehendeZeile{dir, zeilen[i]};
        if (i >= alt && !gespeichert) bericht.neueGespeichert = false;
        const bool neuErledigt = gespeichert ? !e.bereitsGespeichert.value(i)
                                             : weg && neuBeiseite.contains(zeilenSchluessel({dir, zeilen[i]}));
        if (i < alt && zeileAusHaupt[i] && neuErledigt) ausHauptGespeichert = true;
    }
    // Rewritten after the commit: a crash in between leaves rows here that
    // the databases mark as stored, so they are skipped next time.
    QString hauptGrund, ersatzGrund;
    QString aufbewahrt;  // where the rows that wait are now, empty if nowhere
    bool hauptGeht = !haupt.unbrauchbar;
    if (hauptGeht) {
        if (bleiben == haupt.zeilen && !ersatz.vorhanden) {
            aufbewahrt = ausstehendPfad;
        } else if (zeilenSchreiben(ausstehendPfad, bleiben, &hauptGrund)) {
            aufbewahrt = ausstehendPfad;
            if (ersatz.vorhanden) QFile::remove(ersatzPfad);  // what stays there is marked as stored
        } else {
            hauptGeht = false;
        }
    } else {
        hauptGrund = QStringLiteral("sie ist beschädigt oder nicht lesbar");
    }
    if (!hauptGeht) {
        if ((bleiben == ersatz.zeilen && ersatz.vorhanden) || (bleiben.isEmpty() && !ersatz.vorhanden) ||
            zeilenSchreiben(ersatzPfad, bleiben, &ersatzGrund))
            aufbewahrt = ersatzPfad;
        if (ausHauptGespeichert && !haupt.unbrauchbar)
            bericht.meldungen << QStringLiteral("Die Datei der noch nicht gespeicherten Ergebnisse „%1“ kann nicht "
                                                "geändert werden: %2.\n\nDie Ergebnisse darin sind jetzt gespeichert "
                                                "und werden nicht noch einmal gespeichert; die Datei kann gelöscht "
                                                "werden.%3")
                                     .arg(nativ(ausstehendPfad), hauptGrund,
                                          bleiben.isEmpty() ? QString()
                                                            : QStringLiteral(" Was noch aussteht, wird in „%1“ "
                                                                             "aufbewahrt.")
                                                                  .arg(nativ(ersatzPfad)));
    }
    if (neu.isEmpty()) return bericht;  // at start-up a database that still fails is tried again later

    // One message per reason, naming the files it concerns.
    QList<QPair<QString, QStringList>> gruende;
    for (const auto& f : e.fehler) {
        auto it = std::find_if(gruende.begin(), gruende.end(), [&](const auto& g) { return g.first == f.grund; });
        if (it == gruende.end()) gruende.append({f.grund, {f.datei}});
        else it->second << f.datei;
    }
    for (const auto& [grund, dateien] : gruende) {
        const bool mehrere = dateien.size() > 1;
        const QString sobald = mehrere ? QStringLiteral("die Datenbanken wieder beschrieben werden können")
                                       : QStringLiteral("die Datenbank wieder beschrieben werden kann");
        QString zusatz;
        if (aufbewahrt == ausstehendPfad)
            zusatz = QStringLiteral("Die Ergebnisse wurden aufbewahrt und werden nachgetragen, sobald %1 (bei der "
                                    "nächsten Übung oder beim nächsten Start).")
                         .arg(sobald);
        else if (!aufbewahrt.isEmpty())
            zusatz = QStringLiteral("Die Ergebnisse wurden in „%1“ aufbewahrt, weil „%2“ nicht geändert werden kann "
                                    "(%3), und werden nachgetragen, sobald %4 (bei der nächsten Übung oder beim "
                                    "nächsten Start).")
                         .arg(nativ(ersatzPfad), nativ(ausstehendPfad), hauptGrund, sobald);
        else
            zusatz = QStringLiteral("Sie konnten auch nicht zum späteren Speichern aufbewahrt werden, weder in „%1“ "
                                    "(%2) noch in „%3“ (%4), und sind verloren.")
                         .arg(nativ(ausstehendPfad), hauptGrund, nativ(ersatzPfad), ersatzGrund);
        bericht.meldungen << QStringLiteral("Die Ergebnisse dieser Übung konnten nicht in %1 %2 "
                                            "geschrieben werden.\n\n%3\n\n%4")
                                 .arg(mehrere ? QStringLiteral("die Datenbanken") : QStringLiteral("die Datenbank"),
                                      dateienText(dateien), grund, zusatz);
    }
    return bericht;
}

namespace {
// A browser that is loaded takes the stored rows; one that is not is
// loaded (hidden) and reads them from its file.
template <class Browser>
void browserNachziehen(App& app, const QList<Tabellenzeile>& gespeichert) {
    const QString tabelle = Browser::kArt().tabelle;
    const bool betroffen = std::any_of(gespeichert.begin(), gespeichert.end(), [&](const Tabellenzeile& z) {
        return z.tabelle.compare(tabelle, Qt::CaseInsensitive) == 0;
    });
    if (!betroffen) return;
    if (Browser* b = app.forms.template loaded<Browser>()) {
        b->zeilenGespeichert(gespeichert);
        return;
    }
    Browser& b = app.forms.template get<Browser>();
    if (b.adoPrimaryRS.istOffen() && !b.adoPrimaryRS.eof()) b.adoPrimaryRS.moveLast();
}

}  // namespace

void ergebnisseAufzeichnen(App& app) {
    // 1, 2: the wait window with its clip.
    app.forms.get<frmWait>().zeigen(QStringLiteral("Die Ergebnisse werden in die Datenbank geschrieben..."),
                                    app.datei(QStringLiteral("\\FILEMOVE.AVI")));
    // 3, 4: both rows in one transaction, after any still pending; what
    // cannot be stored is kept for later.
    const QString ergebnis = neueErgebnisId();
    const QDateTime jetzt = QDateTime::currentDateTime();
    QList<Tabellenzeile> neu = ergebnisZeilen(app.ex, jetzt, ergebnis);
    // Rows of further tables of velkora.mdb that belong to this result
    // (what the trainer's listeners gathered during the exercise) go here;
    // they are stored in the same transaction, after the Auswertung row.
    QList<Tabellenzeile> zusatz = app.ereignisse.ergebniszeilen(ergebnis, jetzt.date());
    for (Tabellenzeile& z : zusatz) z.ergebnis = ergebnis;
    neu << zusatz;
    const Ablagebericht b = ergebnisseAblegen(app.databaseDir(), ausstehendDatei(app), neu);
    // The record browsers show what was stored.
    browserNachziehen<frmdaten>(app, b.gespeichert);
    browserNachziehen<frmblockdat>(app, b.gespeichert);
    // 5: the exercise is over, stored or not.
    frmSchreiben& s = app.forms.get<frmSchreiben>();
    s.Text2->setText(QStringLiteral("DB_ENDE"));
    // 6: the overview is hidden (and loaded for that if it was not).
    app.forms.get<frmStatistik>().verbergen();
    // 7
    app.forms.unload<frmWait>();
    // Listeners copy what is stored now (the class server's sender).
    app.ereignisse.ergebnisGespeichert(b.gespeichert);
    // Reported once the wait window is gone, so no box hides behind it.
    for (const QString& m : b.meldungen) app.services.msgBox(&s, m, Msg::Exclamation);
}

void ausstehendeNachtragen(App& app) {
    const QString datei = ausstehendDatei(app);
    if (!QFileInfo::exists(datei) && !QFileInfo::exists(ausstehendErsatz(datei))) return;
    const Ablagebericht b = ergebnisseAblegen(app.databaseDir(), datei, {});
    // A database that still fails is tried again later, without a word;
    // refused rows and a file that cannot be changed are told.
    for (const QString& m : b.meldungen) app.services.msgBox(nullptr, m, Msg::Exclamation);
    if (auto* d = app.forms.loaded<frmdaten>()) d->zeilenGespeichert(b.gespeichert);
    if (auto* f = app.forms.loaded<frmblockdat>()) f->zeilenGespeichert(b.gespeichert);
    app.ereignisse.ergebnisGespeichert(b.gespeichert);
}
