#include "insight/export.h"
#include "lessons/catalogue.h"
#include "platform/numbers.h"
#include "pruefung/abschrift.h"
#include "shell/app.h"
#include "stats/datenbank.h"
#include "trainer/recording.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <array>
#include <cmath>
#include <optional>

QByteArray csvFeld(const QString& text) {
    bool quoten = !text.isEmpty() && (text.front().isSpace() || text.back().isSpace());
    for (qsizetype i = 0; i < text.size() && !quoten; ++i) {
        const char16_t c = text[i].unicode();
        quoten = c == u';' || c == u'"' || c == u'\n' || c == u'\r';
    }
    if (!quoten) return text.toUtf8();
    return '"' + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")).toUtf8() + '"';
}

QByteArray csvZeile(const QStringList& felder) {
    QByteArray z;
    for (qsizetype i = 0; i < felder.size(); ++i) {
        if (i) z += ';';
        z += csvFeld(felder[i]);
    }
    z += "\r\n";
    return z;
}

QString csvZahl(const QVariant& wert, int stellen) {
    if (!wert.isValid() || wert.isNull()) return QString();
    bool ok = false;
    double v = wert.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return QString();
    if (stellen >= 0) v = rundeGerade(v, stellen);
    if (v == 0) v = 0;  // no "-0"
    if (stellen <= 0 && v == std::floor(v) && std::abs(v) < 1e15) return QString::number(qint64(v));
    QString s = stellen >= 0 ? QString::number(v, 'f', stellen)
                             : QLocale::c().toString(v, 'f', QLocale::FloatingPointShortest);
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

QString csvDatum(const QVariant& iso) {
    const QString t = iso.toString();
    const QDate d = QDate::fromString(t, Qt::ISODate);
    return d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : t;
}

QString uebungsName(int nummer) {
    if (nummer == kNrEigenerText) return QStringLiteral("Eigener Text");
    if (nummer == kNrSchwaechen) return QStringLiteral("Schwächen üben");
    if (nummer == kNrAbschrift) return QStringLiteral("Abschrift");
    // Entries that share a number (the parts of a training) share the
    // beginning of their captions.
    QString name;
    bool erster = true;
    for (const Katalogeintrag& e : kLektionskatalog) {
        if (e.nummer != nummer) continue;
        QString eigener = e.gruppe == Gruppe::Lektionen
                              ? e.titelText().remove(QStringLiteral("Velkora 1.0")).simplified()
                              : e.beschriftungText().simplified();
        if (erster) {
            name = eigener;
            erster = false;
            continue;
        }
        qsizetype n = 0;
        while (n < name.size() && n < eigener.size() && name[n] == eigener[n]) ++n;
        name.truncate(n);
    }
    return name.trimmed();
}

QList<int> fingerZuordnung(const QList<qint64>& ids, const QHash<QString, qint64>& velkoraMarker,
                           const QStringList& fingerMarker, bool fingerMarkerDa, int fingerZeilen) {
    QList<int> finger(ids.size(), -1);
    // Markers belong to the newest finger rows; more markers than rows
    // means they cannot be trusted, and the rows go by order alone.
    if (fingerMarker.size() > fingerZeilen) fingerMarkerDa = false;
    const int ohneMarker = fingerMarkerDa ? fingerZeilen - int(fingerMarker.size()) : fingerZeilen;
    QHash<qint64, int> position;
    for (int i = 0; i < ids.size(); ++i) position.insert(ids[i], i);
    QSet<qint64> markiert;
    if (fingerMarkerDa) {
        for (auto it = velkoraMarker.cbegin(); it != velkoraMarker.cend(); ++it) markiert.insert(it.value());
        for (int j = 0; j < fingerMarker.size(); ++j) {
            const auto it = velkoraMarker.constFind(fingerMarker[j]);
            if (it == velkoraMarker.cend()) continue;  // its result is not in velkora.mdb
            const auto p = position.constFind(it.value());
            if (p != position.cend() && finger[p.value()] < 0) finger[p.value()] = ohneMarker + j;
        }
    }
    // The rows from before the markers, in order.
    int naechste = 0;
    for (int i = 0; i < ids.size() && naechste < ohneMarker; ++i)
        if (!markiert.contains(ids[i])) finger[i] = naechste++;
    return finger;
}

QString tastenDateiFuer(const QString& ergebnisDatei) {
    const QFileInfo fi(ergebnisDatei);
    const QString basis = fi.suffix().isEmpty() ? fi.fileName() : fi.completeBaseName();
    const QString endung = fi.suffix().isEmpty() ? QStringLiteral(".csv") : QLatin1Char('.') + fi.suffix();
    return fi.dir().filePath(basis + QStringLiteral("-tasten") + endung);
}

namespace {
const QStringList kFingerSpalten = {
    QStringLiteral("LIHA"),          QStringLiteral("lkleinerfinger"), QStringLiteral("lringfinger"),
    QStringLiteral("lmittelfinger"), QStringLiteral("lzeigefinger"),   QStringLiteral("ldaumenfinger"),
    QStringLiteral("rdaumenfinger"), QStringLiteral("rzeigefinger"),   QStringLiteral("rmittelfinger"),
    QStringLiteral("rringfinger"),   QStringLiteral("rkleinerfinger"), QStringLiteral("REHA")};

const QStringList kErgebnisKopf = {
    QStringLiteral("Nr."), QStringLiteral("Datum"), QStringLiteral("Zeit"), QStringLiteral("Übung"),
    QStringLiteral("Übungsname"), QStringLiteral("Zeichen"), QStringLiteral("Fehler"),
    QStringLiteral("Fehler in %"), QStringLiteral("Anschläge/Min."), QStringLiteral("Dauer (Sek.)"),
    QStringLiteral("Linke Hand"), QStringLiteral("Linker kleiner Finger"), QStringLiteral("Linker Ringfinger"),
    QStringLiteral("Linker Mittelfinger"), QStringLiteral("Linker Zeigefinger"), QStringLiteral("Linker Daumen"),
    QStringLiteral("Rechter Daumen"), QStringLiteral("Rechter Zeigefinger"), QStringLiteral("Rechter Mittelfinger"),
    QStringLiteral("Rechter Ringfinger"), QStringLiteral("Rechter kleiner Finger"), QStringLiteral("Rechte Hand")};

const QStringList kTastenKopf = {
    QStringLiteral("Nr."), QStringLiteral("Datum"), QStringLiteral("Zeit"), QStringLiteral("Übung"),
    QStringLiteral("Art"), QStringLiteral("Vorher"), QStringLiteral("Zeichen"), QStringLiteral("Zeichencode"),
    QStringLiteral("Richtig"), QStringLiteral("Falsch"), QStringLiteral("Fehler in %"),
    QStringLiteral("Mittlere Zeit (ms)"), QStringLiteral("Zeit gesamt (ms)"), QStringLiteral("Gemessene Anschläge")};

// A file written under a temporary name in pieces, put in its place only
// by commit().
class Ausgabe {
public:
    explicit Ausgabe(const QString& pfad) : datei_(pfad) {}
    bool oeffnen() {
        if (!datei_.open(QIODevice::WriteOnly)) return false;
        puffer_.reserve(kStueck + 4096);
        puffer_ = QByteArrayLiteral("\xEF\xBB\xBF");  // UTF-8 byte-order mark
        return true;
    }
    void zeile(const QStringList& felder) {
        puffer_ += csvZeile(felder);
        if (puffer_.size() >= kStueck) leeren();
    }
    bool leeren() {
        if (!puffer_.isEmpty() && datei_.write(puffer_) != puffer_.size()) fehlerhaft_ = true;
        puffer_.clear();
        return !fehlerhaft_;
    }
    bool fertig() { return leeren() && datei_.commit(); }
    bool fehlerhaft() const { return fehlerhaft_ || datei_.error() != QFileDevice::NoError; }
    // Why the file could not be written, in German with the system's words.
    QString grund() const {
        QString g;
        switch (datei_.error()) {
        case QFileDevice::OpenError:
        case QFileDevice::PermissionsError:
            g = QStringLiteral("Der Ordner kann nicht beschrieben werden oder die Datei ist schreibgeschützt.");
            break;
        case QFileDevice::RenameError:
            g = QStringLiteral("Die fertige Datei konnte nicht an ihren Platz gelegt werden.");
            break;
        default: g = QStringLiteral("Beim Schreiben ist ein Fehler aufgetreten (ist der Datenträger voll?)."); break;
        }
        const QString system = datei_.errorString();
        return system.isEmpty() ? g : g + QStringLiteral(" (") + system + QLatin1Char(')');
    }
    QString pfad() const { return datei_.fileName(); }

private:
    static constexpr qsizetype kStueck = 1 << 20;
    QSaveFile datei_;
    QByteArray puffer_;
    bool fehlerhaft_ = false;
};

QString nichtGeschrieben(const Ausgabe& a) {
    return QStringLiteral("Die Datei „%1“ konnte nicht geschrieben werden.\n\n%2")
        .arg(QDir::toNativeSeparators(a.pfad()), a.grund());
}

bool tabelleDa(QSqlDatabase db, const QString& name) {
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"));
    q.addBindValue(name);
    return q.exec() && q.next();
}

// A character of the per-key records as a learner reads it.
QString zeichenText(const QString& z) {
    if (z == QLatin1String(" ")) return QStringLiteral("Leerzeichen");
    if (z == QLatin1String("\n") || z == QLatin1String("\r\n") || z == QLatin1String("\r"))
        return QStringLiteral("Zeilenumbruch");
    if (z == QLatin1String("\t")) return QStringLiteral("Tabulator");
    return z;
}

QString zeichenCode(const QString& z) {
    const QList<uint> codes = z.toUcs4();
    QStringList out;
    for (uint c : codes) out << QStringLiteral("U+%1").arg(c, 4, 16, QLatin1Char('0')).toUpper();
    return out.join(QLatin1Char(' '));
}

QString prozent(const QVariant& falsch, const QVariant& richtig) {
    const double f = falsch.toDouble(), r = richtig.toDouble();
    if (f + r <= 0) return QString();
    return csvZahl(f * 100.0 / (f + r), 2);
}

// The per-key records of one table into the file; the number of rows, or
// nothing with the engine's text in *fehler.
std::optional<qint64> tastenSchreiben(QSqlDatabase db, const QString& tabelle, bool paare, bool mitAblage,
                                      Ausgabe& aus, QString* fehler) {
    const QString vorher = paare ? QStringLiteral("t.vorher") : QStringLiteral("NULL");
    const QString sql =
        mitAblage
            ? QStringLiteral("SELECT a.IDDatensatz, Coalesce(au.Datum, t.datum), au.Zeit, au.IDLektion, %1, "
                             "t.zeichen, t.richtig, t.falsch, t.zeit_ms, t.zeit_n FROM %2 t "
                             "LEFT JOIN Ablage a ON a.ergebnis = t.ergebnis "
                             "LEFT JOIN Auswertung au ON au.IDDatensatz = a.IDDatensatz ORDER BY t.rowid")
            : QStringLiteral("SELECT NULL, t.datum, NULL, NULL, %1, t.zeichen, t.richtig, t.falsch, t.zeit_ms, "
                             "t.zeit_n FROM %2 t ORDER BY t.rowid");
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(sql.arg(vorher, tabelle))) {
        *fehler = engineText(q.lastError());
        return std::nullopt;
    }
    qint64 n = 0;
    const QString art = paare ? QStringLiteral("Paar") : QStringLiteral("Taste");
    while (q.next() && !aus.fehlerhaft()) {
        const QString vor = paare ? q.value(4).toString() : QString();
        const QString z = q.value(5).toString();
        const qint64 zeitN = q.value(9).toLongLong();
        aus.zeile({csvZahl(q.value(0)), csvDatum(q.value(1)), q.value(2).toString(), csvZahl(q.value(3)), art,
                   zeichenText(vor), zeichenText(z), paare ? zeichenCode(vor) + QStringLiteral(" ") + zeichenCode(z)
                                                          : zeichenCode(z),
                   csvZahl(q.value(6)), csvZahl(q.value(7)), prozent(q.value(7), q.value(6)),
                   zeitN > 0 ? csvZahl(q.value(8).toDouble() / double(zeitN), 0) : QString(), csvZahl(q.value(8)),
                   csvZahl(q.value(9))});
        ++n;
    }
    if (q.lastError().isValid()) {
        *fehler = engineText(q.lastError());
        return std::nullopt;
    }
    return n;
}
}  // namespace

