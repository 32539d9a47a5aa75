#pragma once
#include <QIcon>
#include <QSize>
#include <functional>

class QPainter;

// An icon drawn by the program: the drawing runs once per device pixel
// ratio (1 and 2) on a transparent pixmap of that resolution, in logical
// coordinates of the given size, so a screen scaled by two shows it sharp
// instead of an enlarged small picture. The painter comes antialiased.
QIcon gezeichnetesSymbol(QSize groesse, const std::function<void(QPainter&)>& zeichnen);
