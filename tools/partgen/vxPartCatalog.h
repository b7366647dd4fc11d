#pragma once

// The Kolbrik part catalogue: every part type of our construction kit with
// its definition values, its connection points and its mesh. The generator
// (kolbrik-partgen) writes them as <short name>.def and <short name>.stl
// into the resource folder; a model builder can link this library
// (kx_partcatalog) and read the same data without parsing the files.
//
// Frames and units
// ----------------
// Everything here is in millimetres in the PART FRAME. The part frame is the
// frame of the mesh after its [OFFSET] has been added: a point written to the
// STL file at s is at s + offset in the part frame, and the viewer places it
// at position + M * ((s + offset) / 10) in model units (centimetres), where M
// turns the part frame's X axis to up x direction, Y to up, Z to direction.
// So a part frame point p ends up at position + M * (p / 10).
//
// The part frame's origin is the part's natural attachment point (for a
// building block: the foot of its pin), +Y is the part's "up" and +Z its
// "direction" (the way a block's pin points).
//
// Connections
// -----------
// Each connection is a pin (TYP 1) or a hole (TYP 0) with:
//   X, Y, Z     the SEAT: the point on the feature's axis in the plane of the
//               face it stands on or opens in (the foot of a pin, the centre
//               of a hole's mouth, a point on a groove's centre line at the
//               mouth; the end centre of an axle or shaft), part frame, mm.
//   PN, RN, TN  the unit direction the pin points or the hole opens: away
//               from the part, out of the face.
//   PF, RF, TF  a unit reference direction perpendicular to PN,RN,TN: for a
//               groove the direction it runs in (a pin may slide along it);
//               for round features the part's preferred "up" about the axis.
//   THICK       the diameter of the pin, hole, axle or seat, mm.
//   NAME        the kind: "pin", "groove", "socket", "hole", "bore", "axle",
//               "rim", "tyre", "plug", "plug socket".
// Two parts join when a pin-kind and a hole-kind that fit each other
// (fits()) have their seats at the same point and opposite directions.

#include "vxMeshKit.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vxGen {

// Dimensions of the system (mm).
namespace vxKolbrik {
inline constexpr double kGrid = 15.0;            // block edge and hole pitch
inline constexpr double kPinNeckRadius = 1.35;   // the pin's neck
inline constexpr double kPinBallRadius = 1.9;    // the pin's ball head
inline constexpr double kPinBallCentre = 3.1;    // height of the ball's centre over the seat
inline constexpr double kPinLength = 5.0;        // seat to tip
inline constexpr double kGrooveMouthHalf = 1.45; // half the width of a groove's mouth
inline constexpr double kGrooveRadius = 2.0;     // the groove's round channel
inline constexpr double kGrooveCentre = 3.1;     // depth of the channel's centre
inline constexpr double kGrooveDepth = 5.1;      // depth of the channel's bottom
inline constexpr double kSocketRadius = 2.0;
inline constexpr double kSocketDepth = 5.1;
inline constexpr double kHoleDiameter = 4.1; // strut holes and bores
inline constexpr double kAxleDiameter = 4.0;
inline constexpr double kPlugDiameter = 2.6;
inline constexpr double kGearModule = 1.5; // gear centre distance = (z1 + z2) * 0.75
} // namespace vxKolbrik

enum class vxConnectionKind {
    Pin,        // ball pin standing on a face (TYP 1)
    Groove,     // groove that takes a ball pin, open along its run (TYP 0)
    Socket,     // blind round hole for a ball pin (TYP 0)
    Hole,       // round through hole of a strut or plate (TYP 0)
    Bore,       // round through hole for an axle (TYP 0)
    Axle,       // end of an axle or a shaft (TYP 1)
    Rim,        // the seat of a tyre on a rim (TYP 1)
    Tyre,       // the inside of a tyre (TYP 0)
    Plug,       // cable plug pin (TYP 1)
    PlugSocket, // socket for a cable plug (TYP 0)
};

struct vxPartConnection {
    vxConnectionKind kind = vxConnectionKind::Pin;
    std::string eng;       // ENG: where it is ("pin on the front face")
    vxVec3 position;       // the seat, part frame, mm
    vxVec3 normal;         // PN, RN, TN
    vxVec3 reference;      // PF, RF, TF
    double diameter = 0.0; // THICK
    // Pins: seat to tip. Grooves and sockets: mouth to bottom. Holes and
    // bores: their length through the part. Rims and tyres: the width of
    // the seat, centred on the seat point. Axles: 0.
    double depth = 0.0;

    int typ() const;          // 0 hole, 1 pin
    const char* name() const; // NAME: the kind's keyword
};

// Whether a pin-kind connection fits a hole-kind one.
bool fits(vxConnectionKind pin, vxConnectionKind hole);

// The placement of a part in another part's frame that joins its connection
// `moving` to the other's connection `fixed`: the seats meet, the normals
// point against each other and the references agree. In a model file the
// moved part then has up = frame.ey, direction = frame.ez and position =
// frame.origin / 10 (cm), all in the fixed part's frame.
vxFrame matingFrame(const vxPartConnection& moving, const vxPartConnection& fixed);

struct vxPartType {
    std::string shortName;            // five-digit article number; names the resources
    std::string name;                 // NAME: English display name
    std::string eng;                  // ENG: a longer description
    int group = 0;                    // GROUP: 0..8 or 18
    int sortOrder = 0;                // SORTORDER
    int red = 0, green = 0, blue = 0; // default colour, 0..255
    double alpha = 1.0;
    int printable = 1, hide = 0;
    int kineRot = 0;                   // KINEROT: 1 for parts that turn about their Z axis
    int teeth = 1;                     // TEETH: gear teeth, worm starts; 1 otherwise
    double prize = 0.0;                // PRIZE: list price, euro
    std::vector<std::string> children; // short names of the parts it is made of
    std::vector<vxPartConnection> connections;

    // Filled from the mesh.
    vxVec3 boundsMin, boundsMax; // part frame, mm
    vxVec3 offset;               // [OFFSET]: STL coordinate + offset = part frame
    std::size_t triangleCount = 0;

    vxVec3 size() const { return boundsMax - boundsMin; }
};

namespace vxPartCatalog {

// All part types, ordered by short name. Built once, on first use (a few
// tenths of a second); throws std::runtime_error naming the part when a
// design cannot be built, which the catalogue's tests rule out.
const std::vector<vxPartType>& partTypes();
// The part type with this short name, or nullptr.
const vxPartType* find(const std::string& shortName);
// The mesh of a part type in its part frame (mm); empty for an unknown name.
const vxMesh& mesh(const std::string& shortName);

// The definition file text (section format, CR LF lines, ASCII).
std::string definitionText(const vxPartType& part);
// The binary STL file: the mesh moved by -offset.
std::string meshBytes(const vxPartType& part);
// The header text of every STL file.
std::string meshHeader(const vxPartType& part);

// Writes <short name>.def and <short name>.stl of every part type into
// folder, creating it; a file whose content is already right is not
// rewritten. written receives the file names. False with a reason on a
// write failure.
bool writeResources(const std::string& folder, std::vector<std::string>* written, std::string* error);

// A table of the part types: short name, group, name, triangles, size,
// connection counts, and a totals line.
std::string table();

} // namespace vxPartCatalog

} // namespace vxGen
