// The catalogue: every part type's values and its design, in catalogue
// order. The designs themselves are in designs/, one file per family.
#include "vxPartDesigns.h"
#include "designs/vxDesignKit.h"

namespace vxGen {

namespace {

struct Colour {
    int r, g, b;
};
constexpr Colour kRed{200, 30, 30}, kGrey{150, 150, 155}, kBlack{40, 40, 42}, kYellow{240, 190, 20},
    kSilver{200, 200, 210}, kGreen{40, 140, 60}, kBlue{40, 80, 190}, kWhite{235, 235, 230},
    kBrown{140, 90, 45}, kLamp{255, 240, 190};

struct Entry {
    const char* shortName;
    int group;
    const char* name;
    const char* eng;
    Colour colour;
    std::function<vxPartBuild()> build;
    int teeth = 1;
    int kineRot = 0;
    double prize = 0.0; // 0: from the volume
    std::vector<std::string> children = {};
    double alpha = 1.0;
};

} // namespace

std::vector<vxPartDesign> vxPartDesigns()
{
    using namespace vxDesign;
    auto blockSpec = [](double length) {
        BlockSpec s;
        s.length = length;
        return s;
    };
    std::vector<Entry> e = {
        // Building blocks
        {"31001", 0, "Building block 7.5",
         "Building block 15 x 15 x 7.5 mm with ball pin, socket and four grooves", kRed,
         [=] { return block(blockSpec(7.5)); }},
        {"31003", 0, "Building block 15",
         "Building block 15 x 15 x 15 mm with ball pin, socket and four grooves", kRed,
         [=] { return block(blockSpec(15)); }},
        {"31005", 0, "Building block 30",
         "Building block 15 x 15 x 30 mm with ball pin, socket and four grooves", kRed,
         [=] { return block(blockSpec(30)); }},
        {"31007", 0, "Building block 45",
         "Building block 15 x 15 x 45 mm with ball pin, socket and four grooves", kRed,
         [=] { return block(blockSpec(45)); }},
        {"31009", 0, "Building block 60",
         "Building block 15 x 15 x 60 mm with ball pin, socket and four grooves", kGrey,
         [=] { return block(blockSpec(60)); }},
        {"31011", 0, "Building block 15 with side pin",
         "Building block 15 x 15 x 15 mm with a second ball pin on its top face", kBlack,
         [=] {
             BlockSpec s = blockSpec(15);
             s.grooveSides[2] = false;
             s.topPins = {-7.5};
             return block(s);
         }},
        {"31013", 0, "Building block 30 with two side pins",
         "Building block 15 x 15 x 30 mm with two more ball pins on its top face", kBlack,
         [=] {
             BlockSpec s = blockSpec(30);
             s.grooveSides[2] = false;
             s.topPins = {-7.5, -22.5};
             return block(s);
         }},
        {"31015", 0, "Bearing block 15", "Building block 15 x 15 x 15 mm with a cross bore for an axle",
         kGrey,
         [=] {
             BlockSpec s = blockSpec(15);
             s.socket = false;
             s.grooveSides[1] = s.grooveSides[3] = false;
             s.crossBore = true;
             return block(s);
         }},
        // Angle blocks
        {"31101", 1, "Angle block 7.5", "Wedge block turning by 7.5 degrees, ball pin and groove", kRed,
         [] { return angleBlock(7.5); }},
        {"31103", 1, "Angle block 15", "Wedge block turning by 15 degrees, ball pin and groove", kRed,
         [] { return angleBlock(15); }},
        {"31105", 1, "Angle block 30", "Wedge block turning by 30 degrees, ball pin and groove", kRed,
         [] { return angleBlock(30); }},
        {"31107", 1, "Angle block 45", "Wedge block turning by 45 degrees, ball pin and groove", kRed,
         [] { return angleBlock(45); }},
        {"31109", 1, "Angle block 60", "Wedge block turning by 60 degrees, ball pin and groove", kGrey,
         [] { return angleBlock(60); }},
        // Plates
        {"32001", 2, "Building plate 15 x 30", "Building plate 15 x 30 x 4 mm with two ball pins underneath",
         kRed, [] { return buildingPlate(1, 2); }},
        {"32003", 2, "Building plate 15 x 45",
         "Building plate 15 x 45 x 4 mm with three ball pins underneath", kRed,
         [] { return buildingPlate(1, 3); }},
        {"32005", 2, "Building plate 15 x 60", "Building plate 15 x 60 x 4 mm with four ball pins underneath",
         kRed, [] { return buildingPlate(1, 4); }},
        {"32007", 2, "Building plate 30 x 30", "Building plate 30 x 30 x 4 mm with four ball pins underneath",
         kRed, [] { return buildingPlate(2, 2); }},
        {"32009", 2, "Building plate 30 x 60",
         "Building plate 30 x 60 x 4 mm with eight ball pins underneath", kRed,
         [] { return buildingPlate(2, 4); }},
        {"32011", 2, "Building plate 45 x 90",
         "Building plate 45 x 90 x 4 mm with eighteen ball pins underneath", kGrey,
         [] { return buildingPlate(3, 6); }},
        {"32101", 2, "Base plate 60 x 90", "Base plate 60 x 90 x 7.5 mm with four grooves on top", kGrey,
         [] { return basePlate(4, 6); }},
        {"32103", 2, "Base plate 120 x 120", "Base plate 120 x 120 x 7.5 mm with eight grooves on top", kGrey,
         [] { return basePlate(8, 8); }},
        {"32105", 2, "Base plate 90 x 180", "Base plate 90 x 180 x 7.5 mm with six grooves on top", kGrey,
         [] { return basePlate(6, 12); }},
        // Struts
        {"33001", 3, "Strut 30", "Flat strut with three holes, 30 mm from end hole to end hole", kYellow,
         [] { return straightStrut(3); }},
        {"33003", 3, "Strut 45", "Flat strut with four holes, 45 mm from end hole to end hole", kYellow,
         [] { return straightStrut(4); }},
        {"33005", 3, "Strut 60", "Flat strut with five holes, 60 mm from end hole to end hole", kYellow,
         [] { return straightStrut(5); }},
        {"33007", 3, "Strut 75", "Flat strut with six holes, 75 mm from end hole to end hole", kYellow,
         [] { return straightStrut(6); }},
        {"33009", 3, "Strut 90", "Flat strut with seven holes, 90 mm from end hole to end hole", kYellow,
         [] { return straightStrut(7); }},
        {"33011", 3, "Strut 120", "Flat strut with nine holes, 120 mm from end hole to end hole", kYellow,
         [] { return straightStrut(9); }},
        {"33021", 3, "Diagonal strut 30 x 30", "Flat strut with three holes across a 30 x 30 mm square",
         kBlack, [] { return diagonalStrut(2); }},
        {"33023", 3, "Diagonal strut 45 x 45", "Flat strut with four holes across a 45 x 45 mm square",
         kBlack, [] { return diagonalStrut(3); }},
        {"33031", 3, "Angle strut 30 x 30", "Flat L-shaped strut with five holes, legs 30 mm", kYellow,
         [] { return angleStrut(); }},
        // Axles and hubs
        {"34001", 4, "Axle 30", "Steel axle 4 mm, 30 mm long", kSilver, [] { return axle(30); }, 1, 1},
        {"34003", 4, "Axle 45", "Steel axle 4 mm, 45 mm long", kSilver, [] { return axle(45); }, 1, 1},
        {"34005", 4, "Axle 60", "Steel axle 4 mm, 60 mm long", kSilver, [] { return axle(60); }, 1, 1},
        {"34007", 4, "Axle 90", "Steel axle 4 mm, 90 mm long", kSilver, [] { return axle(90); }, 1, 1},
        {"34009", 4, "Axle 120", "Steel axle 4 mm, 120 mm long", kSilver, [] { return axle(120); }, 1, 1},
        {"34011", 4, "Axle 150", "Steel axle 4 mm, 150 mm long", kSilver, [] { return axle(150); }, 1, 1},
        {"34101", 4, "Flange hub 15", "Flange hub 15 mm across with a 4 mm bore", kBlack,
         [] { return hub15(); }, 1, 1},
        {"34103", 4, "Hex hub 10", "Hexagonal hub 10 mm across flats, 7.5 mm long, with a 4 mm bore", kBlack,
         [] { return hexHub(); }, 1, 1},
        {"34105", 4, "Collar 9", "Adjusting collar 9 mm across, 5 mm long", kBlack, [] { return collar(); },
         1, 1},
        {"34107", 4, "Axle coupling", "Coupling sleeve joining two 4 mm axles, 20 mm long", kBlack,
         [] { return coupling(); }, 1, 1},
        {"34109", 4, "Crank 30", "Crank arm with a 4 mm bore and a handle 30 mm out", kRed,
         [] { return crank(); }, 1, 1},
        // Wheels and tyres
        {"35001", 5, "Wheel 30", "Spoked-disc wheel 30 mm across with a 4 mm bore", kRed,
         [] { return wheel30(); }, 1, 1},
        {"35003", 5, "Rim 45", "Rim for tyre 45, with a 4 mm bore", kRed, [] { return rim(kRim45); }, 1, 1},
        {"35005", 5, "Tyre 45", "Tyre 45 mm across with tread, fits rim 45", kBlack,
         [] { return tyre(15, 22.5, 8); }, 1, 1},
        {"35007", 5, "Rim 60", "Rim for tyre 60, with a 4 mm bore", kRed, [] { return rim(kRim60); }, 1, 1},
        {"35009", 5, "Tyre 60", "Tyre 60 mm across with tread, fits rim 60", kBlack,
         [] { return tyre(20, 30, 12); }, 1, 1},
        {"35011",
         5,
         "Wheel 45",
         "Rim 45 with tyre 45 mounted",
         kBlack,
         [] { return wheelSet(kRim45, 22.5); },
         1,
         1,
         0.0,
         {"35003", "35005"}},
        {"35013",
         5,
         "Wheel 60",
         "Rim 60 with tyre 60 mounted",
         kBlack,
         [] { return wheelSet(kRim60, 30); },
         1,
         1,
         0.0,
         {"35007", "35009"}},
        {"35015", 5, "Belt pulley 30", "Belt pulley 30 mm across with a V groove and a 4 mm bore", kRed,
         [] { return pulley(); }, 1, 1},
        // Gears
        {"36001", 6, "Gear Z10", "Spur gear, 10 teeth, module 1.5, 4 mm bore", kBlack,
         [] { return spurGear(10); }, 10, 1},
        {"36003", 6, "Gear Z15", "Spur gear, 15 teeth, module 1.5, 4 mm bore", kBlack,
         [] { return spurGear(15); }, 15, 1},
        {"36005", 6, "Gear Z20", "Spur gear, 20 teeth, module 1.5, 4 mm bore", kBlack,
         [] { return spurGear(20); }, 20, 1},
        {"36007", 6, "Gear Z30", "Spur gear, 30 teeth, module 1.5, 4 mm bore", kBlack,
         [] { return spurGear(30); }, 30, 1},
        {"36009", 6, "Gear Z40", "Spur gear, 40 teeth, module 1.5, 4 mm bore", kBlack,
         [] { return spurGear(40); }, 40, 1},
        {"36011", 6, "Gear Z20 with hub", "Spur gear, 20 teeth, module 1.5, with a hub 12 mm across", kGrey,
         [] { return spurGear(20, 8.0); }, 20, 1},
        {"36013", 6, "Worm", "Single-start worm, module 1.5, 30 mm long, 4 mm bore", kGrey,
         [] { return worm(); }, 1, 1},
        {"36015", 6, "Gear rack 30", "Gear rack, module 1.5, 30 mm long, two ball pins underneath", kGrey,
         [] { return rack(2); }, 6},
        {"36017", 6, "Gear rack 60", "Gear rack, module 1.5, 60 mm long, four ball pins underneath", kGrey,
         [] { return rack(4); }, 12},
        // Connectors
        {"37001", 7, "Double pin", "Two ball pins back to back; joins two grooves face to face", kRed,
         [] { return doublePin(); }},
        {"37003", 7, "Spacer 5", "Round spacer 8 mm across, 5 mm long, ball pin on each end", kRed,
         [] { return spacer(5, 4); }},
        {"37005", 7, "Spacer 15", "Round spacer 12 mm across, 15 mm long, ball pin on each end", kRed,
         [] { return spacer(15, 6); }},
        {"37007", 7, "Connector block 7.5",
         "Block 15 x 15 x 7.5 mm with a ball pin on each end and four grooves", kBlack,
         [=] {
             BlockSpec s = blockSpec(7.5);
             s.socket = false;
             s.backPin = true;
             return block(s);
         }},
        {"37009", 7, "Angle connector 90", "L-shaped connector with ball pins at right angles", kRed,
         [] { return angleConnector(); }},
        {"37011", 7, "Axle clip", "Clip 15 x 15 x 5 mm holding a 4 mm axle, ball pin underneath", kBlack,
         [] { return axleClip(); }},
        // Electrics
        {"38001", 8, "Motor", "Motor 30 x 30 x 45 mm with output shaft and plug sockets", kGrey,
         [] { return motor(); }, 1, 0, 12.90},
        {"38003", 8, "Battery box", "Battery box 45 x 30 x 60 mm with plug sockets", kBlack,
         [] { return batteryBox(); }, 1, 0, 6.50},
        {"38005",
         8,
         "Lamp",
         "Lamp with bulb on a 15 x 15 base, plug sockets",
         kLamp,
         [] { return lamp(); },
         1,
         0,
         2.40,
         {},
         0.85},
        {"38007", 8, "Switch", "Toggle switch block 15 x 15 x 30 mm with plug sockets", kBlack,
         [] { return switchBlock(); }, 1, 0, 3.20},
        {"38009", 8, "Plug", "Cable plug", kRed, [] { return plug(); }, 1, 0, 0.40},
        {"38011", 8, "Buzzer", "Round buzzer 24 mm across on a ball pin", kBlack, [] { return buzzer(); }, 1,
         0, 4.50},
        // Decoration
        {"39001", 18, "Fir tree", "Fir tree 30 mm high on a ball pin", kGreen, [] { return firTree(); }},
        {"39003", 18, "Figure", "Figure 23 mm high on a ball pin", kYellow, [] { return figure(); }},
        {"39005", 18, "Sign plate", "Sign plate 30 x 22.5 mm on a ball pin", kWhite,
         [] { return signPlate(); }},
        {"39007", 18, "Dome", "Half dome 30 mm across with a socket in its base", kBlue,
         [] { return dome(); }},
        {"39009", 18, "Star", "Five-pointed star 30 mm across with a ball pin on its back", kYellow,
         [] { return star(); }},
        {"39011", 18, "Fence 30", "Picket fence 30 mm long on two ball pins", kBrown, [] { return fence(); }},
    };

    std::vector<vxPartDesign> designs;
    int order = 0;
    for (auto& x : e) {
        vxPartDesign d;
        d.type.shortName = x.shortName;
        d.type.name = x.name;
        d.type.eng = x.eng;
        d.type.group = x.group;
        d.type.sortOrder = (order += 10);
        d.type.red = x.colour.r;
        d.type.green = x.colour.g;
        d.type.blue = x.colour.b;
        d.type.alpha = x.alpha;
        d.type.teeth = x.teeth;
        d.type.kineRot = x.kineRot;
        d.type.prize = x.prize;
        d.type.children = x.children;
        d.build = x.build;
        designs.push_back(std::move(d));
    }
    return designs;
}

} // namespace vxGen