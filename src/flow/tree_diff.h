#pragma once

#include "flow/flow_texts.h"

#include <QStringList>

struct AppContext;
struct Configuration;

namespace flow {

// What two configurations do differently, one line per change, in words and by the path of keys that
// reaches each menu. What a caller cannot tell apart is not a change: the order of sections, node keys,
// menu numbers of menus reached the same way, a blank day written one way or another.
struct Changes {
    // One change as scripts read it: where, by section and key ("M1/2" is key 2 of menu M1, "A1/ann1" a
    // field of tree 1, "H3/lun" a day of schedule 3, "general/code_retour"), and what it was and is.
    struct Item {
        QString path, before, after;
    };
    QStringList lines;
    QList<Item> items; // items[i] is lines[i]
    int count() const { return int(lines.size()); }
    bool isEmpty() const { return lines.isEmpty(); }
};

Changes compareConfigurations(const Configuration& before, const Configuration& after, const AppContext& ctx);
// The same with the captions read already.
Changes compareConfigurations(const Configuration& before, const Configuration& after,
                              const FlowTexts& texts);

} // namespace flow
