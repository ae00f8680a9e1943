#pragma once

#include "model/text_key.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

// The keys of a section template, prepared for reading many sections with TreeFileReader::readValues:
// each name is trimmed and packed once, and the values last read are kept, so that a value repeating the
// previous section's (the same count of repetitions in every menu) is shared rather than copied again.
class SectionKeys {
public:
    explicit SectionKeys(const QStringList& names);
    qsizetype size() const { return m_names.size(); }

private:
    friend class TreeFileReader;
    QStringList m_names;              // as given: the views below look into it
    std::vector<QStringView> m_asked; // trimmed
    std::vector<quint64> m_packed;    // see packedName, 0 for a name that does not pack
    bool m_distinct = true;           // every name packs, and no two alike
    QStringList m_lastValues;
};

// A tree file read once and answered with the profile reader's rules (see ProfileFile: names match
// without regard to case, the first section and the first key of a name win, values are trimmed, lose
// one pair of quotes and are cut to 254 characters). Built for size and speed: only where each section
// starts is indexed up front, and a section's lines are read from the text at each lookup (a load asks
// each section once or twice), so that the index costs a few bytes per section whatever its size.
class TreeFileReader {
public:
    TreeFileReader() = default; // no file: every lookup answers its default
    explicit TreeFileReader(QString text);

    bool exists() const { return m_exists; }
    // True when the text holds a section a tree file has: general, H<n>, A<n> or M<n>.
    bool hasTreeSection() const { return m_hasTreeSection; }

    // Number of sections of different names.
    int sectionCount() const { return int(m_sections.size()); }
    // Number of those whose name starts with "M" (menus).
    int menuSectionCount() const { return m_menuSectionCount; }
    // Index of the first section of this name, -1 when none. Lookups through the index skip the
    // name's hashing.
    int section(const QString& name) const;
    QString value(int section, const QString& key, const QString& defaultValue = {}) const;
    bool hasKey(int section, const QString& key) const;
    // values[i] := value of keys[i] ("" when missing) for every key, in one pass over the section.
    // Returns which keys were found: bit i for keys[i] (up to 32 keys).
    quint32 readValues(int section, const QStringList& keys, QStringList& values) const;
    quint32 readValues(int section, SectionKeys& keys, QStringList& values) const;

    QString value(const QString& section, const QString& key, const QString& defaultValue = {}) const {
        return value(this->section(section), key, defaultValue);
    }

private:
    // A "key=value" line of a section: the key trimmed, the value as written up to its first NUL.
    struct KeyLine {
        QStringView key;
        QStringView value;
    };
    struct Span {
        qsizetype begin = 0; // first character after the header line
        qsizetype end = 0;   // start of the next header line
    };

    template <typename Visit> void forEachKeyLine(int section, Visit visit) const;
    // The raw value of the first line of this key; false when there is none.
    bool find(int section, const QString& key, QStringView* raw) const;
    int indexOfUpperName(quint64 packed, const QString& upper) const;

    QString m_text;
    std::vector<Span> m_sections; // first section of each name, in file order
    // Upper-case name -> index in m_sections: short printable ASCII names (nearly all) by their packed
    // form (see packedName), which is hashed and compared as one number; any other by its text.
    QHash<quint64, int> m_byShortName;
    QHash<TextKey, int> m_byName;
    int m_menuSectionCount = 0;
    bool m_exists = false;
    bool m_hasTreeSection = false;
};
