#include "model/tree_file.h"

#include "core/app_context.h"
#include "core/diagnostics_sink.h"
#include "model/action_value.h"
#include "model/tree_file_reader.h"
#include "platform/atomic_file.h"
#include "platform/codepage.h"

#include <QFile>
#include <QFileInfo>
#include <QStringBuilder>
#include <array>

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

QStringView codeOf(const QString& value) {
    const qsizetype semi = value.indexOf(QLatin1Char(';'));
    return semi < 0 ? QStringView(value) : QStringView(value).left(semi);
}

// One load: the configuration being filled, the file read once, and the context for labels.
class TreeLoader {
public:
    TreeLoader(Configuration& config, const TreeFileReader& file, const AppContext& ctx)
        : m_config(config), m_file(file), m_ctx(ctx), m_shownSections(size_t(file.sectionCount())) {}

    void loadGeneral();
    void loadSchedules();
    void loadTree(int tree);

private:
    void ChargeMenu(const QString& parentKey, int parentId, const QString& menu, int depth, int digit);
    void addKeyNode(int menuId, const QString& nodeKey, int digit, const QString& value);
    void dropMenuReference(const QString& parentKey, int parentId, int digit);
    // Number of a key value among those met, for the tables below.
    int valueId(const QString& value);

    Configuration& m_config;
    const TreeFileReader& m_file;
    const AppContext& m_ctx;

    // Key texts depend only on the digit and the value (jumps aside), and trees repeat values a lot:
    // each text is made once and shared. A value is found by its text once per run of keys that share
    // it (a menu often gives one value to several keys, read as one string), then texts and images by
    // its number.
    struct KnownValue {
        QString image;
        std::array<int, 10> textIndex; // by digit: index in m_keyTexts, -1 until made
    };
    QHash<TextKey, int> m_valueIds;
    std::vector<KnownValue> m_knownValues; // by value number
    std::vector<QString> m_keyTexts;
    QString m_lastValue; // held, so that the same characters are the same value
    int m_lastValueId = -1;
    std::vector<bool> m_shownSections; // by section of the file: shown as a menu
    SectionKeys m_menuKeys{menuKeyNames()};
};

void TreeLoader::loadGeneral() {
    const int section = m_file.section(QStringLiteral("general"));
    for (GeneralParam& p : m_config.general)
        p.value = m_file.exists() ? m_file.value(section, p.name) : p.defaultValue;
}

void TreeLoader::loadSchedules() {
    for (int i = 0; i < int(m_config.schedules.size()); ++i) {
        const int section = m_file.section(QLatin1Char('H') + QString::number(i + 1));
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
            m_file.readValues(m_file.section(name), treeKeyNames(), store.at(index).values);
            nodes.setText(name, number + QStringLiteral(" - ") + store.at(index).value(TreeValue::lib));
            const QString rootMenu = store.at(index).value(TreeValue::menu);
            if (!rootMenu.isEmpty()) ChargeMenu(name, nodes.find(name), rootMenu, 1, -1);
        }
    }
    if (store.at(index).value(TreeValue::langue).isEmpty())
        store.setValue(name, TreeValue::langue, QStringLiteral("1"), index);
}

void TreeLoader::ChargeMenu(const QString& parentKey, int parentId, const QString& menu, int depth,
                            int digit) {
    // A menu shared by several keys, or reached again from below, is shown once; so is a menu named
    // another way (case, blanks) that the file answers with a section already shown.
    if (!menu.startsWith(QLatin1Char('M')) || m_config.nodes.noeudExiste(menu)) return;
    const int section = m_file.section(menu);
    if (section >= 0 && m_shownSections[size_t(section)]) return;
    // A name with white space at its ends finds its section only because lookups trim it; written back
    // as a section of that name it would not be found again, so it is no menu name. A menu without
    // "lib" (or with "lib=*") is none either. The values are read once, for the check and the section.
    QStringList values;
    const bool named = depth <= kMaxMenuDepth && menu.trimmed().size() == menu.size() &&
                       (m_file.readValues(section, m_menuKeys, values) & 1) != 0 &&
                       values[MenuValue::lib - 1] != QLatin1String("*");
    if (!named) {
        dropMenuReference(parentKey, parentId, digit);
        return;
    }

    m_shownSections[size_t(section)] = true;
    m_config.maxNumMenu = std::max(m_config.maxNumMenu, menuNumber(menu));
    const QLatin1Char shownDigit(digit < 0 ? '1' : char('0' + digit)); // a root menu shows as key 1
    const QString text = shownDigit % QLatin1String(" - ") % values[MenuValue::lib - 1];
    SectionStore& store = m_config.sections;
    const int index = store.ensureSection(menu, digit, parentKey, std::move(values));
    const int menuId = m_config.nodes.addNode(text, menu, parentId, QStringLiteral("Menu"));

    for (int d = 0; d <= 9; ++d) {
        // Read again at each step: a sub-menu's refusal may have cleared a key of this menu, and a
        // sub-menu's section may have moved the table. A menu section holds every value of its template,
        // and the value is used before anything changes the table: no copy (and at(), so that the list,
        // still shared with the reader's last values, is not copied either).
        const QString& value = store.at(index).values.at(MenuValue::forDigit(d) - 1);
        if (action::hasCode(value, action::Men))
            ChargeMenu(menu, menuId, action::param(value, 1), depth + 1, d);
        else
            addKeyNode(menuId, action::keyNodeKey(menu, d), d, value);
    }
}

