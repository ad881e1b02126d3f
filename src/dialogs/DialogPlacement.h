// Where the program's windows open: a tool dialog centred over the main window, and every
// window that sizes itself kept inside the screen it opens on.
#pragma once

class QWidget;

namespace wvr {

// Sizes the dialog to its contents, then places it as PlaceCentered does.
void CenterOver(QWidget* dialog, const QWidget* owner);

// At its present size: left = owner left + (owner width - window width) * 0.5, top likewise,
// each truncated; then FitToScreen. Without an owner nothing is done.
void PlaceCentered(QWidget* window, const QWidget* owner);

// Shrinks the window to the free area of the screen it opens on (the one under its middle,
// else its own) and moves it into that area, frame and all. A window not yet shown has no
// frame: room is left for a title bar and borders.
void FitToScreen(QWidget* window);

}  // namespace wvr
