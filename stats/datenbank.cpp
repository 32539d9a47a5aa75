#include "stats/datenbank.h"
#include "platform/textcodec.h"
#include "stats/zusatztabellen.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <algorithm>
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
    art_ = Fehlerart::Fehlt;
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
        art_ = ::fehlerart(d.lastError());
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
            art_ = ::fehlerart(q.lastError());
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
// The INSERT of a row's columns into schema.tabelle.
QString einfuegeText(const QString& schema, const QString& tabelle, const QStringList& spalten) {
    QStringList namen, platz;
    for (const QString& s : spalten) {
        namen << quoteIdent(s);
        platz << QStringLiteral("?");
    }
    const QString ziel = schema.isEmpty() ? quoteIdent(tabelle)
                                          : quoteIdent(schema) + QLatin1Char('.') + quoteIdent(tabelle);
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(ziel, namen.join(QLatin1Char(',')), platz.join(QLatin1Char(',')));
}

void zurueckrollen(QSqlDatabase db) {
    QSqlQuery zurueck(db);
    zurueck.exec(QStringLiteral("ROLLBACK"));  // fails harmlessly when nothing is open
}

// The engine's primary result code of an error; -1 when it gives none.
int fehlercode(const QSqlError& e) {
    bool ok = false;
    const int code = e.nativeErrorCode().toInt(&ok);
    return ok ? (code & 0xFF) : -1;
}

// The database refuses the row itself: a failed check or constraint, a
// value of the wrong kind or too big. Other rows may well be stored.
bool zeileAbgelehnt(const QSqlError& e) {
    const int c = fehlercode(e);
    if (c == 19 || c == 20 || c == 18 || c == 25) return true;  // CONSTRAINT, MISMATCH, TOOBIG, RANGE
    const QString t = e.databaseText();
    return c < 0 && (t.contains(QLatin1String("constraint failed")) || t.contains(QLatin1String("datatype mismatch")));
}
}  // namespace

Fehlerart fehlerart(const QSqlError& e) {
    switch (fehlercode(e)) {
    case 5: case 6: return Fehlerart::Gesperrt;            // BUSY, LOCKED
    case 13: return Fehlerart::Voll;                       // FULL
    case 8: case 14: return Fehlerart::Schreibgeschuetzt;  // READONLY, CANTOPEN (no journal beside it)
    case 11: case 26: return Fehlerart::Beschaedigt;       // CORRUPT, NOTADB
    default: break;
    }
    const QString t = e.databaseText();
    if (t.contains(QLatin1String("is locked"))) return Fehlerart::Gesperrt;
    if (t.contains(QLatin1String("disk is full"))) return Fehlerart::Voll;
    if (t.contains(QLatin1String("readonly"))) return Fehlerart::Schreibgeschuetzt;
    if (t.contains(QLatin1String("not a database")) || t.contains(QLatin1String("malformed")))
        return Fehlerart::Beschaedigt;
    if (t.contains(QLatin1String("no such table")) || t.contains(QLatin1String("no column named")) ||
        t.contains(QLatin1String("no such column")))
        return Fehlerart::Aufbau;
    return Fehlerart::Sonstig;
}

QString fehlerartText(Fehlerart art) {
    switch (art) {
    case Fehlerart::Gesperrt:
        return QStringLiteral("Die Datenbank ist gesperrt: ein anderes Programm benutzt sie gerade.");
    case Fehlerart::Voll: return QStringLiteral("Der Datenträger ist voll.");
    case Fehlerart::Fehlt: return QStringLiteral("Die Datei ist nicht vorhanden.");
    case Fehlerart::Beschaedigt: return QStringLiteral("Die Datei ist beschädigt oder keine Datenbank.");
    case Fehlerart::Schreibgeschuetzt:
        return QStringLiteral("Die Datei oder ihr Ordner ist schreibgeschützt.");
    case Fehlerart::Aufbau: return QStringLiteral("Der Datenbank fehlt eine Tabelle oder Spalte.");
    case Fehlerart::Sonstig: break;
    }
    return QStringLiteral("Die Datenbank meldet einen Fehler.");
}

