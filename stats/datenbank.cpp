#include "stats/datenbank.h"
#include "platform/textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <array>
#include <atomic>
#include <sys/stat.h>

namespace {
const QString kJetProvider = QStringLiteral("Microsoft.Jet.OLEDB.4.0");
const QString kShapeProvider = QStringLiteral("MSDataShape");

bool gleich(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

QString ohneSemikolon(QString s) {
    s = s.trimmed();
    while (s.endsWith(QLatin1Char(';'))) s.chop(1);
    return s;
}

QString quoteIdent(const QString& name) {
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}
}  // namespace

QString verbindungstext(const QString& prefix, const QString& dir, const QString& suffix) {
    const qsizetype semi = suffix.indexOf(QLatin1Char(';'));
    const QString datei = semi < 0 ? suffix : suffix.left(semi);
    const QString rest = semi < 0 ? QString() : suffix.mid(semi);
    QString wert = dir + datei;
    const bool quoten = wert.contains(QLatin1Char(';')) || wert.contains(QLatin1Char('"')) ||
                        wert.contains(QLatin1Char('\'')) || wert != wert.trimmed();
    if (quoten)
        wert = QLatin1Char('"') + wert.replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
               QLatin1Char('"');
    return prefix + wert + rest;
}

std::optional<Verbindungsangaben> zerlegeVerbindung(const QString& text, QString* fehler) {
    auto scheitern = [&](const QString& grund) -> std::optional<Verbindungsangaben> {
        if (fehler) *fehler = grund;
        return std::nullopt;
    };
    Verbindungsangaben out;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        // key
        const qsizetype gleichheit = text.indexOf(QLatin1Char('='), i);
        const qsizetype semi = text.indexOf(QLatin1Char(';'), i);
        if (gleichheit < 0 || (semi >= 0 && semi < gleichheit)) {
            // A part without "=": only blanks are allowed there.
            const QString teil = text.mid(i, (semi < 0 ? n : semi) - i).trimmed();
            if (!teil.isEmpty())
                return scheitern(QStringLiteral("Die Verbindungsangabe „%1“ hat keinen Wert.").arg(teil));
            if (semi < 0) break;
            i = semi + 1;
            continue;
        }
        const QString key = text.mid(i, gleichheit - i).trimmed();
        i = gleichheit + 1;
        while (i < n && text[i] == QLatin1Char(' ')) ++i;
        QString value;
        if (i < n && (text[i] == QLatin1Char('"') || text[i] == QLatin1Char('\''))) {
            const QChar q = text[i++];
            bool geschlossen = false;
            while (i < n) {
                if (text[i] == q) {
                    if (i + 1 < n && text[i + 1] == q) {
                        value += q;
                        i += 2;
                        continue;
                    }
                    ++i;
                    geschlossen = true;
                    break;
                }
                value += text[i++];
            }
            if (!geschlossen)
                return scheitern(QStringLiteral("Ein Anführungszeichen in der Verbindungsangabe ist nicht geschlossen."));
            while (i < n && text[i] == QLatin1Char(' ')) ++i;
            if (i < n && text[i] != QLatin1Char(';'))
                return scheitern(QStringLiteral("Nach dem Wert von „%1“ folgt kein Semikolon.").arg(key));
        } else {
            const qsizetype ende = text.indexOf(QLatin1Char(';'), i);
            value = text.mid(i, (ende < 0 ? n : ende) - i).trimmed();
            i = ende < 0 ? n : ende;
        }
        if (i < n) ++i;  // the semicolon
        if (gleich(key, QStringLiteral("Provider"))) out.provider = value;
        else if (gleich(key, QStringLiteral("Data Source"))) out.dataSource = value;
        else if (gleich(key, QStringLiteral("Data Provider"))) out.dataProvider = value;
        // Other keys (user, password, modes) have no meaning for the files.
    }
    if (out.dataSource.isEmpty())
        return scheitern(QStringLiteral("Die Verbindungsangabe nennt keine Datenquelle."));
    const bool jet = gleich(out.provider, kJetProvider);
    const bool shape = gleich(out.provider, kShapeProvider) && gleich(out.dataProvider, kJetProvider);
    if (!jet && !shape)
        return scheitern(QStringLiteral("Der Datenanbieter „%1“ wird nicht unterstützt.")
                             .arg(out.dataProvider.isEmpty() ? out.provider : out.dataProvider));
    return out;
}

