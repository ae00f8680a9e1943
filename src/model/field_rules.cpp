#include "model/field_rules.h"

#include "core/app_context.h"
#include "model/node_tree.h"

#include <QStringBuilder>
#include <algorithm>

namespace {

const QString kTransferAllowed = QStringLiteral("ABCD*#+");

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool isAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The common case of a number field, a short run of digits, needs no conversion.
bool isShortDigitRun(QStringView value) {
    return !value.isEmpty() && value.size() <= 9 && std::all_of(value.begin(), value.end(), isAsciiDigit);
}

} // namespace

std::optional<qint64> toWholeNumber(QStringView text) {
    qsizetype b = 0, e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    bool negative = false;
    if (b < e && (text[b] == QLatin1Char('+') || text[b] == QLatin1Char('-'))) {
        negative = text[b] == QLatin1Char('-');
        ++b;
    }
    if (b == e) return std::nullopt;
    qint64 n = 0;
    for (qsizetype i = b; i < e; ++i) {
        const QChar c = text[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
        n = n * 10 + (c.unicode() - '0');
        if (n > 2147483648LL) return std::nullopt;
    }
    if (negative) n = -n;
    if (n > 2147483647LL) return std::nullopt;
    return n;
}

namespace {

bool isNumberText(QStringView value, QStringView allowedCharacters) {
    if (value.isEmpty()) return false;
    // A digit among the allowed characters would be removed first.
    if (isShortDigitRun(value) &&
        std::none_of(allowedCharacters.begin(), allowedCharacters.end(), [](QChar c) { return c.isDigit(); }))
        return true;
    QString rest = value.toString().toUpper();
    for (const QChar c : allowedCharacters)
        rest.remove(c.toUpper());
    if (rest.isEmpty()) return true;
    const std::optional<qint64> n = toWholeNumber(rest);
    // Signs are the only characters besides digits and blanks that convert; a negative number fails.
    return n.has_value() && *n >= 0;
}

} // namespace

bool isPlainNumber(QStringView value) {
    return isShortDigitRun(value) || isNumberText(value, {});
}
bool isDialledNumber(QStringView value) {
    return isShortDigitRun(value) || isNumberText(value, kTransferAllowed);
}

bool isNumberField(const QString& value, const QString& allowedCharacters) {
    return isNumberText(value, allowedCharacters);
}

bool announcementExists(const QList<Announcement>& announcements, qint32 number, int languageIndex) {
    for (const Announcement& a : announcements) {
        if (a.number != number) continue;
        if (languageIndex < 1 || languageIndex > 4 || a.flags[languageIndex - 1] != 0) return true;
    }
    return false;
}

bool stationExists(const QList<Station>& stations, const QString& number) {
    for (const Station& s : stations)
        if (s.number == number) return true;
    return false;
}

bool voiceBoxExists(const QList<Station>& stations, const QString& voiceBox) {
    for (const Station& s : stations)
        if (s.voiceBox == voiceBox) return true;
    return false;
}

QString fieldCode(int valueIndex, const QString& parameterSuffix) {
    return QString::number(valueIndex).rightJustified(2, QLatin1Char('0')) % QLatin1Char(';') %
           parameterSuffix;
}

int fieldStateColour(const SectionStore& store, int sectionIndex, int valueIndex,
                     const QString& parameterSuffix) {
    if (sectionIndex < 1 || sectionIndex > store.size()) return NodeColour::Black;
    const Section& s = store.at(sectionIndex);
    const QString code = fieldCode(valueIndex, parameterSuffix);
    if (s.errorFields.contains(code)) return NodeColour::Red;
    if (s.warningFields.contains(code)) return NodeColour::Orange;
    return NodeColour::Black;
}
