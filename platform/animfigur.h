#pragma once
#include <QPointer>
#include <QString>
#include <QWidget>

// The progress figure: an animated cursor file (.ani) played in a small
// child window of a parent strip. Both parts are empty when no figure shows.
struct AnimFigur {
    QPointer<QWidget> fenster;  // the child window that plays the frames
    bool geladen = false;       // an animation is held
};

// Loads the animation from path and shows it in a new child window of parent
// at (x, y), in place of the figure shown before. A figure of the same,
// unchanged file in the same parent is only moved. A file that is missing or
// cannot be read leaves no figure. Decoded files are cached by path, so
// showing the figure again costs no file reading.
void AnimZeigen(AnimFigur& figur, const QString& path, QWidget* parent, int x, int y);
// Destroys the child window and releases the animation.
void AnimEntfernen(AnimFigur& figur);
