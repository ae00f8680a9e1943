#include "model/tree_file.h"

#include "core/app_context.h"
#include "core/diagnostics_sink.h"
#include "core/profile_file.h"
#include "model/action_value.h"
#include "platform/codepage.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

constexpr int kTreeCount = 5;
constexpr int kMaxMenuDepth = 3;

const QString kCrLf = QStringLiteral("\r\n");

// Number after the "M" of a menu name, read like the server's tools do: the leading digits, 0 when none.
int menuNumber(const QString& name) {
    qint64 n = 0;
    for (qsizetype i = 1; i < name.size() && name.at(i).isDigit() && name.at(i).unicode() < 128; ++i) {
        n = n * 10 + (name.at(i).unicode() - '0');
        if (n > 0x7fffffff) return 0x7fffffff;
    }
    return int(n);
}

bool isJournal(const TreeFileHooks& hooks, const QString& path) {
    return hooks.isJournalFile && hooks.isJournalFile(path);
}

void report(const TreeFileHooks& hooks, const AppContext& ctx, const QString& label, const QString& path) {
    if (hooks.diagnostics)
        hooks.diagnostics->AjouteInfo(ctx.getLabel(label) + QStringLiteral(" \"") + path + QLatin1Char('"'),
                                      DiagnosticsSink::Info, QString());
    if (hooks.recentFile) hooks.recentFile(path);
}

QString treeName(int tree) {
    return QLatin1Char('A') + QString::number(tree);
}

// One load: the configuration being filled, the file parsed once, and the context for labels.
class TreeLoader {
public:
    TreeLoader(Configuration& config, const ProfileFile& file, const AppContext& ctx)
        : m_config(config), m_file(file), m_ctx(ctx) {}

    void loadGeneral();
    void loadSchedules();
    void loadTree(int tree);

private:
    void ChargeMenu(const QString& parentKey, const QString& menu, int depth, int digit);
    void addKeyNode(const QString& menu, int digit, const QString& value);
    void dropMenuReference(const QString& parentKey, int digit);

    Configuration& m_config;
    const ProfileFile& m_file;
    const AppContext& m_ctx;
};

void TreeLoader::loadGeneral() {
    for (GeneralParam& p : m_config.general)
        p.value = m_file.exists() ? m_file.value(QStringLiteral("general"), p.name) : p.defaultValue;
}

void TreeLoader::loadSchedules() {
    for (int i = 0; i < int(m_config.schedules.size()); ++i) {
        const QString section = QLatin1Char('H') + QString::number(i + 1);
        for (int d = 0; d < 7; ++d) {
            ScheduleDay& day = m_config.schedules[size_t(i)].days[size_t(d)];
            day.code = dayCodes()[size_t(d)];
            day.value = m_file.exists() ? m_file.value(section, day.code) : day.defaultValue;
        }
    }
}

void TreeLoader::loadTree(int tree) {
    const QString name = treeName(tree);
    const QString number = QString::number(tree);
    const QString defaultLib = m_ctx.getLabel(QStringLiteral("NoeudArbre")) + QLatin1Char(' ') + number;
    SectionStore& store = m_config.sections;
    NodeTree& nodes = m_config.nodes;

    const int index = store.ensureSection(name, -1, QString());
    store.setValue(name, TreeValue::lib, defaultLib, index);
    store.setValue(name, TreeValue::rep2, QStringLiteral("2"), index);
    nodes.CreerNoeud(number + QStringLiteral(" - ") + defaultLib, name, QString(), QStringLiteral("Arbre"));

    if (tree > m_ctx.Nb_arbre) {
        // Inactive trees keep their defaults and are not read.
        nodes.setColour(name, NodeColour::Grey);
        nodes.setExpanded(name, false);
    } else {
        nodes.setExpanded(name, true);
        if (m_file.exists()) {
            const QStringList& keys = treeKeyNames();
            for (int i = 1; i <= TreeValue::Count; ++i)
                store.setValue(name, i, m_file.value(name, keys.at(i - 1)), index);
            nodes.setText(name, number + QStringLiteral(" - ") + store.at(index).value(TreeValue::lib));
            const QString rootMenu = store.at(index).value(TreeValue::menu);
            if (!rootMenu.isEmpty()) ChargeMenu(name, rootMenu, 1, -1);
        }
    }
    if (store.at(index).value(TreeValue::langue).isEmpty())
        store.setValue(name, TreeValue::langue, QStringLiteral("1"), index);
}

