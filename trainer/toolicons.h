#pragma once
#include <QColor>
#include <QIcon>

class QPushButton;

// The pictures of the writing window's tool buttons, drawn by the program.
enum class Werkzeug { TimerStart, TimerStop, Statistik, Browser, Reminder, Lektionen, Nummernblock, Optionen };
QIcon werkzeugSymbol(Werkzeug w);
// Gives a tool button its background colour (flat, with a thin frame;
// grey while disabled).
void werkzeugFarbe(QPushButton* button, const QColor& farbe);
