#include "device/connect_form.h"

#include "common/error_handler.h"
#include "common/services.h"
#include "common/window_look.h"
#include "common/window_placement.h"
#include "common/windows1252.h"
#include "device/com_combo_box.h"
#include "device/com_port.h"
#include "device/protocol.h"
#include "ui_connect_form.h"

#include <QLayout>
#include <QPainter>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>

namespace
{

const QColor StatusBlue(0, 0, 128);
const QColor StatusGreen(0, 128, 0);
constexpr int FirstStepMs = 100;
constexpr int NextStepMs = 2000;
constexpr int ParseDelayMs = 1000;

QString HelpText()
{
    return QStringList{
        QStringLiteral("Causes possibles :"),
        QString(),
        QStringLiteral("1) - Pilote non installé , veuillez svp installer le pilote CH340G qui "
                       "correspond"),
        QStringLiteral("a votre version de windows, télécharger et  installer le pilote. "),
        QString(),
        QStringLiteral("2) - Pile  sur l'enregistreur vide ou mal placé , veuiller vérifier "
                       "l'état des piles "),
        QString(),
        QStringLiteral("3)- Cable USB non branché a l'ordinateur "),
    }
        .join(QLatin1Char('\n'));
}

} // namespace

TPieGauge::TPieGauge(QWidget* parent) : QWidget(parent)
{
}

void TPieGauge::setProgress(int percent)
{
    m_progress = qBound(0, percent, 100);
    update();
}

void TPieGauge::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = qMin(width(), height()) - 2;
    const QRectF circle((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    painter.setPen(QPen(QColor(0x1f, 0x3a, 0x5f), 1.5));
    painter.setBrush(Qt::white);
    painter.drawEllipse(circle);
    if (m_progress > 0) {
        painter.setBrush(QColor(0x2e, 0x86, 0xc1));
        painter.drawPie(circle, 90 * 16, -m_progress * 360 * 16 / 100);
    }
}

TConnectForm::TConnectForm(QWidget* parent)
    : QDialog(parent), ui(new Ui::TConnectForm), ComPort1(new TComPort(this)),
      ComDataPacket1(new TComDataPacket(this)), Timer1(new QTimer(this)), Timer2(new QTimer(this))
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    SetTextColor(ui->statuslabel, StatusBlue);
    ui->helpmemo->setPlainText(HelpText());
    ui->exitbutton->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));

    ComDataPacket1->setComPort(ComPort1);
    ui->ComComboBox1->setComPort(ComPort1);
    ui->ComComboBox1->setComProperty(TComComboBox::cpPort);

    Timer1->setInterval(FirstStepMs);
    Timer2->setInterval(ParseDelayMs);

    connect(Timer1, &QTimer::timeout, this, &TConnectForm::Timer1Timer);
    connect(Timer2, &QTimer::timeout, this, &TConnectForm::Timer2Timer);
    connect(ComDataPacket1, &TComDataPacket::OnPacket, this, &TConnectForm::ComDataPacket1Packet);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TConnectForm::BitBtn1Click);
    connect(ui->exitbutton, &QPushButton::clicked, this, &TConnectForm::exitbuttonClick);
}

TConnectForm::~TConnectForm() = default;

bool TConnectForm::stepTimerActive() const
{
    return Timer1->isActive();
}

bool TConnectForm::parseTimerActive() const
{
    return Timer2->isActive();
}

void TConnectForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TConnectForm::FormShow()
{
    Guarded([&] {
        const int ports = ui->ComComboBox1->count();
        if (ports == 1)
            startOnOnePort();
        else if (ports > 1)
            waitForPortChoice();
        else
            reportNoPort();
    });
    centreOnScreen();
}

void TConnectForm::centreOnScreen()
{
    // The controls hidden on show change the size: centre the final size.
    layout()->activate();
    CentreOnScreen(this);
}

