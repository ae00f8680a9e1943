#include "model/action_value.h"

namespace action {

namespace {

QString digitPrefix(int digit) {
    return QString::number(digit) + QStringLiteral(" - ");
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
        start = value.indexOf(QLatin1Char(';'), start);
        if (start < 0) return QString();
        ++start;
    }
    const qsizetype end = value.indexOf(QLatin1Char(';'), start);
    return end < 0 ? value.mid(start) : value.mid(start, end - start);
}

QString imageFor(const QString& c) {
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
    static const QStringList codes = {QString(), Sau, Trf, Ann, Std, Num, Men, Bvn, Bvo};
    return int(codes.indexOf(c));
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
    const QString c = code(value);
    const int row = rowOf(c);
    if (row < 0) return value;
    const QString& caption = types[size_t(row)].caption;
    if (c == Trf || c == Ann || c == Bvo) return bracketed(caption, param(value, 1));
    if (c == Sau && jumpTargetName) return bracketed(caption, *jumpTargetName);
    return caption;
}

QString keyNodeText(int digit, const QString& value, const ActionTypes& types,
                    const std::optional<QString>& jumpTargetName) {
    return digitPrefix(digit) + describe(value, types, jumpTargetName);
}

QString keyTypeText(int digit, const QString& c, const ActionTypes& types) {
    const int row = rowOf(c);
    const QString caption = row < 0 ? c : types[size_t(row)].caption;
    return digitPrefix(digit) + (c == Trf || c == Ann ? bracketed(caption, QString()) : caption);
}

QString keyNodeKey(const QString& menu, int digit) {
    return QStringLiteral("E-") + menu + QLatin1Char('-') + QString::number(digit);
}

} // namespace action
