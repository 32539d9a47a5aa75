#pragma once
#include <QByteArray>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The class server: a PostgreSQL database with the schema "velkora". Every
// pupil and every teacher has a login of their own; the group roles
// velkora_schueler and velkora_lehrer carry the rights, and row-level
// security decides which rows a login sees. Nobody but the owner may change
// or delete a stored result.

inline const QString kGruppeSchueler = QStringLiteral("velkora_schueler");
inline const QString kGruppeLehrer = QStringLiteral("velkora_lehrer");

// The statements that make (or bring up to date) the schema, in order. Each
// may run again on a database that has it already.
const QStringList& schemaAnweisungen();

// Runs them in one transaction; returns the server's text of the failure,
// empty when all ran.
QString schemaAnlegen(QSqlDatabase db);

// One pupil of a class list.
struct Schuelereintrag {
    QString vorname;
    QString nachname;
    QString klasse;  // from the list's own column, if it has one
    QString anzeige() const;  // "Anna Müller"
};

// What reading a class list gave.
struct Klassenliste {
    QList<Schuelereintrag> schueler;
    QStringList warnungen;  // lines left out, German
    QString fehler;         // German; set when nothing could be read
};

// Reads a class list as school administrations export it: a header line,
// fields separated by semicolons or commas (whichever the header uses),
// quoted fields, UTF-8 (with or without a byte-order mark) or
// Windows-1252. Columns are found by their heading: "Nachname" (also
// "Familienname", "Name"), "Vorname" (also "Rufname"), "Klasse". A single
// column "Name" may hold "Müller, Anna" or "Anna Müller".
Klassenliste klassenlisteLesen(const QByteArray& bytes);

// A login name for a person: "vorname.nachname" in small ASCII letters
// (ä → ae, ß → ss, accents dropped), at most 63 characters, with 2, 3, ...
// appended when the name is taken (vergeben, compared as given).
QString loginFuer(const QString& vorname, const QString& nachname, const QStringList& vergeben);
// The teacher's login of a class: "lehrer-7b".
QString lehrerLoginFuer(const QString& klasse);

// A password of n characters from letters and digits that cannot be
// mistaken for one another, from the system's random source.
QString neuesPasswort(int n = 12);

// The password as PostgreSQL keeps it (SCRAM-SHA-256 verifier), so the
// password itself never reaches the server or its log.
QByteArray scramVerifier(const QString& passwort, const QByteArray& salz, int runden = 4096);

// A login made for the teacher's list.
struct Zugangszeile {
    QString klasse, name, login, passwort;  // passwort empty: the login existed before
};

// Makes the class, its teacher login and one login per pupil not yet in
// it (a pupil of the same name keeps login and password). Each login is
// made through the server's function velkora.login_anlegen with
// parameters. One transaction: all or nothing. Returns the logins, the
// teacher first; on failure *fehler holds the server's text.
QList<Zugangszeile> klasseAnlegen(QSqlDatabase db, const QString& klasse, const QList<Schuelereintrag>& schueler,
                                  QString* fehler);

// The teacher's list as CSV (semicolons, UTF-8 with byte-order mark, CR LF):
// "Klasse;Name;Login;Passwort".
QByteArray zugangslisteCsv(const QList<Zugangszeile>& zeilen);
