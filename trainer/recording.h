#pragma once

class App;

// Stores the results of the finished exercise (one row of results, one row
// of finger errors) and ends the exercise: the display reads "DB_ENDE".
void ergebnisseAufzeichnen(App& app);
