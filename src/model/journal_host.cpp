#include "model/journal_host.h"

#include "model/configuration.h"

ConfigurationJournalHost::ConfigurationJournalHost(Configuration& config, const AppContext& ctx,
                                                   TreeFileHooks hooks)
    : m_config(config), m_ctx(ctx), m_hooks(std::move(hooks)) {
    m_hooks.isJournalFile = [](const QString& path) { return UndoJournal::isFileCancel(path); };
}

bool ConfigurationJournalHost::writeTreeFile(const QString& path) {
    return SaveArbre(m_config, path, true, m_ctx, m_hooks);
}

void ConfigurationJournalHost::loadTreeFile(const QString& path) {
    ChargementArbres(m_config, path, m_ctx, m_hooks);
}

bool ConfigurationJournalHost::nodeExists(const QString& key) const {
    return m_config.nodes.noeudExiste(key);
}

QString ConfigurationJournalHost::selectedNodeText() const {
    const TreeNode* node = m_config.nodes.nodeByKey(selectedNodeKey());
    return node ? node->text : QString();
}