void TreeLoader::addKeyNode(int menuId, const QString& nodeKey, int digit, const QString& value) {
    if (action::hasCode(value, action::Sau)) {
        std::optional<QString> jumpTargetName; // a present but empty "lib" still shows its brackets
        const QString target = action::param(value, 1);
        const int section = target.isEmpty() ? -1 : m_file.section(target);
        if (m_file.hasKey(section, QStringLiteral("lib")))
            jumpTargetName = m_file.value(section, QStringLiteral("lib"));
        m_config.nodes.addNode(action::keyNodeText(digit, value, m_config.actionTypes, jumpTargetName),
                               nodeKey, menuId, action::imageFor(codeOf(value)));
        return;
    }
    KnownValue& known = m_knownValues[size_t(valueId(value))];
    int& textIndex = known.textIndex[size_t(digit)];
    if (textIndex < 0) {
        textIndex = int(m_keyTexts.size());
        m_keyTexts.push_back(action::keyNodeText(digit, value, m_config.actionTypes));
    }
    m_config.nodes.addNode(m_keyTexts[size_t(textIndex)], nodeKey, menuId, known.image);
}

int TreeLoader::valueId(const QString& value) {
    if (m_lastValueId >= 0 && value.constData() == m_lastValue.constData() &&
        value.size() == m_lastValue.size())
        return m_lastValueId;
    const qsizetype before = m_valueIds.size();
    int& id = m_valueIds[TextKey{value}];
    if (m_valueIds.size() != before) { // a new value
        id = int(m_knownValues.size());
        KnownValue& known = m_knownValues.emplace_back(KnownValue{action::imageFor(codeOf(value)), {}});
        known.textIndex.fill(-1);
    }
    m_lastValue = value;
    m_lastValueId = id;
    return id;
}

void TreeLoader::dropMenuReference(const QString& parentKey, int parentId, int digit) {
    // A tree whose root menu is missing simply shows no menu.
    if (!parentKey.startsWith(QLatin1Char('M'))) return;
    m_config.nodes.addNode(QString::number(digit) + QStringLiteral(" - "),
                           action::keyNodeKey(parentKey, digit), parentId, QStringLiteral("NoAction"));
    m_config.sections.setValue(parentKey, MenuValue::forDigit(digit), QString());
}

void loadInto(Configuration& config, const TreeFileReader& file, const QString& path, const AppContext& ctx,
              const TreeFileHooks& hooks) {
    config.nodes.clear();
    config.sections.clear();
    config.maxNumMenu = 0;

    // Each tree has one node and its root menu one more; every other node is one of the ten keys of a menu
    // shown, whether a key node or a sub-menu. A tree shows at most 1 + 10 + 100 menus.
    constexpr int kMaxMenus = kTreeCount * 111;
    const int menus = std::min(kMaxMenus, file.menuSectionCount());
    config.nodes.reserve(2 * kTreeCount + 10 * menus);
    config.sections.reserve(kTreeCount + menus);
    TreeLoader loader(config, file, ctx);
    loader.loadGeneral();
    loader.loadSchedules();
    for (int tree = 1; tree <= kTreeCount; ++tree)
        loader.loadTree(tree);

    if (!path.isEmpty() && path != ctx.fileServeur && !isJournal(hooks, path))
        report(hooks, ctx, QStringLiteral("DebugOpen"), path);
}

// Servers before generation 500 have no voice boxes.
bool versionAccepts(const QString& text, const AppContext& ctx) {
    if (ctx.VERSION_500) return true;
    // "=bvo" or "=bvn" anywhere: one search for their common part goes over the text once.
    for (qsizetype at = text.indexOf(QLatin1String("=bv")); at >= 0;
         at = text.indexOf(QLatin1String("=bv"), at + 1))
        if (at + 3 < text.size() && (text[at + 3] == QLatin1Char('o') || text[at + 3] == QLatin1Char('n')))
            return false;
    return true;
}

} // namespace

