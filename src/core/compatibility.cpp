#include "compatibility.h"

namespace Compatibility
{

namespace
{

    constexpr int ProcessorRow = 0;
    constexpr int BoardRow = 1;
    constexpr int MemoryRow = 2;
    constexpr int GraphicsRow = 5;
    constexpr int CaseRow = 12;
    // What the rest of a PC draws beside its processor and graphics card, W, and the headroom a
    // supply should have over the estimate, in tenths.
    constexpr int RestOfThePc = 75;
    constexpr int HeadroomTenths = 13;

    class Checker
    {
    public:
        explicit Checker(const Parts &parts)
            : m_parts(parts)
        {
        }

        Report run()
        {
            sockets();
            memory();
            formFactor();
            cardLength();
            disks();
            power();
            return m_report;
        }

    private:
        bool chosen(int row) const { return m_parts[row].has_value(); }
        std::optional<QString> known(int row, Attribute attribute) const
        {
            return chosen(row) ? m_parts[row]->known(attribute) : std::nullopt;
        }
        std::optional<int> number(int row, Attribute attribute) const
        {
            return chosen(row) ? m_parts[row]->number(attribute) : std::nullopt;
        }
        void problem(QList<int> rows, const QString &reason)
        {
            m_report.problems.append({ std::move(rows), reason });
        }
        void unknown(QList<int> rows, const QString &what)
        {
            m_report.unchecked.append({ std::move(rows), what });
        }

        void sockets()
        {
            if (!chosen(ProcessorRow) || !chosen(BoardRow))
                return;
            const auto processor = known(ProcessorRow, Attribute::Socket);
            const auto board = known(BoardRow, Attribute::Socket);
            if (!processor || !board)
                unknown({ ProcessorRow, BoardRow },
                    QStringLiteral("Socket: the %1 socket is not known")
                        .arg(processor ? u"board's" : u"processor's"));
            else if (*processor != *board)
                problem({ ProcessorRow, BoardRow },
                    QStringLiteral("Processor %1 does not fit the board's %2 socket")
                        .arg(*processor, *board));
        }

        void memory()
        {
            const auto board = known(BoardRow, Attribute::MemoryType);
            if (chosen(ProcessorRow) && chosen(BoardRow)) {
                const QStringList takes = m_parts[ProcessorRow]->words(Attribute::MemoryTypes);
                if (takes.isEmpty() || !board)
                    unknown({ ProcessorRow, BoardRow },
                        QStringLiteral("Memory type of the board and the processor"));
                else if (!takes.contains(*board))
                    problem({ ProcessorRow, BoardRow },
                        QStringLiteral("Board %1 but the processor takes %2")
                            .arg(*board, takes.join(QLatin1String(" or "))));
            }
            if (!chosen(MemoryRow))
                return;
            const auto kit = known(MemoryRow, Attribute::MemoryType);
            if (chosen(BoardRow)) {
                if (!kit || !board)
                    unknown(
                        { MemoryRow, BoardRow }, QStringLiteral("Memory type of the memory and the board"));
                else if (*kit != *board)
                    problem({ MemoryRow, BoardRow },
                        QStringLiteral("Memory %1 but the board takes %2").arg(*kit, *board));
                const auto modules = number(MemoryRow, Attribute::Modules);
                const auto slots = number(BoardRow, Attribute::MemorySlots);
                if (!modules || !slots)
                    unknown({ MemoryRow, BoardRow }, QStringLiteral("Memory modules and the board's slots"));
                else if (*modules > *slots)
                    problem({ MemoryRow, BoardRow },
                        QStringLiteral("Memory of %1 modules, the board has %2 slots")
                            .arg(*modules)
                            .arg(*slots));
            } else if (chosen(ProcessorRow)) {
                const QStringList takes = m_parts[ProcessorRow]->words(Attribute::MemoryTypes);
                if (!kit || takes.isEmpty())
                    unknown({ MemoryRow, ProcessorRow },
                        QStringLiteral("Memory type of the memory and the processor"));
                else if (!takes.contains(*kit))
                    problem({ MemoryRow, ProcessorRow },
                        QStringLiteral("Memory %1 but the processor takes %2")
                            .arg(*kit, takes.join(QLatin1String(" or "))));
            }
        }

        void formFactor()
        {
            if (!chosen(BoardRow) || !chosen(CaseRow))
                return;
            const auto board = known(BoardRow, Attribute::FormFactor);
            const QStringList takes = m_parts[CaseRow]->words(Attribute::CaseForms);
            if (!board || takes.isEmpty())
                unknown({ BoardRow, CaseRow }, QStringLiteral("Board form factor and the case"));
            else if (!takes.contains(*board))
                problem({ BoardRow, CaseRow },
                    QStringLiteral("Board %1 does not fit a %2 case")
                        .arg(*board, takes.join(QLatin1String(" or "))));
        }

