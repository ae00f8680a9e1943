#include "model/fixed_tables.h"

#include "core/translation.h"

ActionTypes makeActionTypes(const Translation& t) {
    return {{
        {t.getLabel(QStringLiteral("actVide")), QString()},
        {t.getLabel(QStringLiteral("actSaut")), QStringLiteral("sau")},
        {t.getLabel(QStringLiteral("actTransfert")), QStringLiteral("trf")},
        {t.getLabel(QStringLiteral("actAnn")), QStringLiteral("ann")},
        {t.getLabel(QStringLiteral("actStd")), QStringLiteral("std")},
        {t.getLabel(QStringLiteral("actNum")), QStringLiteral("num")},
        {QStringLiteral(" -> ") + t.getLabel(QStringLiteral("MenuChange")), QStringLiteral("men")},
        {t.getLabel(QStringLiteral("actBvn")), QStringLiteral("bvn")},
        {t.getLabel(QStringLiteral("actBvo")), QStringLiteral("bvo")},
    }};
}

GeneralParams makeGeneralParams() {
    return {{
        {QStringLiteral("code_retour"), QString(), QStringLiteral("*"), false},
        {QStringLiteral("code_dialing"), QString(), QStringLiteral("#"), false},
        {QStringLiteral("tp_inter_digit"), QString(), QStringLiteral("10"), true},
    }};
}

const std::array<QString, 7>& dayCodes() {
    static const std::array<QString, 7> codes = {
        QStringLiteral("lun"), QStringLiteral("mar"), QStringLiteral("mer"), QStringLiteral("jeu"),
        QStringLiteral("ven"), QStringLiteral("sam"), QStringLiteral("dim")};
    return codes;
}

Schedules makeSchedules(const Translation& t) {
    // Each caption is looked up once and shared by the ten schedules.
    std::array<QString, 7> captions;
    for (int d = 0; d < 7; ++d)
        captions[size_t(d)] = t.getLabel(QStringLiteral("J") + QString::number(d + 1));
    Schedules schedules;
    for (Schedule& s : schedules) {
        for (int d = 0; d < 7; ++d) {
            s.days[size_t(d)].code = dayCodes()[size_t(d)];
            s.days[size_t(d)].caption = captions[size_t(d)];
        }
    }
    return schedules;
}
