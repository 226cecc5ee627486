#pragma once

#include <QPaintDevice>
#include <QRect>
#include <cmath>

// The window layouts are given in twips (1440 to the inch); they are turned into pixels with the
// device's logical resolution so the windows keep their proportions on any screen.
namespace Twips
{

inline int toX(const QPaintDevice *device, int twips)
{
    return static_cast<int>(std::lround(twips * device->logicalDpiX() / 1440.0));
}

inline int toY(const QPaintDevice *device, int twips)
{
    return static_cast<int>(std::lround(twips * device->logicalDpiY() / 1440.0));
}

inline int fromX(const QPaintDevice *device, int pixels)
{
    return static_cast<int>(std::lround(pixels * 1440.0 / device->logicalDpiX()));
}

inline QRect rect(const QPaintDevice *device, int left, int top, int width, int height)
{
    return QRect(toX(device, left), toY(device, top), toX(device, width), toY(device, height));
}

} // namespace Twips