QString findeDatei(const QString& pfad) {
    QString p = pfad;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QFileInfo fi(p);
    if (fi.fileName().isEmpty()) return QString();
    if (fi.isFile()) return fi.absoluteFilePath();
    const QDir dir = fi.absoluteDir();
    QStringList treffer;
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (gleich(name, fi.fileName())) treffer << name;
    if (treffer.isEmpty()) return QString();
    treffer.sort();  // the same choice every time when names differ only in case
    return dir.absoluteFilePath(treffer.first());
}

QString shapeAlsSql(const QString& shape) {
    static const QRegularExpression re(
        QStringLiteral(R"(^\s*SHAPE\s*\{(.+)\}\s*AS\s+(\w+)\s+COMPUTE\s+\2\s*,\s*)"
                       R"((AVG|COUNT|SUM|MIN|MAX)\s*\(\s*\2\s*\.\s*\[?(\w+)\]?\s*\)\s*)"
                       R"(AS\s*\[?(\w[\w ]*?)\]?\s+BY\s*\[?(\w+)\]?\s*;?\s*$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto m = re.match(shape);
    if (!m.hasMatch()) return QString();
    const QString kind = m.captured(1).trimmed();
    const QString agg = m.captured(3).toUpper();
    const QString spalte = m.captured(4);
    const QString name = m.captured(5);
    const QString key = m.captured(6);
    return QStringLiteral("SELECT %1 AS %1, %2(%3) AS %4 FROM (%5) GROUP BY %1 ORDER BY %1")
        .arg(quoteIdent(key), agg, quoteIdent(spalte), quoteIdent(name), kind);
}

bool istGesperrt(const QSqlError& e) {
    // SQLITE_BUSY (5) and SQLITE_LOCKED (6), also as extended codes.
    bool ok = false;
    const int code = e.nativeErrorCode().toInt(&ok);
    if (ok && ((code & 0xFF) == 5 || (code & 0xFF) == 6)) return true;
    return e.databaseText().contains(QLatin1String("is locked"));
}

QString fehltGrund(const QString& datei) {
    const QFileInfo fi(datei);
    QString art = notRegularKind(datei);
    QString name = fi.fileName();
    if (art.isEmpty()) {
        // The name may stand in another case, as a folder for instance.
        const QDir dir = fi.absoluteDir();
        for (const QString& n : dir.entryList(QDir::AllEntries | QDir::System | QDir::Hidden |
                                              QDir::NoDotAndDotDot)) {
            if (!gleich(n, fi.fileName())) continue;
            art = notRegularKind(dir.filePath(n));
            if (!art.isEmpty()) {
                name = n;
                break;
            }
        }
    }
    if (art.isEmpty()) return QStringLiteral("Die Datei ist nicht vorhanden.");
    return QStringLiteral("„%1“ ist %2, keine Datenbankdatei.").arg(name, art);
}

namespace {
// The file a connection description names: as found, or as looked for
// with the reason in *grund.
QString dateiFuer(const QString& beschreibung, bool* gefunden, QString* grund) {
    *gefunden = false;
    const auto angaben = zerlegeVerbindung(beschreibung, grund);
    if (!angaben) return QString();
    const QString gesucht =
        QDir::cleanPath(QString(angaben->dataSource).replace(QLatin1Char('\\'), QLatin1Char('/')));
    const QString datei = findeDatei(gesucht);
    if (datei.isEmpty()) {
        *grund = fehltGrund(gesucht);
        return gesucht;
    }
    *gefunden = true;
    return datei;
}

// Device and inode of a file; false when there is none.
bool identitaet(const QString& datei, quint64& geraet, quint64& knoten) {
    struct stat st {};
    if (::stat(QFile::encodeName(datei).constData(), &st) != 0) return false;
    geraet = quint64(st.st_dev);
    knoten = quint64(st.st_ino);
    return true;
}
}  // namespace

QString engineText(const QSqlError& e) {
    QString t = e.databaseText().trimmed();
    if (t.isEmpty()) t = e.driverText().trimmed();
    // A failure must never read as success, even without a text.
    return t.isEmpty() ? QStringLiteral("Unbekannter Datenbankfehler.") : t;
}

// ---- connection ----

Verbindung::~Verbindung() { schliessen(); }

QSqlDatabase Verbindung::db() const {
    return offen_ ? QSqlDatabase::database(name_, false) : QSqlDatabase();
}

void Verbindung::schliessen() {
    if (name_.isEmpty()) return;
    {
        QSqlDatabase d = QSqlDatabase::database(name_, false);
        if (d.isOpen()) d.close();
    }
    QSqlDatabase::removeDatabase(name_);
    name_.clear();
    offen_ = false;
}

bool Verbindung::oeffnen(const QString& beschreibung) {
    schliessen();
    fehler_.clear();
    gesperrt_ = false;
    beschreibung_ = beschreibung;
    bool gefunden = false;
    datei_ = dateiFuer(beschreibung, &gefunden, &fehler_);
    if (!gefunden) return false;

    static std::atomic<int> zaehler{0};
    name_ = QStringLiteral("velkora-db-%1").arg(++zaehler);
    QSqlDatabase d = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    // "mode=rw": an existing file only; opening never creates one.
    d.setDatabaseName(QUrl::fromLocalFile(datei_).toString(QUrl::FullyEncoded) +
                      QStringLiteral("?mode=rw"));
    d.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!d.open()) {
        fehler_ = engineText(d.lastError());
        gesperrt_ = istGesperrt(d.lastError());
        d = QSqlDatabase();
        schliessen();
        return false;
    }
    {
        QSqlQuery q(d);
        // Reading the schema version reads the file header: a file that is
        // no database is refused here rather than at the first query.
        if (!q.exec(QStringLiteral("PRAGMA synchronous=FULL")) ||
            !q.exec(QStringLiteral("PRAGMA schema_version"))) {
            fehler_ = engineText(q.lastError());
            gesperrt_ = istGesperrt(q.lastError());
            q = QSqlQuery();
            d = QSqlDatabase();
            schliessen();
            return false;
        }
    }
    identitaet(datei_, geraet_, knoten_);
    offen_ = true;
    return true;
}

bool Verbindung::ersetzt() const {
    if (!offen_) return false;
    quint64 g = 0, k = 0;
    return !identitaet(datei_, g, k) || g != geraet_ || k != knoten_;
}

bool Verbindung::auffrischen() {
    if (!ersetzt()) return offen_;
    const QString b = beschreibung_;
    return oeffnen(b);
}

namespace {
// One INSERT of a row into schema.tabelle, without a transaction of its own.
QString einfuegen(QSqlDatabase db, const QString& schema, const QString& tabelle,
                  const QStringList& spalten, const QVariantList& werte) {
    if (spalten.size() != werte.size() || spalten.isEmpty())
        return QStringLiteral("Spalten und Werte passen nicht zusammen.");
    QStringList namen, platz;
    for (const QString& s : spalten) {
        namen << quoteIdent(s);
        platz << QStringLiteral("?");
    }
    const QString ziel = schema.isEmpty() ? quoteIdent(tabelle)
                                          : quoteIdent(schema) + QLatin1Char('.') + quoteIdent(tabelle);
    QSqlQuery ins(db);
    if (!ins.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                         .arg(ziel, namen.join(QLatin1Char(',')), platz.join(QLatin1Char(',')))))
        return engineText(ins.lastError());
    for (const QVariant& w : werte) ins.addBindValue(w);
    if (!ins.exec()) return engineText(ins.lastError());
    return QString();
}

void zurueckrollen(QSqlDatabase db) {
    QSqlQuery zurueck(db);
    zurueck.exec(QStringLiteral("ROLLBACK"));  // fails harmlessly when nothing is open
}
}  // namespace

