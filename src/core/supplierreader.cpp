#include "supplierfile.h"

#include <QStringDecoder>

#include <csv.h>

#include <deque>
#include <optional>
#include <utility>

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

    const QString BrokenQuote = QStringLiteral("A quote opened on this line is never closed, or text follows "
                                               "its closing quote; the line was left out.");

    // One libcsv parser, fed a line at a time.
    class Parser
    {
    public:
        Parser(const Format &format, bool strict)
            : m_format(format)
            , m_strict(strict)
        {
            start();
        }
        ~Parser() { csv_free(&m_parser); }
        Parser(const Parser &) = delete;
        Parser &operator=(const Parser &) = delete;

        // Parses a line with its line break; false when the strict parser found a fault.
        bool parse(const QByteArray &bytes)
        {
            return csv_parse(&m_parser, bytes.constData(), static_cast<size_t>(bytes.size()), onField,
                       onRecordEnd, this)
                == static_cast<size_t>(bytes.size());
        }
        // Forgets a record begun, to start on the next line afresh.
        void restart()
        {
            csv_free(&m_parser);
            start();
        }
        // Takes the fields of the records ended since it was last asked.
        std::optional<QStringList> takeRecord()
        {
            if (!m_ended)
                return std::nullopt;
            m_ended = false;
            return std::exchange(m_record, {});
        }
        void finish() { csv_fini(&m_parser, nullptr, nullptr, nullptr); }

    private:
        void start()
        {
            csv_init(&m_parser, m_strict ? CSV_STRICT : 0);
            csv_set_delim(&m_parser, static_cast<unsigned char>(m_format.delimiter.toLatin1()));
            csv_set_space_func(&m_parser, isBlank);
            m_fields.clear();
            m_record.clear();
            m_ended = false;
        }
        static void onField(void *data, size_t size, void *self)
        {
            static_cast<Parser *>(self)->m_fields
                << QString::fromUtf8(static_cast<const char *>(data), static_cast<qsizetype>(size));
        }
        static void onRecordEnd(int, void *self)
        {
            auto *parser = static_cast<Parser *>(self);
            parser->m_record = std::exchange(parser->m_fields, {});
            parser->m_ended = true;
        }

        Format m_format;
        bool m_strict;
        csv_parser m_parser {};
        QStringList m_fields;
        QStringList m_record;
        bool m_ended = false;
    };

    // Trailing empty fields (a line ended by a delimiter) shift no column.
    qsizetype fieldCount(const QStringList &fields)
    {
        qsizetype n = fields.size();
        while (n > 0 && fields.at(n - 1).isEmpty())
            --n;
        return n;
    }

    // Reads the lines into records, each known by the line it starts on. The strict parser reads
    // them first: a quoted field may run over several lines, as exported descriptions do. A record
    // it cannot read, or one over several lines that does not have the first record's fields (a
    // quote never closed swallows the lines after it), is broken: its first line is read once more
    // on its own by the lenient parser (a '"' inside an unquoted text is an inch sign, not a
    // quote) and taken only when it ends on that line with the fields of the first record; else
    // it is refused. The lines after it are read again from the start, so no line is lost to
    // another's quote.
    class LineFeeder
    {
    public:
        LineFeeder(const Format &format, const Handlers &handlers)
            : m_format(format)
            , m_handlers(handlers)
            , m_strict(format, true)
        {
        }

        // A line with its line break, or a piece of one too long to keep (complete false: the
        // line goes on).
        void feed(const QString &line, bool complete = true);
        void finish();

    private:
        struct Line {
            qint64 number;
            QString text;
        };
        void drain();
        void parse(Line &&line);
        void breakRecord();
        void deliver(qint64 line, QStringList &&fields);
        bool fits(const QStringList &fields) const
        {
            return m_fieldCount < 0 || fields.size() == m_fieldCount
                || (fields.size() > m_fieldCount && fieldCount(fields) <= m_fieldCount);
        }

        Format m_format;
        const Handlers &m_handlers;
        Parser m_strict;
        qint64 m_line = 0;
        bool m_lineOpen = false;
        bool m_skippingLine = false;
        // Lines still to be parsed: the one just read, or those after a broken record.
        std::deque<Line> m_queue;
        // The lines of the record the strict parser has begun.
        QList<Line> m_open;
        qsizetype m_openBytes = 0;
        qsizetype m_fieldCount = -1; // of the first record
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
        if (complete) {
            m_queue.push_back({ m_line, line });
            drain();
            return;
        }
        // A line without end: whatever record was begun before it is broken, and the line itself
        // is refused without being kept.
        while (!m_open.isEmpty()) {
            breakRecord();
            drain();
        }
        m_handlers.problem({ m_line,
            QStringLiteral("The record is longer than %1 KB (an unclosed quote, or no text file of prices); "
                           "it was left out.")
                .arg(MaxRecordBytes / 1024) });
        m_skippingLine = true;
    }

    void LineFeeder::drain()
    {
        while (!m_queue.empty()) {
            Line line = std::move(m_queue.front());
            m_queue.pop_front();
            parse(std::move(line));
        }
    }

    void LineFeeder::parse(Line &&line)
    {
        if (m_open.isEmpty() && line.text.trimmed().isEmpty())
            return; // a blank line holds no record
        const QByteArray bytes = line.text.toUtf8();
        m_openBytes += bytes.size();
        m_open.push_back(std::move(line));
        if (m_openBytes > MaxRecordBytes) {
            if (m_open.size() == 1) {
                m_handlers.problem({ m_open.first().number,
                    QStringLiteral("The record is longer than %1 KB (an unclosed quote, or no text file of "
                                   "prices); it was left out.")
                        .arg(MaxRecordBytes / 1024) });
                m_strict.restart();
                m_open.clear();
                m_openBytes = 0;
                return;
            }
            breakRecord();
            return;
        }
        if (!m_strict.parse(bytes)) {
            breakRecord();
            return;
        }
        if (auto fields = m_strict.takeRecord()) {
            const bool multiLine = m_open.size() > 1;
            if (multiLine && !fits(*fields)) {
                breakRecord();
                return;
            }
            const qint64 first = m_open.first().number;
            m_open.clear();
            m_openBytes = 0;
            deliver(first, std::move(*fields));
        }
    }

    void LineFeeder::breakRecord()
    {
        QList<Line> lines = std::exchange(m_open, {});
        m_openBytes = 0;
        m_strict.restart();
        const Line &first = lines.first();
        Parser lenient(m_format, false);
        lenient.parse(first.text.toUtf8());
        std::optional<QStringList> fields = lenient.takeRecord();
        if (fields && fits(*fields))
            deliver(first.number, std::move(*fields));
        else
            m_handlers.problem({ first.number, BrokenQuote });
        // Read again, before anything after them.
        for (qsizetype i = lines.size() - 1; i >= 1; --i)
            m_queue.push_front(std::move(lines[i]));
    }

    void LineFeeder::deliver(qint64 line, QStringList &&fields)
    {
        bool empty = true;
        for (const QString &field : fields)
            empty = empty && field.isEmpty();
        if (empty)
            return;
        for (const QString &field : fields) {
            if (field.contains(QChar(0))) {
                m_handlers.problem({ line,
                    QStringLiteral("The line holds a NUL character (binary data); it was left out.") });
                return;
            }
            if (field.contains(QChar::ReplacementCharacter)) {
                m_handlers.problem({ line,
                    QStringLiteral("The line holds bytes that are not %1 text; it was left out.")
                        .arg(encodingName(m_format.encoding)) });
                return;
            }
        }
        if (m_fieldCount < 0) {
            m_fieldCount = fields.size();
        } else if (!fits(fields) && fields.size() > m_fieldCount) {
            m_handlers.problem({ line,
                QStringLiteral("The line has %1 fields where the first line has %2 (a delimiter inside a "
                               "text that is not quoted?); it was left out.")
                    .arg(fields.size())
                    .arg(m_fieldCount) });
            return;
        }
        m_handlers.record({ line, std::move(fields) });
    }

    void LineFeeder::finish()
    {
        // Every line was fed with its line break, so a record still open is inside a quote.
        while (!m_open.isEmpty()) {
            breakRecord();
            drain();
        }
        m_strict.finish();
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
