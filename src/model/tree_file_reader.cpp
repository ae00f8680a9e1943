#include "model/tree_file_reader.h"

#include "core/profile_file.h"

#include <algorithm>
#include <array>

using namespace profile_rules;

namespace {

bool isAscii(QStringView s) {
    for (const QChar c : s)
        if (c.unicode() >= 0x80) return false;
    return true;
}

char16_t asciiUpper(char16_t c) {
    return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
}

// Names compare as their upper-case forms. A printable ASCII name of up to 7 characters (every key of
// a tree or menu section) packs its upper-case form and length into one number, so that comparing is
// comparing numbers; other characters can upper-case into ASCII ("ı" becomes "I"), so any other name
// takes the full conversion.
quint64 packedName(QStringView name) {
    if (name.isEmpty() || name.size() > 7) return 0;
    quint64 packed = quint64(name.size());
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() >= 0x7f) return 0;
        packed = (packed << 8) | asciiUpper(c.unicode());
    }
    return packed;
}

bool sameName(QStringView written, QStringView asked) {
    if (!isAscii(written) || !isAscii(asked))
        return written.toString().toUpper() == asked.toString().toUpper();
    if (written.size() != asked.size()) return false;
    for (qsizetype i = 0; i < written.size(); ++i)
        if (asciiUpper(written[i].unicode()) != asciiUpper(asked[i].unicode())) return false;
    return true;
}

bool isTreeSectionName(const QString& upper) {
    if (upper == QLatin1String("GENERAL")) return true;
    if (upper.size() < 2) return false;
    const QChar first = upper.front();
    if (first != QLatin1Char('H') && first != QLatin1Char('A') && first != QLatin1Char('M')) return false;
    for (qsizetype i = 1; i < upper.size(); ++i)
        if (upper[i] < QLatin1Char('0') || upper[i] > QLatin1Char('9')) return false;
    return true;
}

} // namespace

TreeFileReader::TreeFileReader(QString text) : m_text(std::move(text)), m_exists(true) {
    const QStringView all(m_text);
    const char16_t* const chars = all.utf16();
    const qsizetype size = all.size();
    int open = -1; // the section whose lines are being read, -1 inside a repeated one
    qsizetype pos = 0;
    while (pos < size) {
        const qsizetype lineStart = pos;
        // Only a line whose first character past the blanks is '[' matters here.
        while (pos < size && isBlank(chars[pos]))
            ++pos;
        const bool header = pos < size && chars[pos] == u'[';
        while (pos < size && chars[pos] != u'\n')
            ++pos;
        const qsizetype eol = pos++;
        if (!header) continue;
        const QStringView line = trimmed(all.sliced(lineStart, eol - lineStart));
        if (open >= 0) m_sections[size_t(open)].end = lineStart;
        const qsizetype close = line.indexOf(QLatin1Char(']'));
        QString name = trimmed(line.sliced(1, (close < 0 ? line.size() : close) - 1)).toString().toUpper();
        // A repeated section is invisible: lookups stop at the first one.
        if (m_byName.contains(TextKey{name})) {
            open = -1;
            continue;
        }
        open = int(m_sections.size());
        m_sections.push_back(Span{std::min(pos, size), size, {}, false});
        m_hasTreeSection = m_hasTreeSection || isTreeSectionName(name);
        m_byName.insert(TextKey{std::move(name)}, open);
    }
}

int TreeFileReader::section(const QString& name) const {
    return m_byName.value(TextKey{name.trimmed().toUpper()}, -1);
}

