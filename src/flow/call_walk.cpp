#include "flow/call_walk.h"

#include "core/app_context.h"
#include "model/action_value.h"
#include "model/configuration.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace flow {

namespace {

// Jumps and exits taken one after another without any event: beyond this many the configuration sends
// the call round in circles.
constexpr int kMaxMovesWithoutEvent = 20;

const GeneralParam& generalParam(const Configuration& config, int row) {
    return config.general[size_t(row)];
}

// The stable word of an action code for scripts.
QString actionWord(const QString& code) {
    static const std::pair<QLatin1String, const char*> words[] = {
        {action::Trf, "transfer"}, {action::Std, "operator"}, {action::Ann, "announcement"},
        {action::Bvn, "voicebox"}, {action::Bvo, "voicebox"}, {action::Num, "free-dialling"},
        {action::Men, "menu"},     {action::Sau, "jump"},     {QLatin1String(), "none"}};
    for (const auto& [c, word] : words)
        if (code == c) return QString::fromLatin1(word);
    return QStringLiteral("unknown");
}

class Walk {
public:
    Walk(const Configuration& config, const AppContext& ctx, const FlowTexts& texts, const ServerNames& names,
         const QDateTime& at)
        : m_config(config), m_ctx(ctx), m_texts(texts), m_names(names), m_at(at) {}

    QList<CallStep> run(int tree, const QList<CallEvent>& events) {
        startTree(QLatin1Char('A') + QString::number(tree));
        for (const CallEvent& e : events) {
            m_moves = 0;
            handle(e);
        }
        if (m_state == State::InMenu)
            add(CallStep::Waiting, m_stack.back(), m_texts.waiting.arg(menuTitle(m_stack.back())));
        else if (m_state == State::ChoosingLanguage)
            add(CallStep::Waiting, m_tree, m_texts.languageWaiting);
        else if (m_state == State::Dialling && !m_digits.isEmpty())
            add(CallStep::Dialling, m_tree, m_texts.dialled.arg(m_digits));
        return std::move(m_steps);
    }

private:
    enum class State { ChoosingLanguage, InMenu, Dialling, Transferring, Ended };

    CallStep& add(CallStep::Kind kind, const QString& node, const QString& text) {
        m_steps.append(CallStep{kind, node, text, {}, {}, {}, {}, {}});
        return m_steps.back();
    }
    // action: the word of the action that leads nowhere the configuration tells, if any.
    void undefined(const QString& node, const QString& text, const QString& action = {}) {
        add(CallStep::Undefined, node, text).action = action;
        m_state = State::Ended;
    }
    QString value(const QString& section, int index) const { return m_config.sections.value(section, index); }
    QString menuTitle(const QString& menu) const { return quoted(menu, value(menu, MenuValue::lib)); }
    bool moved() {
        if (++m_moves <= kMaxMovesWithoutEvent) return true;
        undefined(m_tree, m_texts.loop);
        return false;
    }
    void announce(CallStep& step, const QString& number) {
        step.announcement = number;
        step.announcementName = m_names.announcement(number);
    }
    void station(CallStep& step, const QString& number) {
        step.station = number;
        step.stationName = m_names.station(number);
    }
    QString announcementText(const QString& number) const {
        return withName(number, m_names.announcement(number), m_texts);
    }

    void startTree(const QString& key) {
        m_tree = key;
        m_stack.clear();
        const int number = key.mid(1).toInt();
        const TreeNode* node = m_config.nodes.nodeByKey(key);
        if (!node || number > m_ctx.Nb_arbre || node->colour == NodeColour::Grey) {
            undefined(key, m_texts.treeInactive.arg(number));
            return;
        }
        if (!moved()) return;
        add(CallStep::Tree, key,
            m_texts.treeStart.arg(quoted(QString::number(number), value(key, TreeValue::lib))));
        const QString welcome = value(key, TreeValue::ann1);
        if (!welcome.isEmpty())
            announce(add(CallStep::Announcement, key, m_texts.welcome.arg(announcementText(welcome))),
                     welcome);
        const QString languages = value(key, TreeValue::langue);
        m_languages = languages.split(QLatin1Char(';'));
        if (m_languages.size() > 1) {
            const QString choice = value(key, TreeValue::ann2);
            announce(
                add(CallStep::Announcement, key,
                    m_texts.languageChoice.arg(choice.isEmpty() ? m_texts.none : announcementText(choice),
                                               m_languages.join(QStringLiteral(", ")))),
                choice);
        }
        m_root = value(key, TreeValue::menu);
        if (m_root.isEmpty() || !m_config.nodes.noeudExiste(m_root)) {
            undefined(key, m_texts.noRootMenu.arg(number));
        } else if (m_languages.size() > 1) {
            // The caller's first key chooses: the tree says which languages, not which key is which.
            m_state = State::ChoosingLanguage;
            setRepetitions(value(key, TreeValue::rep2));
        } else {
            enterMenu(m_root, m_texts.menuEnter.arg(menuTitle(m_root)), true);
        }
    }

