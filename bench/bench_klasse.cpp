// The class server under load: 30 pupils send 200 results each at the same
// time (30 threads, each with its own connection and waiting file, as 30
// Velkora programs would); then the teacher's overview over 100 000 stored
// results. Prints its figures; a server of its own on 127.0.0.1.
#include "insight/tastenwerte.h"
#include "klasse/schema.h"
#include "klasse/uebersicht.h"
#include "klasse/versand.h"
#include "messreihe.h"
#include "pgserver.h"
#include "shell/app.h"
#include "trainer/recording.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <string_view>

namespace {
constexpr int kSchueler = 30, kGesamt = 100000;
int kJe = 200;  // results per pupil; a first argument changes it

QList<Tabellenzeile> ergebnis(int n) {
    Uebung ex;
    ex.lektionsnr = qint16(1 + n % 18);
    ex.zaehler = 200, ex.fehler = n % 6, ex.laufzeit = 90, ex.anschlaegeGanz = 200, ex.anschlaegeProMinute = 133;
    ex.Fehlerquote = ex.fehler / 200;
    const QString id = neueErgebnisId();
    QList<Tabellenzeile> z = ergebnisZeilen(ex, QDateTime(QDate(2026, 12, 1), QTime(9, 0)), id);
    Zeichenwerte w;
    for (char16_t c : std::u16string_view(u"asdfjklöeinrtgh")) w.zeichen[c] = {12, qint64(n % 3), 3000, 12};
    w.paare[paarSchluessel(u'e', u'i')] = {5, 1, 1500, 5};
    return z << tastenwertZeilen(w, id, QDate(2026, 12, 1));
}

qint64 zahl(QSqlDatabase db, const QString& sql) {
    QSqlQuery q(db);
    return q.exec(sql) && q.next() ? q.value(0).toLongLong() : -1;
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc > 1) kJe = QByteArray(argv[1]).toInt();
    PgTestServer srv;
    if (!srv.ok()) {
        std::printf("bench_klasse: no server: %s\n", qPrintable(srv.fehler()));
        return 1;
    }
    QSqlDatabase admin = srv.admin();
    if (const QString f = schemaAnlegen(admin); !f.isEmpty()) return std::printf("%s\n", qPrintable(f)), 1;
    QList<Schuelereintrag> liste;
    for (int i = 0; i < kSchueler; ++i) liste << Schuelereintrag{QStringLiteral("Kind"), QStringLiteral("N%1").arg(i, 2, 10, QChar('0')), {}};
    QString f;
    const QList<Zugangszeile> zugaenge = klasseAnlegen(admin, QStringLiteral("Bank"), liste, &f);
    if (!f.isEmpty()) return std::printf("%s\n", qPrintable(f)), 1;

    // 30 senders at once.
    QTemporaryDir d;
    QList<QThread*> sender;
    for (int i = 1; i <= kSchueler; ++i) {
        const QString datei = d.filePath(QStringLiteral("wartend-%1.json").arg(i));
        QList<Tabellenzeile> zeilen;
        for (int n = 0; n < kJe; ++n) zeilen << ergebnis(n);
        if (!warteAnhaengen(datei, zeilen) || warteLesen(datei).size() != kJe)
            std::printf("waiting file %s not written\n", qPrintable(datei));
        const Klassenzugang z = srv.zugang(zugaenge[i].login, zugaenge[i].passwort);
        sender << QThread::create([z, datei, i] {
            const QString name = QStringLiteral("sender-%1").arg(i);
            for (int versuch = 0; versuch < 5; ++versuch) {
                const Sendebericht b = warteSenden(z, datei, datei + ".ab", name);
                if (b.wartend == 0) break;
                std::printf("pupil %d: %d waiting: %s\n", i, b.wartend, qPrintable(b.fehler));
            }
            QSqlDatabase::removeDatabase(name);
        });
    }
    QElapsedTimer uhr;
    uhr.start();
    for (QThread* t : sender) t->start();
    for (QThread* t : sender) t->wait(), delete t;
    const double sek = uhr.elapsed() / 1000.0;
    const qint64 gespeichert = zahl(admin, QStringLiteral("SELECT count(*) FROM velkora.auswertung"));
    const qint64 verschieden = zahl(admin, QStringLiteral("SELECT count(DISTINCT ergebnis) FROM velkora.auswertung"));
    std::printf("class server: %d pupils x %d results sent at once: %lld stored (%lld distinct), %.1f s, %.0f results/s\n",
                kSchueler, kJe, gespeichert, verschieden, sek, gespeichert / sek);

