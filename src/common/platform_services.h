#pragma once

#include "common/services.h"

// The real services: Qt's message boxes and file dialogs, the system clock, the serial
// ports the system reports.

class PlatformDialogs : public Dialogs
{
public:
    MsgButton messageBox(MsgKind kind, const QString& title, const QString& text,
                         const QList<MsgButton>& buttons) override;
    std::optional<FileSaveAnswer> saveFile(const FileSaveRequest& request) override;
    std::optional<FileSaveAnswer> savePicture(const FileSaveRequest& request) override;
    bool print(QPrinter& printer) override;
    void printPreview(QPrinter& printer, const std::function<void(QPrinter*)>& paint) override;
    bool useDefaultPrinter(QPrinter& printer) override;
};

class SystemClock : public Clock
{
public:
    QDateTime utcNow() const override;
    QDateTime localNow() const override;
};

class SystemPortList : public PortList
{
public:
    QStringList portNames() const override;
};
