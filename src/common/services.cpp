#include "common/services.h"

#include "common/platform_services.h"

namespace
{
Dialogs* g_dialogs = nullptr;
Clock* g_clock = nullptr;
PortList* g_ports = nullptr;

template <class T, class Platform> T& serviceOr(T* installed)
{
    if (installed)
        return *installed;
    static Platform platform;
    return platform;
}
} // namespace

namespace Services
{
Dialogs& dialogs()
{
    return serviceOr<Dialogs, PlatformDialogs>(g_dialogs);
}
Clock& clock()
{
    return serviceOr<Clock, SystemClock>(g_clock);
}
PortList& ports()
{
    return serviceOr<PortList, SystemPortList>(g_ports);
}
void setDialogs(Dialogs* dialogs)
{
    g_dialogs = dialogs;
}
void setClock(Clock* clock)
{
    g_clock = clock;
}
void setPorts(PortList* ports)
{
    g_ports = ports;
}
} // namespace Services

QString ApplicationTitle()
{
    return QStringLiteral("QUIVEL CONFIG");
}

void ShowMessage(const QString& text)
{
    Services::dialogs().messageBox(MsgKind::Plain, ApplicationTitle(), text, {MsgButton::Ok});
}

QString StandardCaption(MsgKind kind)
{
    switch (kind) {
    case MsgKind::Warning:
        return QStringLiteral("Warning");
    case MsgKind::Error:
        return QStringLiteral("Error");
    case MsgKind::Information:
        return QStringLiteral("Information");
    case MsgKind::Confirmation:
        return QStringLiteral("Confirm");
    case MsgKind::Plain:
        break;
    }
    return ApplicationTitle();
}

QString ButtonText(MsgButton button)
{
    switch (button) {
    case MsgButton::Ok:
        return QStringLiteral("OK");
    case MsgButton::Yes:
        return QStringLiteral("&Yes");
    case MsgButton::No:
        return QStringLiteral("&No");
    case MsgButton::Cancel:
        return QStringLiteral("Cancel");
    }
    return {};
}

MsgButton MessageDlg(const QString& text, MsgKind kind, const QList<MsgButton>& buttons)
{
    return Services::dialogs().messageBox(kind, StandardCaption(kind), text, buttons);
}
