#pragma once
#include "klasse/zugang.h"
#include "stats/datenbank.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// Sending results to the class server. A result the learner's own files
// have stored goes into a waiting file beside the pending results; from
// there it is sent, one transaction per result under its result id, and
// only then taken out of the file. The server ignores a result it holds
// already (ON CONFLICT DO NOTHING), so a result sent again after a lost
// reply, a dead server or a killed program is stored once.

// The waiting file in the user's data directory.
QString klassenWarteDatei(const QString& userDataDir);
// Results the server refused (a value it does not take), kept for a person.
QString klassenAbgewiesenDatei(const QString& userDataDir);

struct WartendesErgebnis {
    QString ergebnis;
    QList<Tabellenzeile> zeilen;
};

// The results waiting, oldest first. A file that cannot be read as such
// counts as empty and *fehler says so (it is never written over then).
QList<WartendesErgebnis> warteLesen(const QString& datei, QString* fehler = nullptr);
// Adds stored rows (rows of a result already waiting join it). Safe against
// the sender working on the same file in another thread. False when the
// file cannot be written.
bool warteAnhaengen(const QString& datei, const QList<Tabellenzeile>& zeilen);

enum class Sendeausgang {
    Gesendet,    // on the server now (or held there already)
    Verbindung,  // no connection, or it broke: the result waits
    Abgewiesen,  // the server refused a value of it: put aside, not sent again
    Verweigert,  // the login may not add results (no pupil's login): waits
};

// Sends one result in one transaction on an open connection (prepared
// statements only; records as one statement per table).
Sendeausgang ergebnisSenden(QSqlDatabase db, const WartendesErgebnis& e, QString* fehler);

struct Sendebericht {
    int gesendet = 0;  // results that reached the server in this run
    int wartend = 0;   // results still waiting
    Sendeausgang letzter = Sendeausgang::Gesendet;
    QString fehler;    // German, when something waits
};

// Sends what waits in the file over the named connection (opened, or
// opened again after a failure, in the calling thread), each result taken
// out of the file once the server has committed it.
Sendebericht warteSenden(const Klassenzugang& z, const QString& datei, const QString& abgewiesenDatei,
                         const QString& verbindungsname);

// The short status the writing window shows.
inline const QString kStatusGesendet = QStringLiteral("an die Klasse gesendet");
inline const QString kStatusWartet = QStringLiteral("wartet auf den Server");
inline const QString kStatusSendet = QStringLiteral("wird an die Klasse gesendet");
