#pragma once

class QWidget;

// Moves the window, frame included, to the middle of the screen it is on (the primary
// screen before it has one).
void CentreOnScreen(QWidget* window);

// Shows the window modelessly and brings it forward. Shown while a modal window is open, it is
// made that window's transient child, which modality does not block: it stays usable beside
// the modal window, and is placed beside it. Already visible, it is only brought forward.
void ShowBesideModal(QWidget* window);

// Gives a window lent to a modal one back to its own parent, before it is shown modally itself.
void ReturnToOwnParent(QWidget* window);
