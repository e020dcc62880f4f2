#include "app/application_windows.h"

#include "analysis/chart_windows.h"
#include "analysis/curve_form.h"
#include "app/artwork.h"
#include "app/main_form.h"
#include "app/pdf_holder_form.h"
#include "app/splash_form.h"
#include "common/window_placement.h"
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
#include "users/sign_in.h"
#include "users/user_list_form.h"

#include <QApplication>
#include <QIcon>
#include <QScreen>

ApplicationWindows::ApplicationWindows()
{
    createWindows();
    wireWindows();
}

ApplicationWindows::~ApplicationWindows() = default;

void ApplicationWindows::createWindows()
{
    m_SplashForm = std::make_unique<TSplashForm>();
    m_Form1 = std::make_unique<TForm1>();
    m_PdfForm = std::make_unique<TPdfForm>();
    m_curveform = std::make_unique<Tcurveform>();
    m_alarmconfigform = std::make_unique<Talarmconfigform>();
    m_calibrationform = std::make_unique<Tcalibrationform>();
    m_timeconfigform = std::make_unique<Ttimeconfigform>();
    m_ConnectForm = std::make_unique<TConnectForm>();
    m_LoadDataForm = std::make_unique<TLoadDataForm>();
    m_serialnumber = std::make_unique<Tserialnumber>();
    m_formpdf = std::make_unique<Tformpdf>();
    m_TempCurveForm = std::make_unique<TTempCurveForm>();
    m_HumCurveForm = std::make_unique<THumCurveForm>();
    m_AddUserForm = std::make_unique<TAddUserForm>();
    m_LoginForm = std::make_unique<TLoginForm>();
    m_AuditForm = std::make_unique<TAuditForm>();
    m_UserListForm = std::make_unique<TUserListForm>();
}

void ApplicationWindows::wireWindows()
{
    connect(SplashForm(), &TSplashForm::finished, this, &ApplicationWindows::showSignIn);
    connect(LoginForm(), &TLoginForm::exitRequested, this, &ApplicationWindows::quitRequested);
    connect(ConnectForm(), &TConnectForm::exitRequested, this, &ApplicationWindows::quitRequested);
    connect(Form1(), &TForm1::exitRequested, this, &ApplicationWindows::quitRequested);
    wireConnection();
    wireUsers();
    wireSettings();
    wireAnalysis();
    wireReport();
    wireMainForm();
}

void ApplicationWindows::wireAnalysis()
{
    curveform()->setLoadDataForm(LoadDataForm());
    curveform()->setOffsetsSource(
        [this] { return calibrationform()->CalibrationOffsetsInForce(); });
    curveform()->setThresholdsSource(
        [this] { return alarmconfigform()->AlarmThresholdsInForce(); });
    curveform()->setChartWindows(TempCurveForm(), HumCurveForm());
    curveform()->setReportRequest([this] { formpdf()->showReport(); });
}

void ApplicationWindows::wireReport()
{
    formpdf()->setCellSource(
        [this](int column, int row) { return curveform()->recordTable().cell(column, row); });
    formpdf()->setTableRowsSource([this] { return curveform()->recordTable().rowCount(); });
    formpdf()->setRangeSource([this] {
        return std::pair{curveform()->reportStart(), curveform()->reportEnd()};
    });
    formpdf()->setSerialNumberSource([this] { return Form1()->SerialNumberText(); });
}

void ApplicationWindows::wireSettings()
{
    calibrationform()->setCalibrationStore(&Form1()->Calibration());
    timeconfigform()->setComPort(ConnectForm()->comPort());
    timeconfigform()->setOffsetsSource(
        [this] { return calibrationform()->CalibrationOffsetsInForce(); });
    timeconfigform()->setSerialNumberSource([this] { return serialnumber()->SerialNumber(); });
    connect(calibrationform(), &Tcalibrationform::clockDialogRequested, timeconfigform(),
            &Ttimeconfigform::showModeless);
    connect(serialnumber(), &Tserialnumber::clockDialogRequested, timeconfigform(),
            &Ttimeconfigform::showModeless);
    connect(ConnectForm(), &TConnectForm::serialNumberFieldsRead, serialnumber(),
            &Tserialnumber::setFields);
}

void ApplicationWindows::wireUsers()
{
    LoginForm()->setAddUserForm(AddUserForm());
    connect(LoginForm(), &TLoginForm::signedIn, this, &ApplicationWindows::signedIn);
}

void ApplicationWindows::wireConnection()
{
    connect(ConnectForm(), &TConnectForm::portNameChosen, Form1(), &TForm1::setPortName);
    connect(ConnectForm(), &TConnectForm::serialNumberTextRead, Form1(),
            &TForm1::setSerialNumberText);
    LoadDataForm()->setComPort(ConnectForm()->comPort());
}

void ApplicationWindows::wireMainForm()
{
    MainFormActions actions;
    actions.runConnection = [this] { runConnection(); };
    actions.openCurveView = [this] { curveform()->exec(); };
    actions.openClockDialog = [this] { timeconfigform()->showModal(); };
    actions.openCalibration = [this] { calibrationform()->exec(); };
    actions.openAlarms = [this] { alarmconfigform()->exec(); };
    actions.openSerialNumber = [this] { serialnumber()->exec(); };
    actions.showReport = [this] { formpdf()->showReport(); };
    actions.openAddUser = [this] { AddUserForm()->exec(); };
    actions.openAuditView = [this] { AuditForm()->exec(); };
    actions.openUserList = [this] { UserListForm()->exec(); };
    Form1()->setActions(std::move(actions));
}

void ApplicationWindows::start()
{
    SplashForm()->show();
}

void ApplicationWindows::showSignIn()
{
    ShowBesideModal(LoginForm());
}

// The sign-in window has already made the user's identifier CurrentUserId.
void ApplicationWindows::signedIn(qint32, qint32 level)
{
    Form1()->setAdministrationVisible(IsAdministratorLevel(level));
    // Also the maximised size where no window manager maximises it.
    if (const QScreen* screen = Form1()->screen())
        Form1()->setGeometry(screen->availableGeometry());
    Form1()->showMaximized();
}

void ApplicationWindows::runConnection()
{
    ConnectForm()->exec();
    calibrationform()->ApplyOffsetLines();
}

int RunApplication()
{
    InitArtwork();
    QApplication::setWindowIcon(QIcon(ArtworkPath(QStringLiteral("icon"))));
    ApplicationWindows windows;
    QObject::connect(&windows, &ApplicationWindows::quitRequested, qApp, &QCoreApplication::quit);
    windows.start();
    return QApplication::exec();
}
