#pragma once

#include <QObject>
#include <memory>

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

    // The windows, by the names the rest of the program knows them by.
    TSplashForm* SplashForm() const { return m_SplashForm.get(); }
    TForm1* Form1() const { return m_Form1.get(); }
    TPdfForm* PdfForm() const { return m_PdfForm.get(); }
    Tcurveform* curveform() const { return m_curveform.get(); }
    Talarmconfigform* alarmconfigform() const { return m_alarmconfigform.get(); }
    Tcalibrationform* calibrationform() const { return m_calibrationform.get(); }
    Ttimeconfigform* timeconfigform() const { return m_timeconfigform.get(); }
    TConnectForm* ConnectForm() const { return m_ConnectForm.get(); }
    TLoadDataForm* LoadDataForm() const { return m_LoadDataForm.get(); }
    Tserialnumber* serialnumber() const { return m_serialnumber.get(); }
    Tformpdf* formpdf() const { return m_formpdf.get(); }
    TTempCurveForm* TempCurveForm() const { return m_TempCurveForm.get(); }
    THumCurveForm* HumCurveForm() const { return m_HumCurveForm.get(); }
    TAddUserForm* AddUserForm() const { return m_AddUserForm.get(); }
    TLoginForm* LoginForm() const { return m_LoginForm.get(); }
    TAuditForm* AuditForm() const { return m_AuditForm.get(); }
    TUserListForm* UserListForm() const { return m_UserListForm.get(); }

Q_SIGNALS:
    // "&Exit", "Quitter", the quit tile or the main window closed: the program should end.
    void quitRequested();

public Q_SLOTS:
    // After a successful sign-in.
    void signedIn(qint32 userId, qint32 level);

private:
    // In creation order, so that they are destroyed in the reverse order; the connection
    // dialog takes the serial port with it.
    std::unique_ptr<TSplashForm> m_SplashForm;
    std::unique_ptr<TForm1> m_Form1;
    std::unique_ptr<TPdfForm> m_PdfForm;
    std::unique_ptr<Tcurveform> m_curveform;
    std::unique_ptr<Talarmconfigform> m_alarmconfigform;
    std::unique_ptr<Tcalibrationform> m_calibrationform;
    std::unique_ptr<Ttimeconfigform> m_timeconfigform;
    std::unique_ptr<TConnectForm> m_ConnectForm;
    std::unique_ptr<TLoadDataForm> m_LoadDataForm;
    std::unique_ptr<Tserialnumber> m_serialnumber;
    std::unique_ptr<Tformpdf> m_formpdf;
    std::unique_ptr<TTempCurveForm> m_TempCurveForm;
    std::unique_ptr<THumCurveForm> m_HumCurveForm;
    std::unique_ptr<TAddUserForm> m_AddUserForm;
    std::unique_ptr<TLoginForm> m_LoginForm;
    std::unique_ptr<TAuditForm> m_AuditForm;
    std::unique_ptr<TUserListForm> m_UserListForm;

    void createWindows();
    void wireWindows();
    void wireMainForm();
    void wireConnection();
    void wireUsers();
    void wireSettings();
    void wireAnalysis();
    void wireReport();
    // The main window's show: the connection dialog, modally, then the offsets.
    void runConnection();
    void showSignIn();
};

// The program's run, once the application object exists: the artwork and the window icon,
// the seventeen windows, the event loop. Returns the event loop's status.
int RunApplication();
