#pragma once

#include <QDialog>

// The record report window: shown modelessly; closing it only hides it.
class Tformpdf : public QDialog
{
    Q_OBJECT
public:
    explicit Tformpdf(QWidget* parent = nullptr);
};
