#include "model/section_store.h"

#include <QStringBuilder>

QString Section::value(int index) const {
    return (index >= 1 && index <= values.size()) ? values.at(index - 1) : QString();
}

QString Section::key(int index) const {
    return (index >= 1 && index <= keys.size()) ? keys.at(index - 1) : QString();
}

QString fileValue(const QString& value) {
    if (value.size() >= 2 && value.front() == QLatin1Char('"') && value.back() == QLatin1Char('"'))
        return QLatin1Char('"') % value % QLatin1Char('"');
    return value;
}

const QStringList& treeKeyNames() {
    static const QStringList names = {"lib",  "ann1",     "ann2",     "rep2",    "langue",
                                      "menu", "exit_trf", "exit_fer", "exit_nac"};
    return names;
}

const QStringList& menuKeyNames() {
    static const QStringList names = {"lib", "hor", "ann", "rep", "sil", "0", "1", "2",
                                      "3",   "4",   "5",   "6",   "7",   "8", "9"};
    return names;
}

void SectionStore::clear() {
    m_sections.clear();
    m_index.clear();
}

int SectionStore::findSection(const QString& name) const {
    if (name.isEmpty()) return 0;
    return m_index.value(TextKey{name}, 0);
}

void SectionStore::reserve(int count) {
    m_sections.reserve(size_t(count));
    m_index.reserve(count);
}

int SectionStore::ensureSection(const QString& name, int parentDigit, const QString& parentKey,
                                QStringList values) {
    int index = findSection(name);
    if (index == 0) {
        Section s;
        s.name = name;
        m_sections.push_back(std::move(s));
        index = size();
        m_index.insert(TextKey{name}, index);
    }
    Section& s = at(index);
    if (name.startsWith(QLatin1Char('M'))) {
        s.keys = menuKeyNames();
    } else if (name.startsWith(QLatin1Char('A'))) {
        s.keys = treeKeyNames();
    }
    if (values.size() == s.keys.size()) {
        s.values = std::move(values);
    } else {
        s.values = QStringList();
        s.values.resize(s.keys.size());
    }
    s.parentDigit = parentDigit;
    s.parentKey = parentKey;
    return index;
}

void SectionStore::setValue(const QString& name, int valueIndex, const QString& value, int sectionIndex) {
    const int index = sectionIndex != 0 ? sectionIndex : findSection(name);
    if (index < 1 || index > size()) return;
    Section& s = at(index);
    if (valueIndex < 1 || valueIndex > s.count()) return;
    s.values[valueIndex - 1] = value;
}

QString SectionStore::value(const QString& name, int valueIndex) const {
    const Section* s = find(name);
    return s ? s->value(valueIndex) : QString();
}

void SectionStore::renameSection(int index, const QString& newName) {
    if (index < 1 || index > size()) return;
    const QString oldName = at(index).name;
    if (oldName == newName) return;
    at(index).name = newName;
    if (m_index.value(TextKey{oldName}, 0) == index) {
        m_index.remove(TextKey{oldName});
        for (int i = 1; i <= size(); ++i) // another section of the same name takes over
            if (at(i).name == oldName && !oldName.isEmpty()) {
                m_index.insert(TextKey{oldName}, i);
                break;
            }
    }
    if (newName.isEmpty()) return;
    const int holder = m_index.value(TextKey{newName}, 0);
    if (holder == 0 || holder > index) m_index.insert(TextKey{newName}, index);
}

QString SectionStore::sectionText(const QString& name) const {
    const Section* s = find(name);
    if (!s) return QString();
    qsizetype size = s->name.size() + 4;
    for (int i = 0; i < s->count(); ++i)
        size += s->keys.value(i).size() + s->values.at(i).size() + 5;
    QString text;
    text.reserve(size);
    text += QLatin1Char('[') % s->name % QLatin1String("]\r\n");
    for (int i = 0; i < s->count(); ++i)
        text += s->keys.value(i) % QLatin1Char('=') % fileValue(s->values.at(i)) % QLatin1String("\r\n");
    return text;
}

Section* SectionStore::find(const QString& name) {
    const int index = findSection(name);
    return index ? &at(index) : nullptr;
}

const Section* SectionStore::find(const QString& name) const {
    const int index = findSection(name);
    return index ? &at(index) : nullptr;
}
