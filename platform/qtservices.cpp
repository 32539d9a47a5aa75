#include "platform/qtservices.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMessageBox>
#include <QProcess>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSoundEffect>
#include <QStandardPaths>
#include <QUrl>
#include <QAccessible>
#include <QMutex>
#include <QTextToSpeech>
#include <QThread>

// Lives on the speech thread: takes what the user-interface thread hands
// over and feeds it to Qt's speech engine one text at a time.
class Sprecher : public QObject {
public:
    // Called on the user-interface thread.
    void abgeben(const QString& text, bool unterbrechen) {
        {
            QMutexLocker l(&mutex_);
            if (unterbrechen) {
                neu_.clear();
                abbrechen_ = true;
            }
            neu_.append(text);
            if (geplant_) return;  // one wake-up carries all that came meanwhile
            geplant_ = true;
        }
        QMetaObject::invokeMethod(this, [this] { weiter(); }, Qt::QueuedConnection);
    }

private:
    void weiter() {
        bool abbrechen = false;
        {
            QMutexLocker l(&mutex_);
            abbrechen = abbrechen_;
            if (abbrechen) warten_.clear();
            warten_ += neu_;
            neu_.clear();
            abbrechen_ = geplant_ = false;
        }
        if (!tts_) {
            tts_ = new QTextToSpeech(this);
            tts_->setLocale(QLocale(QLocale::German, QLocale::Germany));
            connect(tts_, &QTextToSpeech::stateChanged, this, [this](QTextToSpeech::State s) {
                if (s == QTextToSpeech::Ready) sagen();
            });
        }
        if (abbrechen && tts_->state() == QTextToSpeech::Speaking) tts_->stop();
        if (tts_->state() != QTextToSpeech::Speaking) sagen();
    }
    void sagen() {
        if (warten_.isEmpty() || !tts_) return;
        tts_->say(warten_.takeFirst());
    }

    QMutex mutex_;
    QStringList neu_;  // handed over, not yet taken (guarded by mutex_)
    bool abbrechen_ = false, geplant_ = false;
    QStringList warten_;  // waiting to be said (speech thread only)
    QTextToSpeech* tts_ = nullptr;
};

QtServices::QtServices(QObject* parent) : QObject(parent) { uhr_.start(); }

QtServices::~QtServices() {
    if (sprachThread_) {
        QMetaObject::invokeMethod(sprecher_, [s = sprecher_] { delete s; }, Qt::BlockingQueuedConnection);
        sprachThread_->quit();
        sprachThread_->wait();
    }
}

void QtServices::sprechen(const QString& text, bool unterbrechen) {
    if (text.isEmpty()) return;
    if (!sprachThread_) {
        sprachThread_ = new QThread(this);
        sprachThread_->setObjectName(QStringLiteral("Sprachausgabe"));
        sprecher_ = new Sprecher;
        sprecher_->moveToThread(sprachThread_);
        sprachThread_->start();
    }
    sprecher_->abgeben(text, unterbrechen);
}

bool QtServices::bildschirmleser() { return QAccessible::isActive(); }

int QtServices::msgBox(QWidget* parent, const QString& text, int style, const QString& title) {
    QMessageBox box(parent);
    box.setWindowTitle(title.isEmpty() ? kAppTitle : title);
    box.setText(text);
    switch (style & 0x70) {
    case Msg::Critical: box.setIcon(QMessageBox::Critical); break;
    case Msg::Question: box.setIcon(QMessageBox::Question); break;
    case Msg::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Msg::Information: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    switch (style & 0x0F) {
    case Msg::OkCancel:
        box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.setEscapeButton(box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole));
        break;
    case Msg::YesNo:
        box.addButton(QStringLiteral("Ja"), QMessageBox::YesRole);
        box.addButton(QStringLiteral("Nein"), QMessageBox::NoRole);
        break;
    case Msg::YesNoCancel:
        box.addButton(QStringLiteral("Ja"), QMessageBox::YesRole);
        box.addButton(QStringLiteral("Nein"), QMessageBox::NoRole);
        box.setEscapeButton(box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole));
        break;
    default: box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole); break;
    }
    box.exec();
    auto* clicked = box.clickedButton();
    switch (box.buttonRole(clicked)) {
    case QMessageBox::YesRole: return Msg::Yes;
    case QMessageBox::NoRole: return Msg::No;
    case QMessageBox::RejectRole: return Msg::Cancel;
    default: return (style & 0x0F) == Msg::OkCancel && !clicked ? Msg::Cancel : Msg::Ok;
    }
}

void QtServices::beep() { QApplication::beep(); }

QSoundEffect* QtServices::effect(const QString& path) {
    if (auto it = effects_.find(path); it != effects_.end()) return it.value();
    QSoundEffect* e = nullptr;
    // Only a regular file: the player would wait for ever on a pipe and
    // never finish reading a device.
    if (QFileInfo(path).isFile()) {
        e = new QSoundEffect(this);
        e->setSource(QUrl::fromLocalFile(path));
    }
    effects_.insert(path, e);  // a missing file is remembered as nothing to play
    return e;
}

void QtServices::preloadSound(const QString& path) { effect(path); }

void QtServices::playSound(const QString& path) {
    if (QSoundEffect* e = effect(path)) {
        if (e->isPlaying()) e->stop();
        e->play();
    }
}

bool QtServices::shellOpen(const QString& target) {
    const QUrl url = QUrl::fromUserInput(target);
    return QDesktopServices::openUrl(url);
}

bool QtServices::startEditor() {
#ifdef Q_OS_WIN
    return QProcess::startDetached(QStringLiteral("notepad.exe"), {});
#else
    // The desktop's text editor: the first one found of the usual ones.
    for (const char* editor : {"gnome-text-editor", "gedit", "kwrite", "kate", "mousepad",
                               "xed", "pluma", "leafpad", "featherpad"}) {
        const QString exe = QStandardPaths::findExecutable(QString::fromLatin1(editor));
        if (!exe.isEmpty() && QProcess::startDetached(exe, {})) return true;
    }
    return false;
#endif
}

QPoint QtServices::cursorPos() { return QCursor::pos(); }

std::optional<QColor> QtServices::screenPixel(const QPoint& globalPos) {
    // A 1 x 1 grab of the screen under the point. Where the platform refuses
    // to grab (Wayland without the permission) the pixmap comes back null.
    QScreen* screen = QGuiApplication::screenAt(globalPos);
    if (!screen) return std::nullopt;
    const QPoint local = globalPos - screen->geometry().topLeft();
    const QPixmap pm = screen->grabWindow(0, local.x(), local.y(), 1, 1);
    if (pm.isNull()) return std::nullopt;
    const QImage img = pm.toImage();
    if (img.isNull() || img.width() < 1 || img.height() < 1) return std::nullopt;
    return img.pixelColor(0, 0);
}

QString QtServices::saveFileName(QWidget* parent, const QString& title, const QString& suggested,
                                 const QString& filter) {
    return QFileDialog::getSaveFileName(parent, title, suggested, filter);
}
