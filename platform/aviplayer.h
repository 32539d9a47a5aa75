#pragma once
#include <QImage>
#include <QList>
#include <QTimer>
#include <QWidget>

// Plays an AVI clip in a widget, the way the wait window shows its
// animation: open() loads the clip and shows its first frame, play() runs it
// over and over until stop(). The frame is drawn centred in the widget.
class AviPlayer : public QWidget {
    Q_OBJECT
public:
    explicit AviPlayer(QWidget* parent = nullptr);

    // Loads the clip; false, leaving the player empty, when the file is
    // missing or cannot be read.
    bool open(const QString& path);
    void play();  // repeats until stopped; does nothing without a clip
    void stop();  // stays on the current frame
    bool isPlaying() const { return timer_.isActive(); }
    int frameCount() const { return int(frames_.size()); }
    int currentFrame() const { return current_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void advance();

    QList<QImage> frames_;
    QTimer timer_;
    int current_ = 0;
};
