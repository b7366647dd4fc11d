#pragma once

// Builds one Kolbrik model in code: parts of the catalogue joined at their
// connection points, building phases, tubes for cables and hoses, and the
// three information texts. The builder then stands the model on the ground
// grid, centres it, frames it with a three-quarter camera and writes the
// model file.
//
// Frames and units
// ----------------
// While a model is built everything is in millimetres in the WORLD frame:
// Y is up, the ground is y = 0 (the builder moves the finished model so
// that its lowest point lies there). A part's frame (vxFrame, from the
// catalogue's mesh kit) maps its part-frame points to the world: ex is the
// placed part's X axis (up x direction in the model file), ey its up, ez its
// direction. The model file gets the frame's origin divided by 10
// (centimetres, the viewer's model units).
//
// Connections are named by their ENG text as in the catalogue ("groove on
// the top face, cell 2"), by a short alias (see connectionIndex), or by
// "#n" (the n-th connection, from 1).

#include "vxPartCatalog.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace vxGen {

// Colours as the model file writes them: red in the lowest byte.
namespace vxColor {
constexpr std::int32_t rgb(int r, int g, int b)
{
    return r | (g << 8) | (b << 16);
}
inline constexpr std::int32_t Red = rgb(196, 32, 32);
inline constexpr std::int32_t DarkRed = rgb(130, 22, 22);
inline constexpr std::int32_t Yellow = rgb(240, 184, 24);
inline constexpr std::int32_t Orange = rgb(236, 112, 20);
inline constexpr std::int32_t Blue = rgb(30, 84, 176);
inline constexpr std::int32_t LightBlue = rgb(90, 160, 220);
inline constexpr std::int32_t Green = rgb(40, 132, 56);
inline constexpr std::int32_t LightGreen = rgb(110, 180, 70);
inline constexpr std::int32_t Black = rgb(48, 48, 52);
inline constexpr std::int32_t Grey = rgb(140, 142, 146);
inline constexpr std::int32_t LightGrey = rgb(196, 198, 200);
inline constexpr std::int32_t White = rgb(236, 236, 230);
inline constexpr std::int32_t Brown = rgb(120, 76, 40);
inline constexpr std::int32_t Sand = rgb(214, 192, 140);
inline constexpr std::int32_t Silver = rgb(176, 180, 186);
inline constexpr std::int32_t Gold = rgb(212, 168, 40);
} // namespace vxColor

// A problem found in a model while it is built or checked.
class vxModelError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Frames.
vxFrame vxFrameAt(const vxVec3& origin, const vxVec3& direction, const vxVec3& up);
// a after b: a point p goes to a.point(b.point(p)).
vxFrame vxCompose(const vxFrame& a, const vxFrame& b);
// The frame turned by angle degrees (right hand) about the axis through
// point along axis.
vxFrame vxRotated(const vxFrame& f, const vxVec3& point, const vxVec3& axis, double degrees);
vxFrame vxMoved(const vxFrame& f, const vxVec3& by);
vxVec3 vxRotate(const vxVec3& v, const vxVec3& axis, double degrees);

// The connection of a part type named by sel: its ENG text, an alias or
// "#n". Throws vxModelError naming the part's connections when none or
// several match.
//
// Aliases: "pin" (the pin on the front face, the pin underneath), "socket",
// "pin back", "top2" / "left1" / ... (groove on that face, cell), "top1.2"
// (face row 1, cell 2, on the motor and the battery box), "g3.5" (base
// plate groove 3, cell 5), "p1.2" (plate pin under cell 1,2), "p3" (rack
// pin), "side1" (pin on the top face 1), "h3u" / "h3t" (strut hole 3,
// underside / top side), "back" / "front" (bore ends), "bore left" / "bore
// right" (cross bore), "end1" / "end2" (axle ends, from z = 0), "shaft",
// "rim", "tyre", "plug", "plug left" / "plug right", "groove" (an angle
// block's), "back1" / "bottom2" (angle connector grooves), "pin up",
// "pin left" / "pin right" (fence).
std::size_t vxConnectionIndex(const vxPartType& type, const std::string& sel);