void TConnectForm::startOnOnePort()
{
    ui->helpmemo->hide();
    ui->ComComboBox1->setCurrentIndex(0);
    setStatus(QStringLiteral(" Connexion en cours ..."));
    const QString name = ui->ComComboBox1->currentText();
    ComPort1->setPort(name);
    emit portNameChosen(name);
    ComPort1->OpenPort();
    ui->Label2->setText(QStringLiteral(" Veuillez patienter un peut SVP... "));
    ui->ComComboBox1->hide();
    ComPort1->ClearBuffers(true, true);
    Timer1->start();
    ConnectStep = 0;
}

void TConnectForm::waitForPortChoice()
{
    MessageDlg(QStringLiteral("Plusieurs ports de communication décteté veuiller choisire le bon "
                              "port qui correspond à votre data-logger"),
               MsgKind::Warning, {MsgButton::Ok});
    ui->BitBtn1->show();
    ui->helpmemo->hide();
}

void TConnectForm::reportNoPort()
{
    MessageDlg(QStringLiteral(" Aucun data-logger connecté a lordinateur , veuillez vérifier s il  "
                              "est bien branché au port USB du pc , et redémarrer l application"),
               MsgKind::Error, {MsgButton::Ok});
    setStatus(QStringLiteral(" Aucun data-logger connecté a l'ordinateur "));
    ui->exitbutton->show();
    ui->helpmemo->show();
    ui->Label2->hide();
    ui->Gauge1->hide();
    ui->ComComboBox1->hide();
}

void TConnectForm::BitBtn1Click()
{
    Guarded([&] {
        ui->BitBtn1->hide();
        ComPort1->OpenPort();
        ComPort1->ClearBuffers(true, true);
        startSteps();
        SerialStepActive = false;
    });
}

void TConnectForm::startSteps()
{
    Timer1->start();
    ConnectStep = 0;
}

void TConnectForm::Timer1Timer()
{
    Guarded([&] {
        // From the highest step down, so that one tick advances exactly one step.
        if (ConnectStep == 2) {
            ConnectStep = 3;
            Timer1->stop();
            accept();
        }
        if (ConnectStep == 1) {
            ConnectStep = 2;
            SerialStepActive = true;
            m_serialTextTaken = false;
            ComPort1->WriteText(Protocol::SerialNumberCommand);
        }
        if (ConnectStep == 0) {
            ConnectStep = 1;
            ComPort1->WriteText(Protocol::CheckCommand);
            Timer1->setInterval(NextStepMs);
        }
    });
}

void TConnectForm::ComDataPacket1Packet(const QByteArray& packet)
{
    Guarded([&] {
        if (IsResponseReply(packet)) {
            setStatus(QStringLiteral(" Reponse"));
            if (!Timer1->isActive())
                Timer1->start();
        }
        if (ConnectStep == 1 && IsCheckReply(packet)) {
            setStatus(QStringLiteral("DATA LOGGER connecté (OK)"));
            SetTextColor(ui->statuslabel, StatusGreen);
        }
        if (SerialStepActive) {
            setStatus(QStringLiteral("Numéro de série lus"));
            if (!m_serialTextTaken) {
                m_serialTextTaken = true;
                ui->snlabel->setText(DecodeWindows1252(SerialNumberText(packet)));
            }
            // The delay counts from the first packet: a running timer is left alone.
            if (!Timer2->isActive())
                Timer2->start();
        }
    });
}

void TConnectForm::Timer2Timer()
{
    Guarded([&] {
        Timer2->stop();
        const QString text = ui->snlabel->text();
        // The main window shows what the logger answered, whatever it is; the fields, which the
        // next configuration frame writes back, take only a reply of four fields.
        emit serialNumberTextRead(text);
        if (const auto fields = SplitSerialNumber(text))
            emit serialNumberFieldsRead(*fields);
        accept();
    });
}

void TConnectForm::exitbuttonClick()
{
    Guarded([&] { emit exitRequested(); });
}

void TConnectForm::setStatus(const QString& text)
{
    ui->statuslabel->setText(text);
}
