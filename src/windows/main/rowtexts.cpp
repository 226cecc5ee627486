#include "rowtexts.h"

#include "core/amount.h"
#include "core/offermodel.h"

namespace RowTexts
{

namespace
{

    const char *const Captions[Offer::RowCount] = { "&Processor", "&Mother Board", "&RAM", "&Floppy Disk",
        "H&ard Disk", "&VGA Card", "Moni&tor", "C&D-ROM", "&Sound Card", "Sp&eaker", "&KeyBoard", "Mo&use",
        "&Case", "Fa&x Modem", "Extra &1", "Extra &2", "&Other" };

} // namespace

QString caption(int index)
{
    return (index >= 0 && index < Offer::RowCount) ? QString::fromLatin1(Captions[index]) : QString();
}

QString plainCaption(int index)
{
    return caption(index).remove(QLatin1Char('&'));
}

QString name(int index)
{
    return QLatin1String("Row ") + plainCaption(index);
}

QString amountProblem(const OfferModel &offer, int index)
{
    if (!offer.amountRefused(index))
        return {};
    return Amounts::outOfRangeMessage(name(index), offer.row(index).amountText());
}

QString totalProblem(const OfferModel &offer)
{
    int refused = -1;
    offer.totalText(&refused);
    return refused < 0 ? QString() : amountProblem(offer, refused);
}

} // namespace RowTexts
