#pragma once

#include <QWidget>

// An empty window that is created with the others and never shown.
class TPdfForm : public QWidget
{
    Q_OBJECT
public:
    explicit TPdfForm(QWidget* parent = nullptr);
};
