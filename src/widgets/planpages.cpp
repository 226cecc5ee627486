#include "planpages.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace
{

// The page's pieces, measured once for the painter's device.
struct Layout {
    QRectF page;
    double line = 0; // the height of one line of text
    int firstRows = 0; // table rows on the first page (after the figures)
    int rows = 0; // table rows on every later page
    std::array<double, 4> columnRight {}; // right edge of each column

    Layout(QPainter &painter, const PlanPrintout &plan)
    {
        page = QRectF(painter.viewport());
        const QFontMetricsF metrics(painter.font(), painter.device());
        line = metrics.lineSpacing() * 1.25;
        // Shop and page number, heading, client, a gap, the column headers with their rule; the
        // figures on page 1.
        const double top = line * 5;
        rows = std::max(1, int((page.height() - top) / line));
        firstRows = std::max(1, int((page.height() - top - line * (plan.figures.size() + 2)) / line));
        const double w = page.width();
        columnRight = { w * 0.10, w * 0.42, w * 0.70, w * 0.98 };
    }

    int pageCount(int rowCount) const
    {
        if (rowCount <= firstRows)
            return 1;
        return 1 + (rowCount - firstRows + rows - 1) / rows;
    }
};

void text(QPainter &painter, const QRectF &box, const QString &s, Qt::Alignment align)
{
    painter.drawText(box, int(align | Qt::AlignVCenter) | Qt::TextSingleLine, s);
}

} // namespace

int planPageCount(QPainter &painter, const PlanPrintout &plan)
{
    return Layout(painter, plan).pageCount(plan.schedule.count());
}

PrintResult drawPlanPages(QPainter &painter, QPagedPaintDevice &device, const PlanPrintout &plan,
    const QString &heading, int pagesBefore)
{
    QFont body(QStringLiteral("Arial"));
    body.setPointSizeF(10);
    QFont bold = body;
    bold.setBold(true);
    painter.save();
    painter.setFont(body);
    const Layout layout(painter, plan);
    const int count = plan.schedule.count();
    const int pages = layout.pageCount(count);
    const double left = layout.page.left();
    const double width = layout.page.width();
    int next = 1; // the next installment to print
    for (int page = 1; page <= pages; ++page) {
        if (!device.newPage()) {
            painter.restore();
            return { false, QStringLiteral("A page of the installment plan could not be started.") };
        }
        double y = layout.page.top();
        painter.setFont(bold);
        text(painter, QRectF(left, y, width * 0.75, layout.line), plan.shop, Qt::AlignLeft);
        painter.setFont(body);
        text(painter, QRectF(left, y, width, layout.line),
            QStringLiteral("Page %1 of %2").arg(pagesBefore + page).arg(pagesBefore + pages), Qt::AlignRight);
        y += layout.line;
        painter.setFont(bold);
        text(painter, QRectF(left, y, width, layout.line), QStringLiteral("Installment plan - ") + heading,
            Qt::AlignLeft);
        painter.setFont(body);
        y += layout.line;
        text(painter, QRectF(left, y, width, layout.line), plan.client, Qt::AlignLeft);
        y += layout.line * 1.5;
        if (page == 1) {
            for (const auto &[caption, value] : plan.figures) {
                text(painter, QRectF(left, y, width * 0.3, layout.line), caption, Qt::AlignLeft);
                text(painter, QRectF(left + width * 0.3, y, width * 0.2, layout.line), value, Qt::AlignRight);
                y += layout.line;
            }
            y += layout.line;
        }
        painter.setFont(bold);
        double columnLeft = left;
        for (int c = 0; c < 4; ++c) {
            const double right = left + layout.columnRight[size_t(c)];
            text(painter, QRectF(columnLeft, y, right - columnLeft, layout.line), plan.headers.value(c),
                c >= 2 ? Qt::AlignRight : Qt::AlignLeft);
            columnLeft = right + width * 0.02;
        }
        painter.setFont(body);
        y += layout.line;
        painter.drawLine(QPointF(left, y), QPointF(left + width, y));
        const int last = std::min(count, next - 1 + (page == 1 ? layout.firstRows : layout.rows));
        for (; next <= last; ++next) {
            columnLeft = left;
            for (int c = 0; c < 4; ++c) {
                const double right = left + layout.columnRight[size_t(c)];
                text(painter, QRectF(columnLeft, y, right - columnLeft, layout.line),
                    plan.schedule.cell(next, c), c >= 2 ? Qt::AlignRight : Qt::AlignLeft);
                columnLeft = right + width * 0.02;
            }
            y += layout.line;
        }
    }
    painter.restore();
    return { true, {} };
}
