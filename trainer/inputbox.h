#pragma once
#include <QPlainTextEdit>

class QPainter;

// The input box of the writing window. Characters reach it only through
// insertCharacter (the judging decides what enters); paste, drop and the
// context menu are shut off, so nothing else changes its text.
// It paints its background itself (palette or style sheet) and so counts as
// opaque: a typed character then repaints the box's line, not the window
// behind it too.
class InputBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit InputBox(QWidget* parent = nullptr);
    // Appends an accepted character (CR becomes a line break).
    void insertCharacter(QChar c);
    // Lines a paragraph may fill before the box splits it where it wraps.
    static constexpr int kZeilen = 8;

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    bool canInsertFromMimeData(const QMimeData*) const override { return false; }
    void insertFromMimeData(const QMimeData*) override {}
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    // Paints the box's background, the whole box, in p's coordinates.
    void hintergrund(QPainter& p) const;
    // Appends a character that is no line break.
    void anhaengen(QTextCursor& cur, QChar c);
    QObject* textControl_ = nullptr;  // Qt's text control inside the box, when found
};
