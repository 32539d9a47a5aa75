// The floor of `make bench-x FLOOR=1`: a bare Qt Widgets window of the
// writing window's size whose only reaction to a key is one key-sized box
// turning green on the press and grey again on the release. What the key
// sender measures on it is what Qt and the X server cost any window for a
// key and two small repaints, before the trainer does anything.
#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QWidget>

namespace {

class Kasten : public QWidget {
public:
    using QWidget::QWidget;
    QColor farbe = Qt::lightGray;

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), farbe); }
};

class Fenster : public QWidget {
public:
    Fenster() {
        resize(929, 601);
        kasten_ = new Kasten(this);
        kasten_->setGeometry(292, 412, 64, 56);
        kasten_->setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::StrongFocus);
    }

protected:
    void keyPressEvent(QKeyEvent*) override { faerben(Qt::green); }
    void keyReleaseEvent(QKeyEvent*) override { faerben(Qt::lightGray); }

private:
    void faerben(const QColor& c) {
        kasten_->farbe = c;
        kasten_->update();
    }
    Kasten* kasten_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Fenster fenster;
    fenster.show();
    return app.exec();
}
