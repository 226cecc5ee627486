#pragma once

// BitmapDisplayer: shows one picture and plays short transitions that bring it onto the surface.
//
// The about window drives it the way an automation client drives a control: members are set and
// operations invoked by their dispatch numbers (setMember / invoke). Every effect runs for `Steps`
// frames (20 ms each) on a QVariantAnimation and ends with the picture shown whole; invoking an
// effect while another plays starts the new one at once. frame() renders any moment of any
// effect on its own, so what the widget paints can be checked without a screen.

#include <QImage>
#include <QWidget>

class QVariantAnimation;

class BitmapDisplayer final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BitmapDisplayer)

public:
    // Members, by dispatch number.
    enum Member : quint32 {
        // 1: effects bring the picture in over a blank surface; 0: over its own negative.
        MemberOverBlank = 0x68030000,
        // Frames per effect.
        MemberSteps = 0x68030001,
        // Edge in pixels of the tiles, bands and cells of the block effects.
        MemberBlockSize = 0x68030002,
    };

    // Effect operations, by dispatch number.
    enum Effect : quint32 {
        EffectFadeIn = 0x6003000C,
        EffectWipeRight = 0x6003000D,
        EffectWipeDown = 0x6003000E,
        EffectWipeLeft = 0x6003000F,
        EffectSlideFromLeft = 0x60030010,
        EffectSlideFromTop = 0x60030011,
        EffectZoomIn = 0x60030012,
        EffectWipeUp = 0x60030013,
        EffectIris = 0x60030014,
        EffectBlinds = 0x60030015,
        EffectBarnDoors = 0x60030016,
        EffectStretch = 0x60030017,
        EffectMosaic = 0x60030018,
        EffectDissolve = 0x60030019,
        EffectDiagonal = 0x6003001A,
        EffectCheckerboard = 0x6003001B,
    };

    explicit BitmapDisplayer(QWidget *parent = nullptr);
    ~BitmapDisplayer() override;

    // False (and nothing changes) for a number that names no member or operation.
    bool setMember(quint32 dispid, int value);
    int member(quint32 dispid) const;
    bool invoke(quint32 dispid);

    static bool isEffect(quint32 dispid);

    bool isPlaying() const;
    QImage picture() const { return m_picture; }
    // The picture as the effect shows it at progress 0..1, with the members as they are now.
    QImage frame(quint32 effect, qreal progress) const;

    QSize sizeHint() const override;

Q_SIGNALS:
    void memberSet(quint32 dispid, int value);
    void invoked(quint32 dispid);
    void effectFinished();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage background() const;

    QImage m_picture;
    int m_overBlank = 0;
    int m_steps = 50;
    int m_blockSize = 8;

    QVariantAnimation *m_animation = nullptr;
    quint32 m_effect = 0;
    int m_step = 0;
    int m_playingSteps = 1;
};
