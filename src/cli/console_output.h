#pragma once

#include <QByteArray>
#include <QLatin1StringView>
#include <QString>
#include <QStringEncoder>
#include <cstdio>

namespace cli {

// Console output written as it is made: text gathers in a buffer of fixed size that is written out in
// UTF-8 each time it fills and when the output ends. A listing of thousands of lines then needs neither
// a whole copy of itself in memory (each new page costs the process a fault) nor a write per line.
class ConsoleOutput {
public:
    explicit ConsoleOutput(std::FILE* stream = stdout);
    ~ConsoleOutput();
    ConsoleOutput(const ConsoleOutput&) = delete;
    ConsoleOutput& operator=(const ConsoleOutput&) = delete;

    // Appends a text, a character or a QStringBuilder expression (one line at a time is the quickest).
    template <typename Piece> ConsoleOutput& operator<<(const Piece& piece) {
        m_text += piece;
        if (m_text.size() >= kChunk) flush();
        return *this;
    }
    // A number's decimal digits.
    ConsoleOutput& number(qint64 n);
    // Writes what the buffer holds.
    void flush();

private:
    static constexpr qsizetype kChunk = 16 * 1024; // characters

    std::FILE* m_stream;
    QString m_text;
    QByteArray m_bytes;
    // Stateless: a lone surrogate is replaced at once, as QString::toUtf8 does.
    QStringEncoder m_encoder{QStringEncoder::Utf8, QStringEncoder::Flag::Stateless};
};

} // namespace cli
