#include "klasse/schema.h"
#include "insight/export.h"
#include "platform/textcodec.h"

#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringDecoder>

namespace {
// Who may read a row of a results table: the pupil who sent it, and the
// teachers of the pupil's class. The sub-select runs under the reader's own
// rights, so the row-level security of schueler and lehrer applies to it too.
const char* const kLesbar =
    "schueler = current_user OR schueler IN (SELECT s.login FROM velkora.schueler s "
    "JOIN velkora.lehrer l ON l.klasse = s.klasse WHERE l.login = current_user)";

// The tables a pupil adds rows to.
const char* const kErgebnistabellen[] = {"auswertung", "fehlerliste", "tastenwerte", "paarwerte", "weitere_zeilen"};

QStringList anweisungenBauen() {
    QStringList a = {
        "CREATE SCHEMA IF NOT EXISTS velkora",
        "REVOKE ALL ON SCHEMA velkora FROM PUBLIC",
        // Group roles are cluster-wide and have no IF NOT EXISTS.
        "DO $$ BEGIN "
        "IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'velkora_schueler') THEN CREATE ROLE velkora_schueler NOLOGIN; END IF; "
        "IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'velkora_lehrer') THEN CREATE ROLE velkora_lehrer NOLOGIN; END IF; "
        "EXECUTE format('REVOKE CONNECT, TEMPORARY ON DATABASE %I FROM PUBLIC', current_database()); "
        "EXECUTE format('GRANT CONNECT ON DATABASE %I TO velkora_schueler, velkora_lehrer', current_database()); "
        "END $$",
        "GRANT USAGE ON SCHEMA velkora TO velkora_schueler, velkora_lehrer",
        "CREATE TABLE IF NOT EXISTS velkora.klassen (name text PRIMARY KEY)",
        "CREATE TABLE IF NOT EXISTS velkora.schueler (login text PRIMARY KEY, name text NOT NULL, "
        "klasse text NOT NULL REFERENCES velkora.klassen)",
        "CREATE TABLE IF NOT EXISTS velkora.lehrer (login text NOT NULL, klasse text NOT NULL REFERENCES velkora.klassen, "
        "PRIMARY KEY (login, klasse))",
        // The results as the learner's own files hold them, keyed by the id
        // made when the result was recorded: a result sent twice stays one.
        "CREATE TABLE IF NOT EXISTS velkora.auswertung (ergebnis uuid PRIMARY KEY, "
        "schueler text NOT NULL DEFAULT current_user, eingang timestamptz NOT NULL DEFAULT now(), "
        "datum date NOT NULL, zeit time, idlektion smallint NOT NULL, maximalpunkte integer, "
        "stoppzeit double precision, zaehler double precision, fehler double precision, "
        "fehlerquote double precision, anschlaege integer)",
        "CREATE TABLE IF NOT EXISTS velkora.fehlerliste (ergebnis uuid PRIMARY KEY, "
        "schueler text NOT NULL DEFAULT current_user, liha smallint, lkleinerfinger smallint, lringfinger smallint, "
        "lmittelfinger smallint, lzeigefinger smallint, ldaumenfinger smallint, rdaumenfinger smallint, "
        "rzeigefinger smallint, rmittelfinger smallint, rringfinger smallint, rkleinerfinger smallint, reha smallint)",
        "CREATE TABLE IF NOT EXISTS velkora.tastenwerte (ergebnis uuid NOT NULL, "
        "schueler text NOT NULL DEFAULT current_user, datum date NOT NULL, zeichen text NOT NULL, "
        "richtig integer NOT NULL, falsch integer NOT NULL, zeit_ms bigint NOT NULL, zeit_n integer NOT NULL, "
        "PRIMARY KEY (ergebnis, zeichen))",
        "CREATE TABLE IF NOT EXISTS velkora.paarwerte (ergebnis uuid NOT NULL, "
        "schueler text NOT NULL DEFAULT current_user, datum date NOT NULL, vorher text NOT NULL, zeichen text NOT NULL, "
        "richtig integer NOT NULL, falsch integer NOT NULL, zeit_ms bigint NOT NULL, zeit_n integer NOT NULL, "
        "PRIMARY KEY (ergebnis, vorher, zeichen))",
        // Rows of any further table of a result (other kinds of exercise),
        // kept as column names and values.
        "CREATE TABLE IF NOT EXISTS velkora.weitere_zeilen (ergebnis uuid NOT NULL, "
        "schueler text NOT NULL DEFAULT current_user, tabelle text NOT NULL, nr integer NOT NULL, "
        "zeile jsonb NOT NULL, PRIMARY KEY (ergebnis, tabelle, nr))",
        // Per pupil, day and key the sums of the records, kept by a trigger,
        // so that the weakest keys of a class are read without every record.
        "CREATE TABLE IF NOT EXISTS velkora.tastentage (schueler text NOT NULL, datum date NOT NULL, "
        "zeichen text NOT NULL, richtig bigint NOT NULL, falsch bigint NOT NULL, zeit_ms bigint NOT NULL, "
        "zeit_n bigint NOT NULL, PRIMARY KEY (schueler, datum, zeichen))",
        // The same per month: a long range reads its whole months from here.
        "CREATE TABLE IF NOT EXISTS velkora.tastenmonate (schueler text NOT NULL, monat date NOT NULL, "
        "zeichen text NOT NULL, richtig bigint NOT NULL, falsch bigint NOT NULL, zeit_ms bigint NOT NULL, "
        "zeit_n bigint NOT NULL, PRIMARY KEY (schueler, monat, zeichen))",
        "CREATE INDEX IF NOT EXISTS tastentage_datum ON velkora.tastentage (datum)",
        "CREATE OR REPLACE FUNCTION velkora.tastentage_fuehren() RETURNS trigger LANGUAGE plpgsql "
        "SECURITY DEFINER SET search_path = pg_catalog, velkora AS $$ BEGIN "
        "INSERT INTO velkora.tastentage AS t VALUES (NEW.schueler, NEW.datum, NEW.zeichen, NEW.richtig, NEW.falsch, "
        "NEW.zeit_ms, NEW.zeit_n) ON CONFLICT (schueler, datum, zeichen) DO UPDATE SET "
        "richtig = t.richtig + excluded.richtig, falsch = t.falsch + excluded.falsch, "
        "zeit_ms = t.zeit_ms + excluded.zeit_ms, zeit_n = t.zeit_n + excluded.zeit_n; "
        "INSERT INTO velkora.tastenmonate AS t VALUES (NEW.schueler, date_trunc('month', NEW.datum)::date, NEW.zeichen, "
        "NEW.richtig, NEW.falsch, NEW.zeit_ms, NEW.zeit_n) ON CONFLICT (schueler, monat, zeichen) DO UPDATE SET "
        "richtig = t.richtig + excluded.richtig, falsch = t.falsch + excluded.falsch, "
        "zeit_ms = t.zeit_ms + excluded.zeit_ms, zeit_n = t.zeit_n + excluded.zeit_n; RETURN NULL; END $$",
        "REVOKE ALL ON FUNCTION velkora.tastentage_fuehren() FROM PUBLIC",
        "DROP TRIGGER IF EXISTS tastentage_fuehren ON velkora.tastenwerte",
        "CREATE TRIGGER tastentage_fuehren AFTER INSERT ON velkora.tastenwerte FOR EACH ROW "
        "EXECUTE FUNCTION velkora.tastentage_fuehren()",
        // The overview groups by pupil and by lesson over a date range.
        "CREATE INDEX IF NOT EXISTS auswertung_schueler_datum ON velkora.auswertung (schueler, datum) "
        "INCLUDE (idlektion, anschlaege, zaehler, fehler, fehlerquote)",
        "CREATE INDEX IF NOT EXISTS auswertung_lektion_datum ON velkora.auswertung (idlektion, datum) "
        "INCLUDE (schueler, anschlaege, zaehler, fehler, fehlerquote)",
        // Logins are made with their password already turned into the
        // server's verifier; names are quoted by the server.
        "CREATE OR REPLACE FUNCTION velkora.login_anlegen(login text, verifier text, gruppe text) RETURNS void "
        "LANGUAGE plpgsql AS $$ BEGIN "
        "IF gruppe NOT IN ('velkora_schueler', 'velkora_lehrer') THEN RAISE EXCEPTION 'unbekannte Gruppe %', gruppe; END IF; "
        "IF EXISTS (SELECT FROM pg_roles WHERE rolname = login) THEN "
        "EXECUTE format('ALTER ROLE %I LOGIN PASSWORD %L', login, verifier); "
        "ELSE EXECUTE format('CREATE ROLE %I LOGIN PASSWORD %L', login, verifier); END IF; "
        "EXECUTE format('GRANT %I TO %I', gruppe, login); END $$",
        "REVOKE ALL ON FUNCTION velkora.login_anlegen(text, text, text) FROM PUBLIC",
        "GRANT SELECT ON velkora.klassen, velkora.schueler, velkora.lehrer, velkora.tastentage, velkora.tastenmonate "
        "TO velkora_schueler, velkora_lehrer",
        "ALTER TABLE velkora.schueler ENABLE ROW LEVEL SECURITY",
        "ALTER TABLE velkora.lehrer ENABLE ROW LEVEL SECURITY",
        "ALTER TABLE velkora.tastentage ENABLE ROW LEVEL SECURITY",
        "ALTER TABLE velkora.tastenmonate ENABLE ROW LEVEL SECURITY",
        "DROP POLICY IF EXISTS lesen ON velkora.tastenmonate",
        QStringLiteral("CREATE POLICY lesen ON velkora.tastenmonate FOR SELECT USING (%1)").arg(QLatin1String(kLesbar)),
        "DROP POLICY IF EXISTS lesen ON velkora.lehrer",
        "CREATE POLICY lesen ON velkora.lehrer FOR SELECT USING (login = current_user)",
        "DROP POLICY IF EXISTS lesen ON velkora.schueler",
        "CREATE POLICY lesen ON velkora.schueler FOR SELECT USING (login = current_user OR klasse IN "
        "(SELECT klasse FROM velkora.lehrer WHERE login = current_user))",
        "DROP POLICY IF EXISTS lesen ON velkora.tastentage",
        QStringLiteral("CREATE POLICY lesen ON velkora.tastentage FOR SELECT USING (%1)").arg(QLatin1String(kLesbar)),
    };
    for (const char* t : kErgebnistabellen) {
        const QString n = QStringLiteral("velkora.") + QLatin1String(t);
        a << QStringLiteral("GRANT SELECT, INSERT ON %1 TO velkora_schueler").arg(n)
          << QStringLiteral("GRANT SELECT ON %1 TO velkora_lehrer").arg(n)
          << QStringLiteral("ALTER TABLE %1 ENABLE ROW LEVEL SECURITY").arg(n)
          << QStringLiteral("DROP POLICY IF EXISTS lesen ON %1").arg(n)
          << QStringLiteral("CREATE POLICY lesen ON %1 FOR SELECT USING (%2)").arg(n, QLatin1String(kLesbar))
          << QStringLiteral("DROP POLICY IF EXISTS eintragen ON %1").arg(n)
          << QStringLiteral("CREATE POLICY eintragen ON %1 FOR INSERT TO velkora_schueler "
                            "WITH CHECK (schueler = current_user)")
                 .arg(n);
    }
    return a;
}

// ä → ae, ß → ss, é → e; anything else than a-z and 0-9 left out.
QString ascii(const QString& s) {
    QString t;
    for (QChar c : s.toLower()) {
        switch (c.unicode()) {
        case u'ä': t += QStringLiteral("ae"); continue;
        case u'ö': t += QStringLiteral("oe"); continue;
        case u'ü': t += QStringLiteral("ue"); continue;
        case u'ß': t += QStringLiteral("ss"); continue;
        default: break;
        }
        const QString zerlegt = QString(c).normalized(QString::NormalizationForm_D);
        for (QChar z : zerlegt)
            if ((z >= u'a' && z <= u'z') || (z >= u'0' && z <= u'9')) t += z;
            else if (z == u' ' || z == u'-') t += QLatin1Char('-');
    }
    while (t.contains(QStringLiteral("--"))) t.replace(QStringLiteral("--"), QStringLiteral("-"));
    while (t.startsWith(u'-')) t.remove(0, 1);
    while (t.endsWith(u'-')) t.chop(1);
    return t;
}

QStringList felderTeilen(const QString& zeile, QChar trenner) {
    QStringList felder;
    QString f;
    bool inQuote = false;
    for (qsizetype i = 0; i < zeile.size(); ++i) {
        const QChar c = zeile[i];
        if (inQuote) {
            if (c == u'"' && i + 1 < zeile.size() && zeile[i + 1] == u'"') f += c, ++i;
            else if (c == u'"') inQuote = false;
            else f += c;
        } else if (c == u'"') {
            inQuote = true;
        } else if (c == trenner) {
            felder << f.trimmed();
            f.clear();
        } else {
            f += c;
        }
    }
    felder << f.trimmed();
    return felder;
}
}  // namespace

