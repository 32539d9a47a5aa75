#pragma once

class App;
class QWidget;

// Places a secondary window as all of them open: its left edge on the main
// window's left edge, its top 600 twips below the main window's top. Without
// a main window (tests, tools) the window stays where it is.
void unterHauptfenster(App& app, QWidget* w);
