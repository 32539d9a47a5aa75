#pragma once
#include <QChar>

class QKeyEvent;

// Translation of Qt key events into what the windows expect of a German
// keyboard: the virtual-key code of the physical key (the code of the key's
// legend: "!" is on the 1 key, 49; "@" on the Q key, 81), the shift state
// (1 Shift, 2 Ctrl, 4 Alt) and the character as a Windows-1252 code.

// The virtual-key code of a Qt key (Qt::Key) on the German layout; keypad
// keys when keypad is set. 0 for keys without a code.
int virtualKeyFor(int qtKey, bool keypad = false);
int virtualKey(const QKeyEvent& e);
// 1 Shift, 2 Ctrl, 4 Alt, added up.
int shiftState(const QKeyEvent& e);
// The Windows-1252 code of the character the key types, 0 when it types
// none (modifiers, arrows, Delete, characters outside the code page).
int ansiCode(const QKeyEvent& e);
// The Windows-1252 code of one typed character (as a key or an input
// method delivers it), 0 for control characters and characters outside the
// code page.
int ansiCodeOf(QChar c);
// True for a command chord: Ctrl+key (a shortcut) or Alt+key (a menu's
// access key), but not both at once: Ctrl+Alt is how Windows reports AltGr,
// which types characters (@, €, {, ...).
bool isShortcutChord(const QKeyEvent& e);
