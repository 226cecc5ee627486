#include "compatibility.h"

#include <algorithm>
#include <bit>

namespace
{

using namespace Compatibility;
using Rows = std::array<std::optional<Facts>, RowCount>;
// The rows partKindOfRow gives those kinds, listed for rules that look at every one of them.
constexpr int DiskRows[] = { 4, 7 };
constexpr int SupplyRows[] = { 14, 15, 16 };
static_assert(partKindOfRow(DiskRows[0]) == PartKind::Disk && partKindOfRow(DiskRows[1]) == PartKind::Disk);
static_assert(
    partKindOfRow(SupplyRows[0]) == PartKind::Supply && partKindOfRow(SupplyRows[2]) == PartKind::Supply);

// Rows as bits: a rule names the rows it involves without a list to fill.
using RowMask = quint32;

constexpr RowMask bit(int row)
{
    return RowMask(1) << row;
}

constexpr RowMask bits(std::initializer_list<int> rows)
{
    RowMask mask = 0;
    for (const int row : rows)
        mask |= bit(row);
    return mask;
}

QList<int> rowsOf(RowMask mask)
{
    QList<int> rows;
    for (int row = 0; row < RowCount; ++row) {
        if (mask & bit(row))
            rows << row;
    }
    return rows;
}

Rows factsOf(const Parts &parts)
{
    Rows rows;
    for (int row = 0; row < RowCount; ++row) {
        if (parts[row])
            rows[row] = Facts(*parts[row]);
    }
    return rows;
}

int numberIndex(Attribute attribute)
{
    switch (attribute) {
    case Attribute::Power:
        return 0;
    case Attribute::MemorySlots:
        return 1;
    case Attribute::M2Slots:
        return 2;
    case Attribute::SataPorts:
        return 3;
    case Attribute::Modules:
        return 4;
    case Attribute::Length:
        return 5;
    case Attribute::CardClearance:
        return 6;
    case Attribute::CaseSupply:
        return 7;
    case Attribute::SupplyPower:
        return 8;
    default:
        return -1;
    }
}

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
    // With a candidate, the rows are read as if it stood in `row`, and only the rules a part of
    // that kind takes part in are run: a picker asks this for every item of a long list.
    explicit Checker(const Rows &parts, int row = -1, const Facts *candidate = nullptr)
        : m_parts(parts)
        , m_row(row)
        , m_candidate(candidate)
    {
    }

    Report run()
    {
        const PartKind kind = m_candidate ? partKindOfRow(m_row) : PartKind::Other;
        const auto runs = [&](std::initializer_list<PartKind> kinds) {
            return !m_candidate || std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
        };
        using K = PartKind;
        // Whether the candidate lacked what a rule read of it is told apart rule by rule.
        const auto rule = [&](void (Checker::*check)()) {
            m_candidateLacks = m_othersLack = false;
            (this->*check)();
        };
        if (runs({ K::Processor, K::Board }))
            rule(&Checker::sockets);
        if (runs({ K::Processor, K::Board, K::Memory }))
            rule(&Checker::memory);
        if (runs({ K::Board, K::Case }))
            rule(&Checker::formFactor);
        if (runs({ K::Graphics, K::Case }))
            rule(&Checker::cardLength);
        if (runs({ K::Board, K::Disk }))
            rule(&Checker::disks);
        if (runs({ K::Processor, K::Graphics, K::Case, K::Supply }))
            rule(&Checker::power);
        return m_report;
    }
    bool hit() const { return m_hit; }
    bool unsure() const { return m_unsure; }

private:
    const Facts *part(int row) const
    {
        if (row == m_row && m_candidate)
            return m_candidate;
        return m_parts[row] ? &*m_parts[row] : nullptr;
    }
    bool chosen(int row) const { return part(row) != nullptr; }
    const QString *known(int row, Attribute attribute)
    {
        const QString *word = chosen(row) ? part(row)->word(attribute) : nullptr;
        noteLack(row, word != nullptr);
        return word;
    }
    std::optional<int> number(int row, Attribute attribute)
    {
        const std::optional<int> value = chosen(row) ? part(row)->number(attribute) : std::nullopt;
        noteLack(row, value.has_value());
        return value;
    }
    const QStringList &words(int row, Attribute attribute)
    {
        const QStringList &list = part(row)->words(attribute);
        noteLack(row, !list.isEmpty());
        return list;
    }
    void noteLack(int row, bool found)
    {
        if (found || !m_candidate)
            return;
        if (row == m_row)
            m_candidateLacks = true;
        else if (m_parts[row])
            m_othersLack = true;
    }
    // The texts are made only when a person will read them, not for every item a picker asks about.
    template <typename Text> void problem(RowMask rows, const Text &reason)
    {
        if (m_candidate)
            m_hit = m_hit || (rows & bit(m_row)) != 0;
        else
            m_report.problems.append({ rowsOf(rows), reason() });
    }
    template <typename Text> void unknown(RowMask rows, const Text &what)
    {
        // A candidate is in doubt only when what is not known is its own and the rule could have
        // been made with it: an unknown in the other rows makes every item of the list alike.
        if (m_candidate)
            m_unsure = m_unsure || ((rows & bit(m_row)) != 0 && m_candidateLacks && !m_othersLack);
        else
            m_report.unchecked.append({ rowsOf(rows), what() });
    }

