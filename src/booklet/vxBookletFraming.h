#pragma once

#include "vxBaseSceneObject.h"
#include "vxModel.h"
#include "vxVector.h"

#include <cstddef>
#include <optional>
#include <vector>

// A camera of the view: the eye, the point looked at; the world's y is up.
struct vxBookletCamera {
    vxVector eye;
    vxVector target;
};

// A rectangle in a picture, each coordinate from 0 to 1, from the top left.
struct vxBookletArea {
    double x = 0, y = 0, width = 0, height = 0;
};

// The camera that looks along viewDirection (from the eye toward the
// target; the world's y up, the view's lens) and is just far enough away
// that every point lies inside a picture of the given width / height,
// `margin` (a fraction of the picture) left free on every side, the points
// centred. Without points it looks at the origin from a distance of 10.
vxBookletCamera vxFitBookletCamera(const std::vector<vxVector>& points, const vxVector& viewDirection,
                                   double aspect, double margin = 0.04);

// The eight three-quarter directions a step's picture may look along
// (from the eye toward the target): four azimuths, from above and from
// below, each kThreeQuarterElevation degrees off the horizontal.
struct vxBookletDirection {
    int azimuth = 0; // 0..3: the eye at 45 + 90 * azimuth degrees about y (anticlockwise from above, from +x)
    bool below = false;     // the eye below the target
    vxVector along() const; // from the eye toward the target, unit length
    double azimuthDegrees() const { return 45.0 + 90.0 * azimuth; }
    bool operator==(const vxBookletDirection&) const = default;
};
inline constexpr double kThreeQuarterElevation = 30.0;
// The three-quarter direction nearest a viewing direction.
vxBookletDirection vxNearestBookletDirection(const vxVector& viewDirection);

// Where a booklet's pictures look from and what they frame: the corners of
// every part's box in the world, one viewing direction for the whole
// booklet (the model file's, unless it looks almost straight up or down)
// and the model's proportions as seen from there. Plain geometry, no
// drawing: it reads the placed scene objects of a loaded model's parts.
class vxBookletFraming {
  public:
    vxBookletFraming() = default;
    // The model's parts must carry their scene objects (as the view's
    // loading makes them).
    explicit vxBookletFraming(const vxModel& model);

    const vxVector& direction() const { return m_direction; }
    // Width / height of the finished model as the booklet's camera sees it.
    double modelAspect() const { return m_modelAspect; }

    // The whole model filling a picture of the given width / height.
    vxBookletCamera wholeModel(double aspect, double margin = 0.04) const;
    // The camera that frames points, seen from the booklet's direction.
    vxBookletCamera fit(const std::vector<vxVector>& points, double aspect, double margin) const;

    // What a close-up of the given parts (indices into the model's part
    // list) frames: the box around them, at least `share` of the model's
    // size (its box's diagonal) each way, so that it shows where they sit.
    // Empty when none of the parts has a box.
    std::vector<vxVector> closeUpPoints(const std::vector<std::size_t>& parts, double share = 0.1) const;
    // closeUpPoints kept within the box of the built parts (indices into
    // the model's part list), around the new ones.
    std::vector<vxVector> workPoints(const std::vector<std::size_t>& parts,
                                     const std::vector<std::size_t>& built, double share) const;
    // The box around the parts' boxes (empty when none has one).
    vxBounds boxOf(const std::vector<std::size_t>& parts) const;
    // The corners of the box around the parts (empty when none has one).
    std::vector<vxVector> boxPoints(const std::vector<std::size_t>& parts) const;
    // Whether the part (an index into the model's part list) has a box.
    bool hasShape(std::size_t part) const
    {
        return part + 1 < m_partCorners.size() && m_partCorners[part] != m_partCorners[part + 1];
    }
    // Where points lie in the whole-model picture of the given width /
    // height, kept inside it. Empty without points or when one lies behind
    // the eye.
    std::optional<vxBookletArea> areaOf(const std::vector<vxVector>& points, double aspect) const;

    // How far a point lies from the box of a part (an index into the
    // model's part list): 0 inside it, infinity for a part without a box.
    double distanceToPart(std::size_t part, const vxVector& point) const;

  private:
    std::vector<vxVector> m_corners;        // of every part's box, in the world
    std::vector<std::size_t> m_partCorners; // where each part's corners start (and the end)
    vxVector m_direction;
    double m_modelAspect = 1.0;
};
