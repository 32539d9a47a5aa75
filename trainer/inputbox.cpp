#include "trainer/inputbox.h"

#include <QContextMenuEvent>
#include <QTextCursor>

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
    setTextCursor(cur);
}

void InputBox::contextMenuEvent(QContextMenuEvent* e) { e->accept(); }
