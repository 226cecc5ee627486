#pragma once

#include <QGroupBox>

// A frame with its caption standing on the border line, as the window's designer drew it: the
// controls inside are placed by their own coordinates, so the caption takes no room from them.
// Painted here rather than by a style sheet, which would put every control inside the frame
// under a style sheet of its own and cost the window's first showing a sixth of its time.
class CaptionFrame final : public QGroupBox
{
public:
    explicit CaptionFrame(const QString &caption, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // Where the caption stands, its padding included.
    QRect captionRect() const;
};
