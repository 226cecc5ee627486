#include "captionframe.h"

#include <QPainter>
#include <QRegion>
#include <QStyle>

namespace
{

constexpr int LineTop = 6; // the border line, down from the top, through the caption
constexpr int CaptionLeft = 8;
constexpr int CaptionPadding = 2;

} // namespace

CaptionFrame::CaptionFrame(const QString &caption, QWidget *parent)
    : QGroupBox(caption, parent)
{
}

QRect CaptionFrame::captionRect() const
{
    if (title().isEmpty())
        return {};
    const QFontMetrics metrics = fontMetrics();
    const int width = metrics.size(Qt::TextShowMnemonic, title()).width();
    return { CaptionLeft, 0, width + 2 * CaptionPadding, metrics.height() };
}

void CaptionFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect caption = captionRect();
    // The line stops short of the caption and goes on after it.
    painter.setClipRegion(QRegion(rect()).subtracted(caption));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, LineTop, -1, -1));
    if (caption.isEmpty())
        return;
    painter.setClipping(false);
    style()->drawItemText(&painter, caption.adjusted(CaptionPadding, 0, -CaptionPadding, 0),
        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, palette(), isEnabled(), title(),
        QPalette::WindowText);
}