const QStringList& schemaAnweisungen() {
    static const QStringList a = anweisungenBauen();
    return a;
}

QString schemaAnlegen(QSqlDatabase db) {
    if (!db.transaction()) return db.lastError().text();
    for (const QString& s : schemaAnweisungen()) {
        QSqlQuery q(db);
        if (!q.exec(s)) {
            const QString f = q.lastError().text();
            db.rollback();
            return f;
        }
    }
    if (!db.commit()) return db.lastError().text();
    return QString();
}

QString Schuelereintrag::anzeige() const {
    return vorname.isEmpty() ? nachname : nachname.isEmpty() ? vorname : vorname + QLatin1Char(' ') + nachname;
}

Klassenliste klassenlisteLesen(const QByteArray& bytes) {
    Klassenliste k;
    QByteArray b = bytes;
    if (b.startsWith("\xEF\xBB\xBF")) b.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(b);
    if (utf8.hasError()) text = decodeCp1252(b);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList zeilen = text.split(QLatin1Char('\n'));
    while (!zeilen.isEmpty() && zeilen.first().trimmed().isEmpty()) zeilen.removeFirst();
    if (zeilen.isEmpty()) {
        k.fehler = QStringLiteral("Die Klassenliste ist leer.");
        return k;
    }
    const QString kopf = zeilen.takeFirst();
    const QChar trenner = kopf.count(u';') >= kopf.count(u',') && kopf.contains(u';') ? u';'
                          : kopf.contains(u',')                                   ? u','
                                                                                  : u';';
    const QStringList spalten = felderTeilen(kopf, trenner);
    int nach = -1, vor = -1, kl = -1, name = -1;
    for (int i = 0; i < spalten.size(); ++i) {
        const QString s = spalten[i].toLower().remove(QLatin1Char(' '));
        if (s == u"nachname" || s == u"familienname") nach = i;
        else if (s == u"vorname" || s == u"rufname" || s == u"vornamen") vor = vor < 0 ? i : vor;
        else if (s == u"klasse") kl = i;
        else if (s == u"name" || s == u"schüler" || s == u"schueler" || s == u"schüler/in") name = i;
    }
    if (nach < 0 && vor >= 0) nach = name;
    if (nach < 0 && name < 0) {
        k.fehler = QStringLiteral("In der Kopfzeile der Klassenliste fehlt eine Spalte „Nachname“ oder „Name“ "
                                  "(gefunden: %1).")
                       .arg(spalten.join(QStringLiteral(", ")));
        return k;
    }
    for (int z = 0; z < zeilen.size(); ++z) {
        if (zeilen[z].trimmed().isEmpty()) continue;
        const QStringList f = felderTeilen(zeilen[z], trenner);
        Schuelereintrag e;
        e.klasse = f.value(kl);
        if (nach >= 0) {
            e.nachname = f.value(nach);
            e.vorname = f.value(vor);
        } else {
            const QString ganz = f.value(name);
            if (ganz.contains(u',')) {
                e.nachname = ganz.section(u',', 0, 0).trimmed();
                e.vorname = ganz.section(u',', 1).trimmed();
            } else {
                e.vorname = ganz.section(u' ', 0, -2, QString::SectionSkipEmpty).trimmed();
                e.nachname = ganz.section(u' ', -1, -1, QString::SectionSkipEmpty).trimmed();
            }
        }
        if (ascii(e.vorname + e.nachname).isEmpty()) {
            k.warnungen << QStringLiteral("Zeile %1 enthält keinen Namen und wurde übergangen.").arg(z + 2);
            continue;
        }
        k.schueler << e;
    }
    if (k.schueler.isEmpty()) k.fehler = QStringLiteral("Die Klassenliste enthält keine Namen.");
    return k;
}

