#include "lines/line_table.h"

#include "core/translation.h"
#include "lines/application_table.h"
#include "platform/codepage.h"

#include <algorithm>

bool isAutoAttendantApplication(int code) {
    return isAttendantApp(code);
}

bool isGreyed(const LineRecord& record) {
    return !record.trfOK.isEmpty() || (record.app >= 1 && !isAutoAttendantApplication(record.app));
}

bool LineTable::append(const LineRecord& record) {
    if (lineCount() >= lineCapacity) return false;
    m_records.push_back(record);
    return true;
}

void LineTable::setLineCount(int count) {
    m_records.resize(std::size_t(std::clamp(count, 0, lineCapacity)));
}

PlanningTable PlanningTable::fromBytes(const QByteArray& bytes) {
    constexpr int kHeader = 256;
    constexpr int kRecord = 128;
    constexpr int kName = 32;
    // A short file reads its missing bytes as zero.
    QByteArray record = bytes.left(kSize);
    record.append(QByteArray(kSize - record.size(), '\0'));
    PlanningTable table;
    for (int k = 0; k < kCount; ++k) {
        const QByteArray name = record.mid(kHeader + k * kRecord, kName);
        const qsizetype nul = name.indexOf('\0');
        QString text = platform::decodeAnsi(nul >= 0 ? name.left(nul) : name);
        if (nul < 0) {
            qsizetype b = 0;
            qsizetype e = text.size();
            while (b < e && text.at(b) == QLatin1Char(' '))
                ++b;
            while (e > b && text.at(e - 1) == QLatin1Char(' '))
                --e;
            text = text.mid(b, e - b);
        }
        table.m_names[std::size_t(k)] = text;
    }
    return table;
}

QString PlanningTable::name(int number) const {
    return number >= 0 && number < kCount ? m_names[std::size_t(number)] : QString();
}

QString PlanningTable::planningName(int planing) const {
    return planing >= 1 && planing <= kCount ? name(planing - 1) : QString();
}

QString ApplicationDirectory::applicationName(int code) const {
    if (code == 0) return {};
    for (const ApplicationEntry& entry : m_all)
        if (entry.code == code) return entry.name;
    return {};
}

QList<ApplicationEntry> ApplicationDirectory::choosable() const {
    QList<ApplicationEntry> out;
    for (const ApplicationEntry& entry : m_all)
        if (isAutoAttendantApplication(entry.code)) out.append(entry);
    return out;
}

const ApplicationEntry* ApplicationDirectory::choosableByName(const QString& name) const {
    for (const ApplicationEntry& entry : m_all)
        if (isAutoAttendantApplication(entry.code) && entry.name == name) return &entry;
    return nullptr;
}

QStringList planningChoices(const PlanningTable& plannings) {
    QStringList choices{QString()};
    for (int k = 0; k < PlanningTable::kCount; ++k)
        choices << plannings.name(k);
    return choices;
}

QList<LinePickerItem> pickerItems(const QList<ApplicationEntry>& choosable,
                                  const QList<StationEntry>& stations, bool withApplications) {
    QList<LinePickerItem> items;
    if (withApplications)
        for (const ApplicationEntry& a : choosable)
            items.append({a.name, QString::number(a.code), a.name, QString(), true});
    for (const StationEntry& s : stations)
        items.append({s.number, s.number, s.name, QString::number(s.kind), false});
    return items;
}

std::array<QString, 4> readTraceNames(const Translation& translation) {
    std::array<QString, 4> names;
    for (int i = 0; i < 4; ++i)
        names[std::size_t(i)] =
            translation.getLabel(QLatin1String(kLinesSection), QStringLiteral("Trace_%1").arg(i));
    return names;
}

std::array<QString, 9> gridTitles(const Translation& translation) {
    std::array<QString, 9> titles;
    for (int c = 1; c <= 9; ++c)
        titles[std::size_t(c - 1)] =
            translation.getLabel(QLatin1String(kLinesSection), QStringLiteral("Grille_%1").arg(c));
    return titles;
}

LineGridRow gridRow(const LineTable& table, const LineNames& names, int i) {
    LineGridRow row;
    if (!table.hasLine(i)) return row;
    const LineRecord& r = table.line(i);
    row.texts = {r.cli,
                 r.ddi,
                 r.code,
                 r.planningName,
                 r.VP >= 1 ? QString::number(r.VP) : QString(),
                 r.trfOK.isEmpty() ? names.applications.applicationName(r.app) : r.trfOK,
                 r.trfKO.isEmpty() ? names.applications.applicationName(r.appKO) : r.trfKO,
                 r.libelle,
                 r.trace >= 0 && r.trace < 4 ? names.traceNames[std::size_t(r.trace)] : QString()};
    row.greyed = isGreyed(r);
    row.transferred = row.greyed && !(r.app >= 1 && !isAutoAttendantApplication(r.app));
    return row;
}

void prepareGrid(LineTable& table) {
    if (table.lineCount() < minimumGridLines) table.setLineCount(minimumGridLines);
}
