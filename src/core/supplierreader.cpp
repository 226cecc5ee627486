#include "supplierfile.h"

#include <QStringDecoder>

#include <csv.h>

namespace SupplierFile
{

namespace
{

    constexpr qint64 ChunkBytes = 64 * 1024;
    constexpr int LinesPerProgress = 4096;

    // Only blanks are trimmed around unquoted fields: a tab may be the delimiter.
    int isBlank(unsigned char c)
    {
        return c == ' ' ? 1 : 0;
    }

    // Feeds libcsv one line at a time, so every record is known by the line it starts on.
    class LineFeeder
    {
    public:
        LineFeeder(const Format &format, const Handlers &handlers)
            : m_format(format)
            , m_handlers(handlers)
        {
            start();
        }
        ~LineFeeder() { csv_free(&m_parser); }
        LineFeeder(const LineFeeder &) = delete;
        LineFeeder &operator=(const LineFeeder &) = delete;

        // A line, or a piece of one too long to keep (complete false: the line goes on).
        void feed(const QString &line, bool complete = true);
        void finish();

    private:
        void start()
        {
            csv_init(&m_parser, 0);
            csv_set_delim(&m_parser, static_cast<unsigned char>(m_format.delimiter.toLatin1()));
            csv_set_space_func(&m_parser, isBlank);
            m_inRecord = false;
            m_recordBytes = 0;
            m_fields.clear();
        }
        void endRecord();
        static void onField(void *data, size_t size, void *self)
        {
            auto *feeder = static_cast<LineFeeder *>(self);
            feeder->m_fields << QString::fromUtf8(
                static_cast<const char *>(data), static_cast<qsizetype>(size));
        }
        static void onRecordEnd(int, void *self) { static_cast<LineFeeder *>(self)->endRecord(); }

        Format m_format;
        const Handlers &m_handlers;
        csv_parser m_parser {};
        qint64 m_line = 0;
        bool m_lineOpen = false;
        bool m_skippingLine = false;
        qint64 m_recordStart = 0;
        qsizetype m_recordBytes = 0;
        bool m_inRecord = false;
        QStringList m_fields;
    };

    void LineFeeder::feed(const QString &line, bool complete)
    {
        const bool sameLine = m_lineOpen;
        if (!m_lineOpen)
            ++m_line;
        m_lineOpen = !complete;
        // The rest of a line already refused as too long: one refusal is enough, not one per piece.
        if (sameLine && m_skippingLine)
            return;
        m_skippingLine = false;
        if (!m_inRecord) {
            if (line.trimmed().isEmpty())
                return; // a blank line holds no record
            m_inRecord = true;
            m_recordStart = m_line;
        }
        const QByteArray bytes = line.toUtf8();
        m_recordBytes += bytes.size();
        if (m_recordBytes > MaxRecordBytes) {
            m_handlers.problem({ m_recordStart,
                QStringLiteral(
                    "The record is longer than %1 KB (an unclosed quote, or no text file of prices); "
                    "it was left out.")
                    .arg(MaxRecordBytes / 1024) });
            csv_free(&m_parser);
            start();
            m_skippingLine = !complete;
            return;
        }
        if (csv_parse(
                &m_parser, bytes.constData(), static_cast<size_t>(bytes.size()), onField, onRecordEnd, this)
            != static_cast<size_t>(bytes.size())) {
            m_handlers.problem({ m_recordStart,
                QStringLiteral("The line cannot be read: %1.")
                    .arg(QString::fromLatin1(csv_strerror(csv_error(&m_parser)))) });
            csv_free(&m_parser);
            start();
        }
    }

    void LineFeeder::endRecord()
    {
        Record record { m_recordStart, std::move(m_fields) };
        m_fields.clear();
        m_inRecord = false;
        m_recordBytes = 0;
        bool empty = true;
        for (const QString &field : record.fields)
            empty = empty && field.isEmpty();
        if (empty)
            return;
        for (const QString &field : record.fields) {
            if (field.contains(QChar(0))) {
                m_handlers.problem({ record.line,
                    QStringLiteral("The line holds a NUL character (binary data); it was left out.") });
                return;
            }
            if (field.contains(QChar::ReplacementCharacter)) {
                m_handlers.problem({ record.line,
                    QStringLiteral("The line holds bytes that are not %1 text; it was left out.")
                        .arg(encodingName(m_format.encoding)) });
                return;
            }
        }
        m_handlers.record(std::move(record));
    }

    void LineFeeder::finish()
    {
        // Every line was fed with its line break, so a record still open is inside a quote.
        if (m_inRecord)
            m_handlers.problem({ m_recordStart,
                QStringLiteral("A quote opened on this line is never closed; the record was left out.") });
        csv_fini(&m_parser, nullptr, nullptr, nullptr);
    }

} // namespace

bool read(QIODevice &device, const Format &format, const Handlers &handlers, QString *why)
{
    QStringDecoder decoder = decoderFor(format.encoding);
    LineFeeder feeder(format, handlers);
    QString pending;
    qint64 total = 0;
    int sinceProgress = 0;
    while (true) {
        QByteArray chunk(ChunkBytes, Qt::Uninitialized);
        const qint64 got = device.read(chunk.data(), ChunkBytes);
        if (got < 0) {
            if (why)
                *why = QStringLiteral("The file could not be read to its end: %1").arg(device.errorString());
            return false;
        }
        chunk.truncate(got);
        if (chunk.isEmpty()) {
            if (!device.atEnd()) {
                if (why)
                    *why = QStringLiteral("The file could not be read to its end: %1")
                               .arg(device.errorString());
                return false;
            }
            break;
        }
        total += chunk.size();
        pending += decoder.decode(chunk);
        // Lines end at LF, CR LF or a lone CR; a CR at the end may yet be followed by LF.
        qsizetype from = 0;
        for (qsizetype i = 0; i < pending.size(); ++i) {
            const QChar c = pending.at(i);
            if (c == u'\r' && i + 1 == pending.size())
                break;
            if (c == u'\n' || (c == u'\r' && pending.at(i + 1) != u'\n')) {
                feeder.feed(pending.sliced(from, i + 1 - from));
                from = i + 1;
                if (++sinceProgress == LinesPerProgress) {
                    sinceProgress = 0;
                    if (handlers.keepGoing && !handlers.keepGoing(total))
                        return false;
                }
            }
        }
        pending.remove(0, from);
        if (pending.size() > MaxRecordBytes) {
            // A line without end: hand it on in pieces so it is refused without being kept.
            feeder.feed(pending, false);
            pending.clear();
        }
    }
    pending += decoder.decode(QByteArray());
    if (!pending.isEmpty())
        feeder.feed(pending + u'\n');
    feeder.finish();
    if (handlers.keepGoing)
        handlers.keepGoing(total);
    return true;
}

} // namespace SupplierFile
