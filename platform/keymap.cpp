#include "platform/keymap.h"
#include "platform/textcodec.h"

#include <QKeyEvent>
#include <array>
#include <utility>

namespace {
// Qt key → virtual-key code of the German layout (main block).
constexpr std::pair<int, int> kMain[] = {
    // plain, shifted and AltGr signs of the number row
    {Qt::Key_Exclam, 49}, {Qt::Key_QuoteDbl, 50}, {Qt::Key_twosuperior, 50},
    {Qt::Key_section, 51}, {Qt::Key_threesuperior, 51}, {Qt::Key_Dollar, 52},
    {Qt::Key_Percent, 53}, {Qt::Key_Ampersand, 54}, {Qt::Key_Slash, 55},
    {Qt::Key_BraceLeft, 55}, {Qt::Key_ParenLeft, 56}, {Qt::Key_BracketLeft, 56},
    {Qt::Key_ParenRight, 57}, {Qt::Key_BracketRight, 57}, {Qt::Key_Equal, 48},
    {Qt::Key_BraceRight, 48}, {Qt::Key_ssharp, 219}, {Qt::Key_Question, 219},
    {Qt::Key_Backslash, 219}, {Qt::Key_acute, 221}, {Qt::Key_Dead_Acute, 221},
    {Qt::Key_QuoteLeft, 221}, {Qt::Key_Dead_Grave, 221}, {Qt::Key_AsciiCircum, 220},
    {Qt::Key_Dead_Circumflex, 220}, {Qt::Key_degree, 220},
    // letter rows
    {Qt::Key_At, 81}, {0x20AC, 69}, {Qt::Key_Udiaeresis, 186},
    {Qt::Key_Plus, 187}, {Qt::Key_Asterisk, 187}, {Qt::Key_AsciiTilde, 187},
    {Qt::Key_Dead_Tilde, 187}, {Qt::Key_Odiaeresis, 192}, {Qt::Key_Adiaeresis, 222},
    {Qt::Key_NumberSign, 191}, {Qt::Key_Apostrophe, 191}, {Qt::Key_Less, 226},
    {Qt::Key_Greater, 226}, {Qt::Key_Bar, 226}, {Qt::Key_mu, 77},
    {Qt::Key_Comma, 188}, {Qt::Key_Semicolon, 188}, {Qt::Key_Period, 190},
    {Qt::Key_Colon, 190}, {Qt::Key_Minus, 189}, {Qt::Key_Underscore, 189},
    {Qt::Key_Space, 32},
    // control and modifier keys (AltGr reports as Ctrl, as on Windows)
    {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9}, {Qt::Key_Backtab, 9}, {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13}, {Qt::Key_Shift, 16}, {Qt::Key_Control, 17}, {Qt::Key_AltGr, 17},
    {Qt::Key_Alt, 18}, {Qt::Key_Pause, 19}, {Qt::Key_CapsLock, 20}, {Qt::Key_Escape, 27},
    {Qt::Key_PageUp, 33}, {Qt::Key_PageDown, 34}, {Qt::Key_End, 35}, {Qt::Key_Home, 36},
    {Qt::Key_Left, 37}, {Qt::Key_Up, 38}, {Qt::Key_Right, 39}, {Qt::Key_Down, 40},
    {Qt::Key_Print, 44}, {Qt::Key_Insert, 45}, {Qt::Key_Delete, 46}, {Qt::Key_Meta, 91},
    {Qt::Key_Menu, 93}, {Qt::Key_NumLock, 144}, {Qt::Key_ScrollLock, 145},
};

// The numeric keypad (Num Lock on).
constexpr std::pair<int, int> kKeypad[] = {
    {Qt::Key_Asterisk, 106}, {Qt::Key_Plus, 107}, {Qt::Key_Minus, 109},
    {Qt::Key_Comma, 110}, {Qt::Key_Period, 110}, {Qt::Key_Slash, 111}, {Qt::Key_Enter, 13},
};

template <size_t N>
int lookup(const std::pair<int, int> (&table)[N], int key) {
    for (const auto& [k, vk] : table)
        if (k == key) return vk;
    return 0;
}
}  // namespace

int virtualKeyFor(int qtKey, bool keypad) {
    if (keypad) {
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return 96 + (qtKey - Qt::Key_0);
        if (int vk = lookup(kKeypad, qtKey)) return vk;
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return 65 + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return 48 + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return 112 + (qtKey - Qt::Key_F1);
    // Small umlauts arrive as their capital keys, other Latin-1 letters not at all.
    return lookup(kMain, qtKey);
}

int virtualKey(const QKeyEvent& e) {
    return virtualKeyFor(e.key(), e.modifiers().testFlag(Qt::KeypadModifier));
}

int shiftState(const QKeyEvent& e) {
    const Qt::KeyboardModifiers m = e.modifiers();
    return (m.testFlag(Qt::ShiftModifier) ? 1 : 0) + (m.testFlag(Qt::ControlModifier) ? 2 : 0) +
           (m.testFlag(Qt::AltModifier) ? 4 : 0);
}

bool isShortcutChord(const QKeyEvent& e) {
    const Qt::KeyboardModifiers m = e.modifiers();
    return m.testFlag(Qt::ControlModifier) != m.testFlag(Qt::AltModifier);
}

int ansiCode(const QKeyEvent& e) {
    switch (e.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Delete: return 0;
    default: break;
    }
    const QString t = e.text();
    return t.size() == 1 ? ansiCodeOf(t[0]) : 0;
}

int ansiCodeOf(QChar c) {
    if (c.unicode() < 0x20 || c.unicode() == 0x7F) return 0;
    const QByteArray b = encodeCp1252(QString(c));
    if (b.size() != 1 || (b[0] == '?' && c != QLatin1Char('?'))) return 0;
    return static_cast<unsigned char>(b[0]);
}