    void sockets()
    {
        if (!chosen(ProcessorRow) || !chosen(BoardRow))
            return;
        const auto processor = known(ProcessorRow, Attribute::Socket);
        const auto board = known(BoardRow, Attribute::Socket);
        if (!processor || !board)
            unknown(bits({ ProcessorRow, BoardRow }), [&] {
                return QStringLiteral("Socket: the %1 socket is not known")
                    .arg(processor ? u"board's" : u"processor's");
            });
        else if (*processor != *board)
            problem(bits({ ProcessorRow, BoardRow }), [&] {
                return QStringLiteral("Processor %1 does not fit the board's %2 socket")
                    .arg(*processor, *board);
            });
    }

    void memory()
    {
        const auto board = known(BoardRow, Attribute::MemoryType);
        if (chosen(ProcessorRow) && chosen(BoardRow)) {
            const QStringList &takes = words(ProcessorRow, Attribute::MemoryTypes);
            if (takes.isEmpty() || !board)
                unknown(bits({ ProcessorRow, BoardRow }),
                    [&] { return QStringLiteral("Memory type of the board and the processor"); });
            else if (!takes.contains(*board))
                problem(bits({ ProcessorRow, BoardRow }), [&] {
                    return QStringLiteral("Board %1 but the processor takes %2")
                        .arg(*board, takes.join(QLatin1String(" or ")));
                });
        }
        if (!chosen(MemoryRow))
            return;
        const auto kit = known(MemoryRow, Attribute::MemoryType);
        if (chosen(BoardRow)) {
            if (!kit || !board)
                unknown(bits({ MemoryRow, BoardRow }),
                    [&] { return QStringLiteral("Memory type of the memory and the board"); });
            else if (*kit != *board)
                problem(bits({ MemoryRow, BoardRow }),
                    [&] { return QStringLiteral("Memory %1 but the board takes %2").arg(*kit, *board); });
            const auto modules = number(MemoryRow, Attribute::Modules);
            const auto slots = number(BoardRow, Attribute::MemorySlots);
            if (!modules || !slots)
                unknown(bits({ MemoryRow, BoardRow }),
                    [&] { return QStringLiteral("Memory modules and the board's slots"); });
            else if (*modules > *slots)
                problem(bits({ MemoryRow, BoardRow }), [&] {
                    return QStringLiteral("Memory of %1 modules, the board has %2 slots")
                        .arg(*modules)
                        .arg(*slots);
                });
        } else if (chosen(ProcessorRow)) {
            const QStringList &takes = words(ProcessorRow, Attribute::MemoryTypes);
            if (!kit || takes.isEmpty())
                unknown(bits({ MemoryRow, ProcessorRow }),
                    [&] { return QStringLiteral("Memory type of the memory and the processor"); });
            else if (!takes.contains(*kit))
                problem(bits({ MemoryRow, ProcessorRow }), [&] {
                    return QStringLiteral("Memory %1 but the processor takes %2")
                        .arg(*kit, takes.join(QLatin1String(" or ")));
                });
        }
    }

