#pragma once

#include <QObject>

class TSplashForm;
class TForm1;
class TPdfForm;
class Tcurveform;
class Talarmconfigform;
class Tcalibrationform;
class Ttimeconfigform;
class TConnectForm;
class TLoadDataForm;
class Tserialnumber;
class Tformpdf;
class TTempCurveForm;
class THumCurveForm;
class TAddUserForm;
class TLoginForm;
class TAuditForm;
class TUserListForm;

// The seventeen windows, created at start-up in their fixed order before any is shown, and the
// wiring between them. This is the one place that knows every window.
class ApplicationWindows : public QObject
{
    Q_OBJECT
public:
    ApplicationWindows();
    ~ApplicationWindows() override;

    // Shows the splash window; the rest follows from the windows' own events.
    void start();

    TSplashForm* SplashForm = nullptr;
    TForm1* Form1 = nullptr;
    TPdfForm* PdfForm = nullptr;
    Tcurveform* curveform = nullptr;
    Talarmconfigform* alarmconfigform = nullptr;
    Tcalibrationform* calibrationform = nullptr;
    Ttimeconfigform* timeconfigform = nullptr;
    TConnectForm* ConnectForm = nullptr;
    TLoadDataForm* LoadDataForm = nullptr;
    Tserialnumber* serialnumber = nullptr;
    Tformpdf* formpdf = nullptr;
    TTempCurveForm* TempCurveForm = nullptr;
    THumCurveForm* HumCurveForm = nullptr;
    TAddUserForm* AddUserForm = nullptr;
    TLoginForm* LoginForm = nullptr;
    TAuditForm* AuditForm = nullptr;
    TUserListForm* UserListForm = nullptr;

public Q_SLOTS:
    // After a successful sign-in.
    void signedIn(qint32 userId, qint32 level);

private:
    void createWindows();
    void wireWindows();
    void wireMainForm();
    void wireConnection();
    void wireUsers();
    void wireSettings();
    void wireAnalysis();
    // The main window's show: the connection dialog, modally, then the offsets.
    void runConnection();
    void showSignIn();
};

// The program's run, once the application object exists: the artwork and the window icon,
// the seventeen windows, the event loop. Returns the event loop's status.
int RunApplication();
