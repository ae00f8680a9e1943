#pragma once

#include "model/fixed_tables.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

struct AppContext;
class Translation;

namespace flow {

// The captions of the simulated call and of the comparison, read once from the translation (a lookup
// searches the whole file, far too slow for a walk). "%1".."%4" are filled in where they are used.
struct FlowTexts {
    explicit FlowTexts(const Translation& t);

    QString treeStart, treeInactive, welcome, languageChoice, noRootMenu, menuEnter;
    QString noSchedule, scheduleOpen, scheduleClosed, scheduleUnknown, dayClosed;
    QString menuAnnouncement, noMenuAnnouncement, keyPressed, keyNoAction, keyNoRole;
    QString returnKey, returnAtRoot, freeDialling, diallingKey, dialled, silence, noReaction;
    QString repetitionsUnknown, closedExit, transferFailed, noTransfer, exitNoAction;
    QString transferTo, operatorTransfer, announcement, subMenu, jumpMenu, jumpTree, jumpMissing;
    QString voiceBox, voiceBoxOf, unknownCode, noAction, freeDiallingAction, loop, waiting, ignored;
    QString eventSilence, eventFail, named, announcementOnly, dayNoHours, rangeBackwards;
    std::array<QString, 3> exitNames; // transfer failed, closed, no reaction

    QString treeName, keyName, change, fieldName, none, scheduleDay, generalParam, menuAdded, menuRemoved;
    QString rootAdded, rootRemoved, welcomeField, languageField, languagesField, repetitionsField;
    QString silencesField, scheduleField, announcementField;
    QString languageChosen, languageOutside, languageWaiting, missing;

    // "1 silence", "2 silences": the form the translation gives the count (a number as typed; what is not
    // a number takes the plural).
    enum Counted { Silences, Repetitions, Times };
    QString counted(Counted what, const QString& count) const;

private:
    QStringList singularCounts;                   // counts that take the singular ("0;1" in French)
    std::array<std::array<QString, 2>, 3> counts; // per Counted: singular, plural
};

// The names of the server's announcements and stations, when its information file was read.
class ServerNames {
public:
    explicit ServerNames(const AppContext& ctx);
    // "" when unknown.
    QString announcement(const QString& number) const;
    QString station(const QString& number) const;

private:
    QHash<qint32, QString> m_announcements;
    QHash<QString, QString> m_stations;
};

// What a day of a schedule means: its ranges that name four times, "hh:mm-hh:mm" joined by "/", or ""
// when the day is closed all day. Two values that read the same here open the same hours.
QString openRanges(const QString& dayValue);

// Minutes since midnight of each usable range of a day value (start, end).
struct Range {
    int start = 0;
    int end = 0;
};
std::array<std::optional<Range>, 2> dayRanges(const QString& dayValue);

// An action value in words: "Transfer to 201", "Announcement 15, 2 repetitions, 2 silences", ... The
// menu and tree names come from targetName ("" when the target is not in the tree); names of stations
// and announcements are added when `names` knows them.
QString describeAction(const QString& value, const FlowTexts& texts, const ServerNames* names,
                       const QString& targetName);

// "M2 'Service'": a menu or tree and its name, the number alone when the name is empty.
QString quoted(const QString& id, const QString& name);

// "%1 (%2)" when the name is known, else the number alone.
QString withName(const QString& number, const QString& name, const FlowTexts& texts);

} // namespace flow
