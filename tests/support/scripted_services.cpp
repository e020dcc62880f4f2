#include "support/scripted_services.h"

#include <QPrinter>

ScriptedDialogs::ScriptedDialogs() = default;
ScriptedDialogs::~ScriptedDialogs() = default;

QStringList ScriptedDialogs::texts() const
{
    QStringList result;
    for (const ShownBox& box : boxes)
        result.append(box.text);
    return result;
}

void ScriptedDialogs::clear()
{
    boxes.clear();
    answers.clear();
    saveRequests.clear();
    saveAnswers.clear();
    pictureRequests.clear();
    pictureAnswers.clear();
    printRequests = 0;
    previewRequests = 0;
}

MsgButton ScriptedDialogs::messageBox(MsgKind kind, const QString& title, const QString& text,
                                      const QList<MsgButton>& buttons)
{
    const ShownBox box{kind, title, text, buttons};
    boxes.append(box);
    if (onBox) {
        if (const auto answer = onBox(box))
            return *answer;
    }
    if (!answers.isEmpty())
        return answers.dequeue();
    return buttons.isEmpty() ? MsgButton::Ok : buttons.constFirst();
}

std::optional<FileSaveAnswer> ScriptedDialogs::saveFile(const FileSaveRequest& request)
{
    saveRequests.append(request);
    return saveAnswers.isEmpty() ? std::nullopt : saveAnswers.dequeue();
}

std::optional<FileSaveAnswer> ScriptedDialogs::savePicture(const FileSaveRequest& request)
{
    pictureRequests.append(request);
    return pictureAnswers.isEmpty() ? std::nullopt : pictureAnswers.dequeue();
}

bool ScriptedDialogs::print(QPrinter& printer)
{
    ++printRequests;
    if (printAnswer && !printFile.isEmpty())
        printer.setOutputFileName(printFile);
    return printAnswer;
}

void ScriptedDialogs::printPreview(QPrinter& printer, const std::function<void(QPrinter*)>& paint)
{
    ++previewRequests;
    if (previewFile.isEmpty())
        return;
    printer.setOutputFileName(previewFile);
    paint(&printer);
    printer.setOutputFileName(QString());
}

bool ScriptedDialogs::useDefaultPrinter(QPrinter& printer)
{
    if (defaultPrinterFile.isEmpty())
        return false;
    printer.setOutputFileName(defaultPrinterFile);
    return true;
}
