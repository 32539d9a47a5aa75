#pragma once
// Typing a text into the writing window's input box the way a learner does:
// one key event per character, Return for each line break.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWidget>

inline void tippeZeichen(QWidget* box, QChar c) {
    if (c == QLatin1Char('\r')) {
        QTest::keyClick(box, Qt::Key_Return);
        return;
    }
    if (c.unicode() < 0x80) {
        QTest::keyClick(box, static_cast<char>(c.unicode()));
        return;
    }
    // German letters outside ASCII: their own keys, capitals with Shift.
    int key = 0;
    Qt::KeyboardModifiers mod = Qt::NoModifier;
    switch (c.toLower().unicode()) {
    case 0xE4: key = Qt::Key_Adiaeresis; break;
    case 0xF6: key = Qt::Key_Odiaeresis; break;
    case 0xFC: key = Qt::Key_Udiaeresis; break;
    case 0xDF: key = Qt::Key_ssharp; break;
    default: key = Qt::Key_unknown; break;
    }
    if (c.isUpper()) mod = Qt::ShiftModifier;
    QKeyEvent press(QEvent::KeyPress, key, mod, QString(c));
    QCoreApplication::sendEvent(box, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mod, QString(c));
    QCoreApplication::sendEvent(box, &release);
}

// Types a text with CR LF line breaks (the LF needs no key of its own).
inline void tippeText(QWidget* box, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\n') && i > 0 && text[i - 1] == QLatin1Char('\r')) continue;
        tippeZeichen(box, text[i]);
    }
}
