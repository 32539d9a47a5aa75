#pragma once
#include "platform/services.h"
#include "platform/settingsstore.h"
#include "shell/app.h"

#include <QList>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// Records what the program asks of the desktop instead of doing it.
class FakeServices : public PlatformServices {
public:
    struct Message {
        QString text;
        int style;
        QString title;
    };
    int msgBox(QWidget*, const QString& text, int style, const QString& title) override {
        messages.append({text, style, title.isEmpty() ? kAppTitle : title});
        return answer;
    }
    void beep() override { ++beeps; }
    void playSound(const QString& path) override { sounds.append(path); }
    void preloadSound(const QString& path) override { preloaded.append(path); }
    bool shellOpen(const QString& target) override {
        opened.append(target);
        return true;
    }
    bool startEditor() override {
        ++editors;
        return true;
    }
    QPoint cursorPos() override { return cursor; }
    // Reads the scripted table; a point not in it cannot be read.
    std::optional<QColor> screenPixel(const QPoint& p) override {
        ++pixelReads;
        auto it = pixels.find({p.x(), p.y()});
        if (it == pixels.end()) return std::nullopt;
        return it.value();
    }
    // The clock stands until a test moves it.
    qint64 monotonicMs() override { return uhr; }
    // Answers as the user scripted it; records the dialog's suggestion.
    QString saveFileName(QWidget*, const QString& title, const QString& suggested, const QString&) override {
        dialogs.append(Dialog{title, suggested});
        return saveAnswer;
    }
    // What was said, with "!" before a text that interrupted.
    void sprechen(const QString& t, bool unterbrechen) override { gesprochen << (unterbrechen ? '!' + t : t); }
    bool bildschirmleser() override { return leser; }
    void clear() {
        gesprochen.clear();
        messages.clear();
        dialogs.clear();
        sounds.clear();
        opened.clear();
        beeps = editors = 0;
    }

    QList<Message> messages;
    QStringList sounds, preloaded, opened;
    QStringList gesprochen;  // texts spoken
    bool leser = false;      // a screen reader runs
    int beeps = 0;
    int editors = 0;
    // The pointer position and the screen's pixels, as a test scripts them.
    QPoint cursor;
    QMap<std::pair<int, int>, QColor> pixels;
    int pixelReads = 0;
    int answer = Msg::Ok;
    qint64 uhr = 0;
    struct Dialog {
        QString title, suggested;
    };
    QList<Dialog> dialogs;  // save dialogs asked for
    QString saveAnswer;      // the file the user picks; empty: cancelled
};

// A program of its own for one test: a temporary program directory holding
// copies of the built data files, a temporary settings file, fake services
// and an App over them.
class TestEnv {
public:
    explicit TestEnv(bool withData = true);
    ~TestEnv();

    QString programDir() const { return dir_.path(); }
    QString settingsFile() const { return dir_.path() + QStringLiteral("/settings/Velkora.ini"); }
    // Writes a file into the program directory (name as the program names it).
    void writeFile(const QString& name, const QByteArray& bytes) const;
    void removeFile(const QString& name) const;
    // A fresh App over the same directory and settings (e.g. a second start).
    void restart();

    FakeServices services;
    std::unique_ptr<SettingsStore> store;
    std::unique_ptr<App> app;

private:
    QTemporaryDir dir_;
};

// Sets up the Qt application for a test: German locale, the font
// substitutes, offscreen rendering.
void prepareTestApplication();

#define VELKORA_TEST_MAIN(TestObject)            \
    int main(int argc, char** argv) {            \
        QApplication app(argc, argv);            \
        prepareTestApplication();                \
        TestObject tc;                           \
        return QTest::qExec(&tc, argc, argv);    \
    }

// Something other than a regular file under a name, as a hostile user may
// offer it: "fifo" (a named pipe), "geraet" (a link to /dev/zero), "ordner",
// "socket", "schleife" (a symbolic link to itself). The socket is closed with the object.
class Sonderdatei {
public:
    Sonderdatei(const QString& art, const QString& pfad);
    ~Sonderdatei();
    Sonderdatei(const Sonderdatei&) = delete;
    Sonderdatei& operator=(const Sonderdatei&) = delete;
    bool ok() const { return ok_; }

private:
    int socket_ = -1;
    bool ok_ = false;
};

// Where screenshots of windows go (a folder under the build directory).
QString screenshotDir();

// Shows a window and saves it as a picture for a person to look at, checked
// for at least the given size and for content (more than a few colours).
void fotografieren(QWidget* w, const QString& name, QSize mindestens = QSize(300, 200));
