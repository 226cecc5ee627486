#pragma once

#include <QProxyStyle>

// The desktop's own style, except for the chevron a menu bar keeps for menus that do not fit.
// The style reads that icon from an image file, and reading any image file by name makes Qt load
// every image-format plugin (SVG, JPEG, GIF, ICO, with their libraries) to ask which one reads it,
// all before the main window first shows. Drawn here, no image file is read at start.
class DrawnIconStyle final : public QProxyStyle
{
public:
    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option = nullptr,
        const QWidget *widget = nullptr) const override;
};
