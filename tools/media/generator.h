#pragma once
#include "tools/media/mediawriters.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

// One file the generator writes into the program directory.
struct GeneratedFile {
    QString name;
    QByteArray bytes;
};

// The four WAV sounds: keystroke, carriage return, error, reminder chime.
QList<GeneratedFile> makeSounds();

// The walking dino of the progress strip, one 32 x 32 ARGB image per frame.
QList<QImage> dinoFrames(int size = 32);
GeneratedFile makeDino();

// The wait window's clip: a sheet flying from one folder to another.
QList<QImage> clipFrames();  // 8-bit, one shared colour table
GeneratedFile makeClip();
