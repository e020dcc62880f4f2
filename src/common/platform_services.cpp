#include "common/platform_services.h"

#include "common/error_handler.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSerialPortInfo>

namespace
{

QMessageBox::Icon iconFor(MsgKind kind)
{
    switch (kind) {
    case MsgKind::Warning:
        return QMessageBox::Warning;
    case MsgKind::Error:
        return QMessageBox::Critical;
    case MsgKind::Information:
        return QMessageBox::Information;
    case MsgKind::Confirmation:
        return QMessageBox::Question;
    case MsgKind::Plain:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::ButtonRole roleFor(MsgButton button)
{
    switch (button) {
    case MsgButton::Ok:
        return QMessageBox::AcceptRole;
    case MsgButton::Yes:
        return QMessageBox::YesRole;
    case MsgButton::No:
        return QMessageBox::NoRole;
    case MsgButton::Cancel:
        return QMessageBox::RejectRole;
    }
    return QMessageBox::AcceptRole;
}

std::optional<FileSaveAnswer> runSaveDialog(const FileSaveRequest& request)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(request.filters);
    if (request.filterIndex >= 1 && request.filterIndex <= request.filters.size())
        dialog.selectNameFilter(request.filters.at(request.filterIndex - 1));
    QString suffix = request.defaultSuffix;
    suffix.remove(QLatin1Char('*')).remove(QLatin1Char('.'));
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    FileSaveAnswer answer;
    answer.fileName = dialog.selectedFiles().constFirst();
    answer.filterIndex = int(request.filters.indexOf(dialog.selectedNameFilter())) + 1;
    return answer;
}

} // namespace

MsgButton PlatformDialogs::messageBox(MsgKind kind, const QString& title, const QString& text,
                                      const QList<MsgButton>& buttons)
{
    QMessageBox box(iconFor(kind), title, text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    QList<QPair<QAbstractButton*, MsgButton>> added;
    for (MsgButton b : buttons)
        added.append({box.addButton(ButtonText(b), roleFor(b)), b});
    if (!added.isEmpty())
        box.setDefaultButton(qobject_cast<QPushButton*>(added.constFirst().first));
    box.exec();
    for (const auto& [widget, b] : added)
        if (box.clickedButton() == widget)
            return b;
    // Closed without a button: the answer that changes nothing.
    if (buttons.contains(MsgButton::No))
        return MsgButton::No;
    if (buttons.contains(MsgButton::Cancel))
        return MsgButton::Cancel;
    return buttons.isEmpty() ? MsgButton::Ok : buttons.constFirst();
}

std::optional<FileSaveAnswer> PlatformDialogs::saveFile(const FileSaveRequest& request)
{
    return runSaveDialog(request);
}

std::optional<FileSaveAnswer> PlatformDialogs::savePicture(const FileSaveRequest& request)
{
    return runSaveDialog(request);
}

bool PlatformDialogs::print(QPrinter& printer)
{
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    return dialog.exec() == QDialog::Accepted;
}

void PlatformDialogs::printPreview(QPrinter& printer, const std::function<void(QPrinter*)>& paint)
{
    QPrintPreviewDialog dialog(&printer, QApplication::activeWindow());
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&paint](QPrinter* target) { Guarded([&] { paint(target); }); });
    dialog.exec();
}

bool PlatformDialogs::useDefaultPrinter(QPrinter& printer)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return false;
    printer.setPrinterName(info.printerName());
    return true;
}

QDateTime SystemClock::utcNow() const
{
    return QDateTime::currentDateTimeUtc();
}

QDateTime SystemClock::localNow() const
{
    return QDateTime::currentDateTime();
}

QStringList SystemPortList::portNames() const
{
    QStringList names;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports)
        names.append(info.portName());
    return names;
}
