#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <functional>
#include <optional>

// Reading a supplier's price file: comma-, semicolon-, tab- or bar-separated text in UTF-8 (with
// or without a byte-order mark), UTF-16, Windows-1252 or Windows-1256. The file is read a piece at
// a time, never whole, and every record it holds is either handed on with the line it starts on
// or reported with that line and the reason it could not be read.
namespace SupplierFile
{

enum class Encoding { Utf8, Utf16LE, Utf16BE, Windows1252, Windows1256 };

struct Format {
    Encoding encoding = Encoding::Utf8;
    QChar delimiter = u',';
};

QString encodingName(Encoding encoding);
// A decoder for the encoding; a byte-order mark at the start is skipped.
QStringDecoder decoderFor(Encoding encoding);

// The encoding the first bytes of a file are in; a byte-order mark decides, then the zero bytes
// of UTF-16, then whether the bytes are valid UTF-8; an 8-bit text is taken for Arabic
// (Windows-1256) when its high bytes stand together as Arabic words do.
Encoding detectEncoding(const QByteArray &start);
// The delimiter that splits the first lines into the same number of fields, most of them.
QChar detectDelimiter(const QString &startText);
// Both, from the first bytes; nullopt (and why) for a file that is no text (NUL bytes in an
// 8-bit or UTF-8 file).
std::optional<Format> detect(const QByteArray &start, QString *why);

struct Record {
    qint64 line = 0; // the line the record starts on, counting from 1
    QStringList fields;
};

struct Problem {
    qint64 line = 0;
    QString reason;
};

// Longer records are refused with their line: a file without line breaks is no price list.
constexpr qsizetype MaxRecordBytes = 1 << 20;

struct Handlers {
    std::function<void(Record &&)> record;
    std::function<void(Problem &&)> problem;
    // Called now and then with the bytes read so far; false stops the reading (Cancel).
    std::function<bool(qint64 bytesRead)> keepGoing;
};

// Reads the device to its end; false when keepGoing stopped it or the device failed (why says so).
bool read(QIODevice &device, const Format &format, const Handlers &handlers, QString *why);

} // namespace SupplierFile
