#pragma once
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <map>
#include <memory>

// The per-user key/value store of the options. Every value is text,
// addressed by application, section and key. Values are held in an INI file;
// the program uses QSettings' per-user location, tests pass their own file.
//
// The file is the user's to edit, so it is read with care: a path that is no
// regular file (a folder, a pipe that would block the start for good, a
// device, links in a circle) is not read at all, and the store then only
// gives defaults and reports every write as failed. A file far larger than
// the program's settings need (kMaxFileBytes, kMaxLines), which would cost
// seconds at every read and write, is put aside under a new name for a
// person to look at and replaced by a file with only the program's keys
// (setProgramKeys), itself within those limits. Every value read is at most
// kMaxValueLength characters.
class SettingsStore {
public:
    // Store in the per-user location of the platform.
    SettingsStore();
    // Store in the given INI file (tests, portable setups).
    explicit SettingsStore(const QString& iniFile);
    ~SettingsStore();

    // The longest value read: what a one-line text box holds.
    static constexpr int kMaxValueLength = 32767;
    // A file beyond these is put aside (see above). The program itself
    // writes at most a name of kMaxValueLength characters, each at most four
    // bytes in the file, and a dozen short values.
    static constexpr qint64 kMaxFileBytes = 256 * 1024;
    static constexpr int kMaxLines = 1000;

    // The keys the program uses, as "Section/Key"; they are what is kept of a
    // file put aside. To be set before the first read.
    void setProgramKeys(const QStringList& sectionKeys) { programKeys_ = sectionKeys; }

    // The stored text, or the default when the key is absent.
    QString GetSetting(const QString& appName, const QString& section, const QString& key,
                       const QString& deflt = QString()) const;
    // Creates or overwrites the key; the write reaches the file at once.
    // Returns false when the file could not be written.
    bool SaveSetting(const QString& appName, const QString& section, const QString& key,
                     const QString& value);

    bool hasKey(const QString& appName, const QString& section, const QString& key) const;
    QString fileName(const QString& appName) const;

    // Why the settings cannot be written, as a German sentence naming the
    // file ("Die Einstellungen konnten nicht gespeichert werden: ...").
    QString writeProblem(const QString& appName) const;
    // What the first read had to do with the file (put it aside), in German;
    // empty when the file was read as it stood.
    QString notice(const QString& appName) const;

private:
    struct Ablage {
        std::unique_ptr<QSettings> settings;  // null: the path is no file to read
        QString pfad;
        QString problem;  // set: writes fail for this reason
        QString hinweis;
        std::unique_ptr<QTemporaryDir> notbehelf;  // a copy read when the file stayed in place
    };
    Ablage& forApp(const QString& appName) const;
    void oeffnen(Ablage& a, const QString& appName) const;
    bool beiseitelegen(Ablage& a, qint64 groesse) const;

    QString iniFile_;  // empty: per-user location
    QStringList programKeys_;
    mutable std::map<QString, Ablage> byApp_;
};

// Text forms of the stored values. Booleans are written as True / False and
// read case-insensitively (numbers count as in Basic: 0 is False).
QString boolText(bool b);
// Conversions that fail (return false) for text that is not of the type:
// the caller then keeps its previous value.
bool parseBool(const QString& text, bool& out);
bool parseInt32(const QString& text, qint32& out);
bool parseInt16(const QString& text, qint16& out);
bool parseNumber(const QString& text, double& out);