    // Up to 100 000 results over a year, with the day sums of 40 keys.
    QStringList logins;
    for (int i = 1; i <= kSchueler; ++i) logins << zugaenge[i].login;
    const QString feld = QStringLiteral("{") + logins.join(',') + QStringLiteral("}");
    QSqlQuery q(admin);
    q.prepare(QStringLiteral(
        "INSERT INTO velkora.auswertung (ergebnis, schueler, datum, zeit, idlektion, maximalpunkte, stoppzeit, zaehler, "
        "fehler, fehlerquote, anschlaege) SELECT gen_random_uuid(), (?::text[])[1 + i % 30], date '2026-01-01' + i % 340, "
        "'10:00', 1 + i % 23, 200, 1.5, 200, i % 7, (i % 7) / 2.0, 80 + i % 120 FROM generate_series(1, ?) i"));
    q.addBindValue(feld);
    q.addBindValue(kGesamt - gespeichert);
    if (!q.exec()) return std::printf("%s\n", qPrintable(q.lastError().text())), 1;
    QSqlQuery t(admin);
    t.prepare(QStringLiteral(
        "INSERT INTO velkora.tastentage SELECT p, date '2026-01-01' + d, chr(97 + k), 100, k % 5, 20000, 100 "
        "FROM unnest(?::text[]) p, generate_series(0, 339) d, generate_series(0, 39) k ON CONFLICT DO NOTHING"));
    t.addBindValue(feld);
    if (!t.exec()) return std::printf("%s\n", qPrintable(t.lastError().text())), 1;
    QSqlQuery(admin).exec(QStringLiteral(
        "INSERT INTO velkora.tastenmonate SELECT schueler, date_trunc('month', datum)::date, zeichen, sum(richtig), "
        "sum(falsch), sum(zeit_ms), sum(zeit_n) FROM velkora.tastentage WHERE datum < '2026-12-01' "
        "GROUP BY 1, 2, 3 ON CONFLICT DO NOTHING"));
    QSqlQuery(admin).exec(QStringLiteral("VACUUM ANALYZE"));

    QString fehler;
    if (!klasseVerbinden(srv.zugang(zugaenge[0].login, zugaenge[0].passwort), QStringLiteral("lehrer"), 5, &fehler))
        return std::printf("%s\n", qPrintable(fehler)), 1;
    QSqlDatabase lehrer = QSqlDatabase::database(QStringLiteral("lehrer"));
    Klassenbericht b;
    const Messreihe m = messen(11, [&] { b = klassenberichtLesen(lehrer, QDate(2026, 1, 1), QDate(2026, 12, 31)); });
    qint64 summe = 0;
    for (const Schuelerzeile& s : b.schueler) summe += s.uebungen;
    const Messreihe monat = messen(11, [&] { b = klassenberichtLesen(lehrer, QDate(2026, 11, 1), QDate(2026, 11, 30)); });
    std::printf("teacher's overview over %lld results (%lld pupils, %lld lessons): median %.1f ms, max %.1f ms "
                "(one month: median %.1f ms)%s\n",
                summe, qint64(b.schueler.size()), qint64(b.lektionen.size()), m.median, m.max, monat.median,
                b.fehler.isEmpty() ? "" : qPrintable(" " + b.fehler));
    return gespeichert == kSchueler * kJe && verschieden == gespeichert ? 0 : 1;
}
