#pragma once

#include <QString>

#include <optional>
#include <utility>

// Why a call to the store failed, as a person is shown it: the engine's own number where it gives
// one, its words (or the program's own, for a refusal), the driver's words beside them, and where
// it came from. It is the one way a failure leaves the store; no caller needs the engine's error
// type, and no window formats an engine's error itself.
class StoreError final
{
public:
    enum class Kind {
        None, // nothing failed
        Busy, // another counter holds what was wanted: try again in a moment
        Conflict, // another counter changed it since it was read: look again first
        Failed, // anything else
    };

    StoreError() = default;
    StoreError(Kind kind, const QString &words, const QString &driverText = QString(),
        const QString &number = QString(), const QString &source = QString(), const QString &code = QString())
        : m_kind(kind)
        , m_words(words)
        , m_driverText(driverText)
        , m_number(number)
        , m_source(source)
        , m_code(code)
    {
    }
    // A failure of the program's own making with these words (a refusal, a failure of a file).
    static StoreError failed(const QString &words, Kind kind = Kind::Failed)
    {
        return StoreError(kind, words);
    }

    Kind kind() const { return m_kind; }
    bool isValid() const { return m_kind != Kind::None; }
    bool isBusy() const { return m_kind == Kind::Busy; }
    // The words and the driver's words after them, as every message has shown a failure.
    QString text() const
    {
        QString result = m_words;
        if (!m_words.isEmpty() && !m_driverText.isEmpty() && !m_words.endsWith(QLatin1Char('\n')))
            result += QLatin1Char(' ');
        return result + m_driverText;
    }
    // For a report that shows number, description and source apart: the words, else the driver's.
    QString description() const
    {
        if (!m_words.isEmpty())
            return m_words;
        if (!m_driverText.isEmpty())
            return m_driverText;
        return QStringLiteral("The database reported an error without a description.");
    }
    QString number() const { return m_number; }
    QString source() const { return m_source; }
    // The engine's own code (an SQLSTATE, SQLite's number) or the program's (BUSY, NUL).
    QString code() const { return m_code; }

private:
    Kind m_kind = Kind::None;
    QString m_words;
    QString m_driverText;
    QString m_number;
    QString m_source;
    QString m_code;
};

// What a call to the store gives back: its value, or why there is none. A call that may also find
// nothing without failing gives a std::optional as its value.
template <typename T> class StoreResult final
{
public:
    StoreResult(T value)
        : m_value(std::move(value))
    {
    }
    StoreResult(StoreError error)
        : m_error(std::move(error))
    {
    }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    // Only when ok().
    const T &operator*() const & { return *m_value; }
    T &&operator*() && { return std::move(*m_value); }
    const T *operator->() const { return &*m_value; }
    // Why there is no value; invalid when there is one.
    const StoreError &error() const { return m_error; }

private:
    std::optional<T> m_value;
    StoreError m_error;
};
