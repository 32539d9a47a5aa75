#pragma once
#include <QCursor>
#include <QPixmap>

// The settings dialog's pictures, drawn by the program.

// The pipette: a glass tube with a rubber bulb, its tip at the lower left.
QPixmap pipettenBild(int groesse);
// The mouse pointer while picking: the pipette with its hot spot at the tip.
QCursor pipettenZeiger();
// A colour wheel: the hues around, white towards the middle.
QPixmap farbkreis(int groesse);
// A loudspeaker with sound waves (the signal test).
QPixmap lautsprecher(int groesse);
