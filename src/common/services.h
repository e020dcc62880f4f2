#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QPrinter;
class QWidget;

// Everything that waits for a person or for the outside world goes through these small
// interfaces, so that tests run without a screen, a printer or a logger.

enum class MsgKind { Plain, Warning, Error, Information, Confirmation };
enum class MsgButton { Ok, Yes, No, Cancel };

struct FileSaveRequest {
    QString title;
    QStringList filters;   // "Excel CSV File (*.csv)"
    QString defaultSuffix; // applied by the dialog to a name typed without one
    int filterIndex = 1;   // 1-based, as the dialog held it before opening
};

struct FileSaveAnswer {
    QString fileName;
    int filterIndex = 1; // 1-based, the filter chosen in the dialog
};

class Dialogs
{
public:
    virtual ~Dialogs() = default;
    // Shows a box and returns the button pressed (the first button when the box is closed).
    virtual MsgButton messageBox(MsgKind kind, const QString& title, const QString& text,
                                 const QList<MsgButton>& buttons) = 0;
    virtual std::optional<FileSaveAnswer> saveFile(const FileSaveRequest& request) = 0;
    virtual std::optional<FileSaveAnswer> savePicture(const FileSaveRequest& request) = 0;
    // The platform's print dialog; false when the user cancels.
    virtual bool print(QPrinter& printer) = 0;
    // The print preview of what paint draws on the printer it is given; returns when the user
    // has closed it (after printing from it or not).
    virtual void printPreview(QPrinter& printer, const std::function<void(QPrinter*)>& paint) = 0;
    // Points the printer at the system's default printer, for printing without a dialog;
    // false when no printer is installed.
    virtual bool useDefaultPrinter(QPrinter& printer) = 0;
};

class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime utcNow() const = 0;
    virtual QDateTime localNow() const = 0; // with milliseconds
};

class PortList
{
public:
    virtual ~PortList() = default;
    // The names of the serial ports present, in no particular order.
    virtual QStringList portNames() const = 0;
};

namespace Services
{
Dialogs& dialogs();
Clock& clock();
PortList& ports();
// Replace a service for the rest of the run (tests, the demo). The caller keeps ownership;
// nullptr puts the platform's own back.
void setDialogs(Dialogs* dialogs);
void setClock(Clock* clock);
void setPorts(PortList* ports);
} // namespace Services

// The application title: task bar and error boxes.
QString ApplicationTitle();

// A plain box with the application title and an OK button.
void ShowMessage(const QString& text);
// A standard box: caption "Warning", "Error", "Information" or "Confirm" by kind.
MsgButton MessageDlg(const QString& text, MsgKind kind, const QList<MsgButton>& buttons);
// The caption and button texts of the standard boxes.
QString StandardCaption(MsgKind kind);
QString ButtonText(MsgButton button);
