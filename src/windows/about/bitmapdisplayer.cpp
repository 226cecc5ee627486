#include "bitmapdisplayer.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QRegion>
#include <QVariantAnimation>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace
{

constexpr int FrameMilliseconds = 20;
constexpr int MaxSteps = 500; // 10 seconds; a larger member value would only freeze the picture
constexpr int MaxBlockSize = 64;

// The picture: a small desk computer of the shop's counter, drawn here so it needs no artwork.
QImage drawPicture()
{
    QImage image(160, 120, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(0xF4, 0xEF, 0xE2));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Desk.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xB0, 0x7A, 0x48));
    p.drawRect(QRectF(0, 100, 160, 20));

    // Tower with drive bays and a green lamp.
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.5));
    p.setBrush(QColor(0xDD, 0xD8, 0xCC));
    p.drawRoundedRect(QRectF(116, 22, 34, 78), 3, 3);
    p.setBrush(QColor(0xA8, 0xA4, 0x98));
    for (int bay = 0; bay < 3; ++bay)
        p.drawRect(QRectF(121, 30 + bay * 9, 24, 6));
    p.setBrush(QColor(0x2E, 0xC4, 0x4A));
    p.drawEllipse(QPointF(124, 90), 2.5, 2.5);

    // Monitor on its stand.
    p.setBrush(QColor(0xDD, 0xD8, 0xCC));
    p.drawPolygon(QPolygonF({ QPointF(52, 78), QPointF(70, 78), QPointF(76, 92), QPointF(46, 92) }));
    p.drawRoundedRect(QRectF(14, 8, 94, 72), 6, 6);
    QLinearGradient screen(0, 14, 0, 72);
    screen.setColorAt(0, QColor(0x2A, 0x6C, 0xC4));
    screen.setColorAt(1, QColor(0x0B, 0x25, 0x52));
    p.setBrush(screen);
    p.drawRect(QRectF(21, 14, 80, 56));

    // An offer on the screen: item lines with their prices and a total bar.
    p.setPen(Qt::NoPen);
    for (int line = 0; line < 5; ++line) {
        p.setBrush(QColor(0xE8, 0xF0, 0xFF));
        p.drawRect(QRectF(26, 19 + line * 8, 40 - (line % 3) * 8, 4));
        p.setBrush(QColor(0xFF, 0xD4, 0x4A));
        p.drawRect(QRectF(80, 19 + line * 8, 16, 4));
    }
    p.setBrush(QColor(0xE0, 0x44, 0x3C));
    p.drawRect(QRectF(70, 61, 26, 5));

    // Keyboard in front.
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.2));
    p.setBrush(QColor(0xEE, 0xEA, 0xE0));
    p.drawPolygon(QPolygonF({ QPointF(22, 98), QPointF(100, 98), QPointF(108, 114), QPointF(14, 114) }));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x88, 0x84, 0x7C));
    for (int row = 0; row < 3; ++row) {
        for (int key = 0; key < 12; ++key)
            p.drawRect(QRectF(22 - row * 2.5 + key * 6.9, 100.5 + row * 4.4, 4.6, 3));
    }
    return image;
}

} // namespace

BitmapDisplayer::BitmapDisplayer(QWidget *parent)
    : QWidget(parent)
    , m_picture(drawPicture())
    , m_animation(new QVariantAnimation(this))
{
    m_animation->setEasingCurve(QEasingCurve::Linear);
    connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_step = value.toInt();
        update();
    });
    connect(m_animation, &QVariantAnimation::finished, this, [this] {
        m_effect = 0;
        update();
        Q_EMIT effectFinished();
    });
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

BitmapDisplayer::~BitmapDisplayer() = default;

bool BitmapDisplayer::isEffect(quint32 dispid)
{
    return dispid >= EffectFadeIn && dispid <= EffectCheckerboard;
}

bool BitmapDisplayer::setMember(quint32 dispid, int value)
{
    switch (dispid) {
    case MemberOverBlank:
        m_overBlank = value;
        break;
    case MemberSteps:
        m_steps = value;
        break;
    case MemberBlockSize:
        m_blockSize = value;
        break;
    default:
        return false;
    }
    Q_EMIT memberSet(dispid, value);
    return true;
}

int BitmapDisplayer::member(quint32 dispid) const
{
    switch (dispid) {
    case MemberOverBlank:
        return m_overBlank;
    case MemberSteps:
        return m_steps;
    case MemberBlockSize:
        return m_blockSize;
    default:
        return 0;
    }
}

bool BitmapDisplayer::invoke(quint32 dispid)
{
    if (!isEffect(dispid))
        return false;
    m_animation->stop();
    m_effect = dispid;
    m_step = 0;
    m_playingSteps = std::clamp(m_steps, 1, MaxSteps);
    m_animation->setStartValue(0);
    m_animation->setEndValue(m_playingSteps);
    m_animation->setDuration(m_playingSteps * FrameMilliseconds);
    Q_EMIT invoked(dispid);
    m_animation->start();
    update();
    return true;
}

bool BitmapDisplayer::isPlaying() const
{
    return m_animation->state() == QAbstractAnimation::Running;
}

