#pragma once
#include <QSettings>
#include <QString>
#include <map>
#include <memory>

// The per-user key/value store of the options. Every value is text,
// addressed by application, section and key. Values are held in an INI file;
// the program uses QSettings' per-user location, tests pass their own file.
class SettingsStore {
public:
    // Store in the per-user location of the platform.
    SettingsStore();
    // Store in the given INI file (tests, portable setups).
    explicit SettingsStore(const QString& iniFile);

    // The stored text, or the default when the key is absent.
    QString GetSetting(const QString& appName, const QString& section, const QString& key,
                       const QString& deflt = QString()) const;
    // Creates or overwrites the key; the write reaches the file at once.
    // Returns false when the file could not be written.
    bool SaveSetting(const QString& appName, const QString& section, const QString& key,
                     const QString& value);

    bool hasKey(const QString& appName, const QString& section, const QString& key) const;
    QString fileName(const QString& appName) const;

private:
    QSettings& forApp(const QString& appName) const;

    QString iniFile_;  // empty: per-user location
    mutable std::map<QString, std::unique_ptr<QSettings>> byApp_;
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
