#include "app/main_form.h"

#include "app/artwork.h"
#include "common/error_handler.h"
#include "common/window_look.h"
#include "ui_main_form.h"
#include "users/audit_log.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QShowEvent>

namespace
{

const QColor CaptionGray(128, 128, 128);
const QColor CaptionHover(255, 0, 0);
const QColor CaptionIdle(0, 0, 0);
const QColor SerialRed(128, 0, 0);
const QColor PanelColour(0xee, 0xf3, 0xf8);

} // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent), ui(new Ui::TForm1)
{
    InitArtwork();
    ui->setupUi(this);
    setWindowIcon(QIcon(ArtworkPath(QStringLiteral("icon"))));
    setUpColours();
    setUpTiles();
    connect(ui->Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(ui->Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    FormCreate();
}

void TForm1::FormCreate()
{
    // A missing cal.cfg is reported; the offset lines then keep "0" and "0".
    Guarded([&] { m_calibration.LoadCalibrationFile(); });
}

TForm1::~TForm1() = default;

void TForm1::setUpColours()
{
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    QPalette panel = ui->Panel1->palette();
    panel.setColor(QPalette::Window, PanelColour);
    ui->Panel1->setPalette(panel);
    SetTextColor(ui->snlabel, SerialRed);
    // Moving over the panel or a caption must not count as the background.
    ui->Panel1->setAttribute(Qt::WA_NoMousePropagation);
}

void TForm1::setUpTiles()
{
    m_tiles = {
        {ui->Image1, ui->Label2, &TForm1::Image1Click},
        {ui->Image2, ui->Label3, &TForm1::Image2Click},
        {ui->Image3, ui->Label4, &TForm1::Image3Click},
        {ui->Image4, ui->Label5, &TForm1::Image4Click},
        {ui->Image5, ui->Label6, &TForm1::Image5Click},
        {ui->Image6, ui->Label7, &TForm1::Image6Click},
        {ui->Image7, nullptr, &TForm1::Image7Click},
    };
    const QStringList pictures = {
        QStringLiteral("curves"), QStringLiteral("clock"), QStringLiteral("calibration"),
        QStringLiteral("alarm"),  QStringLiteral("save"),  QStringLiteral("printer"),
        QStringLiteral("quit"),
    };
    const qreal ratio = devicePixelRatioF();
    for (int i = 0; i < m_tiles.size(); ++i) {
        const Tile& tile = m_tiles[i];
        tile.image->setPixmap(RenderArtwork(pictures[i], tile.image->minimumSize(), ratio));
        tile.image->installEventFilter(this);
        if (tile.caption) {
            tile.caption->setAttribute(Qt::WA_NoMousePropagation);
            SetTextColor(tile.caption, CaptionGray);
        }
    }
    ui->Label8->installEventFilter(this);
}

void TForm1::setActions(MainFormActions actions)
{
    m_actions = std::move(actions);
}

void TForm1::setAdministrationVisible(bool visible)
{
    ui->Button1->setVisible(visible);
    ui->Button2->setVisible(visible);
    ui->Button3->setVisible(visible);
}

QString TForm1::SerialNumberText() const
{
    return ui->snlabel->text();
}

void TForm1::setSerialNumberText(const QString& text)
{
    ui->snlabel->setText(text);
}

void TForm1::setPortName(const QString& name)
{
    ui->comlabel->setText(name);
}

const TForm1::Tile* TForm1::tileOf(QObject* watched) const
{
    for (const Tile& tile : m_tiles) {
        if (tile.image == watched)
            return &tile;
    }
    return nullptr;
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->Label8 && event->type() == QEvent::MouseButtonDblClick) {
        Label8DblClick();
        return true;
    }
    const Tile* tile = tileOf(watched);
    if (!tile)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseMove:
        if (tile->caption)
            SetTextColor(tile->caption, CaptionHover);
        return true; // a move over a tile is not a move over the background
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            tile->image->rect().contains(mouse->position().toPoint()))
            (this->*(tile->click))();
        return true;
    }
    case QEvent::MouseButtonPress:
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void TForm1::mouseMoveEvent(QMouseEvent* event)
{
    FormMouseMove();
    QWidget::mouseMoveEvent(event);
}

void TForm1::FormMouseMove()
{
    Guarded([&] {
        for (const Tile& tile : m_tiles) {
            if (tile.caption)
                SetTextColor(tile.caption, CaptionIdle);
        }
    });
}

void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TForm1::FormShow()
{
    run(m_actions.runConnection);
}

void TForm1::closeEvent(QCloseEvent* event)
{
    event->accept();
    Guarded([&] { emit exitRequested(); });
}

void TForm1::run(const std::function<void()>& action)
{
    Guarded([&] {
        if (action)
            action();
    });
}

void TForm1::Image1Click()
{
    run(m_actions.openCurveView);
}

void TForm1::Image2Click()
{
    run(m_actions.openClockDialog);
}

void TForm1::Image3Click()
{
    run(m_actions.openCalibration);
}

void TForm1::Image4Click()
{
    run(m_actions.openAlarms);
}

void TForm1::Image5Click()
{
    Guarded([&] {
        AppendAuditEntry(AuditAction::PdfSave, AuditDetails::PdfSave);
        if (m_actions.showReport)
            m_actions.showReport();
    });
}

void TForm1::Image6Click()
{
    run(m_actions.showReport);
}

void TForm1::Image7Click()
{
    Guarded([&] { emit exitRequested(); });
}

void TForm1::Label8DblClick()
{
    run(m_actions.openSerialNumber);
}

void TForm1::Button1Click()
{
    Guarded([&] {
        AppendAuditEntry(AuditAction::AddNewUser, AuditDetails::AddNewUser);
        if (m_actions.openAddUser)
            m_actions.openAddUser();
    });
}

void TForm1::Button2Click()
{
    run(m_actions.openAuditView);
}

void TForm1::Button3Click()
{
    run(m_actions.openUserList);
}
