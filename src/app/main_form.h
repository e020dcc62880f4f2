#pragma once

#include "settings/calibration_file.h"

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
namespace Ui
{
class TForm1;
}

// What the main window's tiles and buttons open; app/ fills these in once every window exists.
struct MainFormActions {
    std::function<void()> runConnection; // on show, before the window comes up
    std::function<void()> openCurveView;
    std::function<void()> openClockDialog;
    std::function<void()> openCalibration;
    std::function<void()> openAlarms;
    std::function<void()> showReport;
    std::function<void()> openSerialNumber;
    std::function<void()> openAddUser;
    std::function<void()> openAuditView;
    std::function<void()> openUserList;
};

// The main window: six picture tiles in two rows and the status panel on the left.
class TForm1 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    void setActions(MainFormActions actions);
    // "Add user", "Audit Trail" and "User List".
    void setAdministrationVisible(bool visible);

    QString SerialNumberText() const;
    // The offset lines, loaded from cal.cfg when the window is created.
    CalibrationStore& Calibration() { return m_calibration; }

public Q_SLOTS:
    void FormCreate();
    void setSerialNumberText(const QString& text);
    void setPortName(const QString& name);

    void FormShow();
    void FormMouseMove();
    void Image1Click();
    void Image2Click();
    void Image3Click();
    void Image4Click();
    void Image5Click();
    void Image6Click();
    void Image7Click();
    void Label8DblClick();
    void Button1Click();
    void Button2Click();
    void Button3Click();

Q_SIGNALS:
    // Quit tile or window closed.
    void exitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    struct Tile {
        QLabel* image;
        QLabel* caption; // nullptr for the quit tile
        void (TForm1::*click)();
    };
    void setUpTiles();
    void setUpColours();
    const Tile* tileOf(QObject* watched) const;
    static void run(const std::function<void()>& action);

    std::unique_ptr<Ui::TForm1> ui;
    MainFormActions m_actions;
    CalibrationStore m_calibration;
    QList<Tile> m_tiles;
};
