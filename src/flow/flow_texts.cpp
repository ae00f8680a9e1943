#include "flow/flow_texts.h"

#include "core/app_context.h"
#include "core/translation.h"
#include "model/action_value.h"
#include "model/schedule_value.h"

namespace flow {

FlowTexts::FlowTexts(const Translation& t)
    : treeStart(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("TreeStart"))),
      treeInactive(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("TreeInactive"))),
      welcome(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("Welcome"))),
      languageChoice(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("LanguageChoice"))),
      noRootMenu(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("NoRootMenu"))),
      menuEnter(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("MenuEnter"))),
      noSchedule(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("NoSchedule"))),
      scheduleOpen(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("ScheduleOpen"))),
      scheduleClosed(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("ScheduleClosed"))),
      scheduleUnknown(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("ScheduleUnknown"))),
      dayClosed(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("DayClosed"))),
      menuAnnouncement(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("MenuAnnouncement"))),
      noMenuAnnouncement(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("NoMenuAnnouncement"))),
      keyPressed(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("KeyPressed"))),
      keyNoAction(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("KeyNoAction"))),
      keyNoRole(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("KeyNoRole"))),
      returnKey(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("ReturnKey"))),
      returnAtRoot(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("ReturnAtRoot"))),
      freeDialling(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("FreeDialling"))),
      diallingKey(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("DiallingKey"))),
      dialled(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("Dialled"))),
      silence(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("Silence"))),
      noReaction(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("NoReaction"))),
      repetitionsUnknown(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("RepetitionsUnknown"))),
      closedExit(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("ClosedExit"))),
      transferFailed(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("TransferFailed"))),
      noTransfer(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("NoTransfer"))),
      exitNoAction(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("ExitNoAction"))),
      transferTo(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("TransferTo"))),
      operatorTransfer(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("Operator"))),
      announcement(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("Announcement"))),
      subMenu(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("SubMenu"))),
      jumpMenu(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("JumpMenu"))),
      jumpTree(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("JumpTree"))),
      jumpMissing(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("JumpMissing"))),
      voiceBox(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("VoiceBox"))),
      voiceBoxOf(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("VoiceBoxOf"))),
      unknownCode(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("UnknownCode"))),
      noAction(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("NoAction"))),
      freeDiallingAction(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("FreeDiallingAction"))),
      loop(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("Loop"))),
      waiting(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("Waiting"))),
      ignored(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("Ignored"))),
      eventSilence(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("EventSilence"))),
      eventFail(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("EventFail"))),
      named(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("Named"))),
      announcementOnly(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("AnnouncementOnly"))),
      dayNoHours(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("DayNoHours"))),
      rangeBackwards(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("RangeBackwards"))),
      exitNames{t.getLabel(QStringLiteral("lblErreurTransfert")), t.getLabel(QStringLiteral("lblFermeture")),
                t.getLabel(QStringLiteral("lblNonReaction"))},
      treeName(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("DiffTree"))),
      keyName(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("DiffKey"))),
      change(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("DiffChange"))),
      fieldName(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("DiffName"))),
      none(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("DiffNone"))),
      scheduleDay(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("DiffScheduleDay"))),
      generalParam(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("DiffGeneral"))),
      menuAdded(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("DiffMenuAdded"))),
      menuRemoved(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("DiffMenuRemoved"))),
      rootAdded(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("DiffRootAdded"))),
      rootRemoved(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("DiffRootRemoved"))),
      welcomeField(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("DiffWelcome"))),
      languageField(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("DiffLanguageChoice"))),
      languagesField(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("DiffLanguages"))),
      repetitionsField(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("DiffRepetitions"))),
      silencesField(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("DiffSilences"))),
      scheduleField(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("DiffSchedule"))),
      announcementField(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("DiffAnnouncement"))),
      languageChosen(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("LanguageChosen"))),
      languageOutside(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("LanguageOutside"))),
      languageWaiting(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("LanguageWaiting"))),
      missing(t.getLabel(QStringLiteral("FLOW"), QStringLiteral("DiffMissing"))),
      singularCounts(
          t.getLabel(QStringLiteral("FLOW"), QStringLiteral("CountSingular")).split(QLatin1Char(';'))) {
    const char* const names[] = {"Silences", "Repetitions", "Times"};
    for (size_t i = 0; i < counts.size(); ++i)
        for (const auto& [form, suffix] : {std::pair{0, "One"}, std::pair{1, "Many"}})
            counts[i][size_t(form)] =
                t.getLabel(QStringLiteral("FLOW"), QLatin1String(names[i]) + QLatin1String(suffix));
}

