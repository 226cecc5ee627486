#include "configrow.h"

#include "categorypictures.h"
#include "widgets/gridcombo.h"
#include "widgets/twips.h"
#include "widgets/windowtext.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace
{

struct RowDesign {
    const char *caption;
    int top;
    int copyLeft; // 0: no print copy
    int copyTop;
};

const RowDesign Rows[ConfigRow::Count] = {
    { "&Processor", 240, 0, 0 },
    { "&Mother Board", 562, 3240, 540 },
    { "&RAM", 884, 3405, 900 },
    { "&Floppy Disk", 1206, 3285, 1200 },
    { "H&ard Disk", 1528, 0, 0 },
    { "&VGA Card", 1850, 3435, 1860 },
    { "Moni&tor", 2172, 0, 0 },
    { "C&D-ROM", 2494, 3420, 2505 },
    { "&Sound Card", 2816, 3420, 2835 },
    { "Sp&eaker", 3138, 3420, 3105 },
    { "&KeyBoard", 3460, 0, 0 },
    { "Mo&use", 3782, 0, 0 },
    { "&Case", 4104, 0, 0 },
    { "Fa&x Modem", 4426, 3450, 4365 },
    { "Extra &1", 4748, 3375, 4770 },
    { "Extra &2", 5070, 3330, 5130 },
    { "&Other", 5400, 0, 0 },
};

QString indexed(const char *name, int index)
{
    return QString::fromLatin1(name) + QLatin1Char('(') + QString::number(index) + QLatin1Char(')');
}

} // namespace

QString ConfigRow::caption(int index)
{
    return (index >= 0 && index < Count) ? QString::fromLatin1(Rows[index].caption) : QString();
}

ConfigRow::ConfigRow(int index, QWidget *frame)
    : m_index(index)
{
    const RowDesign &d = Rows[index];
    const auto at = [frame](QWidget *w, int left, int top, int width, int height) {
        w->setGeometry(Twips::rect(frame, left, top, width, height));
    };

    Command1 = new QPushButton(QString::fromLatin1(d.caption), frame);
    Command1->setObjectName(indexed("Command1", index));
    Command1->setToolTip(QStringLiteral("Press to change configuration"));
    at(Command1, 120, d.top, 1335, 315);

    GridCombo1 = new GridCombo(frame);
    GridCombo1->setObjectName(indexed("GridCombo1", index));
    GridCombo1->setToolTip(QStringLiteral("Use arrow keys to change item, HOME,END,PGUP or PGDN"));
    GridCombo1->setMaxLength(WindowText::IdLength);
    at(GridCombo1, 1545, d.top, 1215, 315);

    if (CategoryPictures::hasPicture(index)) {
        Image1 = new QLabel(frame);
        Image1->setObjectName(indexed("Image1", index));
        Image1->setScaledContents(true);
        Image1->setPixmap(CategoryPictures::picture(index));
        at(Image1, 2820, d.top, 450, 315);
    }
    if (d.copyLeft != 0) {
        Image2 = new QLabel(frame);
        Image2->setObjectName(indexed("Image2", index));
        Image2->setScaledContents(true);
        Image2->setPixmap(CategoryPictures::picture(index, true));
        at(Image2, d.copyLeft, d.copyTop, 450, 315);
        Image2->hide();
    }

    Label1 = new QLabel(QStringLiteral("Label1"), frame);
    Label1->setObjectName(indexed("Label1", index));
    at(Label1, 3360, d.top, 3015, 315);

    text1 = new QLineEdit(QStringLiteral("0.00"), frame);
    text1->setObjectName(indexed("text1", index));
    text1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    WindowText::limitLength(text1, WindowText::AmountLength);
    at(text1, 7665, d.top, 975, 315);
}