Ergebnisdatei dateiFuerTabelle(const QString& tabelle) {
    return gleich(tabelle, QStringLiteral("fehlerliste")) ? Ergebnisdatei::Finger : Ergebnisdatei::Velkora;
}

QString zeileAnfuegen(QSqlDatabase db, const QString& tabelle, const QStringList& spalten,
                      const QVariantList& werte) {
    if (!db.isOpen()) return QStringLiteral("Die Datenbank ist nicht geöffnet.");
    if (spalten.size() != werte.size() || spalten.isEmpty())
        return QStringLiteral("Spalten und Werte passen nicht zusammen.");
    QSqlQuery steuer(db);
    // IMMEDIATE takes the write lock at once, so a locked file is waited
    // for (busy timeout) before anything is written.
    if (!steuer.exec(QStringLiteral("BEGIN IMMEDIATE"))) return engineText(steuer.lastError());
    QString fehler;
    QSqlQuery ins(db);
    if (!ins.prepare(einfuegeText(QString(), tabelle, spalten))) {
        fehler = engineText(ins.lastError());
    } else {
        for (const QVariant& w : werte) ins.addBindValue(w);
        if (!ins.exec()) fehler = engineText(ins.lastError());
    }
    if (fehler.isEmpty() && !steuer.exec(QStringLiteral("COMMIT"))) fehler = engineText(steuer.lastError());
    if (!fehler.isEmpty()) zurueckrollen(db);
    return fehler;
}

