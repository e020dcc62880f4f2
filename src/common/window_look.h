#pragma once

#include <QColor>

class QLineEdit;
class QWidget;

// Fills the window's background with the colour and writes every label of it in white.
void PaintWindow(QWidget* window, const QColor& background);

// Writes the widget's text in the colour.
void SetTextColor(QWidget* widget, const QColor& color);

// Hides what is typed, one "*" per character, whatever the style's own mask character.
void MaskPassword(QLineEdit* edit);
