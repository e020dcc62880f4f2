#pragma once

// What the user administration tests share: each case in a folder of its own, scripted boxes
// and clock, no audit file open, no one signed in, the user file closed, French settings.
#include "support/scripted_services.h"
#include "support/window_driving.h"
#include "users/audit_log.h"
#include "users/user_store.h"

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// The add-user dialog's fields typed for a new account.
inline void FillAccount(QWidget* dialog, const QString& id, const QString& login,
                        const QString& level)
{
    Edit(dialog, "Edit1")->setText(id);
    Edit(dialog, "Edit2")->setText(QStringLiteral("Neuf"));
    Edit(dialog, "Edit3")->setText(QStringLiteral("Dupont"));
    Edit(dialog, "Edit4")->setText(login);
    Edit(dialog, "Password")->setText(QStringLiteral("pw-new"));
    Edit(dialog, "Edit5")->setText(level);
}

class UsersTestCase : public QObject
{
protected:
    void setUpCase()
    {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(m_dir->isValid());
        QDir::setCurrent(m_dir->path());
        m_dialogs.clear();
        m_dialogs.onBox = nullptr;
        m_clock = FixedClock();
        Services::setDialogs(&m_dialogs);
        Services::setClock(&m_clock);
        ResetAuditLog();
        SetCurrentUserId(0);
        SharedUserStore().close();
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    }
    void tearDownCase()
    {
        SharedUserStore().close();
        ResetAuditLog();
        Services::setDialogs(nullptr);
        Services::setClock(nullptr);
        QDir::setCurrent(QDir::tempPath());
        m_dir.reset();
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedDialogs m_dialogs;
    FixedClock m_clock;
};
