#include "vxBookletSteps.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <tuple>

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

// Tubes grouped by colour, length and thickness, sorted by colour name,
// thickness and length.
std::vector<vxBookletTubeEntry> tubeEntries(const vxModel& model, const std::vector<std::size_t>& tubes)
{
    std::map<std::tuple<std::string, double, double>, vxBookletTubeEntry> rows;
    for (const std::size_t i : tubes) {
        const vxTube& t = *model.tubeList()[i];
        vxBookletTubeEntry e;
        e.color = t.color();
        e.color.setW(0.0f);
        e.colorName = vxNearestColorName(e.color);
        e.lengthMm = std::round(vxTubeLengthMm(t));
        e.thicknessMm = std::round(std::max(0.0f, t.radius()) * 10.0 * 10.0) / 10.0;
        auto [it, fresh] = rows.try_emplace({vxColorHex(e.color), e.thicknessMm, e.lengthMm}, e);
        ++it->second.count;
        it->second.tubes.push_back(i);
    }
    std::vector<vxBookletTubeEntry> out;
    for (auto& [key, e] : rows)
        out.push_back(std::move(e));
    std::stable_sort(out.begin(), out.end(), [](const vxBookletTubeEntry& a, const vxBookletTubeEntry& b) {
        return std::tie(a.colorName.english, a.thicknessMm, a.lengthMm) <
               std::tie(b.colorName.english, b.thicknessMm, b.lengthMm);
    });
    return out;
}

} // namespace

double vxTubeLengthMm(const vxTube& tube)
{
    const int nodes = std::clamp(tube.count(), 0, vxTube::kNodes);
    double length = 0;
    vxVector a, b, d;
    for (int i = 1; i < nodes; ++i) {
        tube.getTubeNode(i - 1, a);
        tube.getTubeNode(i, b);
        d.vectorSubtract3f(b, a);
        length += d.vectorLength3f();
    }
    return length * 10.0; // model units are centimetres
}

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

    // Each tube is fitted in the step that adds the last of the parts at
    // its ends: the part nearest each end within the tube's thickness and a
    // little more.
    std::map<std::int32_t, std::size_t> stepOfPhase;
    for (std::size_t s = 0; s < out.steps.size(); ++s)
        stepOfPhase[out.steps[s].phase] = s;
    const auto& tubes = model.tubeList();
    const std::size_t tubeCount =
        std::min(tubes.size(), static_cast<std::size_t>(std::max(model.tubeCount(), 0)));
    std::vector<std::size_t> every;
    for (std::size_t t = 0; t < tubeCount && !out.steps.empty(); ++t) {
        const vxTube& tube = *tubes[t];
        const int nodes = std::clamp(tube.count(), 0, vxTube::kNodes);
        std::optional<std::size_t> fitted;
        for (const int end : {0, nodes - 1}) {
            if (end < 0)
                continue;
            vxVector at;
            tube.getTubeNode(end, at);
            const double reach = std::max(0.0f, tube.radius()) + 0.5;
            double nearest = reach;
            std::optional<std::size_t> part;
            for (std::size_t i = 0; i < n; ++i) {
                const double d = framing.distanceToPart(i, at);
                if (d <= nearest) {
                    nearest = d;
                    part = i;
                }
            }
            if (part) {
                const std::size_t s = stepOfPhase[vxBuildingStepOf(*parts[*part])];
                fitted = std::max(fitted.value_or(0), s);
            }
        }
        out.steps[fitted.value_or(out.steps.size() - 1)].tubes.push_back(t);
        every.push_back(t);
    }
    for (vxBookletStep& step : out.steps)
        step.tubeCallouts = tubeEntries(model, step.tubes);
    out.tubeList = tubeEntries(model, every);
    return out;
}
