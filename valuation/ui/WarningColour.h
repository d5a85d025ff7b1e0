#pragma once

// The colour of a warning line, taken from the palette: a red as dark as text on a light window
// and as light as text on a dark one, so that it reads in both.

#include <QColor>
#include <QPalette>

inline QColor warningColour(const QPalette& palette) {
    const bool darkWindow = palette.color(QPalette::Window).lightnessF() < 0.5;
    return QColor::fromHslF(0.0f, 0.75f, darkWindow ? 0.72f : 0.36f);
}
