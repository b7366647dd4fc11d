#pragma once

#include "vxBookletFraming.h"
#include "vxLens.h"
#include "vxPartsList.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// What a booklet shows, apart from how its pages are laid out and painted:
// the steps in building order, the parts each adds with their callouts,
// and for each of its pictures everything needed to draw it again. The PDF
// and the printer paint from it; other writers of building instructions
// can share it.

// Everything that decides a picture of the model: what is built, how it is
// drawn, the camera and the size. The view draws with the world's y up and
// its lens's field of view; they are kept here so that a picture can be
// reproduced without knowing that.
struct vxBookletRender {
    std::int32_t phase = 0;  // the model as it stands at the end of this building phase
    bool highlight = false;  // the parts of earlier phases held back so that the new ones stand out
    bool seeThrough = false; // the parts of earlier phases drawn see-through (new parts they hide show)
    // Parts of this phase not fitted yet in this picture (indices into the
    // model's part list): a picture of the parts they would cover.
    std::vector<std::size_t> leftOut;
    int width = 1, height = 1; // pixels
    vxVector eye, target;
    vxVector up{0, 1, 0};
    double fieldOfView = vxLens::kFieldOfView; // degrees, top to bottom
};

struct vxBookletPicture {
    enum class Role {
        Main,   // the model at the end of the step
        Detail, // a close-up of where the step's parts go
        Extra,  // parts no view of the finished step shows, before what covers them
    };
    Role role = Role::Main;
    vxBookletRender render;
    // A close-up's place in the step's main picture: the area it enlarges.
    std::optional<vxBookletArea> enlarges;
};

// Cables and ropes (the model's tubes) of one colour, length and thickness.
struct vxBookletTubeEntry {
    std::int32_t count = 0;
    vxVector color;
    vxColorName colorName;
    double lengthMm = 0;            // along the tube's nodes, rounded to whole millimetres
    double thicknessMm = 0;         // the tube's radius
    std::vector<std::size_t> tubes; // indices into the model's tube list
};

// The length of a tube's node path in millimetres (model units are
// centimetres); node counts beyond the tube's nodes count as all of them.
double vxTubeLengthMm(const vxTube& tube);

struct vxBookletStep {
    int number = 0;                 // 1, 2, 3 … in building order, whatever the phases
    std::int32_t phase = 0;         // the model file's building phase
    std::vector<std::size_t> parts; // indices into the model's part list, in part-list order
    // The parts to pick up, one entry per part type and colour.
    std::vector<vxPartsListEntry> callouts;
    // The tubes fitted in this step (indices into the model's tube list)
    // and their callouts: a tube is fitted in the step that adds the last of
    // the parts at its two ends, in the last step when no part is near them.
    std::vector<std::size_t> tubes;
    std::vector<vxBookletTubeEntry> tubeCallouts;
    std::vector<vxBookletPicture> pictures; // the main picture first
    // How the builder turns the model before this step, from the view of
    // the step before: about the vertical by turnDegrees (seen from above,
    // positive anticlockwise), and upside down or back when turnOver.
    double turnDegrees = 0;
    bool turnOver = false;

    const vxBookletPicture* picture(vxBookletPicture::Role role) const;
};

struct vxBookletSteps {
    std::vector<vxBookletStep> steps;         // in building order
    std::vector<vxPartsListEntry> partsList;  // every part of the model
    std::vector<vxBookletTubeEntry> tubeList; // every tube of the model
};

// The size of a step's main picture on paper and the resolution pictures
// are drawn at.
struct vxBookletPictureSize {
    double widthMm = 100, heightMm = 100;
    double dpi = 200;
};

// A close-up shows beside a step's main picture when the parts it adds take
// less than this share of the picture's width and height; it takes
// kDetailShare of the main picture's width and height.
inline constexpr double kDetailBelow = 0.3;
inline constexpr double kDetailShare = 0.42;

// Pixels for a length on paper at dpi, at least 1.
int vxBookletPixels(double mm, double dpi);

// The whole model at the end of the phase, filling a picture of the given
// pixels, seen from the booklet's direction.
vxBookletRender vxWholeModelRender(const vxBookletFraming& framing, std::int32_t phase, bool highlight,
                                   int width, int height);

// The rule every step keeps: each part it adds covers at least this many
// pixels of one of its pictures (at the booklet's resolution).
inline constexpr double kLeastPartPixels = 200;
// The steps measure with this much to spare (the measuring picture is
// smaller and coarser than the booklet's).
inline constexpr double kMeasuredPartPixels = 260;
// The whole model is shown again at the last step and every this many
// steps, where its parts are large enough in it.
inline constexpr int kWholeModelEvery = 10;

// A part whose coarse count is below this is counted again, finely: a thin
// part's coarse count can be far off.
inline constexpr double kCoarseUnsureBelow = 3 * kMeasuredPartPixels;
// What a fine count needs to spare: a part covers pixels that hardly change
// when it is left out where it looks like what lies behind it (a grey part
// before greyed ones), and the picture is drawn larger and scaled down.
inline constexpr double kFinePartPixels = 280;

// How many pixels each of the subject's parts (by its index in the model's
// part list) covers in the picture a render describes, at the render's
// size: coarse (the booklet measures in a smaller picture and scales up)
// or, with fine, counted in a picture of the render's own size. The
// counts of other parts may be short.
using vxBookletMeasure = std::function<std::vector<double>(const vxBookletRender&, bool fine,
                                                           const std::vector<std::size_t>& subject)>;

// The booklet's steps: one for every building phase that adds parts, in
// phase order and numbered from 1, each with its callouts (as
// vxMakePhasePartsLists gives them) and its main picture, the new parts
// highlighted: seen from one of the eight three-quarter directions, the
// one of the step before unless another shows more of the new parts, and
// framed on the new parts with some of the model around them, close
// enough that each new part covers kLeastPartPixels. Parts no direction
// shows get an extra picture that shows them through the earlier parts.
// Without measure, every step looks from the direction nearest the
// model's own, framed on its parts. The model's parts must carry their
// scene objects; framing is made from the same model.
vxBookletSteps vxMakeBookletSteps(const vxModel& model, const vxBookletFraming& framing,
                                  const vxBookletPictureSize& size, const vxBookletMeasure& measure = {});
