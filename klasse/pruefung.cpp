#include "klasse/pruefung.h"

#include <QCoreApplication>
#include <QPointer>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <atomic>

bool verbindungTesten(const Klassenzugang& z, const QString& name, QString* meldung) {
    if (!klasseVerbinden(z, name, 4, meldung)) return false;
    QSqlDatabase db = QSqlDatabase::database(name, false);
    QSqlQuery q(db);
    const auto zu = qScopeGuard([&] {
        q.finish();
        q = QSqlQuery();
        db.close();
    });
    q.prepare(QStringLiteral("SELECT 'schueler', klasse FROM velkora.schueler WHERE login = current_user UNION ALL "
                             "SELECT 'lehrer', klasse FROM velkora.lehrer WHERE login = current_user"));
    QStringList schueler, lehrer;
    if (!q.exec()) {
        *meldung = QStringLiteral("Angemeldet, aber die Datenbank „%1“ ist kein Klassenserver von Velkora (oder "
                                  "„%2“ darf ihn nicht lesen).\n(Meldung des Servers: %3)")
                       .arg(z.datenbank, z.login, q.lastError().text().simplified());
        return false;
    }
    while (q.next()) (q.value(0).toString() == u"lehrer" ? lehrer : schueler) << q.value(1).toString();
    if (!schueler.isEmpty())
        *meldung = QStringLiteral("Verbindung in Ordnung: „%1“ gehört zur Klasse %2.").arg(z.login, schueler.join(", "));
    else if (!lehrer.isEmpty())
        *meldung = QStringLiteral("Verbindung in Ordnung: „%1“ ist Lehrer-Login der Klasse %2 (zum Ansehen der "
                                  "Klassenübersicht; Ergebnisse sendet nur ein Schüler-Login).")
                       .arg(z.login, lehrer.join(", "));
    else
        *meldung = QStringLiteral("Verbindung in Ordnung, aber „%1“ gehört zu keiner Klasse.").arg(z.login);
    return true;
}

Verbindungspruefung::Verbindungspruefung(const Klassenzugang& z, QObject* parent) : QObject(parent), zugang_(z) {
    frist_.setSingleShot(true);
    frist_.setInterval(kFristMs);
    connect(&frist_, &QTimer::timeout, this, [this] {
        beenden(lauf_, false, verbindungsMeldung(Verbindungsfehler::Zeit, zugang_, QString()));
    });
}

void Verbindungspruefung::starten() {
    static std::atomic<quint64> zaehler{0};
    const quint64 lauf = ++lauf_;
    laeuft_ = true;
    frist_.start();
    const QString name = QStringLiteral("klasse-pruefung-%1").arg(++zaehler);
    QPointer<Verbindungspruefung> ich(this);
    const Klassenzugang z = zugang_;
    QThread* t = QThread::create([z, name, ich, lauf] {
        QString meldung;
        const bool ok = verbindungTesten(z, name, &meldung);
        QSqlDatabase::removeDatabase(name);
        QMetaObject::invokeMethod(QCoreApplication::instance(), [ich, lauf, ok, meldung] {
            if (ich) ich->beenden(lauf, ok, meldung);
        }, Qt::QueuedConnection);
    });
    connect(t, &QThread::finished, t, &QObject::deleteLater);
    t->start();
}

void Verbindungspruefung::beenden(quint64 lauf, bool ok, const QString& meldung) {
    if (lauf != lauf_ || !laeuft_) return;
    laeuft_ = false;
    frist_.stop();
    emit fertig(ok, meldung);
}
