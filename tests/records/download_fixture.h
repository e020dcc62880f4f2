#pragma once

// What the download dialog's tests share: a working folder, scripted boxes, the real serial
// port on a pseudo-terminal, and the dialog wired to it as the shell wires it.
#include "device/com_port.h"
#include "records/load_data_form.h"
#include "records/record_line.h"
#include "support/scripted_services.h"
#include "support/test_terminal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <fcntl.h>
#include <memory>
#include <termios.h>
#include <unistd.h>

class DownloadFixture
{
public:
    DownloadFixture()
    {
        QDir::setCurrent(dir.path());
        Services::setDialogs(&dialogs);
        form.setComPort(&port);
    }
    ~DownloadFixture()
    {
        form.hide();
        Services::setDialogs(nullptr);
    }

    template <class T> T* control(const char* name) { return form.findChild<T*>(name); }
    QLineEdit* Edit1() { return control<QLineEdit>("Edit1"); }
    QPushButton* BitBtn1() { return control<QPushButton>("BitBtn1"); }
    QPushButton* BitBtn2() { return control<QPushButton>("BitBtn2"); }
    QProgressBar* ProgressBar1() { return control<QProgressBar>("ProgressBar1"); }

    // Opens the port on `path` and shows the dialog (as the curve view does, but modeless so
    // that the test goes on).
    bool openAndShow(const QString& path)
    {
        port.setPort(path);
        port.OpenPort();
        form.show();
        return port.Connected() && form.isVisible();
    }

    // Types the count and presses "Télécharger les données".
    void startDownload(const QString& count)
    {
        Edit1()->setText(count);
        BitBtn1()->click();
    }

    void deliver(const QList<int>& values)
    {
        for (int v : values)
            form.packetListener().deliver(QByteArray::number(v));
    }

    static QByteArray recordFile()
    {
        QFile file(RecordFileName);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static void writeRecordFile(const QByteArray& bytes)
    {
        QFile file(RecordFileName);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    TComPort port;
    TLoadDataForm form;
};
