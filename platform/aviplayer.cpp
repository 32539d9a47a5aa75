#include "platform/aviplayer.h"
#include "platform/avireader.h"

#include <QPainter>

AviPlayer::AviPlayer(QWidget* parent) : QWidget(parent) {
    connect(&timer_, &QTimer::timeout, this, &AviPlayer::advance);
}

bool AviPlayer::open(const QString& path) {
    stop();
    AviClip clip = readAviFile(path);
    frames_ = clip.frames;
    current_ = 0;
    timer_.setInterval(clip.framePeriodMs);
    updateGeometry();
    update();
    return !frames_.isEmpty();
}

void AviPlayer::play() {
    if (!frames_.isEmpty()) timer_.start();
}

void AviPlayer::stop() { timer_.stop(); }

QSize AviPlayer::sizeHint() const {
    return frames_.isEmpty() ? QSize(0, 0) : frames_.first().size();
}

void AviPlayer::advance() {
    current_ = (current_ + 1) % int(frames_.size());
    update();
}

void AviPlayer::paintEvent(QPaintEvent*) {
    if (frames_.isEmpty()) return;
    const QImage& f = frames_[current_];
    QPainter p(this);
    p.drawImage((width() - f.width()) / 2, (height() - f.height()) / 2, f);
}