QSize BitmapDisplayer::sizeHint() const
{
    return m_picture.size();
}

QImage BitmapDisplayer::background() const
{
    if (m_overBlank) {
        QImage blank(m_picture.size(), m_picture.format());
        blank.fill(Qt::white);
        return blank;
    }
    QImage negative = m_picture;
    negative.invertPixels();
    return negative;
}

// The part of the picture the tiled effects show at progress p: bands, cells or scattered tiles of
// the block size.
static QRegion tileRegion(quint32 effect, qreal p, int w, int h, int block)
{
    QRegion shown;
    if (effect == BitmapDisplayer::EffectBlinds) {
        const int open = static_cast<int>(std::ceil(block * p));
        for (int y = 0; y < h; y += block)
            shown += QRect(0, y, w, open);
    } else if (effect == BitmapDisplayer::EffectCheckerboard) {
        // Half the cells open first, left to right within each cell, then the other half.
        for (int y = 0, row = 0; y < h; y += block, ++row) {
            for (int x = 0, col = 0; x < w; x += block, ++col) {
                const qreal share = std::clamp(2 * p - (row + col) % 2, 0.0, 1.0);
                shown += QRect(x, y, static_cast<int>(std::ceil(block * share)), block);
            }
        }
    } else {
        // Tiles appear in a scattered order that is the same on every run.
        const int columns = (w + block - 1) / block;
        const int rows = (h + block - 1) / block;
        QList<int> order(columns * rows);
        std::iota(order.begin(), order.end(), 0);
        QRandomGenerator shuffle(0x5EED);
        for (qsizetype i = order.size() - 1; i > 0; --i)
            std::swap(order[i], order[shuffle.bounded(int(i) + 1)]);
        const qsizetype count = std::llround(p * order.size());
        for (qsizetype i = 0; i < count; ++i)
            shown += QRect(order.at(i) % columns * block, order.at(i) / columns * block, block, block);
    }
    return shown;
}

QImage BitmapDisplayer::frame(quint32 effect, qreal progress) const
{
    QImage out = background();
    const qreal p = std::clamp(progress, 0.0, 1.0);
    const int w = m_picture.width();
    const int h = m_picture.height();
    const int block = std::clamp(m_blockSize, 2, MaxBlockSize);
    QPainter painter(&out);

    switch (effect) {
    case EffectFadeIn:
        painter.setOpacity(p);
        break;
    case EffectWipeRight:
        painter.setClipRect(QRectF(0, 0, w * p, h));
        break;
    case EffectWipeLeft:
        painter.setClipRect(QRectF(w * (1 - p), 0, w * p, h));
        break;
    case EffectWipeDown:
        painter.setClipRect(QRectF(0, 0, w, h * p));
        break;
    case EffectWipeUp:
        painter.setClipRect(QRectF(0, h * (1 - p), w, h * p));
        break;
    case EffectSlideFromLeft:
        painter.drawImage(QPointF(-w * (1 - p), 0), m_picture);
        return out;
    case EffectSlideFromTop:
        painter.drawImage(QPointF(0, -h * (1 - p)), m_picture);
        return out;
    case EffectZoomIn:
        if (p > 0)
            painter.drawImage(QRectF(w * (1 - p) / 2, h * (1 - p) / 2, w * p, h * p), m_picture);
        return out;
    case EffectStretch:
        if (p > 0)
            painter.drawImage(QRectF(w * (1 - p) / 2, 0, w * p, h), m_picture);
        return out;
    case EffectBarnDoors:
        painter.setClipRect(QRectF(w * (1 - p) / 2, 0, w * p, h));
        break;
    case EffectIris: {
        QPainterPath circle;
        const qreal radius = std::hypot(w, h) / 2 * p;
        circle.addEllipse(QPointF(w / 2.0, h / 2.0), radius, radius);
        painter.setClipPath(circle);
        break;
    }
    case EffectDiagonal: {
        const qreal d = (w + h) * p;
        QPainterPath corner;
        corner.addPolygon(QPolygonF({ QPointF(0, 0), QPointF(d, 0), QPointF(0, d) }));
        painter.setClipPath(corner);
        break;
    }
    case EffectBlinds:
    case EffectCheckerboard:
    case EffectDissolve:
        painter.setClipRegion(tileRegion(effect, p, w, h, block));
        break;
    case EffectMosaic: {
        // Coarse cells that grow finer until the picture stands sharp.
        const int cell = std::max(1, static_cast<int>(std::lround(1 + (2 * block - 1) * (1 - p))));
        if (cell == 1)
            break;
        const QImage small = m_picture.scaled(
            (w + cell - 1) / cell, (h + cell - 1) / cell, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        painter.drawImage(QRect(0, 0, small.width() * cell, small.height() * cell), small);
        return out;
    }
    default:
        return m_picture;
    }
    painter.drawImage(0, 0, m_picture);
    return out;
}

void BitmapDisplayer::paintEvent(QPaintEvent *)
{
    const QImage shown
        = isPlaying() && m_effect ? frame(m_effect, qreal(m_step) / m_playingSteps) : m_picture;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSize size = shown.size().scaled(this->size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    painter.drawImage(target, shown);
}
