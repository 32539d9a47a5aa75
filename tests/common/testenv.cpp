#include "testenv.h"
#include "platform/fonts.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocale>

void prepareTestApplication() {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    installFontSubstitutes();
    QApplication::setApplicationName(QStringLiteral("VelkoraTest"));
}

QString screenshotDir() {
    QString d = qEnvironmentVariable("VELKORA_SCREENSHOTS");
    if (d.isEmpty()) d = QStringLiteral(VELKORA_PROGRAM_DIR "/screenshots");
    QDir().mkpath(d);
    return d;
}

TestEnv::TestEnv(bool withData) {
    QDir().mkpath(dir_.path() + QStringLiteral("/settings"));
    if (withData) {
        // Every data file of the built program directory.
        const QDir built(QStringLiteral(VELKORA_PROGRAM_DIR));
        const QStringList patterns = {"*.inf", "*.txt", "*.TXT", "*.wav", "*.WAV", "*.ani", "*.AVI"};
        for (const QString& f : built.entryList(patterns, QDir::Files))
            QFile::copy(built.filePath(f), dir_.path() + '/' + f);
        // The databases as the build made them: the copies beside the program
        // may hold results of a run from the build directory.
        const QDir empty(QStringLiteral(VELKORA_PROGRAM_DIR "/tools/databases"));
        for (const QString& f : empty.entryList({"*.mdb"}, QDir::Files)) {
            const QString target = dir_.path() + '/' + f;
            QFile::copy(empty.filePath(f), target);
            QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner);
        }
    }
    restart();
}

TestEnv::~TestEnv() {
    app.reset();
    store.reset();
}

void TestEnv::restart() {
    app.reset();
    store = std::make_unique<SettingsStore>(settingsFile());
    app = std::make_unique<App>(dir_.path(), *store, services);
}

void TestEnv::writeFile(const QString& name, const QByteArray& bytes) const {
    QFile f(joinProgramPath(dir_.path(), name));
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

void TestEnv::removeFile(const QString& name) const {
    QFile::remove(joinProgramPath(dir_.path(), name));
}