Exportbericht ergebnisseExportieren(const QString& datenbankDir, const QString& datei, const QString& tastenDatei) {
    Exportbericht b;
    Verbindung v;
    if (!v.oeffnen(verbindungstext(Verbindungstext::kJet, datenbankDir, Verbindungstext::kVelkora))) {
        b.fehler = datenbankMeldung(v.datei(), v.fehler());
        return b;
    }
    // The finger rows in the order stored, and the result ids of both files.
    QList<std::array<QVariant, 12>> finger;
    QStringList fingerMarker;
    bool fingerMarkerDa = false;
    {
        Verbindung f;
        QString fehler;
        if (f.oeffnen(verbindungstext(Verbindungstext::kJet, datenbankDir, Verbindungstext::kFinger))) {
            QSqlQuery q(f.db());
            q.setForwardOnly(true);
            if (q.exec(QStringLiteral("SELECT %1 FROM fehlerliste ORDER BY rowid").arg(kFingerSpalten.join(u',')))) {
                while (q.next()) {
                    std::array<QVariant, 12> z;
                    for (int i = 0; i < 12; ++i) z[size_t(i)] = q.value(i);
                    finger << z;
                }
            }
            if (q.lastError().isValid()) fehler = engineText(q.lastError());
            if (tabelleDa(f.db(), QStringLiteral("Ablage"))) {
                QSqlQuery m(f.db());
                m.setForwardOnly(true);
                fingerMarkerDa = m.exec(QStringLiteral("SELECT ergebnis FROM Ablage ORDER BY rowid"));
                while (fingerMarkerDa && m.next()) fingerMarker << m.value(0).toString();
            }
        } else {
            fehler = f.fehler();
        }
        if (!fehler.isEmpty()) {
            finger.clear();
            fingerMarkerDa = false;
            b.hinweis = QStringLiteral("Die Fehler der einzelnen Finger fehlen in der Datei.\n\n") +
                        datenbankMeldung(f.datei(), fehler);
        }
    }
    QHash<QString, qint64> velkoraMarker;
    const bool ablageDa = tabelleDa(v.db(), QStringLiteral("Ablage"));
    if (ablageDa) {
        QSqlQuery m(v.db());
        m.setForwardOnly(true);
        if (m.exec(QStringLiteral("SELECT ergebnis, IDDatensatz FROM Ablage")))
            while (m.next()) velkoraMarker.insert(m.value(0).toString(), m.value(1).toLongLong());
    }

    QSqlQuery q(v.db());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT IDDatensatz, Datum, Zeit, IDLektion, MaximalPunkte, fehler, ergebnis, "
                               "anschlaege, stoppzeit FROM Auswertung ORDER BY IDDatensatz"))) {
        b.fehler = datenbankMeldung(v.datei(), engineText(q.lastError()));
        return b;
    }
    QList<QVariantList> zeilen;
    QList<qint64> ids;
    while (q.next()) {
        QVariantList r;
        r.reserve(9);
        for (int i = 0; i < 9; ++i) r << q.value(i);
        ids << r[0].toLongLong();
        zeilen << std::move(r);
    }
    if (q.lastError().isValid()) {
        b.fehler = datenbankMeldung(v.datei(), engineText(q.lastError()));
        return b;
    }
    q.finish();
    const QList<int> zuordnung = fingerZuordnung(ids, velkoraMarker, fingerMarker, fingerMarkerDa, int(finger.size()));

    Ausgabe aus(datei);
    if (!aus.oeffnen()) {
        b.fehler = nichtGeschrieben(aus);
        return b;
    }
    aus.zeile(kErgebnisKopf);
    QHash<int, QString> namen;
    for (int i = 0; i < zeilen.size() && !aus.fehlerhaft(); ++i) {
        const QVariantList& r = zeilen[i];
        const int nr = r[3].toInt();
        auto name = namen.constFind(nr);
        if (name == namen.cend()) name = namen.insert(nr, r[3].isNull() ? QString() : uebungsName(nr));
        const QVariant dauer = r[8].isNull() ? QVariant() : QVariant(rundeGerade(r[8].toDouble() * 60, 1));
        QStringList felder = {csvZahl(r[0]), csvDatum(r[1]), r[2].toString(), csvZahl(r[3]), name.value(),
                              csvZahl(r[4]), csvZahl(r[5]), csvZahl(r[6], 2), csvZahl(r[7]), csvZahl(dauer)};
        if (zuordnung[i] >= 0)
            for (const QVariant& w : finger[zuordnung[i]]) felder << csvZahl(w);
        else
            for (int k = 0; k < 12; ++k) felder << QString();
        aus.zeile(felder);
    }
    if (!aus.leeren()) {
        b.fehler = nichtGeschrieben(aus);
        return b;
    }

    std::optional<Ausgabe> tasten;
    qint64 tastenZeilen = 0;
    if (!tastenDatei.isEmpty()) {
        tasten.emplace(tastenDatei);
        if (!tasten->oeffnen()) {
            b.fehler = nichtGeschrieben(*tasten);
            return b;
        }
        tasten->zeile(kTastenKopf);
        // Tables an earlier version did not make leave the file with its
        // heading alone.
        for (const auto& [tabelle, paare] : {std::pair{QStringLiteral("Tastenwerte"), false},
                                             std::pair{QStringLiteral("Paarwerte"), true}}) {
            if (!tabelleDa(v.db(), tabelle)) continue;
            QString fehler;
            const auto n = tastenSchreiben(v.db(), tabelle, paare, ablageDa, *tasten, &fehler);
            if (!n) {
                b.fehler = datenbankMeldung(v.datei(), fehler);
                return b;
            }
            tastenZeilen += *n;
        }
        if (!tasten->leeren()) {
            b.fehler = nichtGeschrieben(*tasten);
            return b;
        }
    }
    // Both files are complete under their temporary names; now they take
    // their places.
    if (!aus.fertig()) {
        b.fehler = nichtGeschrieben(aus);
        return b;
    }
    b.ergebnisse = zeilen.size();
    if (tasten) {
        if (!tasten->fertig()) {
            b.fehler = QStringLiteral("Die Ergebnisse wurden in „%1“ geschrieben, die Werte der Tasten aber nicht.\n\n")
                           .arg(QDir::toNativeSeparators(datei)) +
                       nichtGeschrieben(*tasten);
            return b;
        }
        b.tastenZeilen = tastenZeilen;
    }
    b.ok = true;
    return b;
}

