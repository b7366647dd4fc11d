// The Showpieces kit: large models. The tower crane on its building site
// is also the benchmark model of the viewer.

#include "vxKit.h"
#include "vxLibraryModels.h"

#include <functional>

namespace vxGen {

namespace {

using namespace vxColor;
using namespace vxKit;

const char* kShowpieces = "Kolbrik Showpieces";

} // namespace

void vxKit::crane(vxModelBuilder& b, int foundation, int mastBlocks, int jibBlocks, int counterBlocks,
                  int trolleyLevel, int loadPlate)
{
    // The mast: four columns of long blocks with struts on every face.
    b.nextPhase();
    std::vector<int> cols[4];
    const std::pair<int, int> foot[4] = {{3, 3}, {6, 3}, {3, 6}, {6, 6}};
    for (int k = 0; k < 4; ++k) {
        int top = b.attach("31009", "pin", foundation, g(foot[k].first, foot[k].second), Yellow);
        cols[k].push_back(top);
        for (int i = 1; i < mastBlocks; ++i)
            cols[k].push_back(top = b.attach("31009", "pin", top, "socket", Yellow));
    }
    const int levels = mastBlocks * 4;
    towerLattice(b, cols, 30, 0, -30, 1, levels - 1, Yellow);
    // Concrete ballast around the foot of the mast.
    b.nextPhase();
    for (auto [x, z] : {std::pair{1, 1}, {8, 1}, {1, 8}, {8, 8}}) {
        const int block = b.attach("31005", "pin", foundation, g(x, z), Grey);
        b.attach("31005", "pin", block, "socket", Grey);
    }

    // The jib and the counter-jib: two bottom chords resting on the mast
    // on double pins, two top chords 45 mm above, struts on every side.
    b.nextPhase();
    const double H = mastBlocks * 60.0;
    std::vector<int> bottom[2], topChord[2];
    for (int s = 0; s < 2; ++s) {
        const int p1 = b.attach("37001", "pin back", cols[s * 2].back(), "socket", Red);
        const int p2 = b.attach("37001", "pin back", cols[s * 2 + 1].back(), "socket", Red);
        const int first = b.attachToward("31009", "bottom1", p1, "pin", Yellow, "bottom4", b.seat(p2, "pin"));
        const bool socketOut = b.seat(first, "socket").x > b.seat(first, "pin").x;
        std::vector<int> line{first};
        for (int blk : chain(b, first, "31009", jibBlocks, Yellow, socketOut))
            line.push_back(blk);
        for (int blk : chain(b, first, "31009", counterBlocks, Yellow, !socketOut))
            line.push_back(blk);
        bottom[s] = line;
        for (int blk : line)
            topChord[s].push_back(b.place("31009", vxMoved(b.part(blk).frame, {0, 45, 0}), Yellow));
    }
    b.nextPhase();
    // Jib: towards +x from x = 90; counter-jib: towards -x from x = 15.
    const int jibLevels = (jibBlocks * 60 - 15) / 15; // up to the last cell
    const int counterLevels = (counterBlocks * 60 + 15 - 15) / 15 - 1;
    for (int dir : {1, -1}) {
        const double x0 = dir > 0 ? 90 : 15;
        const int to = dir > 0 ? jibLevels : counterLevels;
        const vxVec3 step{15.0 * dir, 0, 0};
        lattice(b, bottom[0], topChord[0], {x0, H + 7.5, -22.5}, step, {0, 45, 0}, {0, 0, 1}, 0, to, Yellow);
        lattice(b, bottom[1], topChord[1], {x0, H + 7.5, -82.5}, step, {0, 45, 0}, {0, 0, -1}, 0, to, Yellow);
        if (dir > 0) {
            lattice(b, bottom[0], bottom[1], {x0, H, -30}, step, {0, 0, -45}, {0, -1, 0}, 5, to, Yellow);
            lattice(b, topChord[0], topChord[1], {x0, H + 60, -30}, step, {0, 0, -45}, {0, 1, 0}, 0, to,
                    Yellow, false);
        }
    }

    // The operator's cab under the jib next to the mast.
    b.nextPhase();
    for (double x : {90.0, 105.0}) {
        int hang[2];
        for (int s = 0; s < 2; ++s) {
            std::string name;
            const int chordBlock =
                connectionAt(b, bottom[s], {x, H, s == 0 ? -30.0 : -75.0}, {0, -1, 0}, name);
            hang[s] = b.attach("31005", "pin", chordBlock, name, x == 90.0 ? LightBlue : White);
        }
        const int mid =
            beside(b, hang[0], side(b, hang[0], {0, 0, -1}), "31005", "left1", x == 90.0 ? LightBlue : White);
        beside(b, mid, side(b, mid, {0, 0, -1}), "31005", "left1", x == 90.0 ? LightBlue : White);
    }

    // The cat head over the mast with its warning lamps.
    b.nextPhase();
    std::vector<int> head[4];
    const std::pair<double, double> headFoot[4] = {{30, -30}, {75, -30}, {30, -75}, {75, -75}};
    for (int k = 0; k < 4; ++k) {
        std::string name;
        const int chordBlock = connectionAt(b, topChord[k / 2],
                                            {headFoot[k].first, H + 60, headFoot[k].second}, {0, 1, 0}, name);
        int top = b.attach("31009", "pin", chordBlock, name, Yellow);
        head[k].push_back(top);
        for (int i = 1; i < 3; ++i)
            head[k].push_back(top = b.attach("31009", "pin", top, "socket", Yellow));
        b.attach("38005", "pin", top, "socket", Red);
    }
    towerLattice(b, head, 30, H + 60, -30, 0, 11, Yellow);

    // Ballast under the counter-jib's end: a wall of blocks four wide.
    b.nextPhase();
    for (int cell = 0; cell < 3; ++cell) {
        const double x = -15.0 * (counterLevels - 1) + 15 * cell;
        int hang[2];
        for (int s = 0; s < 2; ++s) {
            std::string name;
            const int chordBlock =
                connectionAt(b, bottom[s], {x, H, s == 0 ? -30.0 : -75.0}, {0, -1, 0}, name);
            hang[s] = b.attach("31005", "pin", chordBlock, name, Grey);
            b.attach("31005", "pin", hang[s], "socket", Grey);
        }
        const int mid = beside(b, hang[0], side(b, hang[0], {0, 0, -1}), "31009", "left1", Grey);
        beside(b, mid, side(b, mid, {0, 0, -1}), "31009", "left1", Grey);
    }
    // The winch on the counter-jib: a drum between two bearing blocks.
    {
        int bearing[2];
        for (int s = 0; s < 2; ++s) {
            std::string name;
            const int chordBlock =
                connectionAt(b, topChord[s], {-75.0, H + 60, s == 0 ? -30.0 : -75.0}, {0, 1, 0}, name);
            bearing[s] = b.attach("31015", "pin", chordBlock, name, Black);
        }
        const vxVec3 mid = (b.seat(bearing[0], "bore left") + b.seat(bearing[1], "bore left")) * 0.5;
        const int axle = axleThrough(b, bearing[0], "bore left", "34005", mid);
        for (double offset : {-5.5, 5.5}) {
            const int drum = b.attachFlush("35015", "back", axle, "end1", Red);
            const vxVec3 c = b.part(drum).frame.point({0, 0, 5});
            b.move(drum, (mid - c) + vxVec3{0, 0, offset});
        }
    }

    // The trolley on the jib with the hoist rope down to a pallet of
    // bricks on the site.
    b.nextPhase();
    const double trolleyX = 90 + 15 * trolleyLevel;
    int carriage[2];
    for (int s = 0; s < 2; ++s) {
        std::string name;
        const int chordBlock =
            connectionAt(b, bottom[s], {trolleyX, H, s == 0 ? -30.0 : -75.0}, {0, -1, 0}, name);
        carriage[s] = b.attach("31015", "pin", chordBlock, name, Black);
    }
    {
        const vxVec3 mid = (b.seat(carriage[0], "bore left") + b.seat(carriage[1], "bore left")) * 0.5;
        axleThrough(b, carriage[0], "bore left", "34005", mid);
    }
    b.nextPhase();
    const int pallet = loadPlate;
    int bricks[4];
    {
        int k = 0;
        for (int gx : {5, 6})
            for (int cz : {4, 5}) {
                bricks[k] = b.attach("31005", "pin", pallet, g(gx, cz), Red);
                b.attach("31005", "pin", bricks[k], "socket", Red);
                ++k;
            }
    }
    {
        const vxVec3 from = b.seat(carriage[0], "bore left") * 0.5 + b.seat(carriage[1], "bore left") * 0.5;
        const vxVec3 to = b.part(pallet).frame.point({82.5, 60, -52.5});
        b.tube(0.8, Black, {from, (from + to) * 0.5, to});
    }
    // The pendant ropes from the cat head to the jib and the counter-jib.
    {
        const double top = H + 60 + 180;
        for (double z : {-30.0, -75.0}) {
            b.tube(0.8, Black, {{52.5, top, z}, {90 + 15.0 * jibLevels * 0.7, H + 60, z}});
            b.tube(0.8, Black, {{52.5, top, z}, {15 - 15.0 * counterLevels * 0.9, H + 60, z}});
        }
    }
}

namespace {

void towerCrane(vxModelBuilder& b)
{
    b.describe("Tower crane on a building site", std::string(kShowpieces) + ", model 1");

    // The foundation plate of the crane and the site around it.
    const int foundation = b.place("32103", vxFrame{}, LightGrey);
    const auto plates = site(b, foundation, 10, 3, 2, 1, Sand, -1,
                             [](int r, int c) { return (r == 1 && c == 2) ? LightGrey : Sand; });
    auto plate = [&](int row, int column) {
        return plates[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    };

    crane(b, foundation, 20, 16, 6, 47, plate(1, 8));

    // The buildings on the site: three finished houses with roofs and lift
    // shafts, one still rising in steps.
    b.nextPhase();
    auto house = [&](int plateIndex, int layers, std::int32_t wall, std::int32_t glass, int pattern) {
        building(b, plateIndex, 2, 2, 6, 6, layers, wall, glass, [pattern](int layer, int position) {
            const int corner = position % 5;
            return layer > 0 && layer % 4 >= 1 && layer % 4 <= (pattern == 0 ? 2 : 3) && corner != 0 &&
                   (pattern != 2 || corner != 2);
        });
        for (int gx : {4, 5})
            for (int cz : {4, 5})
                column(b, plateIndex, g(gx, cz), "31003", layers, LightGrey);
        // The roof: 30 x 30 tiles on the tops of the columns.
        const vxFrame& f = b.part(plateIndex).frame;
        for (int gx = 2; gx <= 6; gx += 2)
            for (int cz = 2; cz <= 6; cz += 2) {
                // The tile's first pin that finds a column under it.
                bool placed = false;
                for (int dx = 0; dx < 2 && !placed; ++dx)
                    for (int dz = 0; dz < 2 && !placed; ++dz) {
                        const vxVec3 at =
                            f.point({15.0 * (gx + dx - 1), 15.0 * (layers - 1), -15.0 * (cz + dz - 1)});
                        for (std::size_t i = b.size(); i-- > 0;)
                            if (b.part(static_cast<int>(i)).type->shortName == "31003" &&
                                length(b.part(static_cast<int>(i)).frame.origin - at) < 0.5) {
                                b.attach("32007", "p" + std::to_string(dx + 1) + "." + std::to_string(dz + 1),
                                         static_cast<int>(i), "socket", DarkRed);
                                placed = true;
                                break;
                            }
                    }
            }
    };
    house(plate(0, 5), 24, White, Blue, 0);
    b.nextPhase();
    house(plate(0, 7), 30, LightGrey, LightBlue, 1);
    b.nextPhase();
    house(plate(2, 6), 16, Sand, Blue, 2);
    b.nextPhase();
    building(
        b, plate(1, 4), 2, 2, 6, 6, 20, White, LightBlue,
        [](int layer, int position) { return layer % 5 >= 2 && layer % 5 <= 3 && position % 5 != 0; },
        [](int position) {
            return position < 6 ? 20 : position < 11 ? 15 : position < 16 ? 10 : 5;
        });

    // Fences round the site, trees and workers.
    b.nextPhase();
    for (int c = 0; c < 10; ++c)
        for (int groove : {1, 3, 5, 7}) {
            b.attach("39011", "pin left", plate(0, c), g(groove, 1), Orange);
            if (!(c == 3 && groove >= 3 && groove <= 5))
                b.attach("39011", "pin left", plate(2, c), g(groove, 8), Orange);
        }
    for (int r = 0; r < 3; ++r)
        for (int cell : {2, 4, 6}) {
            const int left = plate(r, 0), right = plate(r, 9);
            b.attachToward("39011", "pin left", left, g(1, cell), Orange, "pin right",
                           b.seat(left, g(1, cell + 1)));
            b.attachToward("39011", "pin left", right, g(8, cell), Orange, "pin right",
                           b.seat(right, g(8, cell + 1)));
        }
    for (auto [r, c, gx, cz] : {std::tuple{2, 0, 3, 3},
                                {2, 0, 6, 6},
                                {2, 1, 2, 5},
                                {2, 9, 6, 3},
                                {0, 9, 4, 6},
                                {0, 0, 3, 3},
                                {0, 3, 5, 5},
                                {2, 4, 4, 4}})
        b.attach("39001", "pin", plate(r, c), g(gx, cz), Green);
    for (auto [r, c, gx, cz, color] : {std::tuple{1, 3, 2, 4, Orange},
                                       {1, 3, 6, 2, Orange},
                                       {2, 5, 3, 3, Orange},
                                       {1, 8, 3, 4, Yellow},
                                       {0, 7, 4, 6, Orange},
                                       {2, 2, 5, 5, Yellow}})
        b.attach("39003", "pin", plate(r, c), g(gx, cz), color, 180);
    b.setView(-22, 12);
}

// A square tower of four long-block columns, n blocks high, 45 mm apart,
// with struts on its faces. feet: the plate and groove of each column, in
// the order back-left, back-right (+x), front-left, front-right (-z).
void latticeTower(vxModelBuilder& b, const std::pair<int, std::string> (&feet)[4], int n, std::int32_t color,
                  std::vector<int> (&cols)[4])
{
    for (int k = 0; k < 4; ++k) {
        int blk = b.attach("31009", "pin", feet[k].first, feet[k].second, color);
        cols[k].push_back(blk);
        for (int i = 1; i < n; ++i)
            cols[k].push_back(blk = b.attach("31009", "pin", blk, "socket", color));
    }
    const vxVec3 foot = b.seat(feet[0].first, feet[0].second);
    towerLattice(b, cols, foot.x, foot.y, foot.z, 1, n * 4 - 2, color);
}

// A fair-ground wheel: two stars of eight spokes on a main axle between two
// lattice towers, eight gondolas hanging on axles between the stars.
void fairgroundWheel(vxModelBuilder& b)
{
    b.describe("Fair-ground wheel with eight gondolas", std::string(kShowpieces) + ", model 2");
    const int first = b.place("32103", vxFrame{}, Green);
    const auto plates = site(b, first, 5, 4, 0, 0, Green, -1);
    auto plate = [&](int r, int c) {
        return plates[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
    };
    b.nextPhase();
    // Towers: the back one with its bearing on the front-left column, the
    // front one on its back-left column. The axle runs along -z at x = 300.
    std::vector<int> back[4], front[4];
    latticeTower(
        b, {{plate(0, 2), g(5, 2)}, {plate(0, 2), g(8, 2)}, {plate(0, 2), g(5, 5)}, {plate(0, 2), g(8, 5)}},
        6, White, back); // columns at z = -15 and -60
    latticeTower(
        b, {{plate(2, 2), g(5, 8)}, {plate(2, 2), g(8, 8)}, {plate(3, 2), g(5, 3)}, {plate(3, 2), g(8, 3)}},
        6, White, front); // columns at z = -345 and -390
    const int backBearing = b.attach("31015", "pin", back[2].back(), "socket", Red, 90);
    const int frontBearing = b.attach("31015", "pin", front[0].back(), "socket", Red, 90);
    for (int k : {0, 1, 3})
        b.attach("38005", "pin", back[k].back(), "socket", Yellow);
    for (int k : {1, 2, 3})
        b.attach("38005", "pin", front[k].back(), "socket", Yellow);
    b.nextPhase();
    const vxVec3 a{0, 0, -1};
    const vxVec3 backSeat =
        b.seat(backBearing, facing(b, backBearing, {"bore left", "bore right"}, {0, 0, 1}));
    const vxVec3 centre{backSeat.x, backSeat.y, 0};
    const std::string backMouth = facing(b, backBearing, {"bore left", "bore right"}, {0, 0, 1});
    const int axle1 = b.attachFlush("34011", "end1", backBearing, backMouth, Silver, 7.5);
    const std::string frontMouth = facing(b, frontBearing, {"bore left", "bore right"}, {0, 0, -1});
    const int axle2 = b.attachFlush("34011", "end1", frontBearing, frontMouth, Silver, 0.0);
    (void)axle1;
    (void)axle2;
    // Two stars of eight hub blocks, each turned 45 degrees further, with
    // spokes of four long blocks and a bearing block at each end.
    int ends[2][8];
    const double starZ[2] = {-75.0, -210.0};
    // One spoke of each star at a time, the same angle on both.
    for (int k = 0; k < 8; ++k) {
        if (k > 0)
            b.nextPhase();
        for (int s = 0; s < 2; ++s) {
            const vxVec3 radial = vxRotate({0, 1, 0}, a, 45.0 * k + 22.5);
            const int h = hub(b, {centre.x, centre.y, starZ[s] - 15.0 * k}, a, radial, Red);
            int spoke = b.attach("31009", "socket", h, "pin", s == 0 ? Red : Red);
            for (int blk : chain(b, spoke, "31009", 3, k % 2 ? White : Red, false))
                spoke = blk;
            ends[s][k] = b.attachFacing("31015", "top1", spoke, "pin", Red, "bore left", {0, 0, 1});
        }
    }
    // Gondolas: an axle from each spoke end of the back star to the one of
    // the front star, a hanger and a car with two riders in the middle.
    // One gondola a step.
    const std::int32_t carColors[4] = {Blue, Yellow, Green, Orange};
    for (int k = 0; k < 8; ++k) {
        b.nextPhase();
        const int axle = b.attachFlush("34011", "end1", ends[0][k],
                                       facing(b, ends[0][k], {"bore left", "bore right"}, {0, 0, 1}), Silver);
        const vxVec3 mid = (b.seat(axle, "end1") + b.seat(axle, "end2")) * 0.5;
        const int hanger = hub(b, mid, a, {0, -1, 0}, Black);
        const int rod = b.attach("31003", "socket", hanger, "pin", Black);
        const int car = b.attachAlong("31007", "top2", rod, "pin", carColors[k % 4], "top1", {1, 0, 0});
        b.attach("39003", "pin", car, "top1", k % 2 ? Red : Blue, 90);
        b.attach("39003", "pin", car, "top3", k % 2 ? Yellow : White, 90);
    }
    // Fences, trees, a ticket booth and people waiting.
    b.nextPhase();
    for (int c = 0; c < 5; ++c)
        for (int groove : {1, 3, 5, 7}) {
            b.attach("39011", "pin left", plate(0, c), g(groove, 1), White);
            if (c != 1)
                b.attach("39011", "pin left", plate(3, c), g(groove, 8), White);
        }
    b.nextPhase();
    for (auto [r, c, gx, cz] :
         {std::tuple{0, 0, 3, 4}, {1, 0, 2, 6}, {3, 0, 4, 3}, {0, 4, 5, 5}, {2, 4, 6, 2}, {3, 4, 3, 5}})
        b.attach("39001", "pin", plate(r, c), g(gx, cz), r % 2 ? LightGreen : Green);
    b.nextPhase();
    {
        const int booth = plate(3, 1);
        for (int gx : {3, 4, 5})
            for (int cz : {3, 4}) {
                const int blk = column(b, booth, g(gx, cz), "31003", 3, gx == 4 ? LightBlue : Red);
                if (gx == 3 && cz == 3)
                    b.attach("32007", "p1.1", blk, "socket", Yellow);
            }
        b.attach("39005", "pin", booth, g(4, 6), White, 0);
        for (int k = 0; k < 4; ++k)
            b.attach("39003", "pin", plate(3, 2), g(2 + k, 5), k % 2 ? Blue : Red, 180);
    }
    b.setView(-35, 12);
}

// A truss bridge of two spans over a river: piers of blocks, four chords
// with struts on the sides and bracing on top, a deck of plates.
void bridge(vxModelBuilder& b)
{
    b.describe("Truss bridge over a river", std::string(kShowpieces) + ", model 3");
    const int first = b.place("32103", vxFrame{}, Green);
    const auto plates =
        site(b, first, 7, 2, 0, 0, Green, -1, [](int, int c) { return c >= 1 && c <= 5 ? Blue : Green; });
    auto plate = [&](int r, int c) {
        return plates[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
    };
    b.nextPhase();
    // Piers: pairs of columns 45 mm apart across the river's course, two
    // long blocks high; at the banks and in the middle.
    const int pierX[3][2] = {{0, 8}, {3, 6}, {6, 5}}; // plate column, groove
    int pierTop[3][2];
    for (int p = 0; p < 3; ++p)
        for (int k = 0; k < 2; ++k) {
            const int blk =
                b.attach("31009", "pin", plate(0, pierX[p][0]), g(pierX[p][1], k == 0 ? 5 : 8), Grey);
            pierTop[p][k] = b.attach("31009", "pin", blk, "socket", Grey);
        }
    b.nextPhase();
    // Bottom chords on double pins in the left pier, top chords above.
    const int chordBlocks = 12;
    std::vector<int> bottom[2], top[2];
    for (int k = 0; k < 2; ++k) {
        const int pin = b.attach("37001", "pin back", pierTop[0][k], "socket", Red);
        const int firstBlock = b.attachAlong("31009", "bottom1", pin, "pin", Red, "bottom4", {1, 0, 0});
        bottom[k] = {firstBlock};
        for (int blk : chain(b, firstBlock, "31009", chordBlocks - 1, Red, true))
            bottom[k].push_back(blk);
        for (int blk : bottom[k])
            top[k].push_back(b.place("31009", vxMoved(b.part(blk).frame, {0, 45, 0}), Red));
        for (int p = 1; p < 3; ++p)
            b.attach("37001", "pin back", pierTop[p][k], "socket", Red);
    }
    b.nextPhase();
    const vxVec3 s0 = b.seat(bottom[0][0], "bottom1");
    const int levels = chordBlocks * 4 - 1;
    lattice(b, bottom[0], top[0], {s0.x, s0.y + 7.5, s0.z + 7.5}, {15, 0, 0}, {0, 45, 0}, {0, 0, 1}, 0,
            levels, Red);
    lattice(b, bottom[1], top[1], {s0.x, s0.y + 7.5, s0.z - 52.5}, {15, 0, 0}, {0, 45, 0}, {0, 0, -1}, 0,
            levels, Red);
    lattice(b, top[0], top[1], {s0.x, s0.y + 60, s0.z}, {15, 0, 0}, {0, 0, -45}, {0, 1, 0}, 2, levels, Red,
            false);
    b.nextPhase();
    // The deck: 30 x 60 plates across the bottom chords.
    for (int level = 0; level + 1 <= levels; level += 2) {
        std::string name;
        const int blk = connectionAt(b, bottom[0], {s0.x + 15.0 * level, s0.y + 15, s0.z}, {0, 1, 0}, name);
        b.attachAlong("32009", "p1.1", blk, name, Grey, "p1.4", {0, 0, -1});
    }
    b.nextPhase();
    // Lamps on the portals, trees and people on the banks.
    b.attach("38005", "pin", top[0].front(), side(b, top[0].front(), {0, 1, 0}, 1), Yellow);
    b.attach("38005", "pin", top[1].front(), side(b, top[1].front(), {0, 1, 0}, 1), Yellow);
    b.nextPhase();
    for (auto [r, c, gx, cz] : {std::tuple{0, 0, 2, 2}, {1, 0, 3, 5}, {1, 0, 6, 3}})
        b.attach("39001", "pin", plate(r, c), g(gx, cz), Green);
    b.attach("39003", "pin", plate(1, 0), g(7, 1), Blue, 90);
    b.attach("39005", "pin", plate(0, 0), g(6, 2), White, 90);
    b.nextPhase();
    for (auto [r, c, gx, cz] : {std::tuple{0, 6, 5, 2}, {1, 6, 2, 4}, {1, 6, 6, 6}})
        b.attach("39001", "pin", plate(r, c), g(gx, cz), Green);
    b.attach("39003", "pin", plate(1, 6), g(2, 1), Red, 270);
    b.setView(-25, 22);
}

// A castle: curtain walls with battlements, four corner towers with domes,
// a gate with flags, a keep in the middle.
void castle(vxModelBuilder& b)
{
    b.describe("Castle with keep and four towers", std::string(kShowpieces) + ", model 4");
    const int plate = b.place("32103", vxFrame{}, Green);
    // The keep first, while it can be reached: a 2 x 2 tower in the middle,
    // taller than the walls, with a roof tile.
    int keep[4];
    {
        int k = 0;
        for (int gx : {4, 5})
            for (int cz : {4, 5}) {
                keep[k] = column(b, plate, g(gx, cz), "31003", 10, k % 2 ? LightGrey : Sand);
                ++k;
            }
    }
    b.attach("32007", "p1.1", keep[0], "socket", DarkRed);
    b.nextPhase();
    // The curtain wall round the plate's edge: corners stand higher as
    // towers, the gate in the front wall is left open.
    auto layers = [](int position) {
        const bool corner = position == 0 || position == 7 || position == 14 || position == 21;
        const bool gate = position == 17 || position == 18;
        return corner ? 12 : gate ? 0 : 7;
    };
    const std::vector<int> tops = building(
        b, plate, 1, 1, 8, 8, 7, Sand, LightGrey, [](int layer, int) { return layer % 3 == 2; }, layers);
    b.nextPhase();
    // Battlements on every second wall column, domes on the towers, flags
    // beside the gate.
    for (std::size_t p = 0; p < tops.size(); ++p) {
        const int position = static_cast<int>(p);
        if (tops[p] < 0)
            continue;
        const int h = layers(position);
        if (h == 12) {
            continue;
        } else if (position % 2 == 1 || position == 16 || position == 19) {
            if (position == 16 || position == 19)
                b.attach("39005", "pin", tops[p], "socket", position == 16 ? Red : Blue);
            else
                b.attach("31001", "pin", tops[p], "socket", Sand);
        }
    }
    b.nextPhase();
    for (std::size_t p = 0; p < tops.size(); ++p)
        if (tops[p] >= 0 && layers(static_cast<int>(p)) == 12) {
            const int pin = b.attach("37001", "pin back", tops[p], "socket", Red);
            b.attach("39007", "socket", pin, "pin", DarkRed);
        }
    b.nextPhase();
    for (auto [gx, cz, color] : {std::tuple{3, 3, Blue}, {6, 6, Red}, {3, 6, Yellow}})
        b.attach("39003", "pin", plate, g(gx, cz), color, 180);
    b.setView(-32, 38);
}

} // namespace

std::vector<vxLibraryModel> vxShowpieceModels()
{
    return {
        {"Showpieces/Tower crane", towerCrane},
        {"Showpieces/Fair-ground wheel", fairgroundWheel},
        {"Showpieces/Bridge", bridge},
        {"Showpieces/Castle", castle},
    };
}

} // namespace vxGen
