#include "platform/settingsstore.h"
#include "platform/numbers.h"
#include "platform/textcodec.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <cerrno>
#include <cmath>
#include <sys/stat.h>

SettingsStore::SettingsStore() = default;

SettingsStore::SettingsStore(const QString& iniFile) : iniFile_(iniFile) {}

SettingsStore::~SettingsStore() = default;

namespace {
// The file QSettings uses for the per-user location, known before QSettings
// opens it (it reads the file as it is made).
QString benutzerDatei(const QString& appName) {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') +
           appName + QLatin1Char('/') + appName + QStringLiteral(".ini");
}

// A key or section name as QSettings writes it in an INI file: %XX and %UXXXX
// for letters beyond ASCII, a backslash for the slash.
QString iniName(const QByteArray& raw) {
    const QString s = QString::fromUtf8(raw.trimmed());
    QString out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        bool ok = false;
        if (s[i] == QLatin1Char('%') && i + 5 < s.size() && s[i + 1] == QLatin1Char('U')) {
            const uint u = s.mid(i + 2, 4).toUInt(&ok, 16);
            if (ok) {
                out.append(QChar(char16_t(u)));
                i += 5;
                continue;
            }
        }
        if (s[i] == QLatin1Char('%') && i + 2 < s.size()) {
            const uint u = s.mid(i + 1, 2).toUInt(&ok, 16);
            if (ok) {
                out.append(QChar(char16_t(u)));
                i += 2;
                continue;
            }
        }
        out.append(s[i] == QLatin1Char('\\') ? QLatin1Char('/') : s[i]);
    }
    return out;
}

// A line cut to at most n bytes where QSettings still reads it: no broken
// UTF-8 sequence and no lone escape character at its end.
QByteArray gekuerzt(QByteArray line, qsizetype n) {
    if (line.size() <= n) return line;
    line.truncate(n);
    while (!line.isEmpty() && static_cast<unsigned char>(line.back()) >= 0x80) line.chop(1);
    while (line.endsWith('\\')) line.chop(1);
    return line;
}

QString ordnerVon(const QString& pfad) { return QFileInfo(pfad).absolutePath(); }
}  // namespace

void SettingsStore::oeffnen(Ablage& a, const QString& appName) const {
    a.pfad = iniFile_.isEmpty() ? benutzerDatei(appName) : iniFile_;
    const QByteArray p = QFile::encodeName(a.pfad);
    struct stat st {};
    const bool da = ::stat(p.constData(), &st) == 0;
    QString warum;
    if (!da && errno == ELOOP)
        warum = QStringLiteral("ist eine symbolische Verknüpfung, die im Kreis auf sich selbst zurückführt");
    else if (da && !S_ISREG(st.st_mode))
        warum = QStringLiteral("ist keine gewöhnliche Datei, sondern %1").arg(notRegularKind(a.pfad));
    if (!warum.isEmpty()) {
        // Never opened: a pipe would block the start for good.
        a.problem = QStringLiteral("Die Einstellungen konnten nicht gespeichert werden: \"%1\" %2.").arg(a.pfad, warum);
        a.hinweis = QStringLiteral("Die Einstellungen konnten nicht gelesen werden: \"%1\" %2. Velkora beginnt "
                                   "mit den üblichen Einstellungen und kann keine Änderung speichern.")
                        .arg(a.pfad, warum);
        return;
    }
    if (da) {
        const FileRead r = readRegularFile(a.pfad, kMaxFileBytes);
        if (r.status == FileReadStatus::TooLarge || r.bytes.count('\n') > kMaxLines) {
            if (beiseitelegen(a, st.st_size)) return;
        }
    }
    // The per-user store also reads the organisation's file beside the
    // folder (~/.config/Velkora.ini); when that is no regular file, the
    // program's own file is read alone.
    const QString orgDatei = ordnerVon(a.pfad) + QStringLiteral(".ini");
    if (iniFile_.isEmpty() && notRegularKind(orgDatei).isEmpty())
        a.settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, appName, appName);
    else
        a.settings = std::make_unique<QSettings>(a.pfad, QSettings::IniFormat);
}

