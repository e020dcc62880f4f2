#pragma once

#include "common/fixed_port_list.h"
#include "common/services.h"

#include <QQueue>
#include <functional>

// Services that answer as told and record what was asked, for tests and benchmarks. Install
// them with Services::setDialogs() and friends.

struct ShownBox {
    MsgKind kind;
    QString title;
    QString text;
    QList<MsgButton> buttons;
};

class ScriptedDialogs : public Dialogs
{
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    // Every box shown, in order.
    QList<ShownBox> boxes;
    // Answers given to the boxes, in order; when empty, the first button of the box.
    QQueue<MsgButton> answers;
    // Called with each box before it is answered (for example to look at a window's
    // state at that moment); may return an answer that overrides the queue.
    std::function<std::optional<MsgButton>(const ShownBox&)> onBox;

    // Requests of the file and picture dialogs, and the answers to give (nullopt: cancel).
    QList<FileSaveRequest> saveRequests;
    QQueue<std::optional<FileSaveAnswer>> saveAnswers;
    QList<FileSaveRequest> pictureRequests;
    QQueue<std::optional<FileSaveAnswer>> pictureAnswers;
    // The print dialog: how often it was shown, and the answer (false: cancel).
    int printRequests = 0;
    bool printAnswer = true;
    // The print preview: how often it was shown; it draws its pages into previewFile (a PDF)
    // when that is set.
    int previewRequests = 0;
    QString previewFile;
    // The default printer: none when empty, else a PDF printer writing that file. The print
    // dialog's chosen printer writes to printFile when that is set.
    QString defaultPrinterFile;
    QString printFile;

    // The texts of the boxes shown, for short assertions.
    QStringList texts() const;
    void clear();

    MsgButton messageBox(MsgKind kind, const QString& title, const QString& text,
                         const QList<MsgButton>& buttons) override;
    std::optional<FileSaveAnswer> saveFile(const FileSaveRequest& request) override;
    std::optional<FileSaveAnswer> savePicture(const FileSaveRequest& request) override;
    bool print(QPrinter& printer) override;
    void printPreview(QPrinter& printer, const std::function<void(QPrinter*)>& paint) override;
    bool useDefaultPrinter(QPrinter& printer) override;
};

class FixedClock : public Clock
{
public:
    QDateTime utc = QDateTime(QDate(2026, 12, 9), QTime(10, 5), Qt::UTC);
    QDateTime local = QDateTime(QDate(2026, 12, 9), QTime(11, 5));
    QDateTime utcNow() const override { return utc; }
    QDateTime localNow() const override { return local; }
};
