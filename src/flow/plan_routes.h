#pragma once

// Where the arrows of a placed plan run: tree edges through one trunk beside each column, jumps on lanes
// of their own beside the columns they leave and reach.

#include "flow/flow_layout.h"

#include <vector>

namespace flow {

// The width the lanes of jumps take beside a column, lanes holding one entry per menu the jumps reach.
double laneRoom(const PlanMetrics& metrics, const std::vector<int>& lanes);

// Gives every arrow its points and label place. columnRight: the right edge of each column's widest
// box. Returns the height the plan grows by for jumps that go round it (boxes move down for those above).
double routeArrows(std::vector<PlanBox>& boxes, std::vector<PlanArrow>& arrows, const PlanMetrics& metrics,
                   const std::vector<double>& columnRight, const std::vector<std::vector<int>>& lanes);

} // namespace flow