const TreeFileReader::Span* TreeFileReader::split(int section) const {
    if (section < 0 || section >= int(m_sections.size())) return nullptr;
    const Span& span = m_sections[size_t(section)];
    if (span.split) return &span;
    span.lines.reserve(16);
    const QStringView all = QStringView(m_text).sliced(span.begin, span.end - span.begin);
    const char16_t* const chars = all.utf16();
    qsizetype pos = 0;
    while (pos < all.size()) {
        const qsizetype lineStart = pos;
        qsizetype eq = -1;
        while (pos < all.size() && chars[pos] != u'\n') {
            if (eq < 0 && chars[pos] == u'=') eq = pos;
            ++pos;
        }
        const QStringView line = all.sliced(lineStart, pos - lineStart);
        ++pos;
        const QStringView body = trimmed(line);
        if (body.isEmpty() || body.front() == QLatin1Char(';') || eq < 0) continue;
        const qsizetype keyStart = body.utf16() - chars;
        if (eq <= keyStart) continue; // no key before the '='
        const QStringView key = trimmed(all.sliced(keyStart, eq - keyStart));
        span.lines.push_back(
            Line{key, all.sliced(eq + 1, lineStart + line.size() - eq - 1), packedName(key)});
    }
    span.split = true;
    return &span;
}

const TreeFileReader::Line* TreeFileReader::find(int section, const QString& key) const {
    const Span* span = split(section);
    if (!span) return nullptr;
    const QStringView asked = QStringView(key).trimmed();
    const quint64 packed = packedName(asked);
    // The first key of a name wins.
    for (const Line& line : span->lines)
        if (packed != 0 && line.packed != 0 ? line.packed == packed : sameName(line.key, asked)) return &line;
    return nullptr;
}

QString TreeFileReader::value(int section, const QString& key, const QString& defaultValue) const {
    const Line* line = find(section, key);
    return line ? processedValue(line->value) : defaultValue;
}

void TreeFileReader::readValues(int section, const QStringList& keys, QStringList& values) const {
    values.fill(QString(), keys.size());
    const Span* span = split(section);
    if (!span) return;
    constexpr qsizetype kMaxKeys = 16;
    if (keys.size() > kMaxKeys) {
        for (qsizetype i = 0; i < keys.size(); ++i)
            values[i] = value(section, keys[i]);
        return;
    }
    std::array<QStringView, kMaxKeys> asked;
    std::array<quint64, kMaxKeys> packed;
    std::array<bool, kMaxKeys> found{};
    for (qsizetype i = 0; i < keys.size(); ++i) {
        asked[size_t(i)] = QStringView(keys[i]).trimmed();
        packed[size_t(i)] = packedName(asked[size_t(i)]);
    }
    // The keys of a menu often hold the same text (one transfer behind several digits, the same count
    // of repetitions and silences): a text already read in this section is shared, not copied again.
    std::array<QStringView, kMaxKeys> raw;
    qsizetype readCount = 0;
    std::array<qsizetype, kMaxKeys> readKey;
    const auto read = [&](qsizetype i, QStringView text) {
        for (qsizetype r = 0; r < readCount; ++r)
            if (raw[size_t(r)] == text) return values[readKey[size_t(r)]];
        raw[size_t(readCount)] = text;
        readKey[size_t(readCount++)] = i;
        return processedValue(text);
    };
    // Short, distinct names (every template's keys) match a line at most once each: the search stops at
    // the first match and starts again after it, so that a section in template order matches at once.
    const qsizetype count = keys.size();
    bool distinct = true;
    for (qsizetype i = 0; i < count && distinct; ++i)
        distinct = packed[size_t(i)] != 0 &&
                   std::find(packed.begin(), packed.begin() + i, packed[size_t(i)]) == packed.begin() + i;
    qsizetype start = 0;
    // Lines in order, so that the first key of a name wins.
    for (const Line& line : span->lines) {
        for (qsizetype step = 0; step < count; ++step) {
            const qsizetype i = (start + step) % count;
            const size_t k = size_t(i);
            if (found[k]) continue;
            if (packed[k] != 0 && line.packed != 0 ? line.packed == packed[k]
                                                   : sameName(line.key, asked[k])) {
                values[i] = read(i, line.value);
                found[k] = true;
                if (distinct) {
                    start = i + 1;
                    break;
                }
            }
        }
    }
}

bool TreeFileReader::hasKey(int section, const QString& key) const {
    return find(section, key) != nullptr;
}
