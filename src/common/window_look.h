#pragma once

#include <QColor>

class QWidget;

// The colours of the user administration windows.
inline const QColor SignInBlue(0, 0, 255);
inline const QColor AddUserGreen(0, 128, 0);

// Fills the window's background with the colour and writes every label of it in white.
void PaintWindow(QWidget* window, const QColor& background);