// A model file's camera: where it stands, the point it looks at and the
// way it looks (the up direction is +y).
struct vxCameraFit {
    vxVec3 eye, target, forward;
};

// How far from the middle of the picture (as a part of its half width and
// half height) the farthest point of a framed model lies.
inline constexpr double kCameraMargin = 0.88;

// The camera that looks from the side (azimuth, elevation; see
// vxModelBuilder::setView) at points, with the view's lens and a 4:3
// picture: every point inside kCameraMargin of the picture, the farthest
// on it, and the points' picture centred. The search starts looking at
// target.
vxCameraFit vxFitCamera(const std::vector<vxVec3>& points, vxVec3 target, double azimuth, double elevation);

class vxModelBuilder {
  public:
    // A building step adds this many parts at least and at most (unless the
    // whole model has fewer).
    static constexpr int kMinStepParts = 3;
    static constexpr int kMaxStepParts = 25;

    struct Part {
        const vxPartType* type = nullptr;
        vxFrame frame; // world, mm
        std::int32_t color = 0;
        int phase = 1;
    };
    struct Tube {
        double radius = 1.0; // mm
        std::int32_t color = 0;
        std::vector<vxVec3> nodes; // world, mm
    };
    // A connection of a placed part in world coordinates.
    struct WorldConnection {
        const vxPartConnection* connection = nullptr;
        vxVec3 seat, normal, reference;
    };

    vxModelBuilder() = default;

    // The information texts: what the model is, where it comes from, who
    // built it. ASCII, no "=".
    void describe(const std::string& model, const std::string& original,
                  const std::string& builtBy = "Kolbrik model workshop");

    // Building phases: new parts take the current phase (from 1).
    int phase() const { return m_phase; }
    void setPhase(int phase) { m_phase = phase; }
    int nextPhase() { return ++m_phase; }

    // A part with its part frame at frame (world, mm). The first part of a
    // model is placed so; the others are joined to it.
    int place(const std::string& shortName, const vxFrame& frame, std::int32_t color);
    // A part whose connection conn joins connection toConn of part to: the
    // seats meet and the normals point against each other (a pin in a
    // groove, a socket or a hole). spin turns the new part about the joint
    // axis (degrees, right hand about the fixed connection's normal).
    int attach(const std::string& shortName, const std::string& conn, int to, const std::string& toConn,
               std::int32_t color, double spin = 0.0);
    // The same with both normals pointing the same way: an axle end flush
    // with the mouth of a bore, a wheel or a gear sitting on an axle's or a
    // shaft's end. shift then moves the new part along the normal (mm, out
    // of the fixed part positive), to run an axle on through a bore.
    int attachFlush(const std::string& shortName, const std::string& conn, int to, const std::string& toConn,
                    std::int32_t color, double shift = 0.0, double spin = 0.0);

    // attach, then turned about the joint axis so that the seat of the new
    // part's connection `aim` points at target (world, mm) as closely as
    // the turn allows: a strut whose far hole lands on another pin.
    int attachToward(const std::string& shortName, const std::string& conn, int to, const std::string& toConn,
                     std::int32_t color, const std::string& aim, const vxVec3& target);
    // attach, then turned about the joint axis so that the way from the
    // joint to the seat of `aim` runs along direction (world).
    int attachAlong(const std::string& shortName, const std::string& conn, int to, const std::string& toConn,
                    std::int32_t color, const std::string& aim, const vxVec3& direction);
    // attach, then turned about the joint axis so that the normal of `aim`
    // (a shaft, a pin) points along direction as closely as it can.
    int attachFacing(const std::string& shortName, const std::string& conn, int to, const std::string& toConn,
                     std::int32_t color, const std::string& aim, const vxVec3& direction);

    // Moves a placed part (mm).
    void move(int index, const vxVec3& by);
    // Turns a placed part by degrees about the axis through point.
    void turn(int index, const vxVec3& point, const vxVec3& axis, double degrees);

    // The frame attach / attachFlush would give, without adding the part.
    vxFrame joinFrame(const std::string& shortName, const std::string& conn, int to,
                      const std::string& toConn, bool flush, double spin = 0.0, double shift = 0.0) const;

