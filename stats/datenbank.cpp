#include "stats/datenbank.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <atomic>

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
    datei_.clear();
    QString grund;
    const auto angaben = zerlegeVerbindung(beschreibung, &grund);
    if (!angaben) {
        fehler_ = grund;
        return false;
    }
    datei_ = QDir::cleanPath(QString(angaben->dataSource).replace(QLatin1Char('\\'), QLatin1Char('/')));
    const QString gefunden = findeDatei(datei_);
    if (gefunden.isEmpty()) {
        fehler_ = QStringLiteral("Die Datei ist nicht vorhanden.");
        return false;
    }
    datei_ = gefunden;

    static std::atomic<int> zaehler{0};
    name_ = QStringLiteral("velkora-db-%1").arg(++zaehler);
    QSqlDatabase d = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    // "mode=rw": an existing file only; opening never creates one.
    d.setDatabaseName(QUrl::fromLocalFile(datei_).toString(QUrl::FullyEncoded) +
                      QStringLiteral("?mode=rw"));
    d.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!d.open()) {
        fehler_ = engineText(d.lastError());
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
            q = QSqlQuery();
            d = QSqlDatabase();
            schliessen();
            return false;
        }
    }
    offen_ = true;
    return true;
}

QString zeileAnfuegen(QSqlDatabase db, const QString& tabelle, const QStringList& spalten,
                      const QVariantList& werte) {
    if (!db.isOpen()) return QStringLiteral("Die Datenbank ist nicht geöffnet.");
    if (spalten.size() != werte.size() || spalten.isEmpty())
        return QStringLiteral("Spalten und Werte passen nicht zusammen.");
    QStringList namen, platz;
    for (const QString& s : spalten) {
        namen << quoteIdent(s);
        platz << QStringLiteral("?");
    }
    const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(quoteIdent(tabelle), namen.join(QLatin1Char(',')),
                                 platz.join(QLatin1Char(',')));
    QSqlQuery steuer(db);
    // IMMEDIATE takes the write lock at once, so a locked file is waited
    // for (busy timeout) before anything is written.
    if (!steuer.exec(QStringLiteral("BEGIN IMMEDIATE"))) return engineText(steuer.lastError());
    QString fehler;
    {
        QSqlQuery ins(db);
        if (!ins.prepare(sql)) {
            fehler = engineText(ins.lastError());
        } else {
            for (const QVariant& w : werte) ins.addBindValue(w);
            if (!ins.exec()) fehler = engineText(ins.lastError());
        }
    }
    if (fehler.isEmpty() && !steuer.exec(QStringLiteral("COMMIT"))) fehler = engineText(steuer.lastError());
    if (!fehler.isEmpty()) {
        QSqlQuery zurueck(db);
        zurueck.exec(QStringLiteral("ROLLBACK"));  // fails harmlessly when nothing is open
    }
    return fehler;
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