QByteArray treeFileBytes(const Configuration& config) {
    QString text;
    text.reserve(4096 + config.nodes.count() * 64);
    text += QStringLiteral("[general]") % kCrLf;
    for (const GeneralParam& p : config.general)
        text += p.name % QLatin1Char('=') % fileValue(p.value) % kCrLf;
    for (int i = 0; i < int(config.schedules.size()); ++i) {
        text += QStringLiteral("[H") % QString::number(i + 1) % QLatin1Char(']') % kCrLf;
        for (int d = 0; d < 7; ++d)
            text += dayCodes()[size_t(d)] % QLatin1Char('=') %
                    config.schedules[size_t(i)].days[size_t(d)].value % kCrLf;
    }
    for (int id : config.nodes.insertionOrder()) {
        const QString& key = config.nodes.node(id).key;
        if (key.startsWith(QLatin1Char('A')) || key.startsWith(QLatin1Char('M')))
            text += config.sections.sectionText(key);
    }
    text += kCrLf;
    return platform::encodeAnsi(text);
}

QString writeTreeFile(const QString& path, const QByteArray& bytes, bool journal, bool* linkBroken) {
    // A journal step is written at each key: it survives a crash of the program, and is not synced.
    return platform::writeFileAtomically(path, bytes,
                                         journal ? platform::AtomicFile::Durability::Unsynced
                                                 : platform::AtomicFile::Durability::Synced,
                                         linkBroken);
}

bool SaveArbre(const Configuration& config, const QString& path, bool silent, const AppContext& ctx,
               const TreeFileHooks& hooks, QString* errorText) {
    const bool journal = isJournal(hooks, path);
    bool linkBroken = false;
    const QString error = path.isEmpty() ? QStringLiteral("no file name")
                                         : writeTreeFile(path, treeFileBytes(config), journal, &linkBroken);
    if (errorText) *errorText = error;
    if (!error.isEmpty()) return false;
    if (linkBroken && hooks.diagnostics)
        hooks.diagnostics->AjouteInfo(ctx.getLabel(QStringLiteral("MsgLienCoupe")) + QStringLiteral(" \"") +
                                          path + QLatin1Char('"'),
                                      DiagnosticsSink::Warning, QString());
    if (!silent && !journal) report(hooks, ctx, QStringLiteral("DebugSave"), path);
    return true;
}

namespace {

// A tree file is in the ANSI code page; one saved as UTF-8 by another editor starts with a byte-order mark,
// which would otherwise hide its first section. Such a file is read as UTF-8, and the caller is told.
QString decodeTreeFile(const QByteArray& bytes, bool* utf8Mark = nullptr) {
    const bool marked = bytes.startsWith("\xEF\xBB\xBF");
    if (utf8Mark) *utf8Mark = marked;
    return marked ? QString::fromUtf8(bytes.mid(3)) : platform::decodeAnsi(bytes);
}

} // namespace

void ChargementArbres(Configuration& config, const QString& path, const AppContext& ctx,
                      const TreeFileHooks& hooks) {
    QFile file(path);
    const bool readable = !path.isEmpty() && file.open(QIODevice::ReadOnly);
    const TreeFileReader reader =
        readable ? TreeFileReader(decodeTreeFile(file.readAll())) : TreeFileReader();
    loadInto(config, reader, path, ctx, hooks);
}

bool isTreeFileContent(const QByteArray& bytes) {
    return bytes.size() <= kMaxTreeFileSize && TreeFileReader(decodeTreeFile(bytes)).hasTreeSection();
}

bool verifVersionArbo(const QString& path, const AppContext& ctx) {
    if (ctx.VERSION_500) return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return true;
    return versionAccepts(decodeTreeFile(file.readAll()), ctx);
}

namespace {

// The file read and indexed once, with every refusal of opening it.
OpenResult readTreeFile(const QString& path, const AppContext& ctx, TreeFileReader& reader, bool& utf8Mark) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile()) return OpenResult::Missing;
    if (info.size() > kMaxTreeFileSize) return OpenResult::TooLarge;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return OpenResult::Unreadable;
    QString text = decodeTreeFile(file.readAll(), &utf8Mark);
    if (file.error() != QFileDevice::NoError) return OpenResult::Unreadable;
    file.close();
    if (!versionAccepts(text, ctx)) return OpenResult::RefusedVersion;
    reader = TreeFileReader(std::move(text));
    return reader.hasTreeSection() ? OpenResult::Opened : OpenResult::NotTreeFile;
}

} // namespace

OpenResult checkTreeFile(const QString& path, const AppContext& ctx) {
    TreeFileReader reader;
    bool utf8Mark = false;
    return readTreeFile(path, ctx, reader, utf8Mark);
}

OpenResult openTreeFile(Configuration& config, const QString& path, const AppContext& ctx,
                        const TreeFileHooks& hooks) {
    TreeFileReader reader;
    bool utf8Mark = false;
    if (const OpenResult refused = readTreeFile(path, ctx, reader, utf8Mark); refused != OpenResult::Opened)
        return refused;
    config.fileCourant = path;
    loadInto(config, reader, path, ctx, hooks);
    if (utf8Mark && hooks.diagnostics)
        hooks.diagnostics->AjouteInfo(ctx.getLabel(QStringLiteral("MsgMarqueUtf8")), DiagnosticsSink::Warning,
                                      QString());
    config.boolSave = true;
    return OpenResult::Opened;
}
