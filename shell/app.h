#pragma once
#include "platform/forms.h"
#include "platform/services.h"
#include "platform/settingsstore.h"
#include "trainer/fingers.h"
#include "trainer/uebungsereignisse.h"

#include <QString>
#include <initializer_list>
#include <memory>

class QObject;
class Reminder;
class Sprachausgabe;
class Tastenzaehler;
class Klassenversand;

// The option variables: filled from the settings store at start-up, written
// back at shut-down and by the settings dialog. Before start-up has read the
// store they hold False / 0 / empty.
struct Optionen {
    QString benutzer;
    bool checkAnimat = false;
    bool checkFehlermeldung = false;
    bool checkGeraeusch = false;
    bool checkReminder = false;
    bool checkStatistik = false;
    qint32 farbwert1 = 0;
    qint16 tdauer = 0;
    bool checkSprache = false;  // "Sprachausgabe": keys and results spoken
};

// The values of the running exercise, shared by the writing window, the
// lesson window with its stopwatch and the recording.
struct Uebung {
    double zaehler = 0;     // correct keys at scored characters
    double fehler = 0;      // wrong keys at scored characters
    double MaxZeichen = 0;  // scored characters of the text
    qint16 lektionsnr = 0;  // number of the running exercise
    double sekunden = 0;    // stopwatch seconds since the exercise start
    double laufzeit = 0;    // seconds at the last tick
    qint16 anschlaegeGanz = 0;
    qint16 anschlaegeProMinute = 0;
    double Fehlerquote = 0;
    QString Bewertung;
    Fingerfehler finger;
    qint16 animSchritt = 0;  // correct keys since the figure was reset
    qint32 animX = 0;
    qint32 animY = 0;
};

// The one program-wide context: where the files are, the settings store, the
// platform services, the option variables, the exercise values and the
// window registry. main() makes one; every test makes its own.
class App {
    // Declared first so that they outlive the windows of the registry.
    QString programDir_;
    QString databaseDir_;
    QString userDataDir_;

public:
    App(const QString& programDir, SettingsStore& store, PlatformServices& services,
        const QString& databaseDir = QString(), const QString& userDataDir = QString());
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // The directory the data files are read from: the executable's own when
    // they lie beside it, otherwise the installed data directory
    // ../share/velkora relative to the executable.
    static QString findProgramDir(const QString& exeDir);

    const QString& programDir() const { return programDir_; }
    const QString& databaseDir() const { return databaseDir_; }
    // The user's own data directory (results waiting to be stored); the
    // database directory unless given.
    const QString& userDataDir() const { return userDataDir_; }
    // A file of the program directory, named as the windows name them
    // ("\Intro.inf", with the leading backslash).
    QString datei(const QString& name) const;

    // The settings store under the application name "Velkora".
    QString GetSetting(const QString& section, const QString& key,
                       const QString& deflt = QString()) const;
    bool SaveSetting(const QString& section, const QString& key, const QString& value);

    // Writes option variables to the store section "Optionen", one key after
    // the other in the order given ("Benutzer", "CheckGeräusch", "Tdauer", ...).
    // False when a write failed (all are tried).
    bool optionenSpeichern(std::initializer_list<const char*> schluessel);
    // Why the store cannot be written, as a German message naming the file.
    QString einstellungenFehler() const;

    // The practice reminder; it outlives the settings dialog that drives it.
    Reminder& reminder();
    // Speaks keys and results when the option is on.
    Sprachausgabe& sprache() { return *sprachausgabe_; }
    // Sends the stored results to the class server, when one is set up.
    Klassenversand& klasse() { return *klassenversand_; }

    SettingsStore& store;
    PlatformServices& services;
    Optionen opt;
    Uebung ex;
    // Who listens to the writing window's keys (the per-key records).
    Ereignisverteiler ereignisse;

private:
    std::unique_ptr<Reminder> reminder_;  // made on first use
    std::unique_ptr<Tastenzaehler> tastenzaehler_;
    std::unique_ptr<Sprachausgabe> sprachausgabe_;
    std::unique_ptr<Klassenversand> klassenversand_;

public:
    Forms forms;  // its windows are destroyed before everything above

private:
    std::unique_ptr<QObject> hilfetaste_;  // F1 in every window; goes first
};

// Where a started program reads its data files and keeps its results.
struct Ablageorte {
    QString programDir;
    QString databaseDir;
};
// For an executable in exeDir and the user's data directory: a program whose
// data files lie beside the executable (the build directory, a copied
// folder) keeps its results there when it may write them. An installed
// program (data files under ../share/velkora) always keeps them in the
// user's data directory, seeded with the delivered empty databases — even
// when it could write into the installed folder (run as root), whose files
// the next package update would replace.
Ablageorte ablageorte(const QString& exeDir, const QString& benutzerDir);

// Joins a program-directory file name written with a leading backslash to a
// directory, portably.
QString joinProgramPath(const QString& dir, const QString& name);
