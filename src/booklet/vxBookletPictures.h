#pragma once

#include "vxBookletSteps.h"
#include "vxExport.h"
#include "vxOffscreenHost.h"
#include "vxPartPicture.h"
#include "vxPartsList.h"

#include <QColor>
#include <QImage>
#include <QSize>
#include <QSizeF>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

// Pictures are drawn up to this many times larger in each direction and
// scaled down; the larger drawing has at most kMaxDrawnPixels (the renderer
// needs about 12 bytes a pixel).
inline constexpr int kSupersample = 2;
inline constexpr double kMaxDrawnPixels = 6.0e6;

// Draws a picture with the off-screen view, up to kSupersample times larger
// each way (within kMaxDrawnPixels) and scaled down, which smooths its
// edges. A framebuffer of the same shape that is large enough is drawn in
// as it is; `drawn`, when valid, is the size to draw at instead. A null
// image when nothing can be drawn.
QImage vxDrawPicture(vxOffscreenView& target, QSize pixels, QSize drawn = QSize());

// The size vxDrawPicture draws a picture of the given pixels at: up to
// kSupersample times larger each way, within kMaxDrawnPixels.
QSize vxSupersampledSize(QSize pixels);

// The booklet's measuring pictures are this share of the pictures' width
// and height.
inline constexpr double kMeasureScale = 0.25;

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
    // How large the entry's part type shows in a part picture, in
    // millimetres (as vxMeasurePartPicture measures it). Empty when the part
    // has no mesh.
    std::optional<vxPartPictureExtent> extentMm(const vxPartsListEntry& entry, const vxModel& model);
    // The entry's part type at a fixed scale: scale millimetres of the part
    // to a millimetre of a picture widthMm x heightMm drawn at dpi, centred;
    // a part larger than the picture at that scale is drawn smaller, filling
    // it. Pictures drawn with one scale show every part equally enlarged. A
    // null image when the part has no mesh.
    QImage picture(const vxPartsListEntry& entry, const vxModel& model, QSizeF mm, double scale, double dpi);
    // Lets the renderer and its GL context go; the pictures stay.
    void releaseRenderer() { m_view.reset(); }

  private:
    // The part type's scene object, loaded; null without a part to load.
    std::shared_ptr<vxBaseSceneObject> object(const vxPartsListEntry& entry, const vxModel& model) const;
    // Draws the object framed by frame in the entry's colour; keeps the
    // picture under key unless drawing failed.
    using Key = std::tuple<std::string, std::string, int, int, long long>;
    QImage draw(const Key& key, const vxPartsListEntry& entry, const vxModel& model, QSize pixels,
                const std::function<bool(vxOpenGLView&, vxBaseSceneObject&)>& frame);

    QColor m_background;
    std::unique_ptr<vxOffscreenView> m_view; // made on first use
    std::map<Key, QImage> m_cache;
    std::map<std::string, std::optional<vxPartPictureExtent>> m_extents;
};

// Draws the pictures of a building-instructions booklet with the off-screen
// renderer: the model as a step's render settings describe it, and part
// pictures.
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
    // The loaded model and its scene objects, for an export.
    vxExportSource exportSource() const { return m_scene.view.exportSource(); }
    // Where the pictures of the loaded model look from and what they frame.
    const vxBookletFraming& framing() const { return m_framing; }

    // The model as the render settings describe it, from them alone (the
    // pictures and measures drawn before change nothing): the highlight in
    // the booklet's look (earlier parts greyed, new parts outlined), drawn
    // at vxSupersampledSize, or at `drawn` when it is valid (see
    // vxDrawPicture). A null image when nothing can be drawn.
    QImage draw(const vxBookletRender& render, QSize drawn = QSize());
    // Leaves a part (an index into the model's part list) out of the
    // pictures drawn next, or puts it back.
    void setPartLeftOut(std::size_t part, bool leftOut);
    // How many pixels each part (by its index in the model's part list)
    // covers in the picture the render describes, drawn at scale times its
    // width and height in flat colours, one sample per pixel (see
    // vxOpenGLView::partPixelCounts; see-through: only the render's phase
    // hides parts). Raw counts of the smaller picture. Given only, the
    // counts of those parts alone are whole. At full size (scale 1) the
    // parts' own meshes are drawn.
    std::vector<std::uint32_t> countPixels(const vxBookletRender& render, double scale,
                                           const std::vector<std::size_t>* only = nullptr);
    // countPixels at kMeasureScale, scaled up to the render's size, or fine,
    // at the render's own size: what the step model measures with.
    vxBookletMeasure measure();
    // The part type of the entry in its colour, square, on the parts-box
    // colour. A null image when the part has no mesh.
    QImage partPicture(const vxPartsListEntry& entry, int pixels);
    // The same at a fixed scale (see vxPartPictures::picture), and how large
    // the part shows, in millimetres.
    QImage partPicture(const vxPartsListEntry& entry, QSizeF mm, double scale, double dpi);
    std::optional<vxPartPictureExtent> partExtentMm(const vxPartsListEntry& entry);

  private:
    // The model at the render's phase, without the parts it leaves out.
    void show(const vxBookletRender& render);

    vxOffscreenView m_scene;
    vxPartPictures m_parts{kPartsBox};
    vxBookletFraming m_framing;
    std::int32_t m_shownPhase = -1;
    std::vector<std::size_t> m_leftOut;
};
