#include "recordnavigator.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

RecordNavigator::RecordNavigator(const QString &name, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(name);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    // Right to left: the first record is at the right end. The guillemets are mirrored in a
    // right-to-left line, so "«" shows pointing right, towards the first record.
    struct Step {
        const char *name;
        QString text;
        QString tip;
        void (RecordNavigator::*signal)();
    };
    const Step steps[4] = {
        { "first", QStringLiteral("«"), QStringLiteral("الاول"), &RecordNavigator::firstRequested },
        { "previous", QStringLiteral("‹"), QStringLiteral("السابق"), &RecordNavigator::previousRequested },
        { "next", QStringLiteral("›"), QStringLiteral("التالى"), &RecordNavigator::nextRequested },
        { "last", QStringLiteral("»"), QStringLiteral("الاخير"), &RecordNavigator::lastRequested },
    };
    m_position = new QLabel(this);
    m_position->setObjectName(name + QStringLiteral("Position"));
    m_position->setAlignment(Qt::AlignCenter);
    m_position->setMinimumWidth(60);
    for (int i = 0; i < 4; ++i) {
        const Step &step = steps[i];
        auto *button = new QToolButton(this);
        button->setObjectName(QLatin1String(step.name));
        button->setText(step.text);
        button->setToolTip(step.tip);
        button->setAutoRaise(true);
        connect(button, &QToolButton::clicked, this, step.signal);
        layout->addWidget(button);
        if (i == 1)
            layout->addWidget(m_position);
    }
}

void RecordNavigator::setPosition(int row, int count)
{
    m_position->setText(row >= 0 && row < count ? QStringLiteral("%1 / %2").arg(row + 1).arg(count)
                                                : QStringLiteral("0 / %1").arg(count));
}

QString RecordNavigator::caption() const
{
    return m_position->text();
}
