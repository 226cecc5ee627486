#include "categorypictures.h"

#include <QPainter>
#include <QPainterPath>

namespace CategoryPictures
{

namespace
{

    constexpr int Size = 32;
    const QColor Grey(0xd4, 0xd0, 0xc8);
    const QColor Ink(0x30, 0x30, 0x38);

    void chip(QPainter &p)
    {
        p.setBrush(QColor(0x55, 0x60, 0x70));
        p.drawRect(8, 8, 16, 16);
        p.setPen(QPen(QColor(0xc0, 0xa0, 0x40), 1.5));
        for (int i = 0; i < 4; ++i) {
            const int o = 10 + i * 4;
            p.drawLine(o, 3, o, 8);
            p.drawLine(o, 24, o, 29);
            p.drawLine(3, o, 8, o);
            p.drawLine(24, o, 29, o);
        }
        p.setPen(Qt::white);
        p.drawText(QRect(8, 8, 16, 16), Qt::AlignCenter, QStringLiteral("i"));
    }

    void board(QPainter &p)
    {
        p.setBrush(QColor(0x2e, 0x7d, 0x32));
        p.drawRect(3, 4, 26, 24);
        p.setBrush(QColor(0x90, 0x90, 0x90));
        p.drawRect(7, 8, 8, 8);
        p.setBrush(QColor(0x20, 0x20, 0x20));
        p.drawRect(18, 7, 2, 17);
        p.drawRect(22, 7, 2, 17);
        p.setBrush(QColor(0xe0, 0xc0, 0x40));
        p.drawRect(6, 20, 9, 3);
    }

    void ram(QPainter &p)
    {
        p.setBrush(QColor(0x1b, 0x5e, 0x20));
        p.drawRect(2, 10, 28, 11);
        p.setBrush(QColor(0x22, 0x22, 0x22));
        for (int i = 0; i < 6; ++i)
            p.drawRect(4 + i * 4, 12, 3, 5);
        p.setPen(QPen(QColor(0xe0, 0xc0, 0x40), 1));
        for (int x = 3; x < 30; x += 2)
            p.drawLine(x, 21, x, 23);
    }

    void floppy(QPainter &p)
    {
        p.setBrush(QColor(0x1f, 0x3a, 0x93));
        p.drawRect(5, 4, 22, 24);
        p.setBrush(QColor(0xc8, 0xc8, 0xd0));
        p.drawRect(10, 4, 12, 8);
        p.setBrush(Qt::white);
        p.drawRect(8, 16, 16, 11);
    }

    void disk(QPainter &p)
    {
        p.setBrush(QColor(0xb0, 0xb4, 0xba));
        p.drawRoundedRect(3, 5, 26, 22, 3, 3);
        p.setBrush(QColor(0xe8, 0xe8, 0xec));
        p.drawEllipse(6, 7, 17, 17);
        p.setBrush(Ink);
        p.drawEllipse(13, 14, 3, 3);
        p.setPen(QPen(Ink, 1.5));
        p.drawLine(25, 8, 17, 17);
    }

    void vga(QPainter &p)
    {
        p.setBrush(QColor(0x37, 0x47, 0x4f));
        p.drawRect(2, 8, 26, 15);
        p.setBrush(QColor(0x90, 0xa4, 0xae));
        p.drawEllipse(13, 10, 11, 11);
        p.setBrush(QColor(0xe0, 0xc0, 0x40));
        p.drawRect(4, 23, 16, 3);
        p.setBrush(QColor(0x1e, 0x88, 0xe5));
        p.drawRect(28, 10, 3, 10);
    }

    void monitor(QPainter &p)
    {
        p.setBrush(QColor(0x42, 0x42, 0x48));
        p.drawRect(3, 4, 26, 18);
        p.setBrush(QColor(0x42, 0xa5, 0xf5));
        p.drawRect(5, 6, 22, 14);
        p.setBrush(QColor(0x60, 0x60, 0x68));
        p.drawRect(13, 22, 6, 3);
        p.drawRect(9, 25, 14, 3);
    }

    void cdrom(QPainter &p)
    {
        QRadialGradient g(16, 16, 14);
        g.setColorAt(0, QColor(0xff, 0xff, 0xff));
        g.setColorAt(0.6, QColor(0xb3, 0xe5, 0xfc));
        g.setColorAt(1, QColor(0xce, 0x93, 0xd8));
        p.setBrush(g);
        p.drawEllipse(2, 2, 28, 28);
        p.setBrush(Qt::white);
        p.drawEllipse(12, 12, 8, 8);
    }

