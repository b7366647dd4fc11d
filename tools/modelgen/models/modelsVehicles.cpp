// The Vehicles kit: cars, trucks and farm machines on wheels.

#include "vxKit.h"
#include "vxLibraryModels.h"

namespace vxGen {

namespace {

using namespace vxColor;
using namespace vxKit;

const char* kVehicles = "Kolbrik Vehicles kit";

vxFrame forwardAt(double height)
{
    return vxFrameAt({0, height, 0}, {0, 0, 1}, {0, 1, 0});
}

// An open car whose front axle turns on its bearing block: the wheels are
// steered, the driver holds the steering wheel.
void steeringCar(vxModelBuilder& b)
{
    b.describe("Open car with steered front wheels", std::string(kVehicles) + ", model 1");
    const Chassis ch = chassis(b, forwardAt(60), 3, {"31009", "31005"}, Red);
    b.nextPhase();
    wheelPair(b, ch, 1, 0, "34007", "rim45", Silver, 14.0);
    wheelPair(b, ch, 1, 5, "34007", "rim45", Silver);
    b.nextPhase();
    // Headlamps and the bonnet.
    b.attach("38005", "pin", ch.block(0, 0), ch.groove("top", 0, 0), Yellow);
    b.attach("38005", "pin", ch.block(2, 0), ch.groove("top", 2, 0), Yellow);
    b.attach("31003", "pin", ch.block(1, 0), ch.groove("top", 1, 0), Red);
    for (int line = 0; line < 3; ++line)
        b.attach("31003", "pin", ch.block(line, 1), ch.groove("top", line, 1), Red);
    b.nextPhase();
    // Steering column: a bearing block on a block, the axle pointing back
    // to the driver, the steering wheel on its end.
    const int post = b.attach("31003", "pin", ch.block(0, 2), ch.groove("top", 0, 2), Black);
    const int column = b.attach("31015", "pin", post, "socket", Black, 90);
    const std::string towardsDriver = facing(b, column, {"bore left", "bore right"}, {0, 0, -1});
    const std::string other = towardsDriver == "bore left" ? "bore right" : "bore left";
    const int shaft = b.attachFlush("34001", "end1", column, other, Silver, 2.0);
    b.attachFlush("34101", "front", shaft, "end2", Black);
    b.nextPhase();
    b.attach("39003", "pin", ch.block(0, 3), ch.groove("top", 0, 3), Blue);
    b.attach("39003", "pin", ch.block(2, 3), ch.groove("top", 2, 3), Yellow);
    b.attach("31003", "pin", ch.block(1, 5), ch.groove("top", 1, 5), Red);
    for (int line : {0, 2})
        for (int c : {4, 5})
            b.attach("31001", "pin", ch.block(line, c), ch.groove("top", line, c), White);
    b.attach("31001", "pin", ch.block(2, 2), ch.groove("top", 2, 2), White);
    b.setView(140, 26);
}

// A bumper across the front pins of the chassis lines: a lying block whose
// grooves take the pins. Returns the bumper.
int bumper(vxModelBuilder& b, const Chassis& ch, const std::string& t, std::int32_t color)
{
    const int first = ch.block(0, 0), last = ch.block(ch.width() - 1, 0);
    return b.attachToward(t, "bottom1", first, "pin", color, "bottom" + std::to_string(ch.width()),
                          b.seat(last, "pin"));
}

// A lamp on the bumper's upward face at cell n, with its colour.
int lampOn(vxModelBuilder& b, int part, int n, std::int32_t color)
{
    return b.attach("38005", "pin", part, side(b, part, {0, 1, 0}, n), color);
}

// A truck with a cab, a flat bed with a load of crates, three axles and
// headlamps wired to a battery box behind the cab.
void truck(vxModelBuilder& b)
{
    b.describe("Truck with a load of crates", std::string(kVehicles) + ", model 2");
    const Chassis ch = chassis(b, forwardAt(80), 3, {"31009", "31009", "31009", "31009"}, Black);
    b.nextPhase();
    wheelPair(b, ch, 1, 2, "34007", "rim60", LightGrey);
    wheelPair(b, ch, 1, 10, "34007", "rim60", LightGrey);
    wheelPair(b, ch, 1, 15, "34007", "rim60", LightGrey);
    b.nextPhase();
    // The cab: three layers of blocks, glass in the top layer, a roof.
    int top[3][3];
    for (int line = 0; line < 3; ++line)
        for (int c = 0; c < 3; ++c) {
            int blk = b.attach("31003", "pin", ch.block(line, c), ch.groove("top", line, c), Blue);
            blk = b.attach("31003", "pin", blk, "socket", Blue);
            const bool glass = c == 0 || (line != 1 && c == 1);
            top[line][c] = b.attach("31003", "pin", blk, "socket", glass ? LightBlue : Blue);
        }
    for (int line = 0; line < 3; ++line)
        b.attach("32003", "p1.1", top[line][0], "socket", White);
    b.nextPhase();
    // Bumper and headlamps, the battery behind the cab and the wiring.
    const int front = bumper(b, ch, "31007", LightGrey);
    const int lamp1 = lampOn(b, front, 1, Yellow);
    const int lamp2 = lampOn(b, front, 3, Yellow);
    const int batteryPin = b.attach("37001", "pin back", ch.block(1, 3), ch.groove("top", 1, 3), Red);
    const int battery = b.attach("38003", "bottom2.1", batteryPin, "pin", Black);
    b.cable(battery, "plug left", lamp1, "plug left", Red, Red, 10);
    b.cable(lamp1, "plug right", lamp2, "plug left", Black, Black, 6);
    b.cable(lamp2, "plug right", battery, "plug right", Black, Black, 10);
    b.nextPhase();
    // The box body: three layers of blocks on the bed, a roof on top.
    int roof[3][16];
    for (int line = 0; line < 3; ++line)
        for (int c = 7; c < 16; ++c) {
            const bool stripe = c != 7 && c != 15 && line != 1;
            int blk = b.attach("31003", "pin", ch.block(line, c), ch.groove("top", line, c), Orange);
            blk = b.attach("31003", "pin", blk, "socket", stripe ? White : Orange);
            roof[line][c] = b.attach("31003", "pin", blk, "socket", Orange);
        }
    b.nextPhase();
    b.attach("32011", "p1.1", roof[0][7], "socket", White);
    for (int line = 0; line < 3; ++line)
        b.attach("32003", "p1.1", roof[line][13], "socket", White);
    b.setView(145, 22);
}

// A low racing car with a rear wing and a driver in the cockpit.
void raceCar(vxModelBuilder& b)
{
    b.describe("Racing car with a rear wing", std::string(kVehicles) + ", model 3");
    const Chassis ch = chassis(b, forwardAt(40), 3, {"31009", "31007"}, Red);
    b.nextPhase();
    wheelPair(b, ch, 1, 1, "34007", "rim45", Yellow);
    wheelPair(b, ch, 1, 5, "34007", "rim45", Yellow);
    b.nextPhase();
    // The nose: angle blocks sloping to the front.
    for (int line = 0; line < 3; ++line)
        b.attach("31105", "pin", ch.block(line, 0), ch.groove("top", line, 0), Red, 180);
    for (int line : {0, 2})
        for (int c : {1, 2, 3})
            b.attach("31001", "pin", ch.block(line, c), ch.groove("top", line, c), c == 2 ? White : Red);
    b.attach("39003", "pin", ch.block(1, 3), ch.groove("top", 1, 3), Yellow);
    b.attach("31101", "pin", ch.block(1, 2), ch.groove("top", 1, 2), Black, 180);
    b.nextPhase();
    // The engine and the wing on two posts.
    int post[2] = {0, 0};
    for (int line = 0; line < 3; ++line)
        for (int c : {4, 5, 6}) {
            const int blk = b.attach("31003", "pin", ch.block(line, c), ch.groove("top", line, c), Black);
            if (c == 6 && line != 1)
                post[line / 2] = b.attach("31001", "pin", blk, "socket", Grey);
        }
    b.attachToward("32003", "p1.1", post[0], "socket", Red, "p1.3", b.seat(post[1], "socket"));
    b.setView(140, 20);
}

// A bus with windows all round, a door and two axles.
void bus(vxModelBuilder& b)
{
    b.describe("Town bus", std::string(kVehicles) + ", model 4");
    const Chassis ch = chassis(b, forwardAt(80), 3, {"31009", "31009", "31009", "31009", "31009"}, Black);
    b.nextPhase();
    wheelPair(b, ch, 1, 3, "34007", "rim60", LightGrey);
    wheelPair(b, ch, 1, 15, "34007", "rim60", LightGrey);
    b.nextPhase();
    const int cells = ch.cells();
    int tops[3][20];
    for (int line = 0; line < 3; ++line)
        for (int c = 0; c < cells; ++c) {
            tops[line][c] = -1;
            const bool wall = line != 1 || c == 0 || c == cells - 1;
            const bool door = line == 2 && (c == 1 || c == 2 || c == 10 || c == 11);
            if (!wall || door)
                continue;
            int blk = b.attach("31003", "pin", ch.block(line, c), ch.groove("top", line, c), Yellow);
            blk = b.attach("31003", "pin", blk, "socket", LightBlue);
            blk = b.attach("31003", "pin", blk, "socket", LightBlue);
            tops[line][c] = b.attach("31001", "pin", blk, "socket", Yellow);
        }
    b.nextPhase();
    // The roof: plates 45 x 90 and one 45 x 30 at the back, on the walls.
    for (int c = 0; c + 6 <= cells; c += 6)
        b.attach("32011", "p1.1", tops[0][c], "socket", White);
    b.attach("32001", "p1.1", tops[0][18], "socket", White);
    b.attach("32001", "p1.1", tops[1][19] >= 0 ? tops[2][18] : tops[2][18], "socket", White);
    b.attach("32001", "p1.2", tops[1][19], "socket", White);
    b.nextPhase();
    const int front = bumper(b, ch, "31007", LightGrey);
    lampOn(b, front, 1, Yellow);
    lampOn(b, front, 3, Yellow);
    b.attach("39003", "pin", ch.block(1, 2), ch.groove("top", 1, 2), Blue);
    b.attach("39003", "pin", ch.block(1, 8), ch.groove("top", 1, 8), Red);
    b.setView(150, 18);
}

// A tractor with big rear wheels and a cab, pulling a two-axle trailer on
// a drawbar.
void tractorWithTrailer(vxModelBuilder& b)
{
    b.describe("Tractor with a trailer", std::string(kVehicles) + ", model 5");
    const Chassis ch = chassis(b, forwardAt(100), 3, {"31009", "31005"}, Green);
    b.nextPhase();
    wheelPair(b, ch, 1, 0, "34007", "rim45", Yellow, 0.0, Black, true);
    wheelPair(b, ch, 1, 4, "34009", "rim60", Yellow);
    b.nextPhase();
    // Bonnet with the exhaust, the cab on four posts.
    for (int c = 0; c < 3; ++c) {
        const int blk = b.attach("31003", "pin", ch.block(1, c), ch.groove("top", 1, c), Green);
        b.attach("31003", "pin", blk, "socket", c == 2 ? Green : LightGreen);
    }
    const int front = bumper(b, ch, "31007", Grey);
    lampOn(b, front, 1, Yellow);
    lampOn(b, front, 3, Yellow);
    int post[2][2];
    for (int line : {0, 2})
        for (int k = 0; k < 2; ++k) {
            const int c = 3 + k;
            int blk = b.attach("31003", "pin", ch.block(line, c), ch.groove("top", line, c), Green);
            for (int layer = 1; layer < 4; ++layer)
                blk = b.attach("31003", "pin", blk, "socket", layer == 3 ? Green : LightGrey);
            post[line / 2][k] = blk;
        }
    b.attach("32007", "p1.1", post[0][0], "socket", Yellow);
    b.attach("32001", "p1.1", post[1][0], "socket", Yellow);
    b.attach("39003", "pin", ch.block(1, 4), ch.groove("top", 1, 4), Blue);
    b.nextPhase();
    // The hitch: a block with a pin on top behind the chassis, the drawbar
    // strut, and the trailer's coupling block under its other end.
    const int hitch =
        b.attachFacing("31011", "pin", ch.block(1, ch.cells() - 1), "socket", Black, "side1", {0, 1, 0});
    const int drawbar = b.attachToward("33005", "h1u", hitch, "side1", Black, "h5u",
                                       b.seat(hitch, "side1") + vxVec3{0, 0, -100});
    const int coupling =
        b.attachToward("31011", "side1", drawbar, "h5u", Black, "pin", b.seat(hitch, "side1"));
    // The trailer's chassis behind the coupling: its middle line's front
    // block takes the coupling's socket... its pin goes into it.
    const vxFrame middle = b.joinFrame("31009", "pin", coupling, "socket", false);
    b.nextPhase();
    const Chassis tr = chassis(b, vxMoved(middle, middle.ex * -15.0), 3, {"31009", "31009"}, Red);
    // The trailer's first line block is placed on its own: tie it to the
    // coupling through the middle line, which the chassis placed there.
    b.nextPhase();
    wheelPair(b, tr, 1, 1, "34007", "rim45", Yellow, 0.0, Black, true);
    wheelPair(b, tr, 1, 6, "34007", "rim45", Yellow, 0.0, Black, true);
    b.nextPhase();
    for (int c = 0; c < tr.cells(); ++c)
        for (int line : {0, 2}) {
            const int blk = b.attach("31003", "pin", tr.block(line, c), tr.groove("top", line, c), Red);
            if (c % 2 == 0)
                b.attach("31001", "pin", blk, "socket", Yellow);
        }
    for (int line = 0; line < 3; line += 1)
        if (line == 1) {
            b.attach("31003", "pin", tr.block(1, 0), tr.groove("top", 1, 0), Red);
            b.attach("31003", "pin", tr.block(1, 7), tr.groove("top", 1, 7), Red);
        }
    b.nextPhase();
    // A load of hay: yellow blocks on the bed.
    for (int c = 2; c < 7; c += 2) {
        const int bale = b.attach("31005", "pin", tr.block(1, c), tr.groove("top", 1, c), Sand, 90);
        (void)bale;
    }
    b.setView(135, 22);
}

// A fork lift truck: a mast with toothed racks, the fork carriage, an
// overhead guard over the driver and a counterweight.
void forkLift(vxModelBuilder& b)
{
    b.describe("Fork lift truck", std::string(kVehicles) + ", model 6");
    const Chassis ch = chassis(b, forwardAt(60), 3, {"31009"}, Yellow);
    b.nextPhase();
    wheelPair(b, ch, 1, 0, "34007", "rim45", Black);
    wheelPair(b, ch, 1, 3, "34005", "35001", Black, 0.0, Black, true);
    b.nextPhase();
    // The mast: two columns with racks, a cross bar on top.
    int column[2];
    for (int line : {0, 2}) {
        const int lower = b.attach("31009", "pin", ch.block(line, 0), ch.groove("top", line, 0), Grey);
        const int upper = b.attach("31005", "pin", lower, "socket", Grey);
        b.attach("36017", "p1", lower, side(b, lower, {0, 0, 1}, 3), Silver);
        column[line / 2] = upper;
        // The fork carriage: a block in the column's front groove, a fork
        // on top of it.
        const int carriage = b.attach("31005", "pin", lower, side(b, lower, {0, 0, 1}, 1), Black);
        b.attach("32005", "p1.1", carriage, side(b, carriage, {0, 1, 0}, 1), Black);
    }
    const int p1 = b.attach("37001", "pin back", column[0], "socket", Red);
    const int p2 = b.attach("37001", "pin back", column[1], "socket", Red);
    const int bar = b.attachToward("31007", "bottom1", p1, "pin", Black, "bottom3", b.seat(p2, "pin"));
    lampOn(b, bar, 2, Orange);
    b.nextPhase();
    // The guard: four posts and two roof strips.
    int post[2] = {0, 0};
    for (int line : {0, 2})
        for (int c : {1, 3}) {
            int blk = b.attach("31003", "pin", ch.block(line, c), ch.groove("top", line, c), Black);
            for (int layer = 1; layer < 3; ++layer)
                blk = b.attach("31003", "pin", blk, "socket", Black);
            if (c == 1)
                post[line / 2] = blk;
        }
    for (int k = 0; k < 2; ++k)
        b.attach("32003", "p1.1", post[k], "socket", Yellow);
    b.attach("39003", "pin", ch.block(1, 2), ch.groove("top", 1, 2), Blue);
    // Counterweight and steering wheel.
    const int weight = b.attach("31003", "pin", ch.block(1, 3), ch.groove("top", 1, 3), Grey);
    b.attach("31003", "pin", weight, "socket", Grey);
    const int columnBlock = b.attach("31015", "pin", ch.block(1, 1), ch.groove("top", 1, 1), Black, 90);
    const std::string driverSide = facing(b, columnBlock, {"bore left", "bore right"}, {0, 0, -1});
    const int shaft = b.attachFlush("34001", "end1", columnBlock,
                                    driverSide == "bore left" ? "bore right" : "bore left", Silver, -10.0);
    b.attachFlush("34105", "front", shaft, "end2", Black);
    b.setView(140, 24);
}

} // namespace

std::vector<vxLibraryModel> vxVehicleModels()
{
    return {
        {"Vehicles/Car with steering", steeringCar},
        {"Vehicles/Truck", truck},
        {"Vehicles/Race car", raceCar},
        {"Vehicles/Bus", bus},
        {"Vehicles/Fork lift", forkLift},
        {"Vehicles/Farm/Tractor with trailer", tractorWithTrailer},
    };
}

} // namespace vxGen
