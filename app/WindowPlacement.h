#pragma once

// Where a window opens: wholly on the screen it belongs to, its frame (title bar and borders)
// included. Window managers place a new window where they find room, and may leave part of it
// below or beside the screen; these say where it goes instead.

#include <QRect>

class QWidget;

// `frame` moved, and shrunk if it must be, so that it lies wholly within `area`.
QRect frameWithin(QRect frame, const QRect& area);

// A frame of `size` centred on `over` (the frame of the window it opens from), within `area`.
QRect frameCentredWithin(const QSize& size, const QRect& over, const QRect& area);

// Moves and shrinks a window not framed yet so that it opens centred on `over`, a shown window,
// wholly on that window's screen; its frame is taken to be like that of `over`.
void placeCentredOn(QWidget& window, const QWidget& over);

// Moves and shrinks a shown window so that it and its frame lie wholly on its screen.
void keepOnScreen(QWidget& window);

// keepOnScreen() now and again once the window manager has framed and placed the window, which
// the window's first exposure tells.
void keepOnScreenOnceFramed(QWidget& window);
