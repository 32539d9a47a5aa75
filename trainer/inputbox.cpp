#include "trainer/inputbox.h"

#include <QContextMenuEvent>
#include <QPaintEvent>
#include <QPainter>
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
}

bool InputBox::event(QEvent* e) {
    if (e->type() == QEvent::Paint) {
        // What Qt draws under a styled widget that is not opaque.
        QPainter p(this);
        QStyleOption opt;
        opt.initFrom(this);
        style()->drawPrimitive(QStyle::PE_Widget, &opt, &p, this);
        // A repaint inside the frame (a typed character) leaves the frame as it is.
        if (contentsRect().contains(static_cast<QPaintEvent*>(e)->rect())) return true;
    }
    return QPlainTextEdit::event(e);
}

void InputBox::insertCharacter(QChar c) {
    QTextCursor cur = textCursor();
    cur.movePosition(QTextCursor::End);
    if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) cur.insertBlock();
    else cur.insertText(QString(c));
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

void InputBox::contextMenuEvent(QContextMenuEvent* e) { e->accept(); }
