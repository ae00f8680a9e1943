#pragma once

#include <QByteArray>
#include <QLatin1StringView>
#include <QString>
#include <QStringBuilder>
#include <QStringEncoder>
#include <QStringView>
#include <cstdio>
#include <memory>

namespace cli {

// Console output written as it is made: text gathers in a buffer of fixed size that is written out in
// UTF-8 each time it fills and when the output ends. A listing of thousands of lines then needs neither
// a whole copy of itself in memory (each new page costs the process a fault) nor a write per line, and a
// line given in pieces is copied straight into the buffer.
class ConsoleOutput {
public:
    explicit ConsoleOutput(std::FILE* stream = stdout);
    ~ConsoleOutput();
    ConsoleOutput(const ConsoleOutput&) = delete;
    ConsoleOutput& operator=(const ConsoleOutput&) = delete;

    ConsoleOutput& operator<<(QStringView text) {
        if (QChar* at = room(text.size())) {
            std::copy(text.begin(), text.end(), at);
            m_size += text.size();
        } else {
            write(text);
        }
        return *this;
    }
    ConsoleOutput& operator<<(const QString& text) { return *this << QStringView(text); }
    ConsoleOutput& operator<<(QLatin1StringView text) {
        if (QChar* at = room(text.size())) {
            for (const char c : text)
                *at++ = QLatin1Char(c);
            m_size += text.size();
        } else {
            write(QString(text));
        }
        return *this;
    }
    ConsoleOutput& operator<<(QChar c) {
        if (QChar* at = room(1)) {
            *at = c;
            ++m_size;
        }
        return *this;
    }
    // A QStringBuilder expression, built in place.
    template <typename A, typename B> ConsoleOutput& operator<<(const QStringBuilder<A, B>& text) {
        using Concatenable = QConcatenable<QStringBuilder<A, B>>;
        QChar* at = room(Concatenable::size(text));
        if (!at) return *this << QString(text);
        QChar* const start = at;
        Concatenable::appendTo(text, at);
        m_size += at - start; // less than announced when a piece converts from UTF-8
        return *this;
    }
    // A number's decimal digits.
    ConsoleOutput& number(qint64 n);
    // Writes what the buffer holds.
    void flush();

private:
    static constexpr qsizetype kChunk = 16 * 1024; // characters

    // Where size more characters go, once what the buffer holds is written if they do not fit; null for
    // a text longer than the buffer, written at once.
    QChar* room(qsizetype size) {
        if (m_size + size > kChunk) {
            flush();
            if (size > kChunk) return nullptr;
        }
        return m_buffer.get() + m_size;
    }
    void write(QStringView text);

    std::FILE* m_stream;
    std::unique_ptr<QChar[]> m_buffer;
    qsizetype m_size = 0;
    QByteArray m_bytes;
    // Stateless: a lone surrogate is replaced at once, as QString::toUtf8 does.
    QStringEncoder m_encoder{QStringEncoder::Utf8, QStringEncoder::Flag::Stateless};
};

} // namespace cli
