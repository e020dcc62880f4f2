#include "reports/report_page_view.h"

#include "reports/report_layout.h"
#include "reports/report_page.h"

#include <QPainter>
#include <cmath>

namespace
{

// Half the paper's size on a screen of 96 logical pixels per inch.
constexpr qreal PixelsPerMm = 0.5 * 96.0 / 25.4;
constexpr int Desk = 6;

QSize PaperPixels()
{
    return {int(std::ceil(ReportLayout::PaperWidth * PixelsPerMm)),
            int(std::ceil(ReportLayout::PaperHeight * PixelsPerMm))};
}

} // namespace

ReportPageView::ReportPageView(QWidget* parent) : QWidget(parent)
{
    setFixedSize(sizeHint());
}

void ReportPageView::setPage(const QPicture& page)
{
    m_page = page;
    update();
}

QSize ReportPageView::sizeHint() const
{
    return PaperPixels() + QSize(2 * Desk, 2 * Desk);
}

void ReportPageView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(128, 128, 128));
    const QRect paper(QPoint(Desk, Desk), PaperPixels());
    painter.fillRect(paper, Qt::white);
    painter.translate(paper.topLeft());
    painter.scale(PixelsPerMm, PixelsPerMm);
    DrawReportPage(painter, m_page);
}