    // A cable from plug socket a of part pa to plug socket b of part pb: a
    // plug in each and a tube between the plugs' backs that hangs in a
    // gentle arc (sag in mm) through the given way points.
    void cable(int pa, const std::string& a, int pb, const std::string& b, std::int32_t plugColor,
               std::int32_t cableColor, double sag = 20.0, const std::vector<vxVec3>& via = {});
    // A tube through the given points (world, mm), smoothed into at most
    // 200 nodes.
    void tube(double radius, std::int32_t color, const std::vector<vxVec3>& points);

    // The camera's side: azimuth 0 looks from the front (-z) towards +z,
    // positive azimuth moves the camera to the right (+x); elevation above
    // the ground plane. Degrees.
    void setView(double azimuth, double elevation)
    {
        m_azimuth = azimuth;
        m_elevation = elevation;
    }

    std::size_t size() const { return m_parts.size(); }
    const Part& part(int index) const { return m_parts.at(static_cast<std::size_t>(index)); }
    Part& part(int index) { return m_parts.at(static_cast<std::size_t>(index)); }
    const std::vector<Part>& parts() const { return m_parts; }
    const std::vector<Tube>& tubes() const { return m_tubes; }
    WorldConnection connection(int index, const std::string& sel) const;
    vxVec3 seat(int index, const std::string& sel) const { return connection(index, sel).seat; }
    vxVec3 normal(int index, const std::string& sel) const { return connection(index, sel).normal; }

    // Problems of the model: parts that are not joined to any other part,
    // parts that are not connected with the first part through joins,
    // phases that are empty. Empty when all is well.
    std::vector<std::string> problems() const;

    // The model file (CR LF lines): the model moved onto the ground and to
    // the middle of the grid, the camera framing it. Throws vxModelError
    // when problems() finds any, unless `checked` is false.
    std::string modelFile(bool checked = true) const;

    // The parts in building order with their building steps 1, 2, 3, ...,
    // as modelFile writes them (see phaseOrder).
    std::vector<std::pair<std::size_t, int>> steps() const;
    // For every part the parts it is joined to (a connection meets a fitting
    // one within 0.1 mm, or an axle runs through a bore or hole).
    std::vector<std::vector<std::size_t>> joins() const;
    // A double pin or a spacer: a part that joins two others and is covered
    // by the second.
    bool isConnector(std::size_t index) const;

  private:
    const vxPartType& type(const std::string& shortName) const;
    // Attaches, then turns the part about the joint's axis so that what
    // aim names points along direction: the way from the joint's seat to
    // the seat aim, or (byNormal) the normal of the connection aim.
    int attachTurned(const std::string& shortName, const std::string& conn, int to, const std::string& toConn,
                     std::int32_t color, const std::string& aim, const vxVec3& direction, bool byNormal);

    // The steps of modelFile.
    // Throws vxModelError naming the first of problems().
    void validate() const;
    // The world's bounds of every mesh, and the shift that stands the model
    // on the ground (its lowest point at y = 0) with the middle of its
    // footprint over the origin (mm).
    struct Ground {
        vxVec3 lo, hi, shift;
    };
    Ground placeOnGround() const;
    // The parts in building order with their building steps 1, 2, 3, ...:
    // the model's phases in order; within a phase its areas (parts joined
    // or touching) one after the other, each course by course from the
    // bottom and round each course (a long low area section by section),
    // every part after one it is joined to; a double pin right before the
    // second part it joins. A phase of fewer than kMinStepParts parts is
    // joined with the next, one of more than kMaxStepParts cut where the
    // work moves on (between areas, courses or sections) into steps of
    // parts close together.
    std::vector<std::pair<std::size_t, int>> phaseOrder() const;
    // The camera that frames every part's bounding box, standing on the
    // ground (cm).
    vxCameraFit fitCamera(const Ground& ground) const;
    // The model file text (CR LF lines).
    std::string write(const Ground& ground, const std::vector<std::pair<std::size_t, int>>& order,
                      const vxCameraFit& camera) const;

    std::vector<Part> m_parts;
    std::vector<Tube> m_tubes;
    int m_phase = 1;
    double m_azimuth = 35.0;
    double m_elevation = 24.0;
    std::string m_infModel, m_infOriginal, m_infBuiltBy;
};

} // namespace vxGen
