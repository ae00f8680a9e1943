#include "cli/console_output.h"

#include "cli/json_report.h"

namespace cli {

ConsoleOutput::ConsoleOutput(std::FILE* stream) : m_stream(stream) {
    m_text.reserve(kChunk + 1024);
}

ConsoleOutput::~ConsoleOutput() {
    flush();
}

void ConsoleOutput::flush() {
    if (m_text.isEmpty()) return;
    if (m_stream == stdout && report().json) { // stdout carries the JSON document alone
        m_text.resize(0);
        return;
    }
    const qsizetype room = m_encoder.requiredSpace(m_text.size());
    if (m_bytes.size() < room) m_bytes.resize(room);
    const char* const end = m_encoder.appendToBuffer(m_bytes.data(), m_text);
    std::fwrite(m_bytes.constData(), 1, size_t(end - m_bytes.constData()), m_stream);
    m_text.resize(0); // the capacity stays
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
    m_text.append(digits + first, qsizetype(std::size(digits)) - first);
    return *this;
}

} // namespace cli
