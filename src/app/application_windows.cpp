#include "app/application_windows.h"

#include "analysis/chart_windows.h"
#include "analysis/curve_form.h"
#include "app/artwork.h"
#include "app/main_form.h"
#include "app/pdf_holder_form.h"
#include "app/splash_form.h"
#include "device/connect_form.h"
#include "records/load_data_form.h"
#include "reports/report_form.h"
#include "settings/alarm_form.h"
#include "settings/calibration_form.h"
#include "settings/serial_number_form.h"
#include "settings/time_config_form.h"
#include "users/add_user_form.h"
#include "users/audit_form.h"
#include "users/login_form.h"
#include "users/user_list_form.h"

#include <QApplication>
#include <QIcon>
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
    delete UserListForm;
    delete AuditForm;
    delete LoginForm;
    delete AddUserForm;
    delete HumCurveForm;
    delete TempCurveForm;
    delete formpdf;
    delete serialnumber;
    delete LoadDataForm;
    delete ConnectForm;
    delete timeconfigform;
    delete calibrationform;
    delete alarmconfigform;
    delete curveform;
    delete PdfForm;
    delete Form1;
    delete SplashForm;
}

void ApplicationWindows::createWindows()
{
    SplashForm = new TSplashForm;
    Form1 = new TForm1;
    PdfForm = new TPdfForm;
    curveform = new Tcurveform;
    alarmconfigform = new Talarmconfigform;
    calibrationform = new Tcalibrationform;
    timeconfigform = new Ttimeconfigform;
    ConnectForm = new TConnectForm;
    LoadDataForm = new TLoadDataForm;
    serialnumber = new Tserialnumber;
    formpdf = new Tformpdf;
    TempCurveForm = new TTempCurveForm;
    HumCurveForm = new THumCurveForm;
    AddUserForm = new TAddUserForm;
    LoginForm = new TLoginForm;
    AuditForm = new TAuditForm;
    UserListForm = new TUserListForm;
}

void ApplicationWindows::wireWindows()
{
    connect(SplashForm, &TSplashForm::finished, this, &ApplicationWindows::showSignIn);
    wireConnection();
    wireUsers();
    wireSettings();
    wireAnalysis();
    wireMainForm();
}

void ApplicationWindows::wireAnalysis()
{
    curveform->setLoadDataForm(LoadDataForm);
}

void ApplicationWindows::wireSettings()
{
    calibrationform->setCalibrationStore(&Form1->Calibration());
    timeconfigform->setComPort(ConnectForm->ComPort1);
    timeconfigform->setOffsetsSource(
        [this] { return calibrationform->CalibrationOffsetsInForce(); });
    timeconfigform->setSerialNumberSource([this] { return serialnumber->SerialNumber(); });
    connect(calibrationform, &Tcalibrationform::clockDialogRequested, timeconfigform,
            &Ttimeconfigform::showModeless);
    connect(serialnumber, &Tserialnumber::clockDialogRequested, timeconfigform,
            &Ttimeconfigform::showModeless);
    connect(ConnectForm, &TConnectForm::serialNumberFieldsRead, serialnumber,
            &Tserialnumber::setFields);
}

void ApplicationWindows::wireUsers()
{
    LoginForm->setAddUserForm(AddUserForm);
    connect(LoginForm, &TLoginForm::signedIn, this, &ApplicationWindows::signedIn);
}

void ApplicationWindows::wireConnection()
{
    connect(ConnectForm, &TConnectForm::portNameChosen, Form1, &TForm1::setPortName);
    connect(ConnectForm, &TConnectForm::serialNumberTextRead, Form1, &TForm1::setSerialNumberText);
    LoadDataForm->setComPort(ConnectForm->ComPort1);
}

void ApplicationWindows::wireMainForm()
{
    MainFormActions actions;
    actions.runConnection = [this] { runConnection(); };
    actions.openCurveView = [this] { curveform->exec(); };
    actions.openClockDialog = [this] { timeconfigform->showModal(); };
    actions.openCalibration = [this] { calibrationform->exec(); };
    actions.openAlarms = [this] { alarmconfigform->exec(); };
    actions.openSerialNumber = [this] { serialnumber->exec(); };
    actions.showReport = [this] { ShowModeless(formpdf); };
    actions.openAddUser = [this] { AddUserForm->exec(); };
    actions.openAuditView = [this] { AuditForm->exec(); };
    actions.openUserList = [this] { UserListForm->exec(); };
    Form1->setActions(std::move(actions));
}

void ApplicationWindows::start()
{
    SplashForm->show();
}

void ApplicationWindows::showSignIn()
{
    ShowModeless(LoginForm);
}

// The sign-in window has already made the user's identifier CurrentUserId.
void ApplicationWindows::signedIn(qint32, qint32 level)
{
    Form1->setAdministrationVisible(level >= AdministratorLevel);
    // Also the maximised size where no window manager maximises it.
    if (const QScreen* screen = Form1->screen())
        Form1->setGeometry(screen->availableGeometry());
    Form1->showMaximized();
}

void ApplicationWindows::runConnection()
{
    ConnectForm->exec();
    calibrationform->ApplyOffsetLines();
}

int RunApplication()
{
    InitArtwork();
    QApplication::setWindowIcon(QIcon(ArtworkPath(QStringLiteral("icon"))));
    ApplicationWindows windows;
    windows.start();
    return QApplication::exec();
}