void TreeLoader::ChargeMenu(const QString& parentKey, const QString& menu, int depth, int digit) {
    // A menu shared by several keys, or reached again from below, is shown once.
    if (!menu.startsWith(QLatin1Char('M')) || m_config.nodes.noeudExiste(menu)) return;
    const QString lib = m_file.value(menu, QStringLiteral("lib"), QStringLiteral("*"));
    if (lib == QLatin1String("*") || depth > kMaxMenuDepth) {
        dropMenuReference(parentKey, digit);
        return;
    }

    m_config.maxNumMenu = std::max(m_config.maxNumMenu, menuNumber(menu));
    SectionStore& store = m_config.sections;
    const int index = store.ensureSection(menu, digit, parentKey);
    m_config.nodes.CreerNoeud(QString(), menu, parentKey, QStringLiteral("Menu"));
    const QStringList& keys = menuKeyNames();
    for (int i = 1; i <= MenuValue::Count; ++i)
        store.setValue(menu, i, m_file.value(menu, keys.at(i - 1)), index);

    const QString prefix = digit < 0 ? QStringLiteral("1") : QString::number(digit);
    m_config.nodes.setText(menu, prefix + QStringLiteral(" - ") + store.at(index).value(MenuValue::lib));

    for (int d = 0; d <= 9; ++d) {
        // Read again at each step: a sub-menu's refusal may have cleared a key of this menu.
        const QString value = store.at(index).value(MenuValue::forDigit(d));
        if (action::code(value) == QLatin1String("men"))
            ChargeMenu(menu, action::param(value, 1), depth + 1, d);
        else
            addKeyNode(menu, d, value);
    }
}

void TreeLoader::addKeyNode(const QString& menu, int digit, const QString& value) {
    const QString code = action::code(value);
    std::optional<QString> jumpTargetName; // a present but empty "lib" still shows its brackets
    if (code == QLatin1String("sau")) {
        const QString target = action::param(value, 1);
        if (!target.isEmpty() && m_file.hasKey(target, QStringLiteral("lib")))
            jumpTargetName = m_file.value(target, QStringLiteral("lib"));
    }
    m_config.nodes.CreerNoeud(action::keyNodeText(digit, value, m_config.actionTypes, jumpTargetName),
                              action::keyNodeKey(menu, digit), menu, action::imageFor(code));
}

void TreeLoader::dropMenuReference(const QString& parentKey, int digit) {
    // A tree whose root menu is missing simply shows no menu.
    if (!parentKey.startsWith(QLatin1Char('M'))) return;
    m_config.nodes.CreerNoeud(QString::number(digit) + QStringLiteral(" - "),
                              action::keyNodeKey(parentKey, digit), parentKey, QStringLiteral("NoAction"));
    m_config.sections.setValue(parentKey, MenuValue::forDigit(digit), QString());
}

} // namespace

QByteArray treeFileBytes(const Configuration& config) {
    QString text;
    text.reserve(4096 + config.nodes.count() * 64);
    text += QStringLiteral("[general]") + kCrLf;
    for (const GeneralParam& p : config.general)
        text += p.name + QLatin1Char('=') + p.value + kCrLf;
    for (int i = 0; i < int(config.schedules.size()); ++i) {
        text += QStringLiteral("[H") + QString::number(i + 1) + QLatin1Char(']') + kCrLf;
        for (int d = 0; d < 7; ++d)
            text += dayCodes()[size_t(d)] + QLatin1Char('=') +
                    config.schedules[size_t(i)].days[size_t(d)].value + kCrLf;
    }
    for (int id : config.nodes.insertionOrder()) {
        const QString& key = config.nodes.node(id).key;
        if (key.startsWith(QLatin1Char('A')) || key.startsWith(QLatin1Char('M')))
            text += config.sections.sectionText(key);
    }
    text += kCrLf;
    return platform::encodeAnsi(text);
}

bool SaveArbre(const Configuration& config, const QString& path, bool silent, const AppContext& ctx,
               const TreeFileHooks& hooks) {
    if (path.isEmpty()) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    const QByteArray bytes = treeFileBytes(config);
    if (file.write(bytes) != bytes.size() || !file.commit()) return false;
    if (!silent && !isJournal(hooks, path)) report(hooks, ctx, QStringLiteral("DebugSave"), path);
    return true;
}

void ChargementArbres(Configuration& config, const QString& path, const AppContext& ctx,
                      const TreeFileHooks& hooks) {
    config.nodes.clear();
    config.sections.clear();
    config.maxNumMenu = 0;

    const ProfileFile file = ProfileFile::load(path);
    TreeLoader loader(config, file, ctx);
    loader.loadGeneral();
    loader.loadSchedules();
    for (int tree = 1; tree <= kTreeCount; ++tree)
        loader.loadTree(tree);

    if (!path.isEmpty() && path != ctx.fileServeur && !isJournal(hooks, path))
        report(hooks, ctx, QStringLiteral("DebugOpen"), path);
}

bool verifVersionArbo(const QString& path, const AppContext& ctx) {
    if (ctx.VERSION_500) return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return true;
    // Servers before generation 500 have no voice boxes.
    const QString text = platform::decodeAnsi(file.readAll());
    return !text.contains(QLatin1String("=bvo")) && !text.contains(QLatin1String("=bvn"));
}

OpenResult openTreeFile(Configuration& config, const QString& path, const AppContext& ctx,
                        const TreeFileHooks& hooks) {
    if (!verifVersionArbo(path, ctx)) return OpenResult::RefusedVersion;
    if (path.isEmpty() || !QFileInfo(path).isFile()) return OpenResult::Missing;
    config.fileCourant = path;
    ChargementArbres(config, path, ctx, hooks);
    config.boolSave = true;
    return OpenResult::Opened;
}
