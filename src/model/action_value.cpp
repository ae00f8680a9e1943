#include "model/action_value.h"

#include <QStringBuilder>
#include <algorithm>
#include <iterator>

namespace action {

namespace {

// The action types' codes in row order, and the rows that describe() tells apart.
constexpr QLatin1String kCodes[] = {QLatin1String(""), Sau, Trf, Ann, Std, Num, Men, Bvn, Bvo};
constexpr int kSauRow = 1;
constexpr int kTrfRow = 2;
constexpr int kAnnRow = 3;
constexpr int kBvoRow = 8;

// The row of a code among the action types, -1 when unknown.
int rowOfCode(QStringView c) {
    const auto& codes = kCodes;
    for (int row = 0; row < int(std::size(codes)); ++row)
        if (isCode(c, codes[row])) return row;
    return -1;
}

// Where the field that starts at `from` ends: at the next ';' or the end of the value. Values are short:
// a plain loop, where the library's search costs more in its call than it saves.
qsizetype fieldEnd(QStringView value, qsizetype from) {
    while (from < value.size() && value[from] != QLatin1Char(';'))
        ++from;
    return from;
}

// Field 1 of a value, without copying it.
QStringView firstParam(QStringView value) {
    const qsizetype semi = fieldEnd(value, 0);
    if (semi == value.size()) return {};
    return value.sliced(semi + 1, fieldEnd(value, semi + 1) - semi - 1);
}

// What describe() returns, in parts: the type's caption (or an unknown value itself), then what shows in
// brackets after it, if anything. A tree of thousands of keys builds each text from them in one string.
struct Description {
    QStringView caption;
    std::optional<QStringView> bracketed;
};

Description describeParts(const QString& value, const ActionTypes& types,
                          const std::optional<QString>& jumpTargetName) {
    const QStringView v(value);
    const QStringView c = v.first(fieldEnd(v, 0));
    const int row = rowOfCode(c);
    if (row < 0) return {v, std::nullopt};
    const QStringView caption = types[size_t(row)].caption;
    // The row tells the code: no second comparison of texts.
    if (row == kTrfRow || row == kAnnRow || row == kBvoRow) return {caption, firstParam(v)};
    if (row == kSauRow && jumpTargetName) return {caption, QStringView(*jumpTargetName)};
    return {caption, std::nullopt};
}

void appendDigitPrefix(QString& out, int digit) {
    if (digit >= 0 && digit <= 9)
        out += QLatin1Char(char('0' + digit));
    else
        out += QString::number(digit);
    out += QLatin1String(" - ");
}

QString bracketed(const QString& caption, const QString& inside) {
    return caption + QStringLiteral(" (") + inside + QLatin1Char(')');
}

} // namespace

int paramCount(const QString& c) {
    if (c.isEmpty() || c == Std || c == Num || c == Bvn) return 0;
    if (c == Ann) return 3;
    if (c == Sau || c == Trf || c == Men || c == Bvo) return 1;
    return -1;
}

Value Value::parse(const QString& text) {
    QStringList fields = text.split(QLatin1Char(';'));
    Value v{fields.takeFirst(), std::move(fields)};
    const int count = paramCount(v.code);
    if (count >= 0 && v.params.size() > count) v.params.resize(count);
    while (!v.params.isEmpty() && v.params.back().isEmpty())
        v.params.removeLast();
    return v;
}

QString code(const QString& value) {
    const qsizetype semi = value.indexOf(QLatin1Char(';'));
    return semi < 0 ? value : value.left(semi);
}

QString param(const QString& value, int n) {
    if (n < 1) return code(value);
    qsizetype start = 0;
    for (int i = 0; i < n; ++i) {
        const qsizetype semi = fieldEnd(value, start);
        if (semi == value.size()) return QString();
        start = semi + 1;
    }
    return value.mid(start, fieldEnd(value, start) - start);
}

QString imageFor(QStringView c) {
    if (c == Sau) return QStringLiteral("Saut");
    if (c == Trf) return QStringLiteral("Transfert");
    if (c == Ann) return QStringLiteral("Annonce");
    if (c == Std) return QStringLiteral("Standard");
    if (c == Num) return QStringLiteral("FreeDialing");
    if (c == Men) return QStringLiteral("Menu");
    if (c == Bvn) return QStringLiteral("BoiteVoc1");
    if (c == Bvo) return QStringLiteral("BoiteVoc2");
    return QStringLiteral("NoAction");
}

int rowOf(const QString& c) {
    return rowOfCode(c);
}

int exitRow(const QString& c) {
    if (c.isEmpty() || c == Trf || c == Ann || c == Std || c == Sau) return rowOf(c);
    return -1;
}

QString keyDefault(const QString& c) {
    if (c == Ann) return QStringLiteral("ann;;2;2");
    if (c == Trf || c == Sau || c == Bvo) return c + QLatin1Char(';');
    return c;
}

QString exitDefault(const QString& c) {
    if (c == Ann) return QStringLiteral("ann;;;");
    if (c == Trf || c == Sau) return c + QLatin1Char(';');
    return c;
}

std::optional<QString> keyValue(const QString& c, const std::array<QString, 3>& details) {
    if (c == Trf || c == Bvo) return c + QLatin1Char(';') + details[0];
    if (c == Ann)
        return QString(Ann) + QLatin1Char(';') + details[0] + QLatin1Char(';') + details[1] +
               QLatin1Char(';') + details[2];
    return std::nullopt;
}

std::optional<QString> exitValue(const QString& c, const QString& parameter) {
    if (c == Trf) return QString(Trf) + QLatin1Char(';') + parameter;
    if (c == Ann) return QString(Ann) + QLatin1Char(';') + parameter + QStringLiteral(";1;1");
    return std::nullopt;
}

QString jumpValue(const QString& target) {
    return QString(Sau) + QLatin1Char(';') + target;
}

QString describe(const QString& value, const ActionTypes& types,
                 const std::optional<QString>& jumpTargetName) {
    const Description d = describeParts(value, types, jumpTargetName);
    if (!d.bracketed) return d.caption.toString();
    return d.caption % QLatin1String(" (") % *d.bracketed % QLatin1Char(')');
}

QString keyNodeText(int digit, const QString& value, const ActionTypes& types,
                    const std::optional<QString>& jumpTargetName) {
    if (digit < 0 || digit > 9)
        return QString::number(digit) % QLatin1String(" - ") % describe(value, types, jumpTargetName);
    const QLatin1Char d(char('0' + digit));
    const Description parts = describeParts(value, types, jumpTargetName);
    if (!parts.bracketed) return d % QLatin1String(" - ") % parts.caption;
    return d % QLatin1String(" - ") % parts.caption % QLatin1String(" (") % *parts.bracketed %
           QLatin1Char(')');
}

QString keyTypeText(int digit, const QString& c, const ActionTypes& types) {
    const int row = rowOf(c);
    const QString caption = row < 0 ? c : types[size_t(row)].caption;
    QString out;
    appendDigitPrefix(out, digit);
    return out + (c == Trf || c == Ann ? bracketed(caption, QString()) : caption);
}

QString keyNodeKey(const QString& menu, int digit) {
    if (digit < 0 || digit > 9) return QLatin1String("E-") % menu % QLatin1Char('-') % QString::number(digit);
    // Written in place: a load makes one for each of thousands of keys.
    QString key(menu.size() + 4, Qt::Uninitialized);
    QChar* out = key.data();
    *out++ = QLatin1Char('E');
    *out++ = QLatin1Char('-');
    out = std::copy(menu.cbegin(), menu.cend(), out);
    *out++ = QLatin1Char('-');
    *out = QLatin1Char(char('0' + digit));
    return key;
}

} // namespace action