QString loginFuer(const QString& vorname, const QString& nachname, const QStringList& vergeben) {
    QString basis = ascii(vorname);
    const QString n = ascii(nachname);
    if (!basis.isEmpty() && !n.isEmpty()) basis += QLatin1Char('.');
    basis += n;
    if (basis.isEmpty()) basis = QStringLiteral("schueler");
    basis.truncate(60);
    QString login = basis;
    for (int i = 2; vergeben.contains(login); ++i) login = basis + QString::number(i);
    return login;
}

QString lehrerLoginFuer(const QString& klasse) {
    QString k = ascii(klasse);
    k.truncate(50);
    return QStringLiteral("lehrer-") + (k.isEmpty() ? QStringLiteral("klasse") : k);
}

QString neuesPasswort(int n) {
    static const char kZeichen[] = "abcdefghijkmnpqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ23456789";
    QString p;
    for (int i = 0; i < n; ++i)
        p += QLatin1Char(kZeichen[QRandomGenerator::system()->bounded(int(sizeof kZeichen - 1))]);
    return p;
}

QByteArray scramVerifier(const QString& passwort, const QByteArray& salz, int runden) {
    const QByteArray pw = passwort.toUtf8();
    auto hmac = [](const QByteArray& schluessel, const QByteArray& text) {
        return QMessageAuthenticationCode::hash(text, schluessel, QCryptographicHash::Sha256);
    };
    QByteArray u = hmac(pw, salz + QByteArray("\0\0\0\1", 4));
    QByteArray gesalzen = u;
    for (int i = 1; i < runden; ++i) {
        u = hmac(pw, u);
        for (int k = 0; k < gesalzen.size(); ++k) gesalzen[k] = char(gesalzen[k] ^ u[k]);
    }
    const QByteArray client = hmac(gesalzen, "Client Key");
    const QByteArray stored = QCryptographicHash::hash(client, QCryptographicHash::Sha256);
    const QByteArray server = hmac(gesalzen, "Server Key");
    return "SCRAM-SHA-256$" + QByteArray::number(runden) + ':' + salz.toBase64() + '$' + stored.toBase64() + ':' +
           server.toBase64();
}