    void chooseLanguage(QChar k) {
        const int n = k.isDigit() ? k.digitValue() : 0;
        if (n < 1 || n > m_languages.size()) {
            undefined(m_tree,
                      m_texts.languageOutside.arg(QString(k), m_languages.join(QStringLiteral(", "))));
            return;
        }
        add(CallStep::Key, m_tree, m_texts.languageChosen.arg(QString(k), m_languages[n - 1])).action =
            QStringLiteral("language");
        enterMenu(m_root, m_texts.menuEnter.arg(menuTitle(m_root)), true);
    }

    void setRepetitions(const QString& text) {
        m_repetitionText = text;
        bool ok = false;
        m_repetitions = m_repetitionText.toInt(&ok);
        if (!ok || m_repetitions < 0) m_repetitions = -1;
        m_repeated = 0;
    }

    // Enters a menu: its schedule, then its announcement. stepText is said first when given, as the
    // step of the action (a word of actionWord) that leads there.
    void enterMenu(const QString& menu, const QString& stepText, bool push, const QString& action = {}) {
        if (!moved()) return;
        if (!stepText.isEmpty()) add(CallStep::Menu, menu, stepText).action = action;
        if (!checkSchedule(menu)) return;
        if (push) m_stack.append(menu);
        const QString ann = value(menu, MenuValue::ann), sil = value(menu, MenuValue::sil);
        setRepetitions(value(menu, MenuValue::rep));
        if (ann.isEmpty())
            add(CallStep::Announcement, menu, m_texts.noMenuAnnouncement);
        else
            announce(add(CallStep::Announcement, menu,
                         m_texts.menuAnnouncement.arg(announcementText(ann),
                                                      m_texts.counted(FlowTexts::Silences, sil),
                                                      m_texts.counted(FlowTexts::Times, m_repetitionText))),
                     ann);
        m_state = State::InMenu;
    }

    // False when the menu is closed (its exit taken) or its schedule cannot be read.
    bool checkSchedule(const QString& menu) {
        const QString hor = value(menu, MenuValue::hor);
        if (hor.isEmpty()) {
            add(CallStep::Schedule, menu, m_texts.noSchedule);
            return true;
        }
        bool ok = false;
        const int number = hor.toInt(&ok);
        if (!ok || number < 1 || number > int(m_config.schedules.size())) {
            undefined(menu, m_texts.scheduleUnknown.arg(hor));
            return false;
        }
        const ScheduleDay& day =
            m_config.schedules[size_t(number - 1)].days[size_t(m_at.date().dayOfWeek() - 1)];
        const int minute = m_at.time().hour() * 60 + m_at.time().minute();
        bool open = false, backwards = false;
        for (const auto& r : dayRanges(day.value)) {
            if (r && r->start <= minute && minute < r->end) open = true;
            if (r && r->end <= r->start) backwards = true;
        }
        const QString ranges = openRanges(day.value);
        add(CallStep::Schedule, menu,
            (open ? m_texts.scheduleOpen : m_texts.scheduleClosed)
                .arg(QString::number(number), day.caption, ranges.isEmpty() ? m_texts.dayNoHours : ranges,
                     m_at.time().toString(QStringLiteral("HH:mm"))));
        // Such a range is kept as typed; whether it runs on past midnight is the server's business.
        if (backwards) add(CallStep::Schedule, menu, m_texts.rangeBackwards);
        if (open) return true;
        add(CallStep::Exit, m_tree, m_texts.closedExit).exit = TreeValue::exit_fer - TreeValue::exit_trf;
        takeExit(TreeValue::exit_fer);
        return false;
    }

    void takeExit(int index) {
        if (!moved()) return;
        const QString v = value(m_tree, index);
        if (v.isEmpty()) {
            undefined(m_tree,
                      m_texts.exitNoAction.arg(m_texts.exitNames[size_t(index - TreeValue::exit_trf)]),
                      actionWord(QString()));
            return;
        }
        perform(v, m_tree);
    }

