// The Starter kit: small models of building blocks, plates, wheels and
// figures.

#include "vxKit.h"
#include "vxLibraryModels.h"

namespace vxGen {

namespace {

using namespace vxColor;
using namespace vxKit;

const char* kStarter = "Kolbrik Starter kit";

// A wall of three courses between two pillars with domes, a tree and a
// figure in front.
void wall(vxModelBuilder& b)
{
    b.describe("Garden wall with two pillars", std::string(kStarter) + ", model 1");
    const int plate = b.place("32103", vxFrame{}, Green);
    b.nextPhase();
    int course[6];
    for (int i = 0; i < 6; ++i)
        course[i] = b.attach("31003", "pin", plate, g(4, i + 2), i % 2 ? Yellow : Red);
    for (int row = 1; row < 3; ++row) {
        b.nextPhase();
        for (int i = 0; i < 6; ++i)
            course[i] = b.attach("31003", "pin", course[i], "socket", (i + row) % 2 ? Yellow : Red);
    }
    b.nextPhase();
    for (int cell : {1, 8}) {
        const int pillar = column(b, plate, g(4, cell), "31003", 4, White);
        const int pin = b.attach("37001", "pin back", pillar, "socket", Red);
        b.attach("39007", "socket", pin, "pin", Red);
    }
    b.nextPhase();
    b.attach("39001", "pin", plate, g(7, 2), Green);
    b.attach("39001", "pin", plate, g(7, 7), Green);
    b.attach("39003", "pin", plate, g(7, 4), Yellow, 180);
    b.attach("39003", "pin", plate, g(2, 5), Blue, 180);
    b.setView(-50, 22);
}

// A castle tower of four block columns with battlements, a flag and a
// star above the door.
void tower(vxModelBuilder& b)
{
    b.describe("Castle tower with battlements", std::string(kStarter) + ", model 2");
    const int plate = b.place("32101", vxFrame{}, Grey);
    int top[4], middle[4] = {0, 0, 0, 0};
    const int cells[4][2] = {{2, 3}, {3, 3}, {2, 4}, {3, 4}};
    for (int layer = 0; layer < 6; ++layer) {
        b.nextPhase();
        for (int k = 0; k < 4; ++k) {
            const std::int32_t color = layer == 0 ? Grey : (layer + k) % 2 ? Sand : LightGrey;
            top[k] = layer == 0 ? b.attach("31003", "pin", plate, g(cells[k][0], cells[k][1]), color)
                                : b.attach("31003", "pin", top[k], "socket", color);
            if (layer == 3)
                middle[k] = top[k];
        }
    }
    b.nextPhase();
    for (int k = 0; k < 3; ++k)
        b.attach("31001", "pin", top[k], "socket", Red);
    b.attach("39005", "pin", top[3], "socket", Red, 90);
    b.nextPhase();
    // The star above the door, on the face towards the front of the plate.
    b.attach("39009", "pin", middle[2], "bottom1", Yellow, 180);
    b.attach("39003", "pin", plate, g(2, 6), Blue, 180);
    b.attach("39001", "pin", plate, g(4, 1), Green);
    b.setView(-35, 22);
}

// A small car: a chassis of two long blocks, two axles in bearing blocks,
// four wheels and a cabin with a roof.
void simpleCar(vxModelBuilder& b)
{
    b.describe("Simple car with four wheels", std::string(kStarter) + ", model 3");
    const int left = b.place("31009", vxFrameAt({0, 40, 0}, {0, 0, 1}, {0, 1, 0}), Red);
    const int right = beside(b, left, "right1", "31009", "left1", Red);
    b.nextPhase();
    for (const char* cellName : {"bottom1", "bottom4"}) {
        const int bearing = b.attach("31015", "pin", left, cellName, Black);
        const vxVec3 middle = (b.seat(left, cellName) + b.seat(right, cellName)) * 0.5;
        const int axle = axleThrough(b, bearing, "bore left", "34005", middle);
        b.attachFlush("35001", "front", axle, "end1", Black);
        b.attachFlush("35001", "front", axle, "end2", Black);
    }
    b.nextPhase();
    int cab[4];
    cab[0] = b.attach("31003", "pin", left, "top2", Yellow);
    cab[1] = b.attach("31003", "pin", left, "top3", Yellow);
    cab[2] = b.attach("31003", "pin", right, "top2", Yellow);
    cab[3] = b.attach("31003", "pin", right, "top3", Yellow);
    for (int& c : cab)
        c = b.attach("31003", "pin", c, "socket", c % 2 ? White : Yellow);
    b.nextPhase();
    b.attach("32007", "p1.1", cab[0], "socket", Red);
    b.attach("31001", "pin", left, "top1", Red);
    b.attach("31001", "pin", right, "top1", Red);
    b.attach("31001", "pin", left, "top4", Red);
    b.attach("31001", "pin", right, "top4", Red);
    b.setView(-40, 24);
}

// A robot standing with its arms out and a lamp on its head.
void robot(vxModelBuilder& b)
{
    b.describe("Robot with a signal lamp", std::string(kStarter) + ", model 4");
    const int plate = b.place("32101", vxFrame{}, Grey);
    b.nextPhase();
    const int leg1 = column(b, plate, g(2, 3), "31003", 3, Blue);
    const int leg2 = column(b, plate, g(2, 5), "31003", 3, Blue);
    b.nextPhase();
    const int pin1 = b.attach("37001", "pin back", leg1, "socket", Red);
    const int pin2 = b.attach("37001", "pin back", leg2, "socket", Red);
    const int hip = b.attachToward("31007", "bottom1", pin1, "pin", Black, "bottom3", b.seat(pin2, "pin"));
    b.nextPhase();
    int torso[3];
    for (int i = 0; i < 3; ++i)
        torso[i] = column(b, hip, cell("top", i + 1), "31003", 3, Red);
    b.nextPhase();
    for (int i : {0, 2}) {
        const vxVec3 out = b.seat(torso[i], "socket") - b.seat(torso[1], "socket");
        const int arm = b.attach("31005", "pin", torso[i], side(b, torso[i], out), LightGrey);
        b.attach("31001", "pin", arm, "socket", Black);
    }
    b.nextPhase();
    const int head = b.attach("31005", "pin", torso[1], "socket", Yellow);
    b.attach("38005", "pin", b.attach("37001", "pin back", head, "socket", Red), "pin", Red);
    b.setView(-60, 18);
}

// A rocket on its launch pad.
void rocket(vxModelBuilder& b)
{
    b.describe("Rocket on the launch pad", std::string(kStarter) + ", model 5");
    const int plate = b.place("32101", vxFrame{}, Grey);
    b.nextPhase();
    int body = b.attach("31005", "pin", plate, g(2, 3), White);
    const int bottom = body;
    for (std::int32_t color : {Red, White, White, Red})
        body = b.attach("31005", "pin", body, "socket", color);
    b.nextPhase();
    b.attach("39007", "socket", b.attach("37001", "pin back", body, "socket", Red), "pin", Red);
    b.nextPhase();
    for (const vxVec3& dir : {vxVec3{1, 0, 0}, vxVec3{-1, 0, 0}, vxVec3{0, 0, 1}, vxVec3{0, 0, -1}})
        b.attach("31109", "pin", bottom, side(b, bottom, dir), Red, 180);
    b.nextPhase();
    // The service tower beside it, with two arms reaching the rocket.
    int tower = b.attach("31009", "pin", plate, g(4, 3), Grey);
    for (int i = 1; i < 3; ++i) {
        tower = b.attach("31009", "pin", tower, "socket", Grey);
        b.attach("31003", "pin", tower, side(b, tower, {-1, 0, 0}, i == 1 ? 2 : 3), Yellow);
    }
    b.attach("38005", "pin", tower, "socket", Orange);
    b.attach("39003", "pin", plate, g(4, 5), White, 180);
    b.setView(-35, 16);
}

// A small park: fences, trees, a bench, a fountain and people.
void park(vxModelBuilder& b)
{
    b.describe("Park with a fountain", std::string(kStarter) + ", model 6");
    const int plate = b.place("32103", vxFrame{}, Green);
    b.nextPhase();
    for (int x = 1; x <= 7; x += 2) {
        b.attach("39011", "pin left", plate, g(x, 1), Brown);
        if (x != 3)
            b.attach("39011", "pin left", plate, g(x, 8), Brown);
    }
    b.nextPhase();
    for (int z : {2, 4, 6})
        b.attach("39001", "pin", plate, g(1, z), Green);
    b.attach("39001", "pin", plate, g(8, 2), LightGreen);
    b.attach("39001", "pin", plate, g(8, 6), Green);
    b.nextPhase();
    const int fountain = b.attach("31003", "pin", plate, g(5, 4), LightGrey);
    b.attach("39007", "socket", b.attach("37001", "pin back", fountain, "socket", Red), "pin", LightBlue);
    b.nextPhase();
    const int leg1 = b.attach("31001", "pin", plate, g(7, 3), Brown);
    b.attach("31001", "pin", plate, g(7, 5), Brown);
    b.attach("32003", "p1.1", leg1, "socket", Brown, 180);
    b.nextPhase();
    b.attach("39005", "pin", plate, g(4, 8), White);
    b.attach("39003", "pin", plate, g(3, 6), Blue, 180);
    b.attach("39003", "pin", plate, g(6, 6), Red, 200);
    b.attach("39003", "pin", plate, g(3, 3), Yellow, 90);
    b.setView(-40, 30);
}

} // namespace

std::vector<vxLibraryModel> vxStarterModels()
{
    return {
        {"Starter/Wall", wall},   {"Starter/Tower", tower},   {"Starter/Simple car", simpleCar},
        {"Starter/Robot", robot}, {"Starter/Rocket", rocket}, {"Starter/Scenes/Park", park},
    };
}

} // namespace vxGen
