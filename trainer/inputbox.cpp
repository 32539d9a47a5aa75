#include "trainer/inputbox.h"

#include <QContextMenuEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOption>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

InputBox::InputBox(QWidget* parent) : QPlainTextEdit(parent) {
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    setUndoRedoEnabled(false);
    setTabChangesFocus(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The text area paints the styled background under its own text too, so
    // a typed character repaints the changed line once, not the box under it.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    for (QObject* o : children())
        if (o->inherits("QWidgetTextControl")) textControl_ = o;
}

void InputBox::hintergrund(QPainter& p) const {
    // What Qt draws under an input box that is not opaque: the parent's
    // background around the text area, the text area's own colour (the
    // palette's, for a window that sets no style sheet), and over both
    // the background of a style sheet.
    const QWidget* unter = parentWidget() ? parentWidget() : this;
    p.fillRect(rect(), unter->palette().brush(unter->backgroundRole()));
    p.fillRect(viewport()->geometry(), viewport()->palette().brush(viewport()->backgroundRole()));
    QStyleOption opt;
    opt.initFrom(this);
    style()->drawPrimitive(QStyle::PE_Widget, &opt, &p, this);
}

void InputBox::paintEvent(QPaintEvent* e) {
    {
        QPainter p(viewport());
        p.setClipRect(e->rect());
        p.translate(-viewport()->pos());
        hintergrund(p);
    }
    QPlainTextEdit::paintEvent(e);
}

bool InputBox::event(QEvent* e) {
    if (e->type() == QEvent::Paint) {
        QPainter p(this);
        hintergrund(p);
        // A repaint inside the frame (a typed character) leaves the frame as it is.
        if (contentsRect().contains(static_cast<QPaintEvent*>(e)->rect())) return true;
    }
    return QPlainTextEdit::event(e);
}

void InputBox::insertCharacter(QChar c) {
    QTextCursor cur = textCursor();
    cur.movePosition(QTextCursor::End);
    if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) cur.insertBlock();
    else anhaengen(cur, c);
    // Each character lays out its whole paragraph again, and a text without
    // line breaks is one paragraph of thousands of characters. Once the
    // paragraph fills kZeilen lines it is split where its last line starts:
    // the lines look as before, and a key lays out only a few lines.
    const QTextBlock b = cur.block();
    const QTextLayout* l = b.layout();
    if (l && l->lineCount() > kZeilen) {
        QTextCursor split(document());
        split.setPosition(b.position() + l->lineAt(l->lineCount() - 1).textStart());
        split.insertBlock();
        cur.movePosition(QTextCursor::End);
    }
    // The paragraph keeps its shaped glyphs, so painting it does not shape it again.
    cur.block().layout()->setCacheEnabled(true);
    setTextCursor(cur);
}

void InputBox::anhaengen(QTextCursor& cur, QChar c) {
    // Qt repaints a changed paragraph's whole line. A character that fits on
    // the last line changes no line break, no line count and no scroll range,
    // only its own place: the text control is kept from repainting the line,
    // and that place is repainted instead.
    const QTextLayout* l = cur.block().layout();
    if (!textControl_ || !isVisible() || !l || l->lineCount() == 0) {
        cur.insertText(QString(c));
        return;
    }
    const QTextLine zeile = l->lineAt(l->lineCount() - 1);
    if (zeile.naturalTextWidth() + fontMetrics().horizontalAdvance(c) >= zeile.width()) {
        cur.insertText(QString(c));  // it may wrap
        return;
    }
    const QRect vorher = cursorRect(cur);
    {
        const QSignalBlocker still(textControl_);
        cur.insertText(QString(c));
    }
    const QRect nachher = cursorRect(cur);
    viewport()->update(vorher.united(nachher).adjusted(-2, -1, 2, 1));
}

void InputBox::contextMenuEvent(QContextMenuEvent* e) { e->accept(); }