    void formFactor()
    {
        if (!chosen(BoardRow) || !chosen(CaseRow))
            return;
        const auto board = known(BoardRow, Attribute::FormFactor);
        const QStringList &takes = words(CaseRow, Attribute::CaseForms);
        if (!board || takes.isEmpty())
            unknown(bits({ BoardRow, CaseRow }),
                [&] { return QStringLiteral("Board form factor and the case"); });
        else if (!takes.contains(*board))
            problem(bits({ BoardRow, CaseRow }), [&] {
                return QStringLiteral("Board %1 does not fit a %2 case")
                    .arg(*board, takes.join(QLatin1String(" or ")));
            });
    }

    void cardLength()
    {
        if (!chosen(GraphicsRow) || !chosen(CaseRow))
            return;
        const auto length = number(GraphicsRow, Attribute::Length);
        const auto room = number(CaseRow, Attribute::CardClearance);
        if (!length || !room)
            unknown(bits({ GraphicsRow, CaseRow }),
                [&] { return QStringLiteral("Graphics card length and the case"); });
        else if (*length > *room)
            problem(bits({ GraphicsRow, CaseRow }), [&] {
                return QStringLiteral("Graphics card %1 mm, the case takes %2 mm").arg(*length).arg(*room);
            });
    }

    void disks()
    {
        if (!chosen(BoardRow))
            return;
        RowMask m2 = 0, sata = 0, unsure = 0;
        for (const int row : DiskRows) {
            if (!chosen(row))
                continue;
            const auto interface = known(row, Attribute::Interface);
            if (!interface)
                unsure |= bit(row);
            else
                (*interface == QLatin1String("SATA") ? sata : m2) |= bit(row);
        }
        if (unsure)
            unknown(unsure | bit(BoardRow), [&] { return QStringLiteral("Disk interface"); });
        const auto compare
            = [&](RowMask rows, Attribute attribute, const QString &what, const QString &place) {
                  if (!rows)
                      return;
                  const auto room = number(BoardRow, attribute);
                  const int count = std::popcount(rows);
                  rows |= bit(BoardRow);
                  if (!room)
                      unknown(rows, [&] { return QStringLiteral("%1 and the board's %2").arg(what, place); });
                  else if (count > *room)
                      problem(rows, [&] {
                          return QStringLiteral("%1 %2, the board has %3 %4")
                              .arg(count)
                              .arg(count == 1 ? what.chopped(1) : what)
                              .arg(*room)
                              .arg(*room == 1 ? place.chopped(1) : place);
                      });
              };
        compare(m2, Attribute::M2Slots, QStringLiteral("M.2 disks"), QStringLiteral("M.2 slots"));
        compare(sata, Attribute::SataPorts, QStringLiteral("SATA drives"), QStringLiteral("SATA ports"));
    }

    void power()
    {
        if (!chosen(ProcessorRow) && !chosen(GraphicsRow))
            return;
        RowMask rows = 0;
        int draw = RestOfThePc;
        bool drawKnown = true;
        for (const int row : { ProcessorRow, GraphicsRow }) {
            if (!chosen(row))
                continue;
            rows |= bit(row);
            const auto watts = number(row, Attribute::Power);
            drawKnown = drawKnown && watts.has_value();
            draw += watts.value_or(0);
        }
        // A supply bought apart replaces the one a case comes with.
        std::optional<int> supply;
        int supplyRow = -1;
        for (const int row : SupplyRows) {
            if (number(row, Attribute::SupplyPower)) {
                supply = number(row, Attribute::SupplyPower);
                supplyRow = row;
            }
        }
        if (!supply && chosen(CaseRow)) {
            supply = number(CaseRow, Attribute::CaseSupply);
            supplyRow = CaseRow;
        }
        if (supplyRow >= 0)
            rows |= bit(supplyRow);
        // No supply to compare the draw with, unless the case in question would bring one.
        if (!supply && !(m_candidate && m_row == CaseRow))
            m_othersLack = true;
        if (!drawKnown || !supply) {
            unknown(rows, [&] {
                return QStringLiteral("Power: %1 not known")
                    .arg(drawKnown ? u"the supply's wattage is" : u"what the parts draw is");
            });
            return;
        }
        if (draw * HeadroomTenths <= *supply * 10)
            return;
        const int needed = (draw * HeadroomTenths + 99) / 100 * 10;
        problem(rows, [&] {
            return QStringLiteral(
                "Parts draw about %1 W; the %2 W supply should be at least %3 W (30% headroom)")
                .arg(draw)
                .arg(*supply)
                .arg(needed);
        });
    }

