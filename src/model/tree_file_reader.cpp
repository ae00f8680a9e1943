#include "model/tree_file_reader.h"

#include "core/profile_file.h"

#include <algorithm>

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

// Exact equality, inline: the short texts of a section compare in a few steps, with no call.
bool sameText(QStringView a, QStringView b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return false;
    return true;
}

// Whether two names match, their packed forms given when they have one.
bool sameName(QStringView written, quint64 writtenPacked, QStringView asked, quint64 askedPacked) {
    return writtenPacked != 0 && askedPacked != 0 ? writtenPacked == askedPacked : sameName(written, asked);
}

// Index of the first c in text from `from` on, text.size() when none. For the few characters of a
// header line: a plain loop, where the library's search costs more in its call than it saves.
qsizetype shortSearch(QStringView text, qsizetype from, char16_t c) {
    const char16_t* const chars = text.utf16();
    while (from < text.size() && chars[from] != c)
        ++from;
    return from;
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
    // The lines of a section are read up to the text's closing NUL: a text that does not own its
    // characters (raw data) is copied here so that it has one.
    if (!m_text.isEmpty()) m_text.utf16();
    const QStringView all(m_text);
    const char16_t* const chars = all.utf16();
    const qsizetype size = all.size();
    int open = -1; // the section whose lines are being read, -1 inside a repeated one
    // Only a line whose first character past the blanks is '[' matters here: the search goes from one
    // '[' to the next (a quick search over the text), and looks back for the start of its line.
    qsizetype from = 0;
    while (from < size) {
        const qsizetype bracket = all.indexOf(QLatin1Char('['), from);
        if (bracket < 0) break;
        qsizetype lineStart = bracket;
        while (lineStart > 0 && isBlank(chars[lineStart - 1]))
            --lineStart;
        const qsizetype eol = shortSearch(all, bracket, u'\n');
        const qsizetype pos = eol + 1;
        from = pos;
        if (lineStart > 0 && chars[lineStart - 1] != u'\n') continue;
        const QStringView line = trimmed(all.sliced(lineStart, eol - lineStart));
        if (open >= 0) m_sections[size_t(open)].end = lineStart;
        const QStringView name = trimmed(line.sliced(1, shortSearch(line, 0, u']') - 1));
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
    // A section's last line ends with a line feed or at the end of the text, where the text's closing
    // NUL stands (see the constructor): each scan stops at any control character, with one test per
    // character, and looks at where it stands only then.
    const QStringView all(m_text);
    const char16_t* const chars = all.utf16();
    const qsizetype end = span.end;
    qsizetype pos = span.begin;
    while (pos < end) {
        const qsizetype lineStart = pos;
        qsizetype eq = -1;
        for (;; ++pos) { // up to the first '=', or the end of the line
            while (chars[pos] >= 0x20 && chars[pos] != u'=')
                ++pos;
            if (chars[pos] == u'=') eq = pos;
            if (eq >= 0 || chars[pos] == u'\n' || pos >= end) break;
        }
        qsizetype nul = -1; // a value is a C string: it ends at its first NUL
        if (eq >= 0) {
            for (pos = eq + 1;; ++pos) { // to the end of the line
                while (chars[pos] >= 0x20)
                    ++pos;
                if (chars[pos] == u'\n' || pos >= end) break;
                if (chars[pos] == 0 && nul < 0) nul = pos;
            }
        }
        const qsizetype lineEnd = pos++;
        if (eq < 0) continue;
        qsizetype keyStart = lineStart;
        while (isBlank(chars[keyStart])) // stops at the '=' at the latest
            ++keyStart;
        if (keyStart == eq || chars[keyStart] == u';') continue; // no key before the '=', or a comment
        const KeyLine keyLine{trimmed(all.sliced(keyStart, eq - keyStart)),
                              all.sliced(eq + 1, (nul < 0 ? lineEnd : nul) - eq - 1)};
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

SectionKeys::SectionKeys(const QStringList& names) : m_names(names), m_lastValues(names.size()) {
    for (const QString& name : std::as_const(m_names)) {
        m_asked.push_back(QStringView(name).trimmed());
        m_packed.push_back(packedName(m_asked.back()));
        const auto earlier = m_packed.end() - 1;
        m_distinct = m_distinct && *earlier != 0 && std::find(m_packed.begin(), earlier, *earlier) == earlier;
    }
}

quint32 TreeFileReader::readValues(int section, const QStringList& keys, QStringList& values) const {
    SectionKeys prepared(keys);
    return readValues(section, prepared, values);
}

quint32 TreeFileReader::readValues(int section, SectionKeys& keys, QStringList& values) const {
    const qsizetype count = keys.size();
    values.fill(QString(), count);
    if (section < 0 || section >= int(m_sections.size())) return 0;
    QString* const out = values.data();
    quint32 found = 0;
    if (count > 32) { // beyond the bits of the answer: one search per key
        for (qsizetype i = 0; i < count; ++i) {
            QStringView raw;
            if (!find(section, keys.m_names[i], &raw)) continue;
            out[i] = processedValue(raw);
            if (i < 32) found |= 1u << i;
        }
        return found;
    }
    // A value equal to the one read just before it (one transfer behind several digits, as many silences
    // as repetitions), or to the previous section's value of the same key, is shared, not copied again.
    const QString* previous = nullptr;
    const auto read = [&](qsizetype i, QStringView text) {
        if (previous && sameText(*previous, text)) return *previous;
        const QString& last = keys.m_lastValues.at(i);
        return sameText(last, text) ? last : text.toString();
    };
    const quint32 all = quint32((quint64(1) << count) - 1);
    qsizetype start = 0;
    const auto take = [&](qsizetype i, const KeyLine& line) {
        out[i] = read(i, processedBeforeNul(line.value));
        previous = &out[i];
        found |= 1u << i;
        if (keys.m_distinct) start = i + 1; // their search stops at this match (see below)
    };
    // Lines in order, so that the first key of a name wins. Distinct names match a line at most once
    // each: the search stops at the first match and starts again after it, so that a section in the
    // template's order matches at once.
    forEachKeyLine(section, [&](const KeyLine& line) {
        // The editor writes the template's keys in its order and case: the key expected next is tried
        // as written before names are compared without regard to case.
        const qsizetype next = start % count;
        if (keys.m_distinct && !(found & (1u << next)) && sameText(line.key, keys.m_asked[size_t(next)])) {
            take(next, line);
            return found != all;
        }
        const quint64 linePacked = packedName(line.key);
        for (qsizetype step = 0; step < count; ++step) {
            const qsizetype i = (start + step) % count;
            if ((found & (1u << i)) ||
                !sameName(line.key, linePacked, keys.m_asked[size_t(i)], keys.m_packed[size_t(i)]))
                continue;
            take(i, line);
            if (keys.m_distinct) break;
        }
        return found != all; // every key found: the rest of the section cannot change a value
    });
    keys.m_lastValues = values;
    return found;
}

bool TreeFileReader::hasKey(int section, const QString& key) const {
    return find(section, key, nullptr);
}
