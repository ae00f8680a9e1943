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
// a tree or menu section, and the names of their sections) packs its upper-case form and length into
// one number, so that comparing is comparing numbers; other characters can upper-case into ASCII ("ı"
// becomes "I"), so any other name takes the full conversion.
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

// Whether two names match, their packed forms given when they have one.
bool sameName(QStringView written, quint64 writtenPacked, QStringView asked, quint64 askedPacked) {
    return writtenPacked != 0 && askedPacked != 0 ? writtenPacked == askedPacked : sameName(written, asked);
}

// On a name in upper case, or an ASCII name in any case (ASCII letters are folded here).
bool isTreeSectionName(QStringView name) {
    static constexpr char16_t kGeneral[] = u"GENERAL";
    if (name.size() == 7 && std::equal(name.begin(), name.end(), kGeneral,
                                       [](QChar c, char16_t g) { return asciiUpper(c.unicode()) == g; }))
        return true;
    if (name.size() < 2) return false;
    const char16_t first = asciiUpper(name.front().unicode());
    if (first != u'H' && first != u'A' && first != u'M') return false;
    for (qsizetype i = 1; i < name.size(); ++i)
        if (name[i] < QLatin1Char('0') || name[i] > QLatin1Char('9')) return false;
    return true;
}

} // namespace

TreeFileReader::TreeFileReader(QString text) : m_text(std::move(text)), m_exists(true) {
    const QStringView all(m_text);
    const char16_t* const chars = all.utf16();
    const qsizetype size = all.size();
    int open = -1; // the section whose lines are being read, -1 inside a repeated one
    // Only a line whose first character past the blanks is '[' matters here: the search goes from one
    // '[' to the next (a quick search over the text), and looks back for the start of its line.
    qsizetype from = 0;
    while (from < size) {
        const qsizetype bracket = all.indexOf(u'[', from);
        if (bracket < 0) break;
        qsizetype lineStart = bracket;
        while (lineStart > 0 && isBlank(chars[lineStart - 1]))
            --lineStart;
        qsizetype eol = all.indexOf(u'\n', bracket);
        if (eol < 0) eol = size;
        const qsizetype pos = eol + 1;
        from = pos;
        if (lineStart > 0 && chars[lineStart - 1] != u'\n') continue;
        const QStringView line = trimmed(all.sliced(lineStart, eol - lineStart));
        if (open >= 0) m_sections[size_t(open)].end = lineStart;
        const qsizetype close = line.indexOf(QLatin1Char(']'));
        const QStringView name = trimmed(line.sliced(1, (close < 0 ? line.size() : close) - 1));
        // The upper-case form is only made for a name that does not pack as it is written.
        quint64 packed = packedName(name);
        const bool packedAsWritten = packed != 0;
        QString upper;
        if (!packedAsWritten) {
            upper = name.toString().toUpper();
            packed = packedName(upper);
        }
        const QStringView folded = packedAsWritten ? name : QStringView(upper); // upper case but for ASCII
        // A repeated section is invisible: lookups stop at the first one.
        if (indexOfUpperName(packed, upper) >= 0) {
            open = -1;
            continue;
        }
        open = int(m_sections.size());
        m_sections.push_back(Span{std::min(pos, size), size});
        m_hasTreeSection = m_hasTreeSection || isTreeSectionName(folded);
        if (!folded.isEmpty() && asciiUpper(folded.front().unicode()) == u'M') ++m_menuSectionCount;
        if (packed != 0)
            m_byShortName.insert(packed, open);
        else
            m_byName.insert(TextKey{std::move(upper)}, open);
    }
}

int TreeFileReader::indexOfUpperName(quint64 packed, const QString& upper) const {
    return packed != 0 ? m_byShortName.value(packed, -1) : m_byName.value(TextKey{upper}, -1);
}

int TreeFileReader::section(const QString& name) const {
    const QStringView asked = QStringView(name).trimmed();
    if (const quint64 packed = packedName(asked)) return m_byShortName.value(packed, -1);
    const QString upper = asked.toString().toUpper();
    return indexOfUpperName(packedName(upper), upper);
}

template <typename Visit> void TreeFileReader::forEachKeyLine(int section, Visit visit) const {
    if (section < 0 || section >= int(m_sections.size())) return;
    const Span& span = m_sections[size_t(section)];
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
        const KeyLine keyLine{trimmed(all.sliced(keyStart, eq - keyStart)),
                              all.sliced(eq + 1, lineStart + line.size() - eq - 1)};
        if (!visit(keyLine)) return;
    }
}

bool TreeFileReader::find(int section, const QString& key, QStringView* raw) const {
    const QStringView asked = QStringView(key).trimmed();
    const quint64 packed = packedName(asked);
    bool found = false;
    // The first key of a name wins.
    forEachKeyLine(section, [&](const KeyLine& line) {
        found = sameName(line.key, packedName(line.key), asked, packed);
        if (found && raw) *raw = line.value;
        return !found;
    });
    return found;
}

QString TreeFileReader::value(int section, const QString& key, const QString& defaultValue) const {
    QStringView raw;
    return find(section, key, &raw) ? processedValue(raw) : defaultValue;
}

quint32 TreeFileReader::readValues(int section, const QStringList& keys, QStringList& values) const {
    values.fill(QString(), keys.size());
    if (section < 0 || section >= int(m_sections.size())) return 0;
    constexpr qsizetype kMaxKeys = 16;
    if (keys.size() > kMaxKeys) {
        quint32 found = 0;
        for (qsizetype i = 0; i < keys.size(); ++i) {
            QStringView raw;
            if (!find(section, keys[i], &raw)) continue;
            values[i] = processedValue(raw);
            if (i < 32) found |= 1u << i;
        }
        return found;
    }
    std::array<QStringView, kMaxKeys> asked;
    std::array<quint64, kMaxKeys> packed;
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
    const quint32 all = count == 0 ? 0 : quint32((quint64(1) << count) - 1);
    quint32 found = 0;
    qsizetype start = 0;
    // Lines in order, so that the first key of a name wins.
    forEachKeyLine(section, [&](const KeyLine& line) {
        const quint64 linePacked = packedName(line.key);
        for (qsizetype step = 0; step < count; ++step) {
            const qsizetype i = (start + step) % count;
            const quint32 bit = 1u << i;
            if ((found & bit) || !sameName(line.key, linePacked, asked[size_t(i)], packed[size_t(i)]))
                continue;
            values[i] = read(i, line.value);
            found |= bit;
            if (distinct) {
                start = i + 1;
                break;
            }
        }
        return found != all; // every key found: the rest of the section cannot change a value
    });
    return found;
}

bool TreeFileReader::hasKey(int section, const QString& key) const {
    return find(section, key, nullptr);
}