    void sound(QPainter &p)
    {
        p.setBrush(QColor(0x6a, 0x1b, 0x9a));
        p.drawRect(2, 9, 20, 14);
        p.setBrush(QColor(0xe0, 0xc0, 0x40));
        p.drawRect(4, 23, 14, 3);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Ink, 1.5));
        p.drawArc(18, 8, 8, 16, -60 * 16, 120 * 16);
        p.drawArc(20, 4, 11, 24, -60 * 16, 120 * 16);
    }

    void speaker(QPainter &p)
    {
        p.setBrush(QColor(0x5d, 0x40, 0x37));
        p.drawRoundedRect(8, 2, 16, 28, 2, 2);
        p.setBrush(QColor(0x21, 0x21, 0x21));
        p.drawEllipse(11, 5, 10, 10);
        p.drawEllipse(10, 16, 12, 12);
    }

    void keyboard(QPainter &p)
    {
        p.setBrush(QColor(0xee, 0xee, 0xee));
        p.drawRoundedRect(1, 9, 30, 15, 2, 2);
        p.setBrush(QColor(0x9e, 0x9e, 0x9e));
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 7; ++c)
                p.drawRect(3 + c * 4, 11 + r * 4, 3, 3);
    }

    void mouse(QPainter &p)
    {
        p.setBrush(QColor(0xee, 0xee, 0xee));
        p.drawRoundedRect(9, 6, 14, 22, 7, 7);
        p.drawLine(16, 6, 16, 14);
        p.drawLine(9, 14, 23, 14);
        p.setBrush(Qt::NoBrush);
        p.drawArc(14, 0, 12, 10, 180 * 16, 90 * 16);
    }

    void pcCase(QPainter &p)
    {
        p.setBrush(QColor(0x45, 0x5a, 0x64));
        p.drawRect(8, 2, 16, 28);
        p.setBrush(QColor(0x26, 0x32, 0x38));
        p.drawRect(11, 5, 10, 3);
        p.drawRect(11, 10, 10, 3);
        p.setBrush(QColor(0x66, 0xbb, 0x6a));
        p.drawEllipse(14, 23, 4, 4);
    }

    void modem(QPainter &p)
    {
        p.setBrush(QColor(0xec, 0xef, 0xf1));
        p.drawRoundedRect(2, 13, 28, 11, 2, 2);
        p.setBrush(QColor(0x43, 0xa0, 0x47));
        for (int i = 0; i < 4; ++i)
            p.drawEllipse(6 + i * 5, 17, 3, 3);
        p.setBrush(Qt::NoBrush);
        p.drawLine(24, 13, 27, 4);
    }

    void extra(QPainter &p, bool two)
    {
        p.setBrush(two ? QColor(0xff, 0xb3, 0x00) : QColor(0x00, 0x89, 0x7b));
        p.drawEllipse(3, 3, 26, 26);
        // The numeral is drawn as strokes: as text it would load a bold face of its own and
        // rasterise its glyph before the window could first show.
        p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        QPainterPath numeral;
        if (two) {
            numeral.moveTo(12, 12.5);
            numeral.cubicTo(12, 8, 20.5, 8, 20.5, 12.5);
            numeral.cubicTo(20.5, 16, 12, 19, 12, 23);
            numeral.lineTo(20.5, 23);
        } else {
            numeral.moveTo(12.5, 12);
            numeral.lineTo(16.5, 9);
            numeral.lineTo(16.5, 23);
            numeral.moveTo(12.5, 23);
            numeral.lineTo(20.5, 23);
        }
        p.drawPath(numeral);
    }

} // namespace

bool hasPicture(int row)
{
    return row >= 0 && row < Count;
}

bool hasPrintCopy(int row)
{
    switch (row) {
    case 1:
    case 2:
    case 3:
    case 5:
    case 7:
    case 8:
    case 9:
    case 13:
    case 14:
    case 15:
        return true;
    default:
        return false;
    }
}

QPixmap picture(int row, bool printCopy)
{
    if (!hasPicture(row))
        return {};
    QPixmap pm(Size, Size);
    const bool icon = row >= 10 && row <= 12;
    if (icon)
        pm.fill(Qt::transparent);
    else if (hasPrintCopy(row))
        pm.fill(printCopy ? QColor(Qt::white) : Grey);
    else
        pm.fill(QColor(0xff, 0xf8, 0xe1)); // a full-bleed tile of its own, no window grey to swap
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Ink, 1));
    switch (row) {
    case 0:
        chip(p);
        break;
    case 1:
        board(p);
        break;
    case 2:
        ram(p);
        break;
    case 3:
        floppy(p);
        break;
    case 4:
        disk(p);
        break;
    case 5:
        vga(p);
        break;
    case 6:
        monitor(p);
        break;
    case 7:
        cdrom(p);
        break;
    case 8:
        sound(p);
        break;
    case 9:
        speaker(p);
        break;
    case 10:
        keyboard(p);
        break;
    case 11:
        mouse(p);
        break;
    case 12:
        pcCase(p);
        break;
    case 13:
        modem(p);
        break;
    case 14:
        extra(p, false);
        break;
    case 15:
        extra(p, true);
        break;
    }
    return pm;
}

} // namespace CategoryPictures
