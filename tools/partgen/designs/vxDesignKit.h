#pragma once

// The pieces the part designs are built from, and the design of every part
// family (one source file each, designs*.cpp), for the catalogue's list in
// vxPartDesigns.cpp.
//
// Design notes
// ------------
// Every mesh is one closed shell built without boolean operations: prisms
// whose profile already contains the grooves, with pins, sockets and bores
// stitched into their faces, and lathe (turned) parts. Unless a design says
// otherwise the part frame has +Y up and +Z as the part's direction; the
// extrusion or turning axis of a design is mapped into it by a frame.
//
// The ball pin: a neck of radius 1.35 and a ball of radius 1.9 whose
// centre stands 3.1 over the seat; its tip is 5.0 over the seat. The groove
// that takes it: a mouth 2.9 wide opening into a round channel of radius
// 2.0 whose centre lies 3.1 deep, so the ball sits centred in the channel
// when the seats meet. Sockets are round holes of radius 2.0, 5.1 deep.

#include "vxPartDesigns.h"
#include "vxShapes.h"

#include <array>
#include <numbers>
#include <string>
#include <vector>

namespace vxGen::vxDesign {

namespace K = vxKolbrik;
inline constexpr double kPi = std::numbers::pi;
inline constexpr double kDeg = kPi / 180.0;

using Kind = vxConnectionKind;

inline constexpr vxVec3 kX{1, 0, 0}, kY{0, 1, 0}, kZ{0, 0, 1};

// --- Pieces (vxDesignKit.cpp) ----------------------------------------------

vxPartConnection connection(Kind kind, const std::string& eng, vxVec3 position, vxVec3 normal,
                            vxVec3 reference, double diameter, double depth);
// Moves a build (mesh and connections) by a frame.
void place(vxPartBuild& b, const vxFrame& f);
vxFrame translation(vxVec3 t);
// Local (x, y, z) -> part (x, z, -y): a turning or extrusion axis along z
// becomes the part's Y (up).
vxFrame zToUp();
// Local (x, y, z) -> part (-z, y, x): a profile drawn in (part z, part y)
// and extruded along local z across the part's X.
vxFrame profileInZY();
// Builds the prism into b's mesh; false (and b.error) when it cannot.
bool prism(vxPartBuild& b, const vxPrism& p);

// Profiles in (r, h).
inline constexpr int kBallSteps = 10; // steps of a pin's ball
// A ball pin standing on a face: from the neck's foot to the tip.
std::vector<vxVec2> pinProfile(double seat = 0.0);
// The same pin pointing down from a seat at h = seat, as the start of a
// lathe profile: from the tip (on the axis) up to the neck's foot.
std::vector<vxVec2> pinDownProfile(double seat);
std::vector<vxVec2> socketProfile(double r, double depth);
void append(std::vector<vxVec2>& to, const std::vector<vxVec2>& more);

// Profiles in the plane.
// A groove notch cut into a counter-clockwise polygon edge that runs from a
// along the unit direction e: centred s along it, reaching inwards (to the
// left of e).
void appendGroove(std::vector<vxVec2>& pts, vxVec2 a, vxVec2 e, double s);
// A rectangle w x h centred at c with rounded corners and grooves. Sides:
// 0 bottom (runs +x), 1 right (+y), 2 top (-x), 3 left (-y). grooves[k]
// lists positions along side k measured from its unrounded first corner.
struct BoxProfile {
    std::vector<vxVec2> pts;
    std::array<int, 4> sideEdge{};     // the edge that starts each side's flat run
    std::array<vxVec2, 4> sideStart{}; // and where it starts
    std::array<vxVec2, 4> corner{}, dir{};
};
BoxProfile boxProfile(double w, double h, double rc, const std::array<std::vector<double>, 4>& grooves,
                      vxVec2 c = {0, 0}, int cornerSteps = 4);
// Groove connections of a box profile extruded from z0 to z1 (in the
// extrusion's own frame, before placing), one per 15 mm cell.
void addBoxGrooves(vxPartBuild& b, const BoxProfile& box, const std::array<std::vector<double>, 4>& grooves,
                   double z0, double z1, const char* const sideNames[4]);
inline const char* const kBlockSides[4] = {"bottom", "right", "top", "left"};
vxFeature pinOn(int face, vxVec2 at);
vxFeature socketOn(int face, vxVec2 at, double r = K::kSocketRadius, double depth = K::kSocketDepth);

// The width of a strut and a crank arm.
inline constexpr double kStrutHalfWidth = 5.0;
// The outline of a straight strut from p0 to p1 with round ends.
std::vector<vxVec2> stadium(vxVec2 p0, vxVec2 p1, double r, int capSteps = 16);

// The two ends of a bore along z from z0 to z1.
void addBoreEnds(vxPartBuild& b, double z0, double z1, double diameter = K::kHoleDiameter);
// A turned part with a bore along its axis from h = 0 to h = top: the
// profile runs counter-clockwise from the bore's foot round the outside.
vxPartBuild boredLathe(std::vector<vxVec2> outside, double top, int segments, const vxRadiusFn& radius = {});

// --- Blocks, angle blocks and plates (designsBlocks.cpp) -------------------

// A 15 x 15 block from z = -length to 0 with a pin on its front (z = 0)
// face, optionally a socket in its back face, grooves along the sides named
// in grooveSides, pins on its top face at the given z, and a cross bore
// along X at z = boreAt.
struct BlockSpec {
    double length = 30.0;
    bool socket = true;
    std::array<bool, 4> grooveSides{true, true, true, true};
    std::vector<double> topPins;
    bool crossBore = false;
    double boreAt = -7.5;
    bool backPin = false;
};
vxPartBuild block(const BlockSpec& s);
vxPartBuild angleBlock(double angleDeg);
vxPartBuild buildingPlate(int cellsX, int cellsZ);
vxPartBuild basePlate(int cellsX, int cellsZ);

// --- Struts (designsStruts.cpp) ---------------------------------------------

vxPartBuild straightStrut(int holes);
vxPartBuild diagonalStrut(int cells);
vxPartBuild angleStrut();

// --- Axles, hubs, wheels and tyres (designsAxlesWheels.cpp) -----------------

vxPartBuild axle(double length);
vxPartBuild hub15();
vxPartBuild hexHub();
vxPartBuild collar();
vxPartBuild coupling();
vxPartBuild crank();
vxPartBuild wheel30();
struct RimSize {
    double hubR, hubH, webR, web0, web1, rimIn, seatR, flangeR, width;
};
inline constexpr RimSize kRim45{5.0, 12.0, 13.0, 4.0, 8.0, 13.0, 15.0, 16.5, 12.0};
inline constexpr RimSize kRim60{6.0, 16.0, 18.0, 6.0, 10.0, 18.0, 20.0, 21.5, 16.0};
vxPartBuild rim(const RimSize& s);
vxPartBuild tyre(double ri, double ro, double w);
vxPartBuild wheelSet(const RimSize& s, double tyreOuter);
vxPartBuild pulley();

// --- Gears (designsGears.cpp) ------------------------------------------------

vxPartBuild spurGear(int teeth, double hubHeight = 0.0);
vxPartBuild worm();
vxPartBuild rack(int cells);

// --- Connectors (designsConnectors.cpp) --------------------------------------

vxPartBuild doublePin();
vxPartBuild spacer(double length, double r);
vxPartBuild angleConnector();
vxPartBuild axleClip();

// --- Electrics (designsElectrics.cpp) ----------------------------------------

vxPartBuild motor();
vxPartBuild batteryBox();
vxPartBuild lamp();
vxPartBuild switchBlock();
vxPartBuild plug();
vxPartBuild buzzer();

// --- Decoration (designsDecoration.cpp) --------------------------------------

vxPartBuild firTree();
vxPartBuild figure();
vxPartBuild signPlate();
vxPartBuild dome();
vxPartBuild star();
vxPartBuild fence();

} // namespace vxGen::vxDesign
