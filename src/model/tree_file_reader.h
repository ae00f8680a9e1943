#pragma once

#include "model/text_key.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

// A tree file read once and answered with the profile reader's rules (see ProfileFile: names match
// without regard to case, the first section and the first key of a name win, values are trimmed, lose
// one pair of quotes and are cut to 254 characters). Built for size and speed: only where each section
// starts is indexed up front, and a section's lines are split when it is first asked for, so that a
// file padded with sections no tree reaches costs little more than its text.
class TreeFileReader {
public:
    TreeFileReader() = default; // no file: every lookup answers its default
    explicit TreeFileReader(QString text);

    bool exists() const { return m_exists; }
    // True when the text holds a section a tree file has: general, H<n>, A<n> or M<n>.
    bool hasTreeSection() const { return m_hasTreeSection; }

    // Number of sections of different names.
    int sectionCount() const { return int(m_sections.size()); }
    // Index of the first section of this name, -1 when none. Lookups through the index skip the
    // name's hashing.
    int section(const QString& name) const;
    QString value(int section, const QString& key, const QString& defaultValue = {}) const;
    bool hasKey(int section, const QString& key) const;
    // values[i] := value of keys[i] ("" when missing) for every key, in one pass over the section.
    void readValues(int section, const QStringList& keys, QStringList& values) const;

    QString value(const QString& section, const QString& key, const QString& defaultValue = {}) const {
        return value(this->section(section), key, defaultValue);
    }

private:
    struct Line {
        QStringView key; // trimmed, as written
        QStringView value;
        quint64 packed = 0; // short ASCII key upper-cased into a number, 0 for any other key
    };
    struct Span {
        qsizetype begin = 0; // first character after the header line
        qsizetype end = 0;   // start of the next header line
        mutable std::vector<Line> lines;
        mutable bool split = false;
    };

    const Span* split(int section) const;
    const Line* find(int section, const QString& key) const;

    QString m_text;
    std::vector<Span> m_sections; // first section of each name, in file order
    QHash<TextKey, int> m_byName; // upper-case name -> index in m_sections
    bool m_exists = false;
    bool m_hasTreeSection = false;
};
