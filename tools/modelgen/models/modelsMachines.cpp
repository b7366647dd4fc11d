// The Machines kit: gears, motors, lamps and moving machines.

#include "vxKit.h"
#include "vxLibraryModels.h"

namespace vxGen {

namespace {

using namespace vxColor;
using namespace vxKit;

const char* kMachines = "Kolbrik Machines kit";

std::string original(int n)
{
    return std::string(kMachines) + ", model " + std::to_string(n);
}

// A block column with a bearing block on top: the bore (along x) at
// height 7.5 + 15 * blocks over the plate.
int bearingColumn(vxModelBuilder& b, int plate, int groove, int cell, int blocks, std::int32_t color,
                  double spin = 0.0)
{
    int top = b.attach("31003", "pin", plate, g(groove, cell), color);
    for (int i = 1; i < blocks; ++i)
        top = b.attach("31003", "pin", top, "socket", color);
    return b.attach("31015", "pin", top, "socket", Black, spin);
}

// A motor turns three axles through four pairs of gears; a switch and a
// battery box drive it through three cables.
void gearTrain(vxModelBuilder& b)
{
    b.describe("Gear train with motor, switch and battery", original(1));
    const int plate = b.place("32103", vxFrame{}, Grey);
    b.nextPhase();
    // The motor lies on two short columns, its shaft along +x at 37.5.
    int support[2];
    for (int k = 0; k < 2; ++k) {
        const int base = b.attach("31003", "pin", plate, g(k == 0 ? 3 : 1, 6), Black);
        support[k] = b.attach("31001", "pin", base, "socket", Black);
    }
    const int motorPin = b.attach("37001", "pin back", support[0], "socket", Red);
    const int motor = b.attachFacing("38001", "bottom1.1", motorPin, "pin", Black, "shaft", {1, 0, 0});
    b.attach("37001", "pin back", support[1], "socket", Red);
    b.nextPhase();
    // Second and third axle in bearing blocks on two-block columns.
    const int b2a = bearingColumn(b, plate, 5, 5, 2, Yellow), b2b = bearingColumn(b, plate, 7, 5, 2, Yellow);
    (void)b2b;
    const int axle2 = axleThrough(b, b2a, "bore left", "34007", {75, 37.5, -60});
    const int b3a = bearingColumn(b, plate, 4, 3, 2, Yellow), b3b = bearingColumn(b, plate, 8, 3, 2, Yellow);
    (void)b3b;
    const int axle3 = axleThrough(b, b3a, "bore left", "34007", {75, 37.5, -30});
    b.nextPhase();
    // Z10 on the motor shaft drives Z20 on the second axle; Z10 there
    // drives Z30 on the third axle.
    const int pinion = b.attachFlush("36001", "front", motor, "shaft", Black);
    const int gear2 = onAxle(b, "36005", axle2, b.part(pinion).frame.point({0, 0, 3}), Red);
    meshGears(b, gear2, pinion);
    const int pinion2 = onAxle(b, "36001", axle2, {75, 37.5, -60}, Black);
    const int gear3 = onAxle(b, "36007", axle3, {75, 37.5, -30}, Red);
    meshGears(b, gear3, pinion2);
    b.nextPhase();
    // The flywheel on the end of the third axle.
    const std::string outer = b.seat(axle3, "end1").x > b.seat(axle3, "end2").x ? "end1" : "end2";
    wheel(b, axle3, outer, "35013", Black);
    b.nextPhase();
    // Battery, switch and wiring.
    const int batteryPin = b.attach("37001", "pin back", plate, g(1, 1), Red);
    const int battery = b.attach("38003", "bottom1.1", batteryPin, "pin", Black);
    const int switchPin = b.attach("37001", "pin back", plate, g(4, 1), Red);
    const int power = b.attach("38007", "bottom1", switchPin, "pin", Black);
    b.cable(battery, "plug left", power, "plug left", Red, Red, 12);
    b.cable(power, "plug right", motor, "plug left", Red, Red, 25);
    b.cable(motor, "plug right", battery, "plug right", Black, Black, 25);
    b.setView(40, 30);
}

// A windmill: a tower of long blocks, the sail axle in a bearing block on
// top, four sails on hub blocks.
void windmill(vxModelBuilder& b)
{
    b.describe("Windmill with four sails", original(2));
    const int plate = b.place("32103", vxFrame{}, Green);
    b.nextPhase();
    int top[4];
    const std::pair<int, int> cells[4] = {{4, 4}, {5, 4}, {4, 5}, {5, 5}};
    for (int k = 0; k < 4; ++k) {
        int blk = b.attach("31009", "pin", plate, g(cells[k].first, cells[k].second), White);
        for (int i = 1; i < 4; ++i)
            blk = b.attach("31009", "pin", blk, "socket", i % 2 ? Sand : White);
        top[k] = blk;
    }
    b.nextPhase();
    // The cap: a bearing block with the sail axle along -z.
    const int cap = b.attach("31015", "pin", top[2], "socket", Brown, 90);
    const std::string back = facing(b, cap, {"bore left", "bore right"}, {0, 0, 1});
    const int axle = b.attachFlush("34011", "end1", cap, back, Silver, 10.0);
    for (int k : {0, 1, 3})
        b.attach("39007", "socket", b.attach("37001", "pin back", top[k], "socket", Red), "pin", DarkRed);
    b.nextPhase();
    // Hub blocks along the axle, each turned a quarter further, and the
    // sails: a spar of two long blocks with a white sail beside it.
    const vxVec3 a = normalized(b.seat(axle, "end2") - b.seat(axle, "end1"));
    const vxVec3 c0 = b.seat(axle, "end2") - a * 22.5;
    for (int k = 0; k < 4; ++k) {
        const double angle = 45.0 + 90.0 * k;
        const vxVec3 radial = vxRotate({0, 1, 0}, a, angle);
        const int h = hub(b, c0 - a * (15.0 * k), a, radial, Brown);
        const int spar1 = b.attach("31009", "socket", h, "pin", Brown);
        const int spar2 = b.attach("31009", "socket", spar1, "pin", Brown);
        const vxVec3 tangent = cross(a, radial);
        beside(b, spar1, side(b, spar1, tangent, 2), "31009", "left2", White);
        beside(b, spar2, side(b, spar2, tangent, 2), "31009", "left2", White);
    }
    b.nextPhase();
    b.attach("39003", "pin", plate, g(3, 7), Blue, 180);
    b.attach("39001", "pin", plate, g(7, 2), Green);
    b.attach("39001", "pin", plate, g(8, 6), LightGreen);
    b.attach("39011", "pin left", plate, g(1, 8), Brown);
    b.attach("39011", "pin left", plate, g(6, 8), Brown);
    b.setView(-30, 12);
}

// A small tower crane on two plates.
void slewingCrane(vxModelBuilder& b)
{
    b.describe("Tower crane, small", original(3));
    const int foundation = b.place("32103", vxFrame{}, LightGrey);
    const auto plates = site(b, foundation, 2, 1, 0, 0, Sand, -1);
    b.nextPhase();
    crane(b, foundation, 6, 5, 2, 7, plates[0][1]);
    b.attach("39003", "pin", plates[0][1], g(3, 6), Orange, 180);
    b.attach("39003", "pin", foundation, g(8, 8), Yellow, 180);
    b.setView(-30, 18);
}

// A roller conveyor on four legs, turned by a crank; crates wait at its
// start.
void conveyor(vxModelBuilder& b)
{
    b.describe("Roller conveyor with a crank", original(4));
    const int plate = b.place("32105", vxFrame{}, Grey);
    b.nextPhase();
    int legTop[4];
    const std::pair<int, int> legs[4] = {{2, 2}, {5, 2}, {2, 11}, {5, 11}};
    for (int k = 0; k < 4; ++k) {
        const int blk = b.attach("31005", "pin", plate, g(legs[k].first, legs[k].second), Black);
        legTop[k] = b.attach("31005", "pin", blk, "socket", Black);
    }
    b.nextPhase();
    // Two rails of long blocks on double pins in the legs.
    std::vector<int> rail[2];
    for (int r = 0; r < 2; ++r) {
        const int p1 = b.attach("37001", "pin back", legTop[r], "socket", Red);
        const int first = b.attachAlong("31009", "bottom1", p1, "pin", Yellow, "bottom4", {0, 0, -1});
        rail[r] = {first};
        for (int blk : chain(b, first, "31009", 2, Yellow, true))
            rail[r].push_back(blk);
        b.attach("37001", "pin back", legTop[r + 2], "socket", Red);
    }
    b.nextPhase();
    // Rollers: an axle in a bearing block on each rail, two pulleys on it.
    int lastAxle = -1;
    for (int cell = 0; cell < 12; cell += 2) {
        int bearing[2];
        for (int r = 0; r < 2; ++r) {
            std::string name;
            const vxVec3 at = b.part(rail[r][0]).frame.origin;
            const int blk =
                connectionAt(b, rail[r], {at.x, at.y + 7.5, -15.0 - 15.0 * cell}, {0, 1, 0}, name);
            bearing[r] = b.attach("31015", "pin", blk, name, Black);
        }
        const vxVec3 mid = (b.seat(bearing[0], "bore left") + b.seat(bearing[1], "bore right")) * 0.5;
        const int axle = axleThrough(b, bearing[0], "bore left", cell == 10 ? "34007" : "34005", mid);
        for (double dx : {-5.0, 5.0})
            onAxle(b, "35015", axle, mid + vxVec3{dx, 0, 0}, cell % 4 ? Red : Grey);
        lastAxle = axle;
    }
    // The crank on the last roller's outer end.
    {
        const std::string outer = b.seat(lastAxle, "end1").x > b.seat(lastAxle, "end2").x ? "end1" : "end2";
        b.attachFlush("34109", "front", lastAxle, outer, Red);
    }
    b.nextPhase();
    for (auto [gx, cz] : {std::pair{4, 1}, {5, 1}}) {
        const int crate = b.attach("31003", "pin", plate, g(gx, cz), Brown);
        b.attach("31003", "pin", crate, "socket", Brown);
    }
    b.attach("39003", "pin", plate, g(6, 12), Blue, 180);
    b.setView(-120, 26);
}

// A traffic light: three lamps on a post, wired through a switch to a
// battery box.
void trafficLight(vxModelBuilder& b)
{
    b.describe("Traffic light with switch and battery", original(5));
    const int plate = b.place("32101", vxFrame{}, Grey);
    b.nextPhase();
    int post = b.attach("31009", "pin", plate, g(2, 5), Black);
    post = b.attach("31009", "pin", post, "socket", Black);
    post = b.attach("31009", "pin", post, "socket", Black);
    b.attach("31001", "pin", post, "socket", Black);
    b.nextPhase();
    int lamp[3];
    const std::int32_t colors[3] = {Green, Yellow, Red};
    for (int k = 0; k < 3; ++k)
        lamp[k] = b.attach("38005", "pin", post, side(b, post, {0, 0, -1}, 2 + k), colors[k]);
    b.nextPhase();
    const int batteryPin = b.attach("37001", "pin back", plate, g(1, 1), Red);
    const int battery = b.attach("38003", "bottom1.1", batteryPin, "pin", Black);
    const int switchPin = b.attach("37001", "pin back", plate, g(4, 3), Red);
    const int power = b.attach("38007", "bottom1", switchPin, "pin", Black);
    b.cable(battery, "plug left", power, "plug left", Red, Red, 8);
    b.cable(power, "plug right", lamp[0], "plug left", Red, Red, 30);
    b.cable(lamp[0], "plug right", lamp[1], "plug left", Black, Black, 4);
    b.cable(lamp[1], "plug right", lamp[2], "plug left", Black, Black, 4);
    b.cable(lamp[2], "plug right", battery, "plug right", Black, Black, 40);
    b.nextPhase();
    b.attach("39003", "pin", plate, g(4, 6), Blue, 180);
    b.setView(-35, 16);
}

// A lighthouse on a rock in the sea with four lamps on top.
void lighthouse(vxModelBuilder& b)
{
    b.describe("Lighthouse with four lamps", original(6));
    const int plate = b.place("32103", vxFrame{}, Blue);
    b.nextPhase();
    for (auto [gx, cz, h] : {std::tuple{3, 6, 1},
                             {6, 3, 2},
                             {6, 5, 1},
                             {4, 3, 1},
                             {3, 5, 1},
                             {6, 4, 1},
                             {5, 6, 1},
                             {4, 6, 2},
                             {2, 7, 1}})
        column(b, plate, g(gx, cz), "31005", h, Grey);
    // The keeper's house on the rock beside the tower.
    {
        int roofAt[3][2];
        for (int gx : {7, 8})
            for (int cz : {6, 7, 8})
                roofAt[cz - 6][gx - 7] =
                    column(b, plate, g(gx, cz), "31003", 3, cz == 7 && gx == 7 ? LightBlue : White);
        b.attach("32007", "p1.1", roofAt[0][0], "socket", Red);
        b.attachAlong("32001", "p1.1", roofAt[2][0], "socket", Red, "p1.2", {1, 0, 0});
    }
    b.nextPhase();
    int top[4];
    const std::pair<int, int> cells[4] = {{4, 4}, {5, 4}, {4, 5}, {5, 5}};
    for (int k = 0; k < 4; ++k) {
        int blk = b.attach("31005", "pin", plate, g(cells[k].first, cells[k].second), Red);
        for (int i = 1; i < 6; ++i)
            blk = b.attach("31005", "pin", blk, "socket", i % 2 ? White : Red);
        top[k] = blk;
    }
    b.nextPhase();
    int lamp[4];
    for (int k = 0; k < 4; ++k)
        lamp[k] = b.attach("38005", "pin", top[k], "socket", Yellow, 90.0 * k);
    b.nextPhase();
    const int batteryPin = b.attach("37001", "pin back", plate, g(1, 1), Red);
    const int battery = b.attach("38003", "bottom1.1", batteryPin, "pin", Black);
    const int order[4] = {0, 1, 3, 2};
    b.cable(battery, "plug left", lamp[order[0]], "plug left", Red, Red, 0, {{60, 100, -60}, {50, 200, -50}});
    for (int k = 0; k < 3; ++k)
        b.cable(lamp[order[k]], "plug right", lamp[order[k + 1]], "plug left", Black, Black, 3);
    b.cable(lamp[order[3]], "plug right", battery, "plug right", Black, Black, 0,
            {{70, 200, -70}, {80, 100, -80}});
    b.attach("39003", "pin", plate, g(6, 7), Yellow, 180);
    b.setView(-40, 20);
}

// A drawbridge over a canal: the deck turns on an axle at the near bank
// and is pulled up by two chains from a gate with a winch motor.
void drawbridge(vxModelBuilder& b)
{
    b.describe("Drawbridge over a canal", original(7));
    const int bank = b.place("32103", vxFrame{}, Sand);
    const auto plates = site(b, bank, 3, 1, 0, 0, Sand, -1, [](int, int c) { return c == 1 ? Blue : Sand; });
    const int water = plates[0][1], far = plates[0][2];
    b.nextPhase();
    // The gate: two columns at the bank's edge, a beam across the top, the
    // winch motor on it.
    int gateTop[2];
    for (int k = 0; k < 2; ++k) {
        int blk = b.attach("31009", "pin", bank, g(7, k == 0 ? 1 : 8), Grey);
        for (int i = 1; i < 2; ++i)
            blk = b.attach("31009", "pin", blk, "socket", Grey);
        gateTop[k] = blk;
    }
    const int p1 = b.attach("37001", "pin back", gateTop[0], "socket", Red);
    const int p2 = b.attach("37001", "pin back", gateTop[1], "socket", Red);
    const int beam = b.attachToward("31009", "bottom1", p1, "pin", Grey, "bottom4", b.seat(p2, "pin"));
    chain(b, beam, "31009", 1, Grey, true);
    const int motorPin = b.attach("37001", "pin back", beam, "top2", Red);
    b.attachFacing("38001", "bottom1.2", motorPin, "pin", Black, "shaft", {0, 0, -1});
    b.nextPhase();
    // The hinge: bearing blocks on short columns at the bank's edge.
    int hingeBearing[2];
    for (int k = 0; k < 2; ++k)
        hingeBearing[k] = bearingColumn(b, bank, 8, k == 0 ? 3 : 6, 1, Grey, 90);
    const vxVec3 hingeMid =
        (b.seat(hingeBearing[0], "bore left") + b.seat(hingeBearing[1], "bore right")) * 0.5;
    const int hingeAxle = axleThrough(b, hingeBearing[0], "bore left", "34007", hingeMid);
    (void)hingeAxle;
    // The deck: three lines of long blocks, built flat over the canal,
    // hung on the hinge axle by two bearing blocks, then raised.
    b.nextPhase();
    const std::size_t deckFirst = b.size();
    const vxVec3 axleDir =
        normalized(b.seat(hingeBearing[1], "bore left") - b.seat(hingeBearing[0], "bore left"));
    (void)axleDir;
    const vxVec3 hinge = hingeMid;
    const vxFrame deckFront =
        vxFrameAt({hinge.x + 112.5, hinge.y + 15, hinge.z + 22.5}, {1, 0, 0}, {0, 1, 0});
    const Chassis deck = chassis(b, deckFront, 4, {"31009", "31009"}, Brown);
    for (int line : {1, 2})
        b.attach("31015", "pin", deck.block(line, 7), deck.groove("bottom", line, 7), Brown);
    for (int c = 0; c < 8; c += 1)
        for (int line : {0, 3})
            b.attach("31001", "pin", deck.block(line, c), deck.groove("top", line, c), c % 2 ? White : Red);
    const vxVec3 tipLeft = b.part(deck.block(0, 0)).frame.point({0, 7.5, -5});
    const vxVec3 tipRight = b.part(deck.block(3, 0)).frame.point({0, 7.5, -5});
    for (std::size_t i = deckFirst; i < b.size(); ++i)
        b.turn(static_cast<int>(i), hinge, {0, 0, 1}, 35.0);
    const vxVec3 tipL = hinge + vxRotate(tipLeft - hinge, {0, 0, 1}, 35.0);
    const vxVec3 tipR = hinge + vxRotate(tipRight - hinge, {0, 0, 1}, 35.0);
    b.tube(0.6, Black, {b.part(gateTop[0]).frame.point({0, 0, -52.5}), tipL});
    b.tube(0.6, Black, {b.part(gateTop[1]).frame.point({0, 0, -52.5}), tipR});
    b.nextPhase();
    // The far bank: a landing for the deck, a tree, people; then the near
    // bank's.
    for (int k : {3, 6})
        column(b, far, g(1, k), "31003", 2, Grey);
    b.attach("39003", "pin", far, g(5, 5), Red, 270);
    b.attach("39001", "pin", far, g(7, 2), Green);
    b.nextPhase();
    b.attach("39003", "pin", bank, g(3, 3), Blue, 90);
    b.attach("39001", "pin", bank, g(2, 7), Green);
    b.attach("39005", "pin", bank, g(5, 8), White, 90);
    (void)water;
    b.setView(60, 28);
}

// An alarm bell: a buzzer on a block, a switch and a battery box wired
// together.
void alarm(vxModelBuilder& b)
{
    b.describe("Alarm buzzer with switch", original(8));
    const int plate = b.place("32101", vxFrame{}, Grey);
    b.nextPhase();
    const int batteryPin = b.attach("37001", "pin back", plate, g(1, 1), Red);
    const int battery = b.attach("38003", "bottom1.1", batteryPin, "pin", Black);
    const int switchPin = b.attach("37001", "pin back", plate, g(4, 1), Red);
    const int power = b.attach("38007", "bottom1", switchPin, "pin", Black);
    const int stand = column(b, plate, g(3, 6), "31003", 2, Red);
    const int bell = b.attach("38011", "pin", stand, "socket", Yellow);
    const int lampStand = b.attach("31003", "pin", plate, g(1, 6), Red);
    const int lamp = b.attach("38005", "pin", lampStand, "socket", Orange);
    b.nextPhase();
    b.cable(battery, "plug left", power, "plug left", Red, Red, 8);
    b.cable(power, "plug right", lamp, "plug left", Red, Red, 20);
    b.cable(lamp, "plug right", battery, "plug right", Black, Black, 20);
    (void)bell;
    b.setView(-35, 26);
}

} // namespace

std::vector<vxLibraryModel> vxMachineModels()
{
    return {
        {"Machines/Gear train with motor", gearTrain}, {"Machines/Windmill", windmill},
        {"Machines/Tower crane", slewingCrane},        {"Machines/Conveyor", conveyor},
        {"Machines/Drawbridge", drawbridge},           {"Machines/Electric/Traffic light", trafficLight},
        {"Machines/Electric/Lighthouse", lighthouse},  {"Machines/Electric/Alarm", alarm},
    };
}

} // namespace vxGen
