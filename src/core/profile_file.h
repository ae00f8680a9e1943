#pragma once

#include <QHash>
#include <QString>
#include <QStringView>

// A profile (INI) file parsed once into an index. Lookups follow the Windows profile reader: section and
// key names match without regard to case, blanks around a value are dropped, one pair of enclosing double
// quotes is dropped, and a value is cut to 254 characters (the 255-character buffer less its NUL). The
// first section of a name and the first key of a name in it win. Lines starting with ';' are comments.
// The rules every reader of profile-format text shares (the tree file reader among them).
namespace profile_rules {
// Space, tab and carriage return: what the Windows reader trims around names and values. Inline: a
// large file calls them for every character it indexes.
inline bool isBlank(QChar c) {
    const char16_t u = c.unicode();
    return u <= u' ' && (u == u' ' || u == u'\t' || u == u'\r'); // one test for any other printable
}
inline QStringView trimmed(QStringView s) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && isBlank(s[begin]))
        ++begin;
    while (end > begin && isBlank(s[end - 1]))
        --end;
    return s.sliced(begin, end - begin);
}
// The longest value: the 255-character buffer less its NUL.
constexpr int kMaxValueLength = 254;
// A value as the reader returns it: trimmed, one pair of enclosing quotes dropped, 254 characters at most.
QString processedValue(QStringView raw);
// The same, as a part of raw (nothing copied).
QStringView processedView(QStringView raw);
// processedView of a raw value already cut at its first NUL, as a line reader that found it passes it.
// Inline: a load calls it for every value of the file.
inline QStringView processedBeforeNul(QStringView raw) {
    QStringView v = trimmed(raw);
    if (v.size() >= 2 && v.front() == QLatin1Char('"') && v.back() == QLatin1Char('"'))
        v = v.sliced(1, v.size() - 2);
    return v.size() > kMaxValueLength ? v.first(kMaxValueLength) : v;
}
} // namespace profile_rules

class ProfileFile {
public:
    static constexpr int kMaxValueLength = profile_rules::kMaxValueLength;

    ProfileFile() = default;

    // Reads and parses the file; a missing or unreadable file gives an empty profile (every lookup
    // answers its default). Bytes are decoded with the system ANSI code page.
    static ProfileFile load(const QString& path);
    static ProfileFile parse(const QString& text);

    bool exists() const { return m_exists; }

    // The value, or the default when the section or the key is missing.
    QString value(const QString& section, const QString& key, const QString& defaultValue = {}) const;
    bool hasKey(const QString& section, const QString& key) const;
    bool hasSection(const QString& section) const;

private:
    using Keys = QHash<QString, QString>; // upper-case key -> processed value
    QHash<QString, Keys> m_sections;      // upper-case section -> keys
    bool m_exists = false;
};

// One lookup in a profile file on disk: section, key, path, default.
QString readProfileString(const QString& section, const QString& key, const QString& path,
                          const QString& defaultValue);
