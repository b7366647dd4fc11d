#pragma once

// Checks that a model's building steps follow the order a person builds
// in, independently of how the builder found them.

#include "vxModelBuilder.h"

#include <string>
#include <vector>

namespace vxGen {

// An axis-aligned box in the world (mm).
struct vxBox {
    vxVec3 lo{1e30, 1e30, 1e30}, hi{-1e30, -1e30, -1e30};
    void add(const vxVec3& p);
    void add(const vxBox& b)
    {
        add(b.lo);
        add(b.hi);
    }
    vxVec3 middle() const { return (lo + hi) * 0.5; }
    double diagonal() const { return length(hi - lo); }
    // The shortest distance between the boxes (0 when they touch).
    double gap(const vxBox& b) const;
};

// The world box round a placed part's bounds.
vxBox vxBoxOf(const vxModelBuilder::Part& p);

// Whether parts (their types and boxes) added in one step work in one
// area of a model of the given size (box diagonal): they lie within half
// its size or within 200 mm (a base plate with something on it), or they
// hang together (each within 15 % of the model's size, at least 60 mm, of
// another), or the places apart are alike (the same kinds of parts:
// repeated units). A cable's plugs count with the cable, not as places.
// places counts the places apart.
bool vxInOneArea(const std::vector<std::pair<const vxPartType*, vxBox>>& parts, double modelSize,
                 std::size_t* places = nullptr);

struct vxStepReport {
    int steps = 0;
    // What a builder would stumble over, one line each ("step 12: ...").
    std::vector<std::string> problems;
};

// The steps of the model as its file will list them, checked:
// - every step adds kMinStepParts to kMaxStepParts parts;
// - nothing floats: after every step the parts so far hang together with
//   the first part;
// - a step works in one area: the box round its parts is at most half as
//   large (diagonal) as the model's, or its parts hang together (each
//   within 15 % of the model's size, at least 60 mm, of another), or
//   the places apart are alike (the same parts: repeated units);
// - walls and towers rise course by course: no step stacks three parts or
//   more straight on each other while a later step puts a part of the
//   foot's kind beside the foot;
// - a double pin goes in the step of the part that covers it (the second
//   part it joins) or in the step before.
vxStepReport vxCheckSteps(const vxModelBuilder& b);

} // namespace vxGen
