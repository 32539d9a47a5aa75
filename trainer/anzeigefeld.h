#pragma once
#include <QHash>
#include <QLineEdit>
#include <QPixmap>

// The writing window's expected-key display: a read-only line edit whose
// text changes on nearly every key. Each text it shows is drawn once, as
// the line edit draws it, and kept as a picture; a key then costs a copy.
// The rounded corners of its frame are filled with the colour of the window
// around it, so the box covers its place wholly and the window is not
// repainted under it.
class Anzeigefeld : public QLineEdit {
    Q_OBJECT
public:
    explicit Anzeigefeld(QWidget* parent = nullptr);

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void changeEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    // Draws and keeps the picture of the present text.
    void bildZeichnen();

    QHash<QString, QPixmap> bilder_;
    bool zeichnet_ = false;  // drawing a picture: the line edit paints itself
};
