#pragma once

class QWidget;

// Moves the window, frame included, to the middle of the screen it is on (the primary
// screen before it has one).
void CentreOnScreen(QWidget* window);