    // Takes an action of a key or of an exit; node is the node shown for a step that ends the call.
    void perform(const QString& v, const QString& node) {
        const QString c = action::code(v), p1 = action::param(v, 1);
        if (c == action::Men || c == action::Sau) {
            const bool tree = p1.startsWith(QLatin1Char('A'));
            const bool known = m_config.nodes.noeudExiste(p1) && m_config.sections.findSection(p1) > 0;
            if (!known || (tree && c == action::Men)) {
                undefined(node, m_texts.jumpMissing.arg(p1), actionWord(c));
                return;
            }
            const QString lib = value(p1, tree ? int(TreeValue::lib) : int(MenuValue::lib));
            if (tree) {
                add(CallStep::Menu, p1, describeAction(v, m_texts, &m_names, lib)).action = actionWord(c);
                startTree(p1);
            } else {
                enterMenu(p1, describeAction(v, m_texts, &m_names, lib), true, actionWord(c));
            }
            return;
        }
        if (c == action::Num) {
            add(CallStep::Dialling, node, m_texts.freeDialling.arg(generalParam(m_config, 2).value)).action =
                actionWord(c);
            m_state = State::Dialling;
            m_digits.clear();
            return;
        }
        if (action::rowOf(c) < 0) {
            undefined(node, m_texts.unknownCode.arg(v), actionWord(c));
            return;
        }
        CallStep& step = add(CallStep::Destination, node, describeAction(v, m_texts, &m_names, QString()));
        step.action = actionWord(c);
        m_state = State::Ended;
        if (c == action::Trf || c == action::Bvo) station(step, p1);
        if (c == action::Ann) announce(step, p1);
        if (c == action::Trf || c == action::Std) m_state = State::Transferring;
        if (c == action::Std && !m_ctx.numStandard.isEmpty()) {
            station(step, m_ctx.numStandard);
            step.text = m_texts.named.arg(step.text, withName(step.station, step.stationName, m_texts));
        }
    }

    QString eventText(const CallEvent& e) const {
        if (e.kind == CallEvent::Silence) return m_texts.eventSilence;
        if (e.kind == CallEvent::TransferFails) return m_texts.eventFail;
        return QString(e.key);
    }

    void handle(const CallEvent& e) {
        const QString node = m_stack.isEmpty() ? m_tree : m_stack.back();
        if (m_state == State::Transferring && e.kind == CallEvent::TransferFails) {
            add(CallStep::Exit, m_tree, m_texts.transferFailed).exit =
                TreeValue::exit_trf - TreeValue::exit_trf;
            takeExit(TreeValue::exit_trf);
        } else if (m_state == State::Transferring || m_state == State::Ended) {
            add(CallStep::Ignored, node, m_texts.ignored.arg(eventText(e)));
        } else if (e.kind == CallEvent::TransferFails) {
            add(CallStep::Ignored, node, m_texts.noTransfer);
        } else if (m_state == State::Dialling) {
            dial(e);
        } else if (e.kind == CallEvent::Silence) {
            silence(node);
        } else if (m_state == State::ChoosingLanguage) {
            chooseLanguage(e.key);
        } else {
            key(e.key);
        }
    }

    void dial(const CallEvent& e) {
        if (e.kind == CallEvent::Key) {
            m_digits += e.key;
            return;
        }
        if (m_digits.isEmpty()) {
            add(CallStep::Ignored, m_tree, m_texts.ignored.arg(eventText(e)));
            return;
        }
        add(CallStep::Dialling, m_tree, m_texts.dialled.arg(m_digits));
        CallStep& step = add(
            CallStep::Destination, m_tree,
            describeAction(QString(action::Trf) + QLatin1Char(';') + m_digits, m_texts, &m_names, QString()));
        station(step, m_digits);
        step.action = actionWord(action::Trf);
        m_state = State::Transferring;
    }

    // The menu's announcement, or the language choice, is repeated.
    void silence(const QString& menu) {
        if (m_repetitions < 0) {
            undefined(menu, m_texts.repetitionsUnknown.arg(m_repetitionText));
        } else if (m_repeated < m_repetitions) {
            ++m_repeated;
            add(CallStep::Silence, menu, m_texts.silence.arg(m_repeated).arg(m_repetitions));
        } else {
            add(CallStep::Exit, menu, m_texts.noReaction).exit = TreeValue::exit_nac - TreeValue::exit_trf;
            takeExit(TreeValue::exit_nac);
        }
    }

