#pragma once
#include "platform/services.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>

class QSoundEffect;
class QThread;
class Sprecher;

// PlatformServices on top of Qt: QMessageBox, QApplication::beep,
// QSoundEffect, QDesktopServices, QCursor, QScreen and QFileDialog.
class QtServices : public QObject, public PlatformServices {
    Q_OBJECT
public:
    explicit QtServices(QObject* parent = nullptr);
    ~QtServices() override;
    int msgBox(QWidget* parent, const QString& text, int style, const QString& title) override;
    void beep() override;
    void playSound(const QString& path) override;
    void preloadSound(const QString& path) override;
    bool shellOpen(const QString& target) override;
    bool startEditor() override;
    QPoint cursorPos() override;
    std::optional<QColor> screenPixel(const QPoint& globalPos) override;
    qint64 monotonicMs() override { return uhr_.elapsed(); }
    QString saveFileName(QWidget* parent, const QString& title, const QString& suggested,
                         const QString& filter) override;
    // Speech runs on a thread of its own: a slow or missing speech service
    // never holds up the keys.
    void sprechen(const QString& text, bool unterbrechen) override;
    bool bildschirmleser() override;

private:
    QThread* sprachThread_ = nullptr;
    Sprecher* sprecher_ = nullptr;
    QSoundEffect* effect(const QString& path);
    QHash<QString, QSoundEffect*> effects_;
    QElapsedTimer uhr_;
};
