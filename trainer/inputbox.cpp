#include "trainer/inputbox.h"

#include <QContextMenuEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

InputBox::InputBox(QWidget* parent) : QPlainTextEdit(parent) {
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    setUndoRedoEnabled(false);
    setTabChangesFocus(false);
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
    setTextCursor(cur);
}

void InputBox::contextMenuEvent(QContextMenuEvent* e) { e->accept(); }
