// The supplier file reader on any bytes: it never fails, every record and refusal carries a line
// of the file (records in order, never past its end), and the items read from them are well formed:
// in a row's category, with a price the list may hold, never an empty description.
#include "core/amount.h"
#include "core/supplierimport.h"

#include "fuzzinput.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 256 * 1024)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const auto format = SupplierFile::detect(bytes, nullptr);
    if (!format)
        return 0;
    // Every line end (LF, CR LF or a lone CR) starts a line; a record cannot start past the last.
    const qint64 lines = bytes.count('\n') + bytes.count('\r') + 1;
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    qint64 lastLine = 0;
    SupplierImport::Columns columns;
    columns.id = 0;
    columns.description = 1;
    columns.price = 2;
    // Half the inputs name their category in a fourth column, some values mapped by the person.
    if (size % 4 < 2) {
        columns.category = 3;
        columns.categoryRows
            = { { QStringLiteral("Processors"), QStringLiteral("0") }, { QStringLiteral("90"), QString() } };
    } else {
        columns.fixedCategory = QStringLiteral("0");
    }
    columns.header = size % 2 == 0;
    columns.decimal = size % 3 == 0 ? SupplierImport::DecimalSign::Comma : SupplierImport::DecimalSign::Point;
    const QStringList rowNames { QStringLiteral("Processor"), QStringLiteral("Mother Board"),
        QStringLiteral("RAM") };
    SupplierImport::Collector collector(columns, rowNames);
    SupplierFile::Handlers handlers;
    handlers.record = [&](SupplierFile::Record &&r) {
        FUZZ_CHECK(r.line >= 1 && r.line <= lines);
        FUZZ_CHECK(r.line > lastLine);
        lastLine = r.line;
        FUZZ_CHECK(!r.fields.isEmpty());
        collector.record(std::move(r));
    };
    handlers.problem = [&](SupplierFile::Problem &&p) {
        FUZZ_CHECK(p.line >= 1 && p.line <= lines);
        FUZZ_CHECK(!p.reason.isEmpty());
        collector.problem(std::move(p));
    };
    FUZZ_CHECK(SupplierFile::read(device, *format, handlers, nullptr));
    const SupplierImport::Reading reading = collector.take();
    for (const SupplierImport::Item &item : reading.items) {
        FUZZ_CHECK(!item.id.isEmpty());
        FUZZ_CHECK(SupplierImport::isRowCategory(item.category));
        FUZZ_CHECK(!item.description || !item.description->isEmpty());
        const auto stored = Decimal::fromPlain(item.price);
        FUZZ_CHECK(stored && Amounts::inRange(*stored));
        // A stored price read again (an exported list imported back) is the same price.
        const PriceReading again = Price::fromSupplier(item.price, Price::DecimalSign::Point);
        FUZZ_CHECK(again.ok() && again.price->text() == item.price);
        FUZZ_CHECK(item.line >= 1 && item.line <= lines);
    }
    // The decimal sign is guessed or asked for, never left without a sample to ask with.
    FUZZ_CHECK(reading.decimal.sign || !reading.decimal.sample.isEmpty());
    // Every category value is counted by the lines that hold it.
    for (const auto &[value, count] : reading.categoryValues)
        FUZZ_CHECK(!value.isEmpty() && count > 0);
    return 0;
}