bool SettingsStore::beiseitelegen(Ablage& a, qint64 groesse) const {
    // The program's keys, the last of each as QSettings would read it.
    QFile f(a.pfad);
    if (!f.open(QIODevice::ReadOnly)) return false;
    constexpr qsizetype kZeile = 4 * kMaxValueLength + 256;
    std::map<QString, QByteArray> behalten;
    // The sections of the program's keys; lines of any other are passed by
    // without decoding them.
    QSet<QString> eigene;
    for (const QString& sk : programKeys_) eigene.insert(sk.section(QLatin1Char('/'), 0, 0));
    QString abschnitt;
    bool eigener = false;
    qint64 zeilen = 0;
    while (!f.atEnd()) {
        ++zeilen;
        QByteArray z = f.readLine(kZeile + 2);
        // The rest of a longer line is read past in pieces.
        while (!z.endsWith('\n') && !f.atEnd()) {
            const QByteArray rest = f.readLine(64 * 1024);
            if (rest.endsWith('\n')) break;
        }
        const QByteArray t = z.trimmed();
        if (t.startsWith('[')) {
            const qsizetype e = t.indexOf(']');
            abschnitt = iniName(t.mid(1, e < 0 ? -1 : e - 1));
            eigener = eigene.contains(abschnitt);
            continue;
        }
        if (!eigener) continue;
        const qsizetype gleich = t.indexOf('=');
        if (gleich <= 0) continue;
        const QString sk = abschnitt + QLatin1Char('/') + iniName(t.left(gleich));
        if (programKeys_.contains(sk)) behalten[sk] = gekuerzt(t, kZeile);
    }
    f.close();
    // The new file keeps within the limits, so that it is read as it stands.
    QByteArray auszug;
    QString letzter;
    qsizetype platz = kMaxFileBytes - 4096;
    for (const QString& sk : programKeys_) {
        const auto it = behalten.find(sk);
        if (it == behalten.end() || platz < 256) continue;
        const QString sec = sk.section(QLatin1Char('/'), 0, 0);
        if (sec != letzter) auszug += '[' + sec.toUtf8() + "]\n";
        letzter = sec;
        const QByteArray z = gekuerzt(it->second, platz);
        auszug += z + '\n';
        platz -= z.size() + sec.size() + 4;
    }
    const QString groesseText = QLocale().formattedDataSize(groesse, 1, QLocale::DataSizeTraditionalFormat);
    const QString befund = QStringLiteral("Die Einstellungsdatei \"%1\" ist viel größer, als Einstellungen sein "
                                          "können (%2 in %3 Zeilen).")
                               .arg(a.pfad, groesseText)
                               .arg(zeilen);
    const QString beiseite =
        a.pfad + QStringLiteral(".zu-gross-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    if (QFile::rename(a.pfad, beiseite)) {
        QSaveFile neu(a.pfad);
        if (neu.open(QIODevice::WriteOnly) && neu.write(auszug) == auszug.size() && neu.commit()) {
            a.hinweis = befund + QStringLiteral(" Sie wurde unverändert als \"%1\" beiseitegelegt; Velkora hat "
                                                "daraus nur seine eigenen Einstellungen übernommen.")
                                     .arg(QFileInfo(beiseite).fileName());
            return false;  // the new file is read as usual
        }
        QFile::rename(beiseite, a.pfad);
    }
    // It stays where it is: a copy of the program's keys is read, and no
    // write reaches the file.
    a.notbehelf = std::make_unique<QTemporaryDir>();
    QSaveFile kopie(a.notbehelf->filePath(QStringLiteral("kopie.ini")));
    if (!a.notbehelf->isValid() || !kopie.open(QIODevice::WriteOnly) || kopie.write(auszug) != auszug.size() ||
        !kopie.commit())
        a.notbehelf.reset();
    else
        a.settings = std::make_unique<QSettings>(a.notbehelf->filePath(QStringLiteral("kopie.ini")),
                                                 QSettings::IniFormat);
    a.problem = QStringLiteral("Die Einstellungen konnten nicht gespeichert werden: die Datei \"%1\" ist viel "
                               "zu groß und konnte nicht beiseitegelegt werden.")
                    .arg(a.pfad);
    a.hinweis = befund + QStringLiteral(" Sie konnte nicht beiseitegelegt werden; Velkora liest daraus nur seine "
                                        "eigenen Einstellungen und kann keine Änderung speichern.");
    return true;
}

SettingsStore::Ablage& SettingsStore::forApp(const QString& appName) const {
    auto [it, neu] = byApp_.try_emplace(appName);
    if (neu) oeffnen(it->second, appName);
    return it->second;
}

// The section is the INI group; the application selects the file.
static QString fullKey(const QString& section, const QString& key) {
    return section + '/' + key;
}

QString SettingsStore::GetSetting(const QString& appName, const QString& section,
                                  const QString& key, const QString& deflt) const {
    Ablage& a = forApp(appName);
    if (!a.settings) return deflt;
    const QVariant v = a.settings->value(fullKey(section, key));
    if (!v.isValid()) return deflt;
    // An INI value with an unquoted comma reads back as a list; it is one text.
    const QString t = v.typeId() == QMetaType::QStringList ? v.toStringList().join(QStringLiteral(", "))
                                                           : v.toString();
    return t.left(kMaxValueLength);
}

bool SettingsStore::hasKey(const QString& appName, const QString& section,
                           const QString& key) const {
    const Ablage& a = forApp(appName);
    return a.settings && a.settings->contains(fullKey(section, key));
}

bool SettingsStore::SaveSetting(const QString& appName, const QString& section,
                                const QString& key, const QString& value) {
    Ablage& a = forApp(appName);
    if (!a.settings) return false;
    QSettings& s = *a.settings;
    s.setValue(fullKey(section, key), value);
    if (!a.problem.isEmpty()) return false;  // held for this run only
    // A pipe put there since the start would block the write for good.
    struct stat st {};
    if (::stat(QFile::encodeName(a.pfad).constData(), &st) == 0 && !S_ISREG(st.st_mode)) return false;
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
    const Ablage& a = forApp(appName);
    return a.pfad;
}

QString SettingsStore::notice(const QString& appName) const { return forApp(appName).hinweis; }

QString SettingsStore::writeProblem(const QString& appName) const {
    const Ablage& a = forApp(appName);
    if (!a.problem.isEmpty()) return a.problem;
    const QString vorn = QStringLiteral("Die Einstellungen konnten nicht gespeichert werden: ");
    const QFileInfo fi(a.pfad);
    const QString art = notRegularKind(a.pfad);
    if (!art.isEmpty())
        return vorn + QStringLiteral("\"%1\" ist keine gewöhnliche Datei, sondern %2.").arg(a.pfad, art);
    if (fi.exists() && !fi.isWritable())
        return vorn + QStringLiteral("die Datei \"%1\" ist schreibgeschützt.").arg(a.pfad);
    const QFileInfo ordner(ordnerVon(a.pfad));
    if (!ordner.isDir())
        return vorn + QStringLiteral("den Ordner \"%1\" gibt es nicht.").arg(ordner.filePath());
    if (!ordner.isWritable())
        return vorn + QStringLiteral("in den Ordner \"%1\" darf nicht geschrieben werden.").arg(ordner.filePath());
    return vorn + QStringLiteral("die Datei \"%1\" kann nicht geschrieben werden.").arg(a.pfad);
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
