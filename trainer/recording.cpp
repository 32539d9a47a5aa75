#include "trainer/recording.h"
#include "platform/numbers.h"
#include "shell/app.h"
#include "stats/datenblatt.h"
#include "stats/frmStatistik.h"
#include "trainer/frmSchreiben.h"
#include "windows/frmWait.h"

#include "platform/textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QSaveFile>
#include <QHash>
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

QList<AusstehendeZeile> ausstehendeLesen(const QString& datei, QString* fehler) {
    QList<AusstehendeZeile> out;
    const FileRead r = readRegularFile(datei, kAusstehendMaxBytes);
    if (r.status == FileReadStatus::Missing) return out;
    bool gut = r.ok();
    if (gut) {
        QJsonParseError pe;
        const QJsonDocument doc = QJsonDocument::fromJson(r.bytes, &pe);
        gut = pe.error == QJsonParseError::NoError && doc.isObject();
        for (const QJsonValue& v : doc.object().value(QStringLiteral("zeilen")).toArray()) {
            if (const auto a = ausJson(v)) out << *a;
            else gut = false;
        }
    }
    if (gut) ergebnisIdsErgaenzen(out);
    if (!gut) {
        // Kept for a person to look at; the program starts a new list.
        const QString beiseite = datei + QStringLiteral(".defekt-") +
                                 QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        QFile::rename(datei, beiseite);
        if (fehler)
            *fehler = QStringLiteral("Die Datei der noch nicht gespeicherten Ergebnisse „%1“ ist beschädigt; "
                                     "sie wurde als „%2“ beiseitegelegt.")
                          .arg(QDir::toNativeSeparators(datei), QDir::toNativeSeparators(beiseite));
        out.clear();
    }
    return out;
}

bool ausstehendeSchreiben(const QString& datei, const QList<AusstehendeZeile>& zeilen) {
    if (zeilen.isEmpty()) return !QFileInfo::exists(datei) || QFile::remove(datei);
    QJsonArray a;
    for (const AusstehendeZeile& z : zeilen) a.append(alsJson(z));
    QDir().mkpath(QFileInfo(datei).absolutePath());
    QSaveFile f(datei);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(QJsonDocument(QJsonObject{{QStringLiteral("zeilen"), a}}).toJson(QJsonDocument::Compact));
    return f.commit();
}

Ablagebericht ergebnisseAblegen(const QString& datenbankDir, const QString& ausstehendPfad,
                                const QList<Tabellenzeile>& neu) {
    Ablagebericht bericht;
    QString lesefehler;
    const QList<AusstehendeZeile> vorher = ausstehendeLesen(ausstehendPfad, &lesefehler);
    if (!lesefehler.isEmpty()) bericht.meldungen << lesefehler;
    // The rows of this directory, pending first, then the new ones; rows
    // of another directory stay as they are.
    const QString dir = QDir::cleanPath(datenbankDir);
    QList<AusstehendeZeile> fremd;
    QList<Tabellenzeile> zeilen;
    for (const AusstehendeZeile& a : vorher) {
        if (QDir::cleanPath(a.verzeichnis) == dir) zeilen << a.zeile;
        else fremd << a;
    }
    const qsizetype alt = zeilen.size();
    // The given rows are one result: rows without an id get one together.
    const QString id = neueErgebnisId();
    for (Tabellenzeile z : neu) {
        if (z.ergebnis.isEmpty()) z.ergebnis = id;
        zeilen << z;
    }
    if (zeilen.isEmpty()) return bericht;

    const Speicherergebnis e = ergebnisseSpeichern(dir, zeilen);
    QList<AusstehendeZeile> bleiben = fremd;
    for (qsizetype i = 0; i < zeilen.size(); ++i) {
        if (e.gespeichert[i]) bericht.gespeichert << zeilen[i];
        else bleiben << AusstehendeZeile{dir, zeilen[i]};
        if (i >= alt && !e.gespeichert[i]) bericht.neueGespeichert = false;
    }
    // A crash between the commit and this rewrite stores pending rows a
    // second time on the next try; that is the price of never losing one.
    const bool behalten = bleiben == vorher || ausstehendeSchreiben(ausstehendPfad, bleiben);
    // One message per reason, naming the files it concerns.
    QList<QPair<QString, QStringList>> gruende;
    for (const auto& f : e.fehler) {
        auto it = std::find_if(gruende.begin(), gruende.end(), [&](const auto& g) { return g.first == f.grund; });
        if (it == gruende.end()) gruende.append({f.grund, {f.datei}});
        else it->second << f.datei;
    }
    for (const auto& [grund, dateien] : gruende) {
        const QString zusatz =
            behalten ? QStringLiteral("Die Ergebnisse wurden aufbewahrt und werden nachgetragen, sobald die "
                                      "Datenbank wieder beschrieben werden kann (bei der nächsten Übung "
                                      "oder beim nächsten Start).")
                     : QStringLiteral("Sie konnten auch nicht zum späteren Speichern in „%1“ aufbewahrt "
                                      "werden und sind verloren.")
                           .arg(QDir::toNativeSeparators(ausstehendPfad));
        bericht.meldungen << QStringLiteral("Die Ergebnisse dieser Übung konnten nicht in %1 %2 "
                                            "geschrieben werden.\n\n%3\n\n%4")
                                 .arg(dateien.size() > 1 ? QStringLiteral("die Datenbanken")
                                                         : QStringLiteral("die Datenbank"),
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
    QList<Tabellenzeile> neu = ergebnisZeilen(app.ex, QDateTime::currentDateTime(), ergebnis);
    // Rows of further tables of velkora.mdb that belong to this result
    // (what the trainer's listeners gathered during the exercise) go here;
    // they are stored in the same transaction, after the Auswertung row.
    QList<Tabellenzeile> zusatz;
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
    // Reported once the wait window is gone, so no box hides behind it.
    for (const QString& m : b.meldungen) app.services.msgBox(&s, m, Msg::Exclamation);
}

void ausstehendeNachtragen(App& app) {
    if (!QFileInfo::exists(ausstehendDatei(app))) return;
    const Ablagebericht b = ergebnisseAblegen(app.databaseDir(), ausstehendDatei(app), {});
    if (b.gespeichert.isEmpty()) return;
    if (auto* d = app.forms.loaded<frmdaten>()) d->zeilenGespeichert(b.gespeichert);
    if (auto* f = app.forms.loaded<frmblockdat>()) f->zeilenGespeichert(b.gespeichert);
}