namespace {
bool ausfuehren(QSqlQuery& q, QString* fehler) {
    if (q.exec()) return true;
    *fehler = q.lastError().text();
    return false;
}

bool loginAnlegen(QSqlDatabase db, const QString& login, const QString& passwort, const QString& gruppe,
                  QString* fehler) {
    QByteArray salz(16, '\0');
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salz.data()), 4);
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT velkora.login_anlegen(?, ?, ?)"));
    q.addBindValue(login);
    q.addBindValue(QString::fromLatin1(scramVerifier(passwort, salz)));
    q.addBindValue(gruppe);
    return ausfuehren(q, fehler);
}
}  // namespace

QList<Zugangszeile> klasseAnlegen(QSqlDatabase db, const QString& klasse, const QList<Schuelereintrag>& schueler,
                                  QString* fehler) {
    QList<Zugangszeile> aus;
    QString f;
    auto scheitern = [&](const QString& text) {
        db.rollback();
        *fehler = text;
        return QList<Zugangszeile>{};
    };
    if (!db.transaction()) return scheitern(db.lastError().text());
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO velkora.klassen (name) VALUES (?) ON CONFLICT DO NOTHING"));
    q.addBindValue(klasse);
    if (!ausfuehren(q, &f)) return scheitern(f);

    // Names taken: every role of the server (logins are cluster-wide).
    QStringList vergeben;
    QSqlQuery r(db);
    r.prepare(QStringLiteral("SELECT rolname FROM pg_roles"));
    if (!ausfuehren(r, &f)) return scheitern(f);
    while (r.next()) vergeben << r.value(0).toString();
    // Pupils already in the class, by name.
    QHash<QString, QString> bisher;
    QSqlQuery s(db);
    s.prepare(QStringLiteral("SELECT name, login FROM velkora.schueler WHERE klasse = ?"));
    s.addBindValue(klasse);
    if (!ausfuehren(s, &f)) return scheitern(f);
    while (s.next()) bisher.insert(s.value(0).toString(), s.value(1).toString());

    const QString lehrer = lehrerLoginFuer(klasse);
    QSqlQuery l(db);
    l.prepare(QStringLiteral("SELECT 1 FROM velkora.lehrer WHERE login = ? AND klasse = ?"));
    l.addBindValue(lehrer);
    l.addBindValue(klasse);
    if (!ausfuehren(l, &f)) return scheitern(f);
    if (l.next()) {
        aus << Zugangszeile{klasse, QStringLiteral("Lehrkraft"), lehrer, QString()};
    } else {
        // A role of that name outside the class is not taken over.
        QString login = lehrer;
        for (int i = 2; vergeben.contains(login); ++i) login = lehrer + QString::number(i);
        const QString pw = neuesPasswort();
        if (!loginAnlegen(db, login, pw, kGruppeLehrer, &f)) return scheitern(f);
        QSqlQuery e(db);
        e.prepare(QStringLiteral("INSERT INTO velkora.lehrer (login, klasse) VALUES (?, ?)"));
        e.addBindValue(login);
        e.addBindValue(klasse);
        if (!ausfuehren(e, &f)) return scheitern(f);
        vergeben << login;
        aus << Zugangszeile{klasse, QStringLiteral("Lehrkraft"), login, pw};
    }
    for (const Schuelereintrag& p : schueler) {
        const QString name = p.anzeige();
        if (bisher.contains(name)) {
            aus << Zugangszeile{klasse, name, bisher.value(name), QString()};
            continue;
        }
        const QString login = loginFuer(p.vorname, p.nachname, vergeben);
        const QString pw = neuesPasswort();
        if (!loginAnlegen(db, login, pw, kGruppeSchueler, &f)) return scheitern(f);
        QSqlQuery e(db);
        e.prepare(QStringLiteral("INSERT INTO velkora.schueler (login, name, klasse) VALUES (?, ?, ?)"));
        e.addBindValue(login);
        e.addBindValue(name);
        e.addBindValue(klasse);
        if (!ausfuehren(e, &f)) return scheitern(f);
        vergeben << login;
        bisher.insert(name, login);
        aus << Zugangszeile{klasse, name, login, pw};
    }
    if (!db.commit()) return scheitern(db.lastError().text());
    return aus;
}

QByteArray zugangslisteCsv(const QList<Zugangszeile>& zeilen) {
    QByteArray b = "\xEF\xBB\xBF" + csvZeile({QStringLiteral("Klasse"), QStringLiteral("Name"), QStringLiteral("Login"),
                                               QStringLiteral("Passwort")});
    for (const Zugangszeile& z : zeilen)
        b += csvZeile({z.klasse, z.name, z.login,
                       z.passwort.isEmpty() ? QStringLiteral("(unverändert)") : z.passwort});
    return b;
}
