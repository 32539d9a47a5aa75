#pragma once
#include <QIcon>

// The pictures of the writing window's tool buttons, drawn by the program.
enum class Werkzeug { TimerStart, TimerStop, Statistik, Browser, Reminder, Lektionen, Nummernblock, Optionen };
QIcon werkzeugSymbol(Werkzeug w);
