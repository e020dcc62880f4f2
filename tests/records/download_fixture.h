#pragma once

// What the download dialog's tests share: a working folder, scripted boxes, the real serial
// port on a pseudo-terminal, and the dialog wired to it as the shell wires it.
#include "common/scripted_services.h"
#include "device/com_port.h"
#include "records/load_data_form.h"
#include "records/record_line.h"

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

// A pseudo-terminal held by the test: the port opens its slave, the test reads on the master
// what the program sent.
class TestTerminal
{
public:
    TestTerminal()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
            return;
        m_path = QString::fromLocal8Bit(ptsname(m_master));
        // Held open so that the line stays up between the port's reads.
        m_slave = ::open(ptsname(m_master), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios tio{};
        tcgetattr(m_slave, &tio);
        cfmakeraw(&tio);
        tcsetattr(m_slave, TCSANOW, &tio);
    }
    ~TestTerminal()
    {
        if (m_slave >= 0)
            ::close(m_slave);
        if (m_master >= 0)
            ::close(m_master);
    }
    TestTerminal(const TestTerminal&) = delete;
    TestTerminal& operator=(const TestTerminal&) = delete;

    QString path() const { return m_path; }
    // Everything the program wrote since the last call.
    QByteArray sent()
    {
        QByteArray bytes;
        char buffer[256];
        for (;;) {
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n <= 0)
                break;
            bytes.append(buffer, n);
        }
        return bytes;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};

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
            form.ComDataPacket1.deliver(QByteArray::number(v));
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
