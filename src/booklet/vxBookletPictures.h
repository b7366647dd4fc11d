#pragma once

#include "vxOffscreenHost.h"
#include "vxPartsList.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSize>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A camera of the view: the eye, the point looked at; the world's y is up.
struct vxBookletCamera {
    vxVector eye;
    vxVector target;
};

// Pictures are drawn up to this many times larger in each direction and
// scaled down; the larger drawing has at most kMaxDrawnPixels (the renderer
// needs about 12 bytes a pixel).
inline constexpr int kSupersample = 2;
inline constexpr double kMaxDrawnPixels = 6.0e6;

// The camera that looks along viewDirection (from the eye toward the
// target; the world's y up, the view's lens) and is just far enough away
// that every point lies inside a picture of the given width / height,
// `margin` (a fraction of the picture) left free on every side, the points
// centred. Without points it looks at the origin from a distance of 10.
vxBookletCamera vxFitBookletCamera(const std::vector<vxVector>& points, const vxVector& viewDirection,
                                   double aspect, double margin = 0.04);

// Draws a picture with the off-screen view, up to kSupersample times larger
// each way (within kMaxDrawnPixels) and scaled down, which smooths its
// edges. A null image when nothing can be drawn.
QImage vxDrawPicture(vxOffscreenView& target, QSize pixels);

// Lets go of the off-screen GL context current on this thread, if any, so
// that a window's context can be made current (the off-screen hosts take
// theirs back when they draw next).
void vxReleaseOffscreenContext();

// Part pictures for parts lists: the part type in the colour of the parts,
// square, over a background colour, drawn off-screen and kept.
class vxPartPictures {
  public:
    explicit vxPartPictures(QColor background);
    ~vxPartPictures();
    vxPartPictures(const vxPartPictures&) = delete;
    vxPartPictures& operator=(const vxPartPictures&) = delete;

    // The entry's part type (mesh offsets from the definition of its first
    // part in model) in the entry's colour. A null image when the part has
    // no mesh.
    QImage picture(const vxPartsListEntry& entry, const vxModel& model, int pixels);
    // Lets the renderer and its GL context go; the pictures stay.
    void releaseRenderer() { m_view.reset(); }

  private:
    QColor m_background;
    std::unique_ptr<vxOffscreenView> m_view; // made on first use
    std::map<std::tuple<std::string, std::string, int>, QImage> m_cache;
};

// Draws the pictures of a building-instructions booklet with the off-screen
// renderer: the model at the end of a phase, always from the same direction
// and framed so that the finished model fits, and part pictures.
class vxBookletPictures {
  public:
    // The background of the model pictures (the paper) and of the part
    // pictures (the parts boxes).
    static inline const QColor kPaper{255, 255, 255};
    static inline const QColor kPartsBox{236, 241, 247};

    vxBookletPictures();
    ~vxBookletPictures();
    vxBookletPictures(const vxBookletPictures&) = delete;
    vxBookletPictures& operator=(const vxBookletPictures&) = delete;

    // False when no off-screen drawing is possible; error() says why.
    bool ok() const;
    std::string error() const;

    // Reads the model file and builds its scene.
    vxLoadResult load(const std::string& path);
    const vxModel& model() const;

    // Width / height of the finished model as the booklet's camera sees it.
    double modelAspect() const { return m_modelAspect; }

    // The model at the end of the phase, the parts of earlier phases faded
    // when highlight is set, filling a picture of the given size.
    QImage modelPicture(std::int32_t phase, bool highlight, QSize pixels);
    // The part type of the entry in its colour, square, on the parts-box
    // colour. A null image when the part has no mesh.
    QImage partPicture(const vxPartsListEntry& entry, int pixels);

    // Where the close-up of a phase lies in the model picture of the given
    // width / height: a rectangle from 0 to 1, from the top left. Empty
    // when the phase adds no parts.
    std::optional<QRectF> newPartsArea(std::int32_t phase, double aspect) const;
    // The close-up: the parts the phase adds and what is around them (at
    // least a tenth of the model each way), the rest faded, seen from the
    // booklet's direction.
    QImage detailPicture(std::int32_t phase, QSize pixels);

  private:
    std::vector<vxVector> detailPoints(std::int32_t phase) const;
    // The model at the phase, the highlight on or off, seen from the
    // booklet's direction with the points filling the picture.
    QImage drawFitted(std::int32_t phase, bool highlight, const std::vector<vxVector>& points, QSize pixels,
                      double margin);

    vxOffscreenView m_scene;
    vxPartPictures m_parts{kPartsBox};
    std::vector<vxVector> m_corners;        // of every part's box, in the world
    std::vector<std::size_t> m_partCorners; // where each part's corners start (and the end)
    vxVector m_direction;
    double m_modelAspect = 1.0;
    std::int32_t m_shownPhase = -1;
};
