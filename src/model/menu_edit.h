#pragma once

#include "model/configuration.h"

#include <QString>

// Adding and deleting menus on the model: the section store and the node tree stay in step.
namespace menu_edit {

// Menus nest at most three levels below a tree: a menu is added only from a node at depth 3 or less.
constexpr int MaxAddDepth = 3;

// Adds a menu named "M" + (maxNumMenu + 1): the start menu of the tree node nodeKey (when the tree has
// none yet), or a sub-menu in place of the key node nodeKey of digit `digit` (the key node becomes the
// menu node, and the parent menu's key gets "men;" + name). The new menu gets ten empty key nodes, lib
// menuLabel, rep and sil "2". Returns the new menu's key, "" when the request is outside the rules (a
// tree that already has a menu, a node too deep, a key of no menu) — then nothing changes.
QString AddMenu(Configuration& config, const QString& nodeKey, int digit, const QString& menuLabel);

// Deletes the menu nodeKey (section sectionIndex) and every menu below it, deepest first. A start menu
// loses its node and its section's name; a sub-menu's node turns back into the empty key node
// "E-" + parent + "-" + digit, which nodeKey holds on return. False when nothing was deleted.
bool SupMenu(Configuration& config, QString& nodeKey, int sectionIndex);

// Keys of all menu nodes below the node, depth first in child order, each followed by ";".
QString getListeMenus(const NodeTree& nodes, const QString& nodeKey);

} // namespace menu_edit
