#include "vxBookletSteps.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

vxBookletRender renderFrom(const vxBookletCamera& camera, std::int32_t phase, bool highlight, int width,
                           int height)
{
    vxBookletRender r;
    r.phase = phase;
    r.highlight = highlight;
    r.width = width;
    r.height = height;
    r.eye = camera.eye;
    r.target = camera.target;
    return r;
}

} // namespace

const vxBookletPicture* vxBookletStep::picture(vxBookletPicture::Role role) const
{
    const auto it = std::find_if(pictures.begin(), pictures.end(),
                                 [role](const vxBookletPicture& p) { return p.role == role; });
    return it == pictures.end() ? nullptr : &*it;
}

int vxBookletPixels(double mm, double dpi)
{
    return std::max(1, static_cast<int>(std::lround(mm * (dpi / 25.4))));
}

vxBookletRender vxWholeModelRender(const vxBookletFraming& framing, std::int32_t phase, bool highlight,
                                   int width, int height)
{
    const double aspect = static_cast<double>(width) / std::max(height, 1);
    return renderFrom(framing.wholeModel(aspect), phase, highlight, width, height);
}

vxBookletSteps vxMakeBookletSteps(const vxModel& model, const vxBookletFraming& framing,
                                  const vxBookletPictureSize& size)
{
    vxBookletSteps out;
    out.partsList = vxMakePartsList(model, std::nullopt);

    std::map<std::int32_t, std::vector<std::size_t>> added;
    const auto& parts = model.partList();
    const std::size_t n = std::min(parts.size(), static_cast<std::size_t>(std::max(model.count(), 0)));
    for (std::size_t i = 0; i < n; ++i)
        added[vxBuildingStepOf(*parts[i])].push_back(i);

    // Every main picture has the same size and so the same camera: the
    // model keeps its place from step to step.
    const int width = vxBookletPixels(size.widthMm, size.dpi),
              height = vxBookletPixels(size.heightMm, size.dpi);
    const double aspect = size.widthMm / size.heightMm;
    const vxBookletRender whole = vxWholeModelRender(framing, 0, true, width, height);
    const int detailWidth = static_cast<int>(std::lround(size.widthMm * kDetailShare * size.dpi / 25.4));
    const int detailHeight = static_cast<int>(std::lround(size.heightMm * kDetailShare * size.dpi / 25.4));

    for (auto& [phase, callouts] : vxMakePhasePartsLists(model)) {
        vxBookletStep step;
        step.number = static_cast<int>(out.steps.size()) + 1;
        step.phase = phase;
        step.parts = std::move(added[phase]);
        step.callouts = std::move(callouts);

        vxBookletPicture main;
        main.render = whole;
        main.render.phase = phase;
        step.pictures.push_back(main);

        // The new parts are small in the picture: a close-up of them and
        // what is around them, with the picture's shape.
        const std::vector<vxVector> points = framing.closeUpPoints(step.parts);
        const auto area = framing.areaOf(points, aspect);
        if (area && area->width < kDetailBelow && area->height < kDetailBelow) {
            vxBookletPicture detail;
            detail.role = vxBookletPicture::Role::Detail;
            detail.render = renderFrom(
                framing.fit(points, static_cast<double>(detailWidth) / std::max(detailHeight, 1), 0.02),
                phase, true, detailWidth, detailHeight);
            detail.enlarges = area;
            step.pictures.push_back(detail);
        }
        out.steps.push_back(std::move(step));
    }
    return out;
}