namespace {
// True when the path names one of the files the program keeps its results
// in: an export must never take their place.
bool istErgebnisablage(const App& app, const QString& pfad) {
    const QString ziel = QFileInfo(pfad).absoluteFilePath();
    QStringList eigene = {ausstehendDatei(app)};
    for (const QString& n : {kVelkoraMdb, kFingerMdb}) {
        const QString f = findeDatei(app.databaseDir() + QLatin1Char('/') + n);
        if (!f.isEmpty()) eigene << f;
    }
    for (const QString& e : eigene) {
        const QFileInfo a(e), b(ziel);
        if (a.exists() && b.exists() ? a.canonicalFilePath() == b.canonicalFilePath()
                                     : a.absoluteFilePath().compare(ziel, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}
}  // namespace

void exportDialog(App& app, QWidget* parent) {
    const QString titel = QStringLiteral("Ergebnisse exportieren");
    QString ordner = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (ordner.isEmpty() || !QFileInfo(ordner).isDir()) ordner = QDir::homePath();
    const QString vorschlag = QDir(ordner).filePath(
        QStringLiteral("Velkora-Ergebnisse-%1.csv").arg(QDate::currentDate().toString(Qt::ISODate)));
    QString datei = app.services.saveFileName(parent, titel, vorschlag,
                                              QStringLiteral("CSV-Dateien (*.csv);;Alle Dateien (*)"));
    if (datei.isEmpty()) return;
    if (QFileInfo(datei).suffix().isEmpty()) datei += QStringLiteral(".csv");
    const QString tasten = tastenDateiFuer(datei);
    if (istErgebnisablage(app, datei) || istErgebnisablage(app, tasten)) {
        app.services.msgBox(parent,
                            QStringLiteral("„%1“ ist eine Datei, in der Velkora Ihre Ergebnisse aufbewahrt; sie wird "
                                           "nicht überschrieben. Bitte wählen Sie einen anderen Namen.")
                                .arg(QDir::toNativeSeparators(datei)),
                            Msg::Exclamation, titel);
        return;
    }
    const bool mitTasten =
        app.services.msgBox(parent,
                            QStringLiteral("Sollen auch die Werte der einzelnen Tasten und Tastenpaare exportiert "
                                           "werden?\n\nSie werden in eine zweite Datei geschrieben: „%1“. Eine "
                                           "Datei dieses Namens wird ersetzt.")
                                .arg(QDir::toNativeSeparators(tasten)),
                            Msg::YesNo | Msg::Question, titel) == Msg::Yes;
    const Exportbericht b = ergebnisseExportieren(app.databaseDir(), datei, mitTasten ? tasten : QString());
    if (!b.ok) {
        app.services.msgBox(parent, QStringLiteral("Die Ergebnisse konnten nicht exportiert werden.\n\n") + b.fehler,
                            Msg::Exclamation, titel);
        return;
    }
    QString text = b.ergebnisse == 1
                       ? QStringLiteral("1 Ergebnis wurde in „%1“ geschrieben.").arg(QDir::toNativeSeparators(datei))
                       : QStringLiteral("%1 Ergebnisse wurden in „%2“ geschrieben.")
                             .arg(QLocale().toString(b.ergebnisse), QDir::toNativeSeparators(datei));
    if (b.tastenZeilen >= 0)
        text += QStringLiteral("\n\nDie Werte der Tasten und Tastenpaare (%1 %2) stehen in „%3“.")
                    .arg(QLocale().toString(b.tastenZeilen),
                         b.tastenZeilen == 1 ? QStringLiteral("Zeile") : QStringLiteral("Zeilen"),
                         QDir::toNativeSeparators(tasten));
    if (!b.hinweis.isEmpty()) text += QStringLiteral("\n\n") + b.hinweis;
    app.services.msgBox(parent, text, b.hinweis.isEmpty() ? Msg::Information : Msg::Exclamation, titel);
}
