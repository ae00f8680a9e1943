#include "model/action_value.h"

namespace action {

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
    if (c == QLatin1String("sau")) return QStringLiteral("Saut");
    if (c == QLatin1String("trf")) return QStringLiteral("Transfert");
    if (c == QLatin1String("ann")) return QStringLiteral("Annonce");
    if (c == QLatin1String("std")) return QStringLiteral("Standard");
    if (c == QLatin1String("num")) return QStringLiteral("FreeDialing");
    if (c == QLatin1String("men")) return QStringLiteral("Menu");
    if (c == QLatin1String("bvn")) return QStringLiteral("BoiteVoc1");
    if (c == QLatin1String("bvo")) return QStringLiteral("BoiteVoc2");
    return QStringLiteral("NoAction");
}

int rowOf(const QString& c) {
    static const QStringList codes = {"", "sau", "trf", "ann", "std", "num", "men", "bvn", "bvo"};
    return int(codes.indexOf(c));
}

QString describe(const QString& value, const ActionTypes& types, const QString& jumpTargetName) {
    const QString c = code(value);
    const auto withParam = [&](int row) {
        return types[size_t(row)].caption + QStringLiteral(" (") + param(value, 1) + QLatin1Char(')');
    };
    if (c.isEmpty()) return types[0].caption;
    if (c == QLatin1String("trf")) return withParam(2);
    if (c == QLatin1String("ann")) return withParam(3);
    if (c == QLatin1String("std")) return types[4].caption;
    if (c == QLatin1String("num")) return types[5].caption;
    if (c == QLatin1String("bvn")) return types[7].caption;
    if (c == QLatin1String("bvo")) return withParam(8);
    if (c == QLatin1String("sau")) {
        if (jumpTargetName.isEmpty()) return types[1].caption;
        return types[1].caption + QStringLiteral(" (") + jumpTargetName + QLatin1Char(')');
    }
    if (c == QLatin1String("men")) return types[6].caption;
    return value;
}

QString keyNodeText(int digit, const QString& value, const ActionTypes& types,
                    const QString& jumpTargetName) {
    return QString::number(digit) + QStringLiteral(" - ") + describe(value, types, jumpTargetName);
}

QString keyNodeKey(const QString& menu, int digit) {
    return QStringLiteral("E-") + menu + QLatin1Char('-') + QString::number(digit);
}

} // namespace action