namespace {
// The columns the recording writes into the two tables: a pending row
// naming another column is at fault itself, not the file.
bool bekannteSpalten(const QString& tabelle, const QStringList& spalten) {
    const QString liste = gleich(tabelle, QStringLiteral("fehlerliste")) ? Sql::kFehlerliste : Sql::kAuswertung;
    const QStringList bekannt = liste.section(QLatin1Char(' '), 1, 1).split(QLatin1Char(','));
    return std::all_of(spalten.begin(), spalten.end(),
                       [&](const QString& s) { return bekannt.contains(s, Qt::CaseInsensitive); });
}

// One of the two results databases as a target of ergebnisseSpeichern().
struct Ziel {
    Ergebnisdatei art;
    QString suffix;   // in the connection description
    QString tabelle;  // the table every result has a row in
    QList<int> zeilen;
    QString datei;
    QString schema;  // on the shared connection; empty: not usable
    QString grund;
    Fehlerart fehler = Fehlerart::Sonstig;
};

// True when another connection holds a write lock on the file just now.
bool schreibGesperrt(const QString& datei) {
    static std::atomic<int> zaehler{0};
    const QString name = QStringLiteral("velkora-probe-%1").arg(++zaehler);
    bool gesperrt = false;
    {
        QSqlDatabase d = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        d.setDatabaseName(QUrl::fromLocalFile(datei).toString(QUrl::FullyEncoded) + QStringLiteral("?mode=rw"));
        d.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=0"));
        if (d.open()) {
            QSqlQuery q(d);
            gesperrt = !q.exec(QStringLiteral("BEGIN IMMEDIATE")) && fehlerart(q.lastError()) == Fehlerart::Gesperrt;
            q.exec(QStringLiteral("ROLLBACK"));
        }
        d.close();
    }
    QSqlDatabase::removeDatabase(name);
    return gesperrt;
}

bool vergeht(Fehlerart a) { return a == Fehlerart::Gesperrt || a == Fehlerart::Voll; }

struct Fehlschlag {
    QString grund;
    Fehlerart art = Fehlerart::Sonstig;
    Ziel* ziel = nullptr;  // the file at fault; nullptr: all of the transaction
};

QString grundText(Fehlerart art, const QString& engine) {
    return fehlerartText(art) + QStringLiteral("\n(Meldung der Datenbank: %1)").arg(engine);
}

Fehlschlag fehlschlag(const QSqlError& e, Ziel* z) {
    const Fehlerart a = fehlerart(e);
    return Fehlschlag{grundText(a, engineText(e)), a, z};
}

// The statements of one transaction, each prepared once.
class Anweisungen {
public:
    explicit Anweisungen(QSqlDatabase db) : db_(db) {}
    // nullptr when the statement cannot be prepared; *fehler says why.
    QSqlQuery* get(const QString& sql, QSqlError* fehler) {
        auto it = cache_.find(sql);
        if (it == cache_.end()) {
            QSqlQuery q(db_);
            if (!q.prepare(sql)) {
                *fehler = q.lastError();
                return nullptr;
            }
            it = cache_.insert(sql, q);
        }
        return &it.value();
    }

private:
    QSqlDatabase db_;
    QHash<QString, QSqlQuery> cache_;
};

// Runs a prepared statement with the given values.
bool ausfuehren(QSqlQuery* q, const QVariantList& werte, QSqlError* fehler) {
    for (int i = 0; i < werte.size(); ++i) q->bindValue(i, werte[i]);
    if (q->exec()) return true;
    *fehler = q->lastError();
    return false;
}

// One result's rows of one file: the table every result has first, then
// the rest in their order.
struct Gruppe {
    QString ergebnis;
    QList<int> kern, weitere;
};

QList<Gruppe> gruppen(const Ziel& z, const QList<Tabellenzeile>& zeilen) {
    QList<Gruppe> out;
    QHash<QString, qsizetype> platz;
    for (int i : z.zeilen) {
        const QString& id = zeilen[i].ergebnis;
        qsizetype g = -1;
        if (!id.isEmpty()) g = platz.value(id, -1);
        if (g < 0) {
            g = out.size();
            out.append(Gruppe{id, {}, {}});
            if (!id.isEmpty()) platz.insert(id, g);
        }
        (gleich(zeilen[i].tabelle, z.tabelle) ? out[g].kern : out[g].weitere) << i;
    }
    return out;
}

// Stores the rows of the given targets in one transaction; on success
// fills gespeichert and abgelehnt for their rows.
std::optional<Fehlschlag> transaktion(QSqlDatabase db, const QList<Ziel*>& teil,
                                      const QList<Tabellenzeile>& zeilen, QList<bool>& gespeichert,
                                      QStringList& abgelehnt, QList<bool>& bereits) {
    QSqlQuery steuer(db);
    // IMMEDIATE takes the write lock of every file at once, so a locked
    // file is waited for (busy timeout) before anything is written.
    if (!steuer.exec(QStringLiteral("BEGIN IMMEDIATE"))) return fehlschlag(steuer.lastError(), nullptr);
    QList<bool> gesp = gespeichert;
    QStringList abgl = abgelehnt;
    QList<bool> ber = bereits;
    Anweisungen anw(db);
    auto scheitern = [&](const QSqlError& e, Ziel* z) {
        zurueckrollen(db);
        return fehlschlag(e, z);
    };
    for (Ziel* z : teil) {
        // Made where missing; a file that cannot take them stores its rows as before.
        zusatztabellenAnlegen(db, z->schema, z->art);
        const QString ablage = quoteIdent(z->schema) + QStringLiteral(".Ablage");
        QSqlError e;
        QSqlQuery* markiert = anw.get(QStringLiteral("SELECT 1 FROM %1 WHERE ergebnis = ?").arg(ablage), &e);
        const bool mitMarke = markiert != nullptr;
        for (const Gruppe& g : gruppen(*z, zeilen)) {
            const bool marke = mitMarke && !g.ergebnis.isEmpty();
            if (marke) {
                if (!ausfuehren(markiert, {g.ergebnis}, &e)) return scheitern(e, z);
                const bool schon = markiert->next();
                markiert->finish();
                if (schon) {
                    for (int i : g.kern + g.weitere) gesp[i] = ber[i] = true;
                    continue;
                }
            }
            // The result's rows in this file stand or fall together. A single
            // first row needs no savepoint: the engine undoes a refused
            // statement on its own, and nothing of the result came before it.
            const bool sicherung = g.kern.size() > 1;
            if (sicherung && !steuer.exec(QStringLiteral("SAVEPOINT ergebnis"))) return scheitern(steuer.lastError(), z);
            QString abgelehntWeil;
            for (int i : g.kern) {
                const Tabellenzeile& t = zeilen[i];
                if (t.spalten.isEmpty() || t.spalten.size() != t.werte.size()) {
                    abgelehntWeil = QStringLiteral("Spalten und Werte passen nicht zusammen.");
                    break;
                }
                QSqlQuery* q = anw.get(einfuegeText(z->schema, z->tabelle, t.spalten), &e);
                if (q && ausfuehren(q, t.werte, &e)) continue;
                const bool fremdeSpalte = fehlerart(e) == Fehlerart::Aufbau && !bekannteSpalten(t.tabelle, t.spalten);
                if (!zeileAbgelehnt(e) && !fremdeSpalte) return scheitern(e, z);
                abgelehntWeil = engineText(e);
                break;
            }
            if (abgelehntWeil.isEmpty() && marke) {
                // In velkora.mdb right after the result's Auswertung row, with its key.
                const bool mitSchluessel = z->art == Ergebnisdatei::Velkora;
                const QString sql = mitSchluessel
                    ? QStringLiteral("INSERT INTO %1 (ergebnis, IDDatensatz) VALUES (?, %2)")
                          .arg(ablage, g.kern.isEmpty() ? QStringLiteral("NULL") : QStringLiteral("last_insert_rowid()"))
                    : QStringLiteral("INSERT INTO %1 (ergebnis) VALUES (?)").arg(ablage);
                QSqlQuery* q = anw.get(sql, &e);
                if (!q || !ausfuehren(q, {g.ergebnis}, &e)) return scheitern(e, z);
            }
            if (!abgelehntWeil.isEmpty()) {
                if (sicherung && (!steuer.exec(QStringLiteral("ROLLBACK TO ergebnis")) ||
                                  !steuer.exec(QStringLiteral("RELEASE ergebnis"))))
                    return scheitern(steuer.lastError(), z);
                for (int i : g.kern + g.weitere) abgl[i] = abgelehntWeil;
                continue;
            }
            for (int i : g.kern) gesp[i] = true;
            // Rows of further tables: one the file refuses is left out alone
            // (the engine undoes just that statement).
            for (int i : g.weitere) {
                const Tabellenzeile& t = zeilen[i];
                if (t.spalten.isEmpty() || t.spalten.size() != t.werte.size()) {
                    abgl[i] = QStringLiteral("Spalten und Werte passen nicht zusammen.");
                    continue;
                }
                QSqlQuery* q = anw.get(einfuegeText(z->schema, t.tabelle, t.spalten), &e);
                if (q && ausfuehren(q, t.werte, &e)) {
                    gesp[i] = true;
                    continue;
                }
                const Fehlerart a = fehlerart(e);
                if (vergeht(a) || a == Fehlerart::Beschaedigt || a == Fehlerart::Schreibgeschuetzt)
                    return scheitern(e, z);
                abgl[i] = engineText(e);
            }
            if (sicherung && !steuer.exec(QStringLiteral("RELEASE ergebnis"))) return scheitern(steuer.lastError(), z);
        }
    }
    if (!steuer.exec(QStringLiteral("COMMIT"))) return scheitern(steuer.lastError(), nullptr);
    gespeichert = gesp;
    abgelehnt = abgl;
    bereits = ber;
    return std::nullopt;
}
}  // namespace

