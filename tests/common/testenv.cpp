#include "testenv.h"
#include "platform/fonts.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QSet>
#include <QWidget>
#include <QFile>
#include <QLocale>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

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

void fotografieren(QWidget* w, const QString& name, QSize mindestens) {
    w->show();
    QApplication::processEvents();
    const QImage bild = w->grab().toImage();
    QVERIFY2(bild.width() >= mindestens.width() && bild.height() >= mindestens.height(),
             qPrintable(name));
    QSet<QRgb> farben;
    for (int y = 0; y < bild.height(); y += 3)
        for (int x = 0; x < bild.width(); x += 3) farben.insert(bild.pixel(x, y));
    QVERIFY2(farben.size() > 8, qPrintable(name));
    QVERIFY(bild.save(QDir(screenshotDir()).filePath(name + ".png")));
}

TestEnv::TestEnv(bool withData) {
    QDir().mkpath(dir_.path() + QStringLiteral("/settings"));
    if (withData) {
        // Every data file of the built program directory.
        const QDir built(QStringLiteral(VELKORA_PROGRAM_DIR));
        const QStringList patterns = {"*.inf", "*.txt", "*.TXT", "*.wav", "*.WAV", "*.ani", "*.AVI"};
        for (const QString& f : built.entryList(patterns, QDir::Files))
            QFile::copy(built.filePath(f), dir_.path() + '/' + f);
        // The texts of the copy test, in their folder.
        QDir().mkpath(dir_.path() + QStringLiteral("/abschrift"));
        for (const QString& f : QDir(built.filePath(QStringLiteral("abschrift"))).entryList({"*.inf"}, QDir::Files))
            QFile::copy(built.filePath(QStringLiteral("abschrift/") + f), dir_.path() + QStringLiteral("/abschrift/") + f);
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

Sonderdatei::Sonderdatei(const QString& art, const QString& pfad) {
    const QByteArray p = QFile::encodeName(pfad);
    if (art == QLatin1String("fifo")) {
        ok_ = ::mkfifo(p.constData(), 0600) == 0;
    } else if (art == QLatin1String("geraet")) {
        ok_ = QFile::link(QStringLiteral("/dev/zero"), pfad);
    } else if (art == QLatin1String("schleife")) {  // a link that names itself
        ok_ = ::symlink(p.constData(), p.constData()) == 0;
    } else if (art == QLatin1String("ordner")) {
        ok_ = QDir().mkpath(pfad);
    } else if (art == QLatin1String("socket")) {
        socket_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un adresse{};
        adresse.sun_family = AF_UNIX;
        ok_ = socket_ >= 0 && size_t(p.size()) < sizeof adresse.sun_path;
        if (ok_) {
            std::memcpy(adresse.sun_path, p.constData(), size_t(p.size()));
            ok_ = ::bind(socket_, reinterpret_cast<sockaddr*>(&adresse), sizeof adresse) == 0;
        }
    }
}

Sonderdatei::~Sonderdatei() {
    if (socket_ >= 0) ::close(socket_);
}
