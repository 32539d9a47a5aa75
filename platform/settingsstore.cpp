#include "platform/settingsstore.h"
#include "platform/numbers.h"

#include <cmath>
#include <QFileInfo>
#include <QLocale>
#include <QStringList>

SettingsStore::SettingsStore() = default;

SettingsStore::SettingsStore(const QString& iniFile) : iniFile_(iniFile) {}

QSettings& SettingsStore::forApp(const QString& appName) const {
    auto& slot = byApp_[appName];
    if (!slot) {
        if (iniFile_.isEmpty())
            slot = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                               appName, appName);
        else
            slot = std::make_unique<QSettings>(iniFile_, QSettings::IniFormat);
    }
    return *slot;
}

// The section is the INI group; the application selects the file.
static QString fullKey(const QString& section, const QString& key) {
    return section + '/' + key;
}

QString SettingsStore::GetSetting(const QString& appName, const QString& section,
                                  const QString& key, const QString& deflt) const {
    QSettings& s = forApp(appName);
    const QVariant v = s.value(fullKey(section, key));
    if (!v.isValid()) return deflt;
    // An INI value with an unquoted comma reads back as a list; it is one text.
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QStringLiteral(", "));
    return v.toString();
}

bool SettingsStore::hasKey(const QString& appName, const QString& section,
                           const QString& key) const {
    return forApp(appName).contains(fullKey(section, key));
}

bool SettingsStore::SaveSetting(const QString& appName, const QString& section,
                                const QString& key, const QString& value) {
    QSettings& s = forApp(appName);
    s.setValue(fullKey(section, key), value);
    s.sync();
    if (s.status() != QSettings::FormatError) return s.status() == QSettings::NoError;
    // The status keeps the first error of the object's life: a line it could
    // not parse when the file was read. The value was written all the same
    // (the file is rewritten whole), unless the file cannot be written,
    // which the status then no longer tells.
    const QFileInfo fi(s.fileName());
    return QFileInfo(fi.absolutePath()).isWritable() && (!fi.exists() || (fi.isFile() && fi.isWritable()));
}

QString SettingsStore::fileName(const QString& appName) const {
    return forApp(appName).fileName();
}

QString boolText(bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); }

bool parseNumber(const QString& text, double& out) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return false;
    bool ok = false;
    double v = QLocale::c().toDouble(t, &ok);
    if (!ok) v = QLocale().toDouble(t, &ok);  // the user's own decimal comma
    if (!ok || !std::isfinite(v)) return false;
    out = v;
    return true;
}

bool parseBool(const QString& text, bool& out) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ||
        t.compare(QLatin1String("Wahr"), Qt::CaseInsensitive) == 0) {
        out = true;
        return true;
    }
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0 ||
        t.compare(QLatin1String("Falsch"), Qt::CaseInsensitive) == 0) {
        out = false;
        return true;
    }
    double v = 0;
    if (!parseNumber(t, v)) return false;
    out = v != 0;
    return true;
}

bool parseInt32(const QString& text, qint32& out) {
    double v = 0;
    if (!parseNumber(text, v)) return false;
    return toInt32(v, out);
}

bool parseInt16(const QString& text, qint16& out) {
    double v = 0;
    if (!parseNumber(text, v)) return false;
    return toInt16(v, out);
}
