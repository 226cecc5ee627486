#include "drawniconstyle.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyleOption>
#include <QWidget>

namespace
{

// Two chevrons pointing the way the hidden menus lie, in the palette's text colour.
QIcon chevrons(Qt::Orientation way, const QColor &ink)
{
    constexpr int Side = 16;
    QPixmap pixmap(Side, Side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ink, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath path;
    for (const qreal at : { 4.5, 9.0 }) {
        path.moveTo(at, 4.5);
        path.lineTo(at + 3.5, 8);
        path.lineTo(at, 11.5);
    }
    if (way == Qt::Vertical)
        path = QTransform(0, 1, 1, 0, 0, 0).map(path); // mirrored about the diagonal: pointing down
    p.drawPath(path);
    return QIcon(pixmap);
}

} // namespace

QIcon DrawnIconStyle::standardIcon(
    StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const
{
    if (icon != SP_ToolBarHorizontalExtensionButton && icon != SP_ToolBarVerticalExtensionButton)
        return QProxyStyle::standardIcon(icon, option, widget);
    const QPalette palette = widget ? widget->palette() : (option ? option->palette : standardPalette());
    return chevrons(icon == SP_ToolBarHorizontalExtensionButton ? Qt::Horizontal : Qt::Vertical,
        palette.color(QPalette::WindowText));
}
