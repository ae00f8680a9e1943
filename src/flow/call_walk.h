#pragma once

#include "flow/flow_texts.h"

#include <QDateTime>
#include <QJsonArray>
#include <QList>
#include <QString>
#include <optional>

struct AppContext;
struct Configuration;

namespace flow {

// What the caller does: a key 0-9, "*" or "#", lets the time pass without a key, or the transfer the
// server tried does not get through.
struct CallEvent {
    enum Kind { Key, Silence, TransferFails } kind = Key;
    QChar key;
};

// "1,3,silence,fail,*": keys, "silence" (or "s") and "fail"; a word of several keys ("13") is those
// keys in turn. nullopt when a word is none of these.
std::optional<QList<CallEvent>> parseCallEvents(const QString& text);

struct CallStep {
    enum Kind {
        Tree,         // the call reaches a tree
        Announcement, // an announcement is played
        Schedule,     // a schedule is consulted
        Menu,         // a menu is entered
        Key,          // a key is pressed and its action taken
        Silence,      // no key: a repetition, or the no-reaction exit
        Exit,         // one of the tree's exits is taken
        Dialling,     // free dialling
        Destination,  // where the call ends
        Undefined,    // the configuration does not say what the server does; the walk stops
        Waiting,      // the events are used up, the caller is in a menu
        Ignored,      // an event that does not apply
    } kind = Tree;
    QString nodeKey; // the node to show: tree, menu or key node
    QString text;    // for a person
    QString announcement, announcementName;
    QString station, stationName;
    // What the step's action does, for scripts: "transfer", "operator", "announcement", "voicebox",
    // "free-dialling", "menu", "jump", "return", "language", "none" (a key or exit without action),
    // "unknown"; "" for a step that takes no action.
    QString action;
    int exit = -1; // for an Exit step: 0 the transfer failed, 1 closed, 2 no reaction
};

// Kind as a word for scripts ("announcement", "destination", ...).
QString kindName(CallStep::Kind kind);

// Walks one tree of a configuration as the server answers a call. The captions and the server's lists
// are read once, so that one walker serves many walks.
class CallWalker {
public:
    CallWalker(const Configuration& config, const AppContext& ctx);

    // The steps of a call to tree `tree` (1..5) at `at`, with the caller's events in order.
    QList<CallStep> walk(int tree, const QDateTime& at, const QList<CallEvent>& events) const;

private:
    const Configuration& m_config;
    const AppContext& m_ctx;
    FlowTexts m_texts;
    ServerNames m_names;
};

// One JSON array of the steps (kind, node, text, and the action, announcement and station fields that
// are set).
QJsonArray stepsArray(const QList<CallStep>& steps);
QByteArray stepsJson(const QList<CallStep>& steps);

} // namespace flow
