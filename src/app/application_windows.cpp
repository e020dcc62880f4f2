#include "app/application_windows.h"

#include "app/main_form.h"
#include "app/pdf_holder_form.h"
#include "app/splash_form.h"
#include "device/connect_form.h"
#include "reports/report_form.h"
#include "users/audit_log.h"

#include <QScreen>

namespace
{

// Level from which the administration buttons are shown.
constexpr qint32 AdministratorLevel = 5;

void ShowModeless(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

ApplicationWindows::ApplicationWindows()
{
    createWindows();
    wireWindows();
}

ApplicationWindows::~ApplicationWindows()
{
    // In reverse order of creation; the connection dialog takes the serial port with it.
    delete formpdf;
    delete ConnectForm;
    delete PdfForm;
    delete Form1;
    delete SplashForm;
}

void ApplicationWindows::createWindows()
{
    SplashForm = new TSplashForm;
    Form1 = new TForm1;
    PdfForm = new TPdfForm;
    ConnectForm = new TConnectForm;
    formpdf = new Tformpdf;
}

void ApplicationWindows::wireWindows()
{
    connect(SplashForm, &TSplashForm::finished, this, &ApplicationWindows::showSignIn);
    wireConnection();
    wireMainForm();
}

void ApplicationWindows::wireConnection()
{
    connect(ConnectForm, &TConnectForm::portNameChosen, Form1, &TForm1::setPortName);
    connect(ConnectForm, &TConnectForm::serialNumberTextRead, Form1, &TForm1::setSerialNumberText);
}

void ApplicationWindows::wireMainForm()
{
    MainFormActions actions;
    actions.runConnection = [this] { runConnection(); };
    actions.showReport = [this] { ShowModeless(formpdf); };
    Form1->setActions(std::move(actions));
}

void ApplicationWindows::start()
{
    SplashForm->show();
}

void ApplicationWindows::showSignIn()
{
    signedIn(0, 0);
}

void ApplicationWindows::signedIn(qint32 userId, qint32 level)
{
    SetCurrentUserId(userId);
    Form1->setAdministrationVisible(level >= AdministratorLevel);
    // Also the maximised size where no window manager maximises it.
    if (const QScreen* screen = Form1->screen())
        Form1->setGeometry(screen->availableGeometry());
    Form1->showMaximized();
}

void ApplicationWindows::runConnection()
{
    ConnectForm->exec();
}
