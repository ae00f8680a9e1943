#pragma once

#include "editor/panel_context.h"

#include <QIcon>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>

class KeyPanel;
class MenuPanel;
class PanelHost;
class TreePanel;
struct AppContext;

// The detail area right of the tree: panel 0 for a tree node, 1 for a menu node, 2 for a key node.
// A node click fills the panel of its kind from the section store; every edit writes straight back into
// the store, follows on the node's text and picture, and is recorded through the PanelHost. This class
// picks the panel and holds what the three share; each panel fills itself and handles its own edits.
class NodePanels : public QWidget {
    Q_OBJECT
public:
    NodePanels(Configuration& config, const AppContext& ctx, PanelHost& host, QWidget* parent = nullptr);
    ~NodePanels() override;

    // Pictures of the image keys ("Arbre", "Menu", "Transfert"...); none by default.
    void setIconProvider(std::function<QIcon(const QString&)> provider);

    // Shows the node's panel; also the way to redisplay a node after a change.
    void treeV_NodeClick(const QString& key);
    const DisplayState& display() const { return m_shared->state; }

    // Adds a start menu under a tree or a sub-menu in place of a key, selects and shows it, records the
    // step. Nothing happens at depth 4 or outside the rules (false).
    bool AddMenu(const QString& key, int digit);
    // Deletes the menu node and everything below it, then selects tree 1 and records the step.
    void deleteMenu(const QString& key);
    // The Delete key on a tree node: clears a key's action, deletes a menu, ignores a tree.
    void deleteKeyPressed(const QString& key);
    // Chooses an action type for the key shown, as if picked in the type list (row: ActionTypes index).
    void chooseKeyType(int row);

    // Jump targets of the node shown, parallel to the entries of its panel's jump lists (cboMenuSaut or
    // cboSautArbre): "", the menus of the node's tree, then any target a shown value names elsewhere.
    const QStringList& lstCleMenuSaut() const { return m_shared->jumpKeys; }

private:
    void fillJumpTargets(int nodeId);

    std::unique_ptr<PanelContext> m_shared;
    TreePanel* m_tree = nullptr; // the panels are Qt children
    MenuPanel* m_menu = nullptr;
    KeyPanel* m_key = nullptr;
};
