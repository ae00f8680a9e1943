#include "model/journal_host.h"

#include "model/configuration.h"
#include "platform/atomic_file.h"

ConfigurationJournalHost::ConfigurationJournalHost(Configuration& config, const AppContext& ctx,
                                                   TreeFileHooks hooks)
    : m_config(config), m_ctx(ctx), m_hooks(std::move(hooks)) {
    m_hooks.isJournalFile = [](const QString& path) { return UndoJournal::isFileCancel(path); };
}

// Journal files are scratch copies written at each change: replaced in one step, so that a step is never
// seen half written while the program runs, but without the wait for the disk that the user's own files
// get. What a power cut may still cut short is told by the step's last line.
bool ConfigurationJournalHost::writeTreeFile(const QString& path) {
    return platform::writeFileAtomically(path, treeFileBytes(m_config) + UndoJournal::stepEnd(),
                                         platform::AtomicFile::Durability::Unsynced)
        .isEmpty();
}

void ConfigurationJournalHost::loadTreeFile(const QString& path, const QString& /*nodeToShow*/) {
    ChargementArbres(m_config, path, m_ctx, m_hooks);
}

bool ConfigurationJournalHost::nodeExists(const QString& key) const {
    return m_config.nodes.noeudExiste(key);
}

QString ConfigurationJournalHost::selectedNodeText() const {
    const TreeNode* node = m_config.nodes.nodeByKey(selectedNodeKey());
    return node ? node->text : QString();
}
