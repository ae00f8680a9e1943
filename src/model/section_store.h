#pragma once

#include "model/text_key.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

// Value indexes of a tree section (1-based, as every caller addresses them).
namespace TreeValue {
enum : int { lib = 1, ann1, ann2, rep2, langue, menu, exit_trf, exit_fer, exit_nac, Count = exit_nac };
}

// Value indexes of a menu section; key digit d is value d + 6.
namespace MenuValue {
enum : int { lib = 1, hor, ann, rep, sil, key0, Count = 15 };
constexpr int forDigit(int digit) {
    return key0 + digit;
}
} // namespace MenuValue

// One tree ("A1".."A5") or menu ("M" + number) with its key/value texts.
struct Section {
    QString name;
    QStringList keys;   // keys[i - 1] is key i
    QStringList values; // values[i - 1] is value i
    int parentDigit = -1;
    QString parentKey;
    QString errorFields;
    QString warningFields;

    int count() const { return int(values.size()); }
    // 1-based access; out-of-range reads give "".
    QString value(int index) const;
    QString key(int index) const;
    bool isTree() const { return name.startsWith(QLatin1Char('A')); }
    bool isMenu() const { return name.startsWith(QLatin1Char('M')); }
};

// A value as a profile file holds it: readers drop one pair of enclosing quotes, so a value that has its
// own is written with another pair around it.
QString fileValue(const QString& value);

// Key names of the two templates, 1-based in use (index 0 is key 1).
const QStringList& treeKeyNames();
const QStringList& menuKeyNames();

// The 1-based table of sections. Sections are only appended; a deleted menu keeps its record.
class SectionStore {
public:
    int size() const { return int(m_sections.size()); }
    bool isEmpty() const { return m_sections.empty(); }
    void clear();

    // 1-based index of the section with exactly this name, 0 when "" or absent.
    int findSection(const QString& name) const;
    // Index of the named section, appended when absent, then reset from its template ("A" tree, "M" menu):
    // every value becomes "" (or the given values, when there are as many as the template's keys),
    // parent digit and key are stored; error and warning marks stay.
    int ensureSection(const QString& name, int parentDigit, const QString& parentKey,
                      QStringList values = {});
    // Room for this many sections, so that a load does not grow the table step by step.
    void reserve(int count);

    // Stores a value; the section is found by name unless sectionIndex is not 0. Absent section: nothing.
    void setValue(const QString& name, int valueIndex, const QString& value, int sectionIndex = 0);
    QString value(const QString& name, int valueIndex) const;

    // Gives section `index` another name ("" takes it out of every lookup); the first section of a
    // name stays the one findSection returns.
    void renameSection(int index, const QString& newName);

    // "[name]" CR LF then "key=value" CR LF for every key (values as fileValue writes them); "" when absent.
    QString sectionText(const QString& name) const;

    // 1-based.
    Section& at(int index) { return m_sections[size_t(index - 1)]; }
    const Section& at(int index) const { return m_sections[size_t(index - 1)]; }
    Section* find(const QString& name);
    const Section* find(const QString& name) const;

private:
    std::vector<Section> m_sections;
    QHash<TextKey, int> m_index; // name -> 1-based index
};
