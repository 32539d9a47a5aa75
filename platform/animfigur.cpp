#include "platform/animfigur.h"
#include "platform/anireader.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QPainter>
#include <QTimer>
#include <memory>
#ifdef Q_OS_LINUX
#include <sys/stat.h>
#endif

namespace {

// A decoded animation with the start time of every step, shared by the cache
// and the figures showing it.
struct Decoded {
    AniAnimation anim;
    QList<int> startMs;
    int totalMs = 0;
};

// Decoded files by path. The figure is shown again on every correct key, so
// the file is only looked at (size and modification time), not read, while
// it stays unchanged. Files that cannot be decoded are remembered as such.
// The cache holds nothing but the contents of files, so windows of separate
// program contexts may share it.
struct CacheEntry {
    qint64 fileSize = -1;
    qint64 modified = 0;
    std::shared_ptr<const Decoded> decoded;  // null: the file is not an animation
};

constexpr int kCacheLimit = 16;

QHash<QString, CacheEntry>& cache() {
    static QHash<QString, CacheEntry> entries;
    return entries;
}

// All figures walk to one clock, so a figure recreated one step further on
// goes on with the walk instead of starting it again.
qint64 clockMs() {
    static QElapsedTimer clock;
    if (!clock.isValid()) clock.start();
    return clock.elapsed();
}

// What the cache compares: kind, size and modification time of a file.
struct Dateistand {
    bool datei = false;  // a regular file
    qint64 groesse = -1;
    qint64 geaendert = 0;
};

// One system call on Linux: the figure looks at its file on every step.
Dateistand dateistand(const QString& path) {
#ifdef Q_OS_LINUX
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return {};
    return {S_ISREG(st.st_mode), qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
#else
    const QFileInfo info(path);
    return {info.isFile(), info.size(), info.lastModified().toMSecsSinceEpoch()};
#endif
}

std::shared_ptr<const Decoded> load(const QString& path) {
    const Dateistand stand = dateistand(path);
    if (!stand.datei) {
        cache().remove(path);
        return nullptr;
    }
    auto it = cache().find(path);
    if (it != cache().end() && it->fileSize == stand.groesse && it->modified == stand.geaendert) return it->decoded;

    std::shared_ptr<Decoded> d;
    AniAnimation anim = readAniFile(path);
    if (!anim.isEmpty()) {
        d = std::make_shared<Decoded>();
        d->anim = std::move(anim);
        for (int ms : d->anim.durations) {
            d->startMs.append(d->totalMs);
            d->totalMs += ms;
        }
    }
    if (cache().size() >= kCacheLimit && it == cache().end()) cache().clear();
    cache().insert(path, CacheEntry{stand.groesse, stand.geaendert, d});
    return d;
}

// The child window that plays the frames on a transparent background.
class FigurFenster : public QWidget {
public:
    FigurFenster(std::shared_ptr<const Decoded> d, QWidget* parent)
        : QWidget(parent), d_(std::move(d)) {
        setObjectName(QStringLiteral("AnimFigur"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        resize(d_->anim.size());
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { step(); });
        step();
    }

    bool zeigt(const std::shared_ptr<const Decoded>& d) const { return d_ == d; }

protected:
    void paintEvent(QPaintEvent*) override {
        // A screen scaled by two gets the frames drawn at its resolution.
        const bool scharf = devicePixelRatioF() > 1.0 && !d_->anim.frames2x.isEmpty();
        QPainter(this).drawImage(0, 0, scharf ? d_->anim.frames2x[frame_] : d_->anim.frames[frame_]);
    }

private:
    // Shows the step the clock is in and waits for the next one.
    void step() {
        const int at = int(clockMs() % d_->totalMs);
        int s = int(d_->startMs.size()) - 1;
        while (s > 0 && d_->startMs[s] > at) --s;
        if (s != frame_) {
            frame_ = s;
            update();
        }
        if (d_->startMs.size() > 1) timer_.start(d_->startMs[s] + d_->anim.durations[s] - at);
    }

    std::shared_ptr<const Decoded> d_;
    QTimer timer_;
    int frame_ = 0;
};

}  // namespace

void AnimZeigen(AnimFigur& figur, const QString& path, QWidget* parent, int x, int y) {
    std::shared_ptr<const Decoded> d = parent ? load(path) : nullptr;
    // The same animation in the same strip: the window only moves. It would
    // look no different made anew (the steps follow one clock), but a new
    // window costs a polish, a layout and a repaint of the strip on every step.
    if (auto* alt = dynamic_cast<FigurFenster*>(figur.fenster.data());
        d && alt && alt->parentWidget() == parent && alt->zeigt(d)) {
        alt->move(x, y);
        return;
    }
    AnimEntfernen(figur);
    if (!d) return;  // no parent, or no animation in the file
    auto* fenster = new FigurFenster(std::move(d), parent);
    fenster->move(x, y);
    fenster->show();
    figur.fenster = fenster;
    figur.geladen = true;
}

void AnimEntfernen(AnimFigur& figur) {
    if (figur.fenster) delete figur.fenster.data();
    figur.fenster = nullptr;
    figur.geladen = false;
}
