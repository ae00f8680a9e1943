#pragma once

#include "model/tree_file.h"
#include "model/undo_journal.h"

struct AppContext;
struct Configuration;

// The part of the journal's host that works on the configuration: journal files are written and read
// with the tree file writer and reader, which neither report them nor list them as recent files. The
// main window adds the selection of the tree view and the modified mark of its title.
class ConfigurationJournalHost : public JournalHost {
public:
    ConfigurationJournalHost(Configuration& config, const AppContext& ctx, TreeFileHooks hooks = {});

    bool writeTreeFile(const QString& path) override;
    void loadTreeFile(const QString& path, const QString& nodeToShow) override;
    bool nodeExists(const QString& key) const override;
    // Text of the node selectedNodeKey() names, "" when none.
    QString selectedNodeText() const override;

protected:
    Configuration& m_config;
    const AppContext& m_ctx;
    TreeFileHooks m_hooks;
};
