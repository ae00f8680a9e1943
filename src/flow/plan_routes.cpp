#include "flow/plan_routes.h"

#include <QHash>
#include <QPair>
#include <algorithm>
#include <cmath>

namespace flow {

namespace {

// The first lane beside a column keeps clear of its boxes, so that a jump's head shows whole.
constexpr double kLaneStart = 10;

} // namespace

double laneRoom(const PlanMetrics& m, const std::vector<int>& lanes) {
    return lanes.empty() ? 0 : kLaneStart + m.laneGap * double(lanes.size() - 1);
}

namespace {

// The y where jumps enter their target's right side: near its top, away from the middle where the
// target's own keys leave.
double portOf(const PlanBox& b) {
    return b.y + std::min(6.0, b.height / 2 - 5);
}

struct Run {
    double y, x1, x2; // a horizontal stretch of jumps
};

} // namespace

// Tree edges leave a column at one trunk beyond the lanes of that column's jumps. The jumps from one
// column to one menu leave their boxes on the right into their lane, cross together to the menu's column
// where no box of the columns between stands (else round the plan), and enter the menu on the right.
double routeArrows(std::vector<PlanBox>& boxes, std::vector<PlanArrow>& arrows, const PlanMetrics& m,
                   const std::vector<double>& columnRight, const std::vector<std::vector<int>>& lanes) {
    const auto laneX = [&](int column, int target) {
        const auto& l = lanes[size_t(column)];
        return columnRight[size_t(column)] + kLaneStart +
               m.laneGap * double(std::find(l.begin(), l.end(), target) - l.begin());
    };
    std::vector<Run> runs;
    double top = 1e300, bottom = -1e300;
    for (const PlanBox& b : boxes) {
        top = std::min(top, b.y);
        bottom = std::max(bottom, b.y + b.height);
    }
    int above = 0, below = 0;
    const auto crossing = [&](int a, int b, double lo, double hi, double near, double x1, double x2) {
        std::vector<std::pair<double, double>> busy;
        for (const PlanBox& box : boxes)
            if (box.depth >= a && box.depth <= b) busy.push_back({box.y - 3, box.y + box.height + 3});
        std::sort(busy.begin(), busy.end());
        double best = 0, bestDistance = 1e300;
        for (size_t i = 0; i + 1 < busy.size(); ++i) {
            busy[i + 1].first = std::max(busy[i + 1].first, busy[i].second);
            busy[i + 1].second = std::max(busy[i + 1].second, busy[i].second);
            for (double y = busy[i].second + 1; y <= busy[i + 1].first - 1; y += m.laneGap - 1) {
                // Between the ends if it can, and then near the menu, so that the lanes stay short.
                const double distance = (y < lo ? lo - y : y > hi ? y - hi : 0) + 1e-3 * std::abs(y - near);
                const bool taken = std::any_of(runs.begin(), runs.end(), [&](const Run& r) {
                    return std::abs(r.y - y) < m.laneGap - 1 && r.x1 < x2 && x1 < r.x2;
                });
                if (!taken && distance < bestDistance) best = y, bestDistance = distance;
            }
        }
        if (bestDistance < 1e300) return best;
        return lo - top < bottom - hi ? top - 10 - m.laneGap * above++ : bottom + 10 + m.laneGap * below++;
    };
    // Where the jumps from one column to one menu cross, found once for all of them.
    QHash<QPair<int, int>, double> crossings;
    for (PlanArrow& a : arrows) {
        const PlanBox& from = boxes[size_t(a.from)];
        const PlanBox& to = boxes[size_t(a.to)];
        const double ys = from.y + from.height / 2;
        if (!a.jump) {
            const double trunk =
                columnRight[size_t(from.depth)] + laneRoom(m, lanes[size_t(from.depth)]) + 14;
            const double yt = to.y + to.height / 2;
            a.points = {{from.x + from.width, ys}, {trunk, ys}, {trunk, yt}, {to.x, yt}};
            a.labelAt = {trunk + 6, yt - 4};
            continue;
        }
        const double yt = portOf(to);
        const double xs = laneX(from.depth, a.to);
        a.labelAt = {from.x + from.width + 3, ys - 3};
        if (from.depth == to.depth) {
            a.points = {{from.x + from.width, ys}, {xs, ys}, {xs, yt}, {to.x + to.width, yt}};
            continue;
        }
        const double xt = laneX(to.depth, a.to);
        const QPair<int, int> bundle{from.depth, a.to};
        if (!crossings.contains(bundle)) {
            double lo = yt, hi = yt;
            for (const PlanArrow& j : arrows)
                if (j.jump && j.to == a.to && boxes[size_t(j.from)].depth == from.depth) {
                    const PlanBox& f = boxes[size_t(j.from)];
                    lo = std::min(lo, f.y + f.height / 2);
                    hi = std::max(hi, f.y + f.height / 2);
                }
            const double y = crossing(std::min(from.depth, to.depth), std::max(from.depth, to.depth), lo, hi,
                                      yt, std::min(xs, xt), std::max(xs, xt));
            runs.push_back({y, std::min(xs, xt), std::max(xs, xt)});
            crossings.insert(bundle, y);
        }
        const double yh = crossings.value(bundle);
        a.points = {{from.x + from.width, ys}, {xs, ys}, {xs, yh}, {xt, yh}, {xt, yt}, {to.x + to.width, yt}};
    }
    // Room for the jumps that go round the plan.
    const double shift = above ? m.margin + 10 + m.laneGap * above - top : 0;
    if (shift > 0) {
        for (PlanBox& b : boxes)
            b.y += shift;
        for (PlanArrow& a : arrows) {
            for (QPointF& p : a.points)
                p.ry() += shift;
            a.labelAt.ry() += shift;
        }
    }
    return shift + (below ? 10 + m.laneGap * below : 0);
}

} // namespace flow
