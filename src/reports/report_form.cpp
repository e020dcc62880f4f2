#include "reports/report_form.h"

#include "common/clickable_label.h"
#include "common/error_handler.h"
#include "common/services.h"
#include "common/window_placement.h"
#include "reports/report_artwork.h"
#include "reports/report_output.h"
#include "reports/report_page.h"
#include "reports/report_page_view.h"
#include "reports/report_progress.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPrinter>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace
{

constexpr int PictureSide = 96;
constexpr int ActionsWidth = 150;

ClickableLabel* MakePicture(const char* name, const QString& art, QWidget* parent)
{
    auto* picture = new ClickableLabel(parent);
    picture->setObjectName(QString::fromLatin1(name));
    picture->setAlignment(Qt::AlignCenter);
    picture->setPixmap(
        RenderReportArtwork(art, QSize(PictureSide, PictureSide), parent->devicePixelRatioF()));
    return picture;
}

QPushButton* MakeButton(const char* name, const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    button->setFixedWidth(ActionsWidth);
    return button;
}

} // namespace

Tformpdf::Tformpdf(QWidget* parent)
    : QDialog(parent), m_content(std::make_shared<const ReportContent>())
{
    setObjectName(QStringLiteral("formpdf"));
    setWindowTitle(QStringLiteral("Rapport d'enregistrement"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, true);
    setUpControls();
}

Tformpdf::~Tformpdf() = default;

void Tformpdf::setUpControls()
{
    QuickRep1 = new ReportPageView(this);
    QuickRep1->setObjectName(QStringLiteral("QuickRep1"));
    Image2 = MakePicture("Image2", QStringLiteral("save_pdf"), this);
    Button1 = MakeButton("Button1", QStringLiteral("Enregistrer PDF"), this);
    Image1 = MakePicture("Image1", QStringLiteral("print"), this);
    Button2 = MakeButton("Button2", QStringLiteral("Imprimer"), this);

    // Saving at the top, printing in the middle.
    auto* actions = new QVBoxLayout;
    actions->addWidget(Image2);
    actions->addWidget(Button1);
    actions->addStretch(1);
    actions->addWidget(Image1);
    actions->addWidget(Button2);
    actions->addStretch(2);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(QuickRep1);
    layout->addLayout(actions);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button1, &QPushButton::clicked, this, &Tformpdf::Button1Click);
    connect(Image2, &ClickableLabel::clicked, this, &Tformpdf::Image2Click);
    connect(Button2, &QPushButton::clicked, this, &Tformpdf::Button2Click);
    connect(Image1, &ClickableLabel::clicked, this, &Tformpdf::Image1Click);
}

void Tformpdf::setCellSource(std::function<QString(int, int)> source)
{
    m_sources.cell = std::move(source);
}

void Tformpdf::setRangeSource(std::function<std::pair<int, int>()> source)
{
    m_sources.range = std::move(source);
}

void Tformpdf::setSerialNumberSource(std::function<QString()> source)
{
    m_sources.serialNumber = std::move(source);
}

void Tformpdf::setTableRowsSource(std::function<int()> source)
{
    m_sources.tableRows = std::move(source);
}

int Tformpdf::pageCount() const
{
    return ReportPageCount(*m_content);
}

void Tformpdf::showReport()
{
    if (!isVisible() && !QApplication::activeModalWidget()) {
        ReturnToOwnParent(this);
        CentreOnScreen(this);
    }
    // Brought to the front also from the task bar; that showing is the system's, no refill.
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    ShowBesideModal(this);
}

// A show that is not the system's (un-minimising) is a hidden window being shown.
void Tformpdf::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void Tformpdf::FormShow()
{
    Guarded([&] { fill(); });
}

void Tformpdf::Button1Click()
{
    Guarded([&] { savePdf(); });
}

void Tformpdf::Image2Click()
{
    Guarded([&] { savePdf(); });
}

void Tformpdf::Button2Click()
{
    Guarded([&] { print(); });
}

void Tformpdf::Image1Click()
{
    Guarded([&] { print(); });
}

void Tformpdf::fill()
{
    m_content = std::make_shared<const ReportContent>(
        FillReport(m_sources, Services::clock().localNow().date()));
    QuickRep1->setPage(PrepareReportPage(*m_content, 1));
}

void Tformpdf::savePdf()
{
    const std::shared_ptr<const ReportContent> content = m_content;
    PreviewReport(*content);
    FileSaveRequest request;
    request.filters = QStringList{QStringLiteral("pdf file (*.pdf)")};
    request.defaultSuffix = QStringLiteral("pdf");
    const auto answer = Services::dialogs().saveFile(request);
    if (!answer)
        return;
    SaveReportPdf(*content, WithPdfExtension(answer->fileName),
                  ProgressBox(this, QStringLiteral("Enregistrement du rapport en PDF…"),
                              ReportPageCount(*content)));
}

void Tformpdf::print()
{
    const std::shared_ptr<const ReportContent> content = m_content;
    QPrinter printer(QPrinter::HighResolution);
    SetUpReportPrinter(printer);
    if (!Services::dialogs().print(printer))
        return;
    PrintReport(
        *content, printer,
        ProgressBox(this, QStringLiteral("Impression du rapport…"), ReportPageCount(*content)));
}
