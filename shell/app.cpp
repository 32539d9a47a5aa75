#include "shell/app.h"
#include "hilfe/hilfetaste.h"
#include "insight/tastenwerte.h"
#include "pruefung/abschrift.h"
#include "klasse/klassenversand.h"
#include "settings/reminder.h"
#include "sprache/sprachausgabe.h"
#include "stats/ablage.h"

#include <QDir>
#include <QFileInfo>

App::App(const QString& programDir, SettingsStore& s, PlatformServices& svc,
         const QString& databaseDir, const QString& userDataDir)
    : programDir_(QDir::cleanPath(programDir)),
      databaseDir_(databaseDir.isEmpty() ? QDir::cleanPath(programDir)
                                         : QDir::cleanPath(databaseDir)),
      userDataDir_(userDataDir.isEmpty() ? databaseDir_ : QDir::cleanPath(userDataDir)),
      store(s),
      services(svc),
      tastenzaehler_(std::make_unique<Tastenzaehler>()),
      sprachausgabe_(std::make_unique<Sprachausgabe>(*this)),
      klassenversand_(std::make_unique<Klassenversand>(*this)),
      forms(*this),
      hilfetaste_(hilfetasteEinrichten(*this)) {
    ereignisse.anmelden(tastenzaehler_.get());
    ereignisse.anmelden(sprachausgabe_.get());
    ereignisse.anmelden(klassenversand_.get());
    // What the store keeps of a settings file that must be put aside.
    QStringList schluessel;
    for (const char* k : {"Benutzer", "CheckAnimat", "CheckFehlermeldung", "CheckGeräusch", "CheckReminder",
                          "CheckStatistik", "Farbwert1", "Tdauer", "CheckSprache"})
        schluessel << QStringLiteral("Optionen/") + QString::fromUtf8(k);
    for (const char* k : {"MainLeft", "MainTop", "MainWidth", "MainHeight"})
        schluessel << QStringLiteral("Settings/") + QString::fromUtf8(k);
    schluessel << notenschluesselSchluessel();
    // The class server's connection (the password itself is not in the file).
    for (const char* k : {"Server", "Port", "Datenbank", "Login", "Verschluesselung", "Zertifikat", "PasswortOrt",
                          "LehrerLogin"})
        schluessel << QStringLiteral("Klasse/") + QString::fromUtf8(k);
    store.setProgramKeys(schluessel);
}

App::~App() = default;

Reminder& App::reminder() {
    if (!reminder_) reminder_ = std::make_unique<Reminder>(*this);
    return *reminder_;
}

QString App::findProgramDir(const QString& exeDir) {
    // The introduction text is the file every program directory has.
    if (QFileInfo::exists(exeDir + QStringLiteral("/Intro.inf"))) return QDir::cleanPath(exeDir);
    const QString installed = QDir::cleanPath(exeDir + QStringLiteral("/../share/velkora"));
    if (QFileInfo::exists(installed + QStringLiteral("/Intro.inf"))) return installed;
    return QDir::cleanPath(exeDir);
}

Ablageorte ablageorte(const QString& exeDir, const QString& benutzerDir) {
    Ablageorte a;
    a.programDir = App::findProgramDir(exeDir);
    if (a.programDir == QDir::cleanPath(exeDir) || benutzerDir.isEmpty())
        a.databaseDir = datenbankVerzeichnis(a.programDir, benutzerDir);
    else
        a.databaseDir = datenbankenKopieren(a.programDir, benutzerDir) ? QDir::cleanPath(benutzerDir)
                                                                       : a.programDir;
    return a;
}

QString joinProgramPath(const QString& dir, const QString& name) {
    QString rel = name;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (rel.startsWith(QLatin1Char('/'))) rel.remove(0, 1);
    return dir + QLatin1Char('/') + rel;
}

QString App::datei(const QString& name) const { return joinProgramPath(programDir_, name); }

QString App::GetSetting(const QString& section, const QString& key, const QString& deflt) const {
    return store.GetSetting(kAppTitle, section, key, deflt);
}

bool App::SaveSetting(const QString& section, const QString& key, const QString& value) {
    return store.SaveSetting(kAppTitle, section, key, value);
}

QString App::einstellungenFehler() const { return store.writeProblem(kAppTitle); }

bool App::optionenSpeichern(std::initializer_list<const char*> schluessel) {
    bool gespeichert = true;
    for (const char* s : schluessel) {
        const QString key = QString::fromUtf8(s);
        QString wert;
        if (key == QLatin1String("Benutzer")) wert = opt.benutzer;
        else if (key == QLatin1String("CheckAnimat")) wert = boolText(opt.checkAnimat);
        else if (key == QLatin1String("CheckFehlermeldung")) wert = boolText(opt.checkFehlermeldung);
        else if (key == QStringLiteral("CheckGeräusch")) wert = boolText(opt.checkGeraeusch);
        else if (key == QLatin1String("CheckReminder")) wert = boolText(opt.checkReminder);
        else if (key == QLatin1String("CheckStatistik")) wert = boolText(opt.checkStatistik);
        else if (key == QLatin1String("Farbwert1")) wert = QString::number(opt.farbwert1);
        else if (key == QLatin1String("Tdauer")) wert = QString::number(opt.tdauer);
        else if (key == QLatin1String("CheckSprache")) wert = boolText(opt.checkSprache);
        else continue;
        if (!SaveSetting(QStringLiteral("Optionen"), key, wert)) gespeichert = false;
    }
    return gespeichert;
}
