#include "vxStepCheck.h"

#include <algorithm>
#include <array>
#include <map>
#include <numeric>

namespace vxGen {

void vxBox::add(const vxVec3& p)
{
    lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
    hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
}

double vxBox::gap(const vxBox& b) const
{
    const double dx = std::max({lo.x - b.hi.x, b.lo.x - hi.x, 0.0}),
                 dy = std::max({lo.y - b.hi.y, b.lo.y - hi.y, 0.0}),
                 dz = std::max({lo.z - b.hi.z, b.lo.z - hi.z, 0.0});
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

vxBox vxBoxOf(const vxModelBuilder::Part& p)
{
    vxBox b;
    const vxVec3 lo = p.type->boundsMin, hi = p.type->boundsMax;
    for (int k = 0; k < 8; ++k)
        b.add(p.frame.point({(k & 1) ? hi.x : lo.x, (k & 2) ? hi.y : lo.y, (k & 4) ? hi.z : lo.z}));
    return b;
}

// What a builder takes in at one look: about one base plate 120 x 120
// with something on it (mm).
constexpr double kOneArea = 200.0;

bool vxInOneArea(const std::vector<std::pair<const vxPartType*, vxBox>>& parts, double modelSize,
                 std::size_t* placesApart)
{
    // A cable's plugs go where its ends are: they count with the cable,
    // not as places of their own.
    auto isPlug = [](const vxPartType* t) { return t->shortName == "38009"; };
    vxBox span;
    for (const auto& [type, box] : parts)
        if (!isPlug(type))
            span.add(box);
    if (placesApart)
        *placesApart = 1;
    if (span.lo.x > span.hi.x || span.diagonal() <= std::max(0.5 * modelSize, kOneArea))
        return true;
    std::vector<std::pair<const vxPartType*, vxBox>> placed;
    for (const auto& p : parts)
        if (!isPlug(p.first))
            placed.push_back(p);
    const double gap = std::max(60.0, 0.15 * modelSize);
    std::vector<std::size_t> group(placed.size());
    std::iota(group.begin(), group.end(), 0);
    auto root = [&](std::size_t i) {
        while (group[i] != i)
            i = group[i] = group[group[i]];
        return i;
    };
    for (std::size_t a = 0; a < placed.size(); ++a)
        for (std::size_t c = a + 1; c < placed.size(); ++c)
            if (placed[a].second.gap(placed[c].second) <= gap)
                group[root(a)] = root(c);
    std::map<std::size_t, std::vector<std::string>> places;
    for (std::size_t a = 0; a < placed.size(); ++a)
        places[root(a)].push_back(placed[a].first->shortName);
    if (placesApart)
        *placesApart = places.size();
    std::vector<std::vector<std::string>> kinds;
    for (auto& [r, types] : places) {
        std::sort(types.begin(), types.end());
        types.erase(std::unique(types.begin(), types.end()), types.end());
        kinds.push_back(types);
    }
    std::sort(kinds.begin(), kinds.end());
    kinds.erase(std::unique(kinds.begin(), kinds.end()), kinds.end());
    return kinds.size() == 1;
}

namespace {

using Box = vxBox;

double overlap(double alo, double ahi, double blo, double bhi)
{
    return std::min(ahi, bhi) - std::max(alo, blo);
}

// b (joined to a) stands straight on a: b's foot higher than a's, in a's
// height (a pin reaches down into a), one above the other.
bool standsOn(const Box& b, const Box& a)
{
    const vxVec3 d = b.middle() - a.middle();
    return b.lo.y > a.lo.y + 5.0 && b.lo.y < a.hi.y + 1.0 && std::hypot(d.x, d.z) < 2.0;
}

// a and b stand side by side: touching across x or z, their heights
// overlapping.
bool besideEachOther(const Box& a, const Box& b)
{
    if (overlap(a.lo.y, a.hi.y, b.lo.y, b.hi.y) < 1.0)
        return false;
    const double ox = overlap(a.lo.x, a.hi.x, b.lo.x, b.hi.x), oz = overlap(a.lo.z, a.hi.z, b.lo.z, b.hi.z);
    return (ox > 1.0 && oz > -0.5 && oz < 0.5) || (oz > 1.0 && ox > -0.5 && ox < 0.5);
}

} // namespace

vxStepReport vxCheckSteps(const vxModelBuilder& b)
{
    vxStepReport r;
    const std::size_t n = b.size();
    const auto order = b.steps();
    const auto joined = b.joins();
    std::vector<int> step(n, 0);
    for (const auto& [part, s] : order)
        step[part] = s;
    r.steps = order.empty() ? 0 : order.back().second;
    std::vector<Box> box(n);
    Box model;
    for (std::size_t i = 0; i < n; ++i) {
        box[i] = vxBoxOf(b.part(static_cast<int>(i)));
        model.add(box[i].lo);
        model.add(box[i].hi);
    }
    std::vector<std::vector<std::size_t>> inStep(static_cast<std::size_t>(r.steps) + 1);
    for (const auto& [part, s] : order)
        inStep[static_cast<std::size_t>(s)].push_back(part);
    auto problem = [&](int s, const std::string& text) {
        r.problems.push_back("step " + std::to_string(s) + ": " + text);
    };

    // Parts per step, and nothing floating.
    std::vector<std::size_t> parent(n);
    std::iota(parent.begin(), parent.end(), 0);
    auto find = [&](std::size_t i) {
        while (parent[i] != i)
            i = parent[i] = parent[parent[i]];
        return i;
    };
    const std::size_t first = order.empty() ? 0 : order.front().first;
    for (int s = 1; s <= r.steps; ++s) {
        const auto& parts = inStep[static_cast<std::size_t>(s)];
        if ((parts.size() < static_cast<std::size_t>(vxModelBuilder::kMinStepParts) &&
             n >= static_cast<std::size_t>(vxModelBuilder::kMinStepParts)) ||
            parts.size() > static_cast<std::size_t>(vxModelBuilder::kMaxStepParts))
            problem(s, "adds " + std::to_string(parts.size()) + " parts");
        for (std::size_t i : parts)
            for (std::size_t j : joined[i])
                if (step[j] <= s)
                    parent[find(i)] = find(j);
        for (std::size_t i : parts)
            if (find(i) != find(first)) {
                problem(s, "part " + std::to_string(i + 1) + " (" + b.part(static_cast<int>(i)).type->name +
                               ") floats");
                break;
            }
    }

    // One area per step.
    for (int s = 1; s <= r.steps; ++s) {
        std::vector<std::pair<const vxPartType*, vxBox>> parts;
        vxBox span;
        for (std::size_t i : inStep[static_cast<std::size_t>(s)]) {
            parts.emplace_back(b.part(static_cast<int>(i)).type, box[i]);
            span.add(box[i]);
        }
        std::size_t places = 0;
        if (!vxInOneArea(parts, model.diagonal(), &places))
            problem(s, "works in " + std::to_string(places) + " places apart (" +
                           std::to_string(int(span.diagonal())) + " of " +
                           std::to_string(int(model.diagonal())) + " mm)");
    }

    // Course by course: a stack of three in one step leaves no place of
    // its kind beside its foot for a later step.
    for (int s = 1; s <= r.steps; ++s) {
        const auto& parts = inStep[static_cast<std::size_t>(s)];
        std::map<std::size_t, int> height; // parts standing on each other in this step, from the foot
        std::vector<std::size_t> sorted = parts;
        std::sort(sorted.begin(), sorted.end(),
                  [&](std::size_t a, std::size_t c) { return box[a].lo.y < box[c].lo.y; });
        std::map<std::size_t, std::size_t> footOf;
        for (std::size_t i : sorted) {
            height[i] = 1;
            footOf[i] = i;
            for (std::size_t j : joined[i])
                if (step[j] == s && height.count(j) && standsOn(box[i], box[j]) &&
                    height[j] + 1 > height[i]) {
                    height[i] = height[j] + 1;
                    footOf[i] = footOf[j];
                }
        }
        bool reported = false;
        for (auto it = sorted.rbegin(); it != sorted.rend(); ++it) { // the tops of stacks first
            const std::size_t i = *it;
            if (height[i] < 3 || reported)
                continue;
            const std::size_t foot = footOf[i];
            const vxPartType* kind = b.part(static_cast<int>(foot)).type;
            for (std::size_t k = 0; k < n && !reported; ++k)
                if (step[k] > s && b.part(static_cast<int>(k)).type == kind &&
                    besideEachOther(box[foot], box[k])) {
                    problem(s, "a stack of " + std::to_string(height[i]) + " parts rises beside part " +
                                   std::to_string(k + 1) + " of step " + std::to_string(step[k]));
                    reported = true;
                }
        }
    }

    // Pins with the part that covers them.
    for (std::size_t i = 0; i < n; ++i) {
        if (!b.isConnector(i))
            continue;
        std::vector<int> steps;
        for (std::size_t j : joined[i])
            if (!b.isConnector(j))
                steps.push_back(step[j]);
        if (steps.size() < 2)
            continue;
        std::sort(steps.begin(), steps.end());
        if (step[i] > steps[1] || step[i] < steps[1] - 1)
            problem(step[i], "part " + std::to_string(i + 1) + " (" + b.part(static_cast<int>(i)).type->name +
                                 ") goes in away from step " + std::to_string(steps[1]) + " that covers it");
    }
    return r;
}

} // namespace vxGen