QString zeileAnfuegen(QSqlDatabase db, const QString& tabelle, const QStringList& spalten,
                      const QVariantList& werte) {
    if (!db.isOpen()) return QStringLiteral("Die Datenbank ist nicht geöffnet.");
    if (spalten.size() != werte.size() || spalten.isEmpty())
        return QStringLiteral("Spalten und Werte passen nicht zusammen.");
    QSqlQuery steuer(db);
    // IMMEDIATE takes the write lock at once, so a locked file is waited
    // for (busy timeout) before anything is written.
    if (!steuer.exec(QStringLiteral("BEGIN IMMEDIATE"))) return engineText(steuer.lastError());
    QString fehler = einfuegen(db, QString(), tabelle, spalten, werte);
    if (fehler.isEmpty() && !steuer.exec(QStringLiteral("COMMIT"))) fehler = engineText(steuer.lastError());
    if (!fehler.isEmpty()) zurueckrollen(db);
    return fehler;
}

namespace {
// One of the two results databases as a target of ergebnisseSpeichern().
struct Ziel {
    QString suffix;   // in the connection description
    QString tabelle;  // the table its rows go to
    QList<int> zeilen;
    QString datei;
    QString schema;  // on the shared connection; empty: not usable
    QString grund;
    bool gesperrt = false;
};

struct Fehlschlag {
    QString grund;
    bool gesperrt = false;
    Ziel* ziel = nullptr;  // the file at fault; nullptr: all of the transaction
};

// Stores the rows of the given targets in one transaction.
std::optional<Fehlschlag> transaktion(QSqlDatabase db, const QList<Ziel*>& teil,
                                      const QList<Tabellenzeile>& zeilen) {
    QSqlQuery steuer(db);
    // IMMEDIATE takes the write lock of every file at once, so a locked
    // file is waited for (busy timeout) before anything is written.
    if (!steuer.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return Fehlschlag{engineText(steuer.lastError()), istGesperrt(steuer.lastError())};
    for (Ziel* z : teil)
        for (int i : z->zeilen) {
            const QString f = einfuegen(db, z->schema, z->tabelle, zeilen[i].spalten, zeilen[i].werte);
            if (!f.isEmpty()) {
                zurueckrollen(db);
                return Fehlschlag{f, f.contains(QLatin1String("is locked")), z};
            }
        }
    if (!steuer.exec(QStringLiteral("COMMIT"))) {
        Fehlschlag f{engineText(steuer.lastError()), istGesperrt(steuer.lastError())};
        zurueckrollen(db);
        return f;
    }
    return std::nullopt;
}
}  // namespace

Speicherergebnis ergebnisseSpeichern(const QString& verzeichnis, const QList<Tabellenzeile>& zeilen) {
    Speicherergebnis out;
    out.gespeichert = QList<bool>(zeilen.size(), false);
    std::array<Ziel, 2> ziele;
    ziele[0].suffix = Verbindungstext::kVelkora;
    ziele[0].tabelle = QStringLiteral("Auswertung");
    ziele[1].suffix = Verbindungstext::kFinger;
    ziele[1].tabelle = QStringLiteral("fehlerliste");
    for (int i = 0; i < zeilen.size(); ++i)
        for (Ziel& z : ziele)
            if (gleich(zeilen[i].tabelle, z.tabelle)) z.zeilen << i;

    // The first usable file is the connection's own, the other is attached.
    Verbindung v;
    for (Ziel& z : ziele) {
        if (z.zeilen.isEmpty()) continue;
        const QString beschreibung = verbindungstext(Verbindungstext::kJet, verzeichnis, z.suffix);
        if (!v.istOffen()) {
            if (v.oeffnen(beschreibung)) {
                z.schema = QStringLiteral("main");
            } else {
                z.grund = v.fehler();
                z.gesperrt = v.gesperrt();
            }
            z.datei = v.datei();
            continue;
        }
        bool gefunden = false;
        z.datei = dateiFuer(beschreibung, &gefunden, &z.grund);
        if (!gefunden) continue;
        QSqlQuery q(v.db());
        // Named after its file, as the engine's messages show it.
        const QString schema = z.tabelle == QLatin1String("Auswertung") ? QStringLiteral("velkora")
                                                                         : QStringLiteral("finger");
        q.prepare(QStringLiteral("ATTACH DATABASE ? AS ") + schema);
        q.addBindValue(QUrl::fromLocalFile(z.datei).toString(QUrl::FullyEncoded) + QStringLiteral("?mode=rw"));
        // Reading the schema version reads the file: a file that is no
        // database is refused here, a locked one waited for.
        if (q.exec() && q.exec(QStringLiteral("PRAGMA %1.synchronous=FULL").arg(schema)) &&
            q.exec(QStringLiteral("PRAGMA %1.schema_version").arg(schema))) {
            z.schema = schema;
        } else {
            z.grund = engineText(q.lastError());
            z.gesperrt = istGesperrt(q.lastError());
        }
    }

    QList<Ziel*> bereit;
    bool gesperrt = false;
    for (Ziel& z : ziele) {
        if (!z.schema.isEmpty()) bereit << &z;
        gesperrt = gesperrt || z.gesperrt;
    }
    auto scheitern = [&](Ziel* z, const QString& grund) {
        if (z->grund.isEmpty()) z->grund = grund;
        z->schema.clear();
    };
    // A lock passes: the rows wait together rather than be stored apart.
    if (gesperrt) bereit.clear();
    if (!bereit.isEmpty()) {
        if (auto f = transaktion(v.db(), bereit, zeilen)) {
            if (f->gesperrt || bereit.size() == 1) {
                // Nothing of the transaction was stored.
                for (Ziel* z : bereit)
                    if (!f->ziel || f->ziel == z) scheitern(z, f->grund);
                for (Ziel* z : bereit) z->schema.clear();
            } else {
                // A lasting fault of one file must not keep the other's rows out.
                for (Ziel* z : bereit)
                    if (auto g = transaktion(v.db(), {z}, zeilen)) scheitern(z, g->grund);
            }
        }
    }
    for (Ziel& z : ziele) {
        if (z.zeilen.isEmpty()) continue;
        if (!z.schema.isEmpty() && !gesperrt) {
            for (int i : z.zeilen) out.gespeichert[i] = true;
        } else if (!z.grund.isEmpty()) {
            out.fehler << Speicherergebnis::Fehler{z.datei, z.grund};
        }
        // Otherwise held back with the rows of a file at fault, which says why.
    }
    return out;
}

std::optional<qint64> zeilenAnzahl(QSqlDatabase db, const QString& anweisung, QString* fehler) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM (%1)").arg(ohneSemikolon(anweisung))) || !q.next()) {
        if (fehler) *fehler = engineText(q.lastError());
        return std::nullopt;
    }
    return q.value(0).toLongLong();
}

QString datenbankMeldung(const QString& datei, const QString& fehler) {
    return QStringLiteral("Die Datenbank „%1“ kann nicht gelesen werden.\n\n%2")
        .arg(QDir::toNativeSeparators(datei), fehler);
}
