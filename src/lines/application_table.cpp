#include "lines/application_table.h"

#include "core/translation.h"

namespace {

ApplicationItem toItem(const ApplicationRecord& e, const QString& code, const Translation& tr) {
    return {code, displayName(tr, e.name), e.code2, e.field4};
}

} // namespace

int codeValue(const QString& code) {
    qsizetype i = 0;
    while (i < code.size() && code.at(i) == QLatin1Char(' '))
        ++i;
    qint64 n = 0;
    for (; i < code.size() && code.at(i) >= QLatin1Char('0') && code.at(i) <= QLatin1Char('9'); ++i)
        n = qMin<qint64>(n * 10 + (code.at(i).unicode() - '0'), 1'000'000'000);
    return int(n);
}

bool isAttendantApp(int code) {
    return code >= FirstAttendantApp && code <= LastAttendantApp;
}

QString displayName(const Translation& tr, const QString& name) {
    if (name.startsWith(QLatin1Char('$'))) return tr.getLabel(QStringLiteral("VOIES"), name.mid(1).trimmed());
    return name.trimmed();
}

QString ApplicationItem::item() const {
    return code + QLatin1Char('|') + name + QLatin1Char('|') + code2 + QLatin1Char('|') + field4;
}

QList<ApplicationItem> allApplications(const QList<ApplicationRecord>& records, const Translation& tr) {
    QList<ApplicationItem> list;
    for (const ApplicationRecord& e : records)
        if (codeValue(e.code) < MaxApplicationCode) list.append(toItem(e, e.code, tr));
    return list;
}

QList<ApplicationItem> choosableApplications(const QList<ApplicationRecord>& records, const Translation& tr) {
    QList<ApplicationItem> list;
    for (const ApplicationRecord& e : records)
        if (isAttendantApp(codeValue(e.code))) list.append(toItem(e, e.code.right(5), tr));
    return list;
}

QString applicationName(const QList<ApplicationItem>& list, int code) {
    for (const ApplicationItem& a : list)
        if (codeValue(a.code) == code) return a.name;
    return {};
}