Speicherergebnis ergebnisseSpeichern(const QString& verzeichnis, const QList<Tabellenzeile>& zeilen) {
    Speicherergebnis out;
    out.gespeichert = QList<bool>(zeilen.size(), false);
    out.abgelehnt = QStringList(zeilen.size(), QString());
    out.bereitsGespeichert = QList<bool>(zeilen.size(), false);
    std::array<Ziel, 2> ziele;
    ziele[0].art = Ergebnisdatei::Velkora;
    ziele[0].suffix = Verbindungstext::kVelkora;
    ziele[0].tabelle = QStringLiteral("Auswertung");
    ziele[1].art = Ergebnisdatei::Finger;
    ziele[1].suffix = Verbindungstext::kFinger;
    ziele[1].tabelle = QStringLiteral("fehlerliste");
    for (int i = 0; i < zeilen.size(); ++i)
        ziele[dateiFuerTabelle(zeilen[i].tabelle) == Ergebnisdatei::Velkora ? 0 : 1].zeilen << i;

    // The first usable file is the connection's own, the other is attached.
    Verbindung v;
    for (Ziel& z : ziele) {
        if (z.zeilen.isEmpty()) continue;
        const QString beschreibung = verbindungstext(Verbindungstext::kJet, verzeichnis, z.suffix);
        if (!v.istOffen()) {
            if (v.oeffnen(beschreibung)) {
                z.schema = QStringLiteral("main");
            } else {
                z.fehler = v.fehlerart();
                z.grund = z.fehler == Fehlerart::Fehlt ? v.fehler() : grundText(z.fehler, v.fehler());
            }
            z.datei = v.datei();
            continue;
        }
        bool gefunden = false;
        z.datei = dateiFuer(beschreibung, &gefunden, &z.grund);
        if (!gefunden) {
            z.fehler = Fehlerart::Fehlt;
            continue;
        }
        QSqlQuery q(v.db());
        // Named after its file, as the engine's messages show it.
        const QString schema = z.art == Ergebnisdatei::Velkora ? QStringLiteral("velkora") : QStringLiteral("finger");
        q.prepare(QStringLiteral("ATTACH DATABASE ? AS ") + schema);
        q.addBindValue(QUrl::fromLocalFile(z.datei).toString(QUrl::FullyEncoded) + QStringLiteral("?mode=rw"));
        // Reading the schema version reads the file: a file that is no
        // database is refused here, a locked one waited for.
        if (q.exec() && q.exec(QStringLiteral("PRAGMA %1.synchronous=FULL").arg(schema)) &&
            q.exec(QStringLiteral("PRAGMA %1.schema_version").arg(schema))) {
            z.schema = schema;
        } else {
            z.fehler = fehlerart(q.lastError());
            z.grund = grundText(z.fehler, engineText(q.lastError()));
        }
    }

    QList<Ziel*> bereit;
    bool gesperrt = false;
    for (Ziel& z : ziele) {
        if (!z.schema.isEmpty()) bereit << &z;
        gesperrt = gesperrt || (!z.grund.isEmpty() && vergeht(z.fehler));
    }
    auto scheitern = [&](Ziel* z, const Fehlschlag& f) {
        if (z->grund.isEmpty()) {
            z->grund = f.grund;
            z->fehler = f.art;
        }
        z->schema.clear();
    };
    // A lock passes: the rows wait together rather than be stored apart.
    if (gesperrt) bereit.clear();
    if (!bereit.isEmpty()) {
        if (auto f = transaktion(v.db(), bereit, zeilen, out.gespeichert, out.abgelehnt, out.bereitsGespeichert)) {
            if (vergeht(f->art) || bereit.size() == 1) {
                // Nothing of the transaction was stored. A lock taken at the
                // start is told by the file that holds it.
                if (!f->ziel && f->art == Fehlerart::Gesperrt && bereit.size() > 1)
                    for (Ziel* z : bereit)
                        if (schreibGesperrt(z->datei)) f->ziel = z;
                for (Ziel* z : bereit)
                    if (!f->ziel || f->ziel == z) scheitern(z, *f);
                for (Ziel* z : bereit) z->schema.clear();
                gesperrt = gesperrt || vergeht(f->art);
            } else {
                // A lasting fault of one file must not keep the other's rows out.
                for (Ziel* z : bereit)
                    if (auto g = transaktion(v.db(), {z}, zeilen, out.gespeichert, out.abgelehnt, out.bereitsGespeichert)) scheitern(z, *g);
            }
        }
    }
    for (Ziel& z : ziele) {
        if (z.zeilen.isEmpty()) continue;
        if (!z.schema.isEmpty() && !gesperrt) continue;  // stored, skipped or refused row by row
        for (int i : z.zeilen) {
            out.gespeichert[i] = out.bereitsGespeichert[i] = false;
            out.abgelehnt[i].clear();
        }
        if (!z.grund.isEmpty()) out.fehler << Speicherergebnis::Fehler{z.datei, z.grund, z.fehler};
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
