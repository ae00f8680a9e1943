#include "cli/console_output.h"

#include "cli/json_report.h"

namespace cli {

ConsoleOutput::ConsoleOutput(std::FILE* stream)
    : m_stream(stream), m_buffer(std::make_unique_for_overwrite<QChar[]>(kChunk)) {}

ConsoleOutput::~ConsoleOutput() {
    flush();
}

void ConsoleOutput::flush() {
    write(QStringView(m_buffer.get(), m_size));
    m_size = 0;
}

void ConsoleOutput::write(QStringView text) {
    if (text.isEmpty()) return;
    if (m_stream == stdout && report().json) return; // stdout carries the JSON document alone
    const qsizetype room = m_encoder.requiredSpace(text.size());
    if (m_bytes.size() < room) m_bytes.resize(room);
    const char* const end = m_encoder.appendToBuffer(m_bytes.data(), text);
    std::fwrite(m_bytes.constData(), 1, size_t(end - m_bytes.constData()), m_stream);
}

ConsoleOutput& ConsoleOutput::number(qint64 n) {
    QChar digits[24];
    qsizetype first = std::size(digits);
    const bool negative = n < 0;
    quint64 rest = negative ? quint64(0) - quint64(n) : quint64(n);
    do {
        digits[--first] = QLatin1Char(char('0' + rest % 10));
        rest /= 10;
    } while (rest > 0);
    if (negative) digits[--first] = QLatin1Char('-');
    return *this << QStringView(digits + first, qsizetype(std::size(digits)) - first);
}

} // namespace cli