        void cardLength()
        {
            if (!chosen(GraphicsRow) || !chosen(CaseRow))
                return;
            const auto length = number(GraphicsRow, Attribute::Length);
            const auto room = number(CaseRow, Attribute::CardClearance);
            if (!length || !room)
                unknown({ GraphicsRow, CaseRow }, QStringLiteral("Graphics card length and the case"));
            else if (*length > *room)
                problem({ GraphicsRow, CaseRow },
                    QStringLiteral("Graphics card %1 mm, the case takes %2 mm").arg(*length).arg(*room));
        }

        void disks()
        {
            if (!chosen(BoardRow))
                return;
            QList<int> m2, sata, unsure;
            for (int row = 0; row < RowCount; ++row) {
                if (partKindOfRow(row) != PartKind::Disk || !chosen(row))
                    continue;
                const auto interface = known(row, Attribute::Interface);
                if (!interface)
                    unsure << row;
                else
                    (*interface == QLatin1String("SATA") ? sata : m2) << row;
            }
            if (!unsure.isEmpty())
                unknown(unsure << BoardRow, QStringLiteral("Disk interface"));
            const auto compare
                = [&](QList<int> rows, Attribute attribute, const QString &what, const QString &place) {
                      if (rows.isEmpty())
                          return;
                      const auto room = number(BoardRow, attribute);
                      if (!room)
                          unknown(rows << BoardRow, QStringLiteral("%1 and the board's %2").arg(what, place));
                      else if (rows.size() > *room)
                          problem(rows << BoardRow,
                              QStringLiteral("%1 %2, the board has %3 %4")
                                  .arg(rows.size())
                                  .arg(rows.size() == 1 ? what.chopped(1) : what)
                                  .arg(*room)
                                  .arg(*room == 1 ? place.chopped(1) : place));
                  };
            compare(m2, Attribute::M2Slots, QStringLiteral("M.2 disks"), QStringLiteral("M.2 slots"));
            compare(sata, Attribute::SataPorts, QStringLiteral("SATA drives"), QStringLiteral("SATA ports"));
        }

        void power()
        {
            if (!chosen(ProcessorRow) && !chosen(GraphicsRow))
                return;
            QList<int> rows;
            int draw = RestOfThePc;
            bool drawKnown = true;
            for (const int row : { ProcessorRow, GraphicsRow }) {
                if (!chosen(row))
                    continue;
                rows << row;
                const auto watts = number(row, Attribute::Power);
                drawKnown = drawKnown && watts.has_value();
                draw += watts.value_or(0);
            }
            // A supply bought apart replaces the one a case comes with.
            std::optional<int> supply;
            int supplyRow = -1;
            for (int row = 0; row < RowCount; ++row) {
                if (partKindOfRow(row) == PartKind::Supply && number(row, Attribute::SupplyPower)) {
                    supply = number(row, Attribute::SupplyPower);
                    supplyRow = row;
                }
            }
            if (!supply && chosen(CaseRow)) {
                supply = number(CaseRow, Attribute::CaseSupply);
                supplyRow = CaseRow;
            }
            if (supplyRow >= 0)
                rows << supplyRow;
            if (!drawKnown || !supply) {
                unknown(rows,
                    QStringLiteral("Power: %1 not known")
                        .arg(drawKnown ? u"the supply's wattage is" : u"what the parts draw is"));
                return;
            }
            if (draw * HeadroomTenths <= *supply * 10)
                return;
            const int needed = (draw * HeadroomTenths + 99) / 100 * 10;
            problem(rows,
                QStringLiteral(
                    "Parts draw about %1 W; the %2 W supply should be at least %3 W (30% headroom)")
                    .arg(draw)
                    .arg(*supply)
                    .arg(needed));
        }

        const Parts &m_parts;
        Report m_report;
    };

} // namespace

bool Report::involves(int row) const
{
    for (const Problem &problem : problems) {
        if (problem.rows.contains(row))
            return true;
    }
    return false;
}

QString Report::uncheckedSummary() const
{
    if (unchecked.isEmpty())
        return {};
    return unchecked.size() == 1
        ? QStringLiteral("1 check could not be made: unknown attributes")
        : QStringLiteral("%1 checks could not be made: unknown attributes").arg(unchecked.size());
}

Report check(const Parts &parts)
{
    return Checker(parts).run();
}

bool fits(const Parts &parts, int row, const PartAttributes &candidate)
{
    if (row < 0 || row >= RowCount)
        return true;
    Parts with = parts;
    with[row] = candidate;
    return !check(with).involves(row);
}

} // namespace Compatibility