    const Rows &m_parts;
    int m_row;
    const Facts *m_candidate;
    Report m_report;
    bool m_hit = false; // with a candidate: a rule its row takes part in is broken
    bool m_unsure = false; // with a candidate: such a rule could not be made for want of its facts
    bool m_candidateLacks = false; // the rule being run read something the candidate lacks
    bool m_othersLack = false; // or something another chosen part lacks
};

} // namespace

namespace Compatibility
{

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
    const Rows rows = factsOf(parts);
    return Checker(rows).run();
}

Fitting::Fitting(const Parts &parts, int row)
    : m_others(factsOf(parts))
    , m_row(row)
{
}

bool Fitting::fits(const Facts &candidate) const
{
    if (m_row < 0 || m_row >= RowCount)
        return true;
    Checker checker(m_others, m_row, &candidate);
    checker.run();
    return !checker.hit();
}

Fitting::Verdict Fitting::verdict(const Facts &candidate) const
{
    if (m_row < 0 || m_row >= RowCount)
        return Verdict::Fits;
    Checker checker(m_others, m_row, &candidate);
    checker.run();
    if (checker.hit())
        return Verdict::DoesNotFit;
    return checker.unsure() ? Verdict::Unsure : Verdict::Fits;
}

bool fits(const Parts &parts, int row, const PartAttributes &candidate)
{
    return Fitting(parts, row).fits(Facts(candidate));
}

Facts::Facts(const PartAttributes &attributes)
{
    for (auto it = attributes.values().cbegin(); it != attributes.values().cend(); ++it) {
        if (it->guessed || it->text.isEmpty())
            continue;
        const int index = numberIndex(it.key());
        if (index >= 0) {
            bool ok = false;
            const int value = it->text.toInt(&ok);
            m_numbers[static_cast<size_t>(index)] = ok ? value : -1;
            continue;
        }
        switch (it.key()) {
        case Attribute::Socket:
            m_socket = it->text;
            break;
        case Attribute::MemoryType:
            m_memoryType = it->text;
            break;
        case Attribute::FormFactor:
            m_formFactor = it->text;
            break;
        case Attribute::Interface:
            m_interface = it->text;
            break;
        case Attribute::MemoryTypes:
            m_memoryTypes = attributes.words(it.key());
            break;
        case Attribute::CaseForms:
            m_caseForms = attributes.words(it.key());
            break;
        default:
            break;
        }
    }
}

const QString *Facts::word(Attribute attribute) const
{
    const QString *found = attribute == Attribute::Socket ? &m_socket
        : attribute == Attribute::MemoryType              ? &m_memoryType
        : attribute == Attribute::FormFactor              ? &m_formFactor
        : attribute == Attribute::Interface               ? &m_interface
                                                          : nullptr;
    return found && !found->isEmpty() ? found : nullptr;
}

const QStringList &Facts::words(Attribute attribute) const
{
    static const QStringList none;
    return attribute == Attribute::MemoryTypes ? m_memoryTypes
        : attribute == Attribute::CaseForms    ? m_caseForms
                                               : none;
}

std::optional<int> Facts::number(Attribute attribute) const
{
    const int index = numberIndex(attribute);
    const int value = index < 0 ? -1 : m_numbers[static_cast<size_t>(index)];
    return value < 0 ? std::nullopt : std::optional<int>(value);
}

} // namespace Compatibility