QString FlowTexts::counted(Counted what, const QString& count) const {
    return counts[size_t(what)][singularCounts.contains(count) ? 0 : 1].arg(count);
}

ServerNames::ServerNames(const AppContext& ctx) {
    for (const Announcement& a : ctx.Announcements)
        m_announcements.insert(a.number, a.name);
    for (const Station& s : ctx.Stations)
        m_stations.insert(s.number, s.name);
}

QString ServerNames::announcement(const QString& number) const {
    bool ok = false;
    const qint32 n = number.toInt(&ok);
    return ok ? m_announcements.value(n) : QString();
}

QString ServerNames::station(const QString& number) const {
    return m_stations.value(number);
}

std::array<std::optional<Range>, 2> dayRanges(const QString& dayValue) {
    const schedule_value::DayTimes times = schedule_value::parseDayValue(dayValue);
    const auto minutes = [](const QString& h, const QString& m) -> std::optional<int> {
        bool okH = false, okM = false;
        const int hour = h.toInt(&okH), minute = m.toInt(&okM);
        if (!okH || !okM || hour < 0 || hour > 24 || minute < 0 || minute > 59) return std::nullopt;
        return hour * 60 + minute;
    };
    const auto range = [&](const schedule_value::TimeRange& r) -> std::optional<Range> {
        const auto start = minutes(r[0], r[1]), end = minutes(r[2], r[3]);
        if (!start || !end) return std::nullopt;
        return Range{*start, *end};
    };
    return {range(times.first), range(times.second)};
}

QString openRanges(const QString& dayValue) {
    const auto text = [](int m) {
        return QStringLiteral("%1:%2")
            .arg(m / 60, 2, 10, QLatin1Char('0'))
            .arg(m % 60, 2, 10, QLatin1Char('0'));
    };
    QStringList parts;
    for (const auto& r : dayRanges(dayValue))
        if (r) parts << text(r->start) + QLatin1Char('-') + text(r->end);
    return parts.join(QLatin1Char('/'));
}

QString withName(const QString& number, const QString& name, const FlowTexts& texts) {
    return name.isEmpty() ? number : texts.named.arg(number, name);
}

QString quoted(const QString& id, const QString& name) {
    return name.isEmpty() ? id : id + QStringLiteral(" '") + name + QLatin1Char('\'');
}

QString describeAction(const QString& value, const FlowTexts& texts, const ServerNames* names,
                       const QString& targetName) {
    const QString c = action::code(value), p1 = action::param(value, 1);
    const auto station = [&] { return withName(p1, names ? names->station(p1) : QString(), texts); };
    if (c.isEmpty()) return texts.noAction;
    if (c == action::Trf) return texts.transferTo.arg(station());
    if (c == action::Ann) {
        const QString number = withName(p1, names ? names->announcement(p1) : QString(), texts);
        const QString repetitions = action::param(value, 2), silences = action::param(value, 3);
        // A tree exit's announcement often leaves both empty.
        if (repetitions.isEmpty() && silences.isEmpty()) return texts.announcementOnly.arg(number);
        return texts.announcement.arg(number, texts.counted(FlowTexts::Repetitions, repetitions),
                                      texts.counted(FlowTexts::Silences, silences));
    }
    if (c == action::Std) return texts.operatorTransfer;
    if (c == action::Num) return texts.freeDiallingAction;
    if (c == action::Men) return texts.subMenu.arg(quoted(p1, targetName));
    if (c == action::Sau) {
        if (p1.startsWith(QLatin1Char('A'))) return texts.jumpTree.arg(quoted(p1.mid(1), targetName));
        return texts.jumpMenu.arg(quoted(p1, targetName));
    }
    if (c == action::Bvn) return texts.voiceBox;
    if (c == action::Bvo) return texts.voiceBoxOf.arg(station());
    return texts.unknownCode.arg(value);
}

} // namespace flow
