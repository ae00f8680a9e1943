#pragma once

// The plan as text, for documentation kept in Markdown (Mermaid) or drawn with Graphviz.

#include "flow/flow_layout.h"

#include <QString>
#include <vector>

namespace flow {

// A Mermaid "flowchart LR"; several trees become one subgraph each.
QString planMermaid(const std::vector<FlowLayout>& trees);
// A Graphviz digraph laid out left to right; several trees become one cluster each.
QString planDot(const std::vector<FlowLayout>& trees);

} // namespace flow
