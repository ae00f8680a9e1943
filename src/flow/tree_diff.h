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
    QStringList lines;
    int count() const { return int(lines.size()); }
    bool isEmpty() const { return lines.isEmpty(); }
};

Changes compareConfigurations(const Configuration& before, const Configuration& after, const AppContext& ctx);
// The same with the captions read already.
Changes compareConfigurations(const Configuration& before, const Configuration& after,
                              const FlowTexts& texts);

} // namespace flow