    void key(QChar k) {
        const QString& menu = m_stack.back();
        const QString pressed(k);
        if (k.isDigit()) {
            const int digit = k.digitValue();
            const QString v = value(menu, MenuValue::forDigit(digit));
            const QString keyNode = action::keyNodeKey(menu, digit);
            const QString node = m_config.nodes.noeudExiste(keyNode) ? keyNode : menu;
            add(CallStep::Key, node, m_texts.keyPressed.arg(pressed));
            if (v.isEmpty()) {
                undefined(node, m_texts.keyNoAction.arg(pressed), actionWord(QString()));
            } else {
                perform(v, node);
            }
            return;
        }
        const QString& back = generalParam(m_config, 0).value;
        const QString& dialling = generalParam(m_config, 1).value;
        if (pressed == back) {
            if (m_stack.size() < 2) {
                undefined(menu, m_texts.returnAtRoot.arg(pressed));
                return;
            }
            m_stack.removeLast();
            enterMenu(m_stack.back(), m_texts.returnKey.arg(pressed, menuTitle(m_stack.back())), false,
                      QStringLiteral("return"));
        } else if (pressed == dialling) {
            add(CallStep::Key, menu, m_texts.diallingKey.arg(pressed));
            perform(QString(action::Num), menu);
        } else {
            undefined(menu, m_texts.keyNoRole.arg(pressed, back, dialling));
        }
    }

    const Configuration& m_config;
    const AppContext& m_ctx;
    const FlowTexts& m_texts;
    const ServerNames& m_names;
    const QDateTime m_at;

    QList<CallStep> m_steps;
    State m_state = State::Ended;
    QString m_tree;
    QStringList m_stack;     // menus entered, the current one last
    QStringList m_languages; // offered by the current tree
    QString m_root;          // its first menu
    QString m_repetitionText;
    int m_repetitions = -1; // of the current menu's announcement, -1 when not a number
    int m_repeated = 0;
    QString m_digits;
    int m_moves = 0;
};

} // namespace

std::optional<QList<CallEvent>> parseCallEvents(const QString& text) {
    QList<CallEvent> events;
    for (const QString& raw : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString word = raw.trimmed().toLower();
        if (word == QLatin1String("silence") || word == QLatin1String("s")) {
            events.append(CallEvent{CallEvent::Silence, QChar()});
        } else if (word == QLatin1String("fail")) {
            events.append(CallEvent{CallEvent::TransferFails, QChar()});
        } else {
            if (word.isEmpty()) return std::nullopt;
            for (QChar c : word) {
                if (!c.isDigit() && c != QLatin1Char('*') && c != QLatin1Char('#')) return std::nullopt;
                events.append(CallEvent{CallEvent::Key, c});
            }
        }
    }
    return events;
}

QString kindName(CallStep::Kind kind) {
    static const char* const names[] = {"tree",        "announcement", "schedule", "menu",
                                        "key",         "silence",      "exit",     "dialling",
                                        "destination", "undefined",    "waiting",  "ignored"};
    return QString::fromLatin1(names[kind]);
}

CallWalker::CallWalker(const Configuration& config, const AppContext& ctx)
    : m_config(config), m_ctx(ctx), m_texts(ctx.translation), m_names(ctx) {}

QList<CallStep> CallWalker::walk(int tree, const QDateTime& at, const QList<CallEvent>& events) const {
    return Walk(m_config, m_ctx, m_texts, m_names, at).run(tree, events);
}

QJsonArray stepsArray(const QList<CallStep>& steps) {
    QJsonArray array;
    for (const CallStep& s : steps) {
        QJsonObject o{{QStringLiteral("kind"), kindName(s.kind)},
                      {QStringLiteral("node"), s.nodeKey},
                      {QStringLiteral("text"), s.text}};
        const auto put = [&](const char* name, const QString& v) {
            if (!v.isEmpty()) o.insert(QLatin1String(name), v);
        };
        put("action", s.action);
        put("announcement", s.announcement);
        put("announcementName", s.announcementName);
        put("station", s.station);
        put("stationName", s.stationName);
        array.append(o);
    }
    return array;
}

QByteArray stepsJson(const QList<CallStep>& steps) {
    return QJsonDocument(stepsArray(steps)).toJson(QJsonDocument::Indented);
}

} // namespace flow
