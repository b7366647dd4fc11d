#include "vxBookletSteps.h"

#include <algorithm>
#include <cmath>
#include <iterator>
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

// The shares of the model's size that a step's picture shows around its
// new parts, widest first: it comes closer while a new part is too small.
constexpr double kAround[] = {0.5, 0.3, 0.15, 0.0};
constexpr double kMargin = 0.04;
// A part that covers less than this in the widest framing from a direction
// counts as hidden from there: coming closer would not make it large enough.
constexpr std::size_t kMostExtras = 6;
// How many of the directions, nearest the step before's first, a main
// picture and an extra picture try: the step before's, a quarter turn
// either way, half a turn, and upside down; extra pictures see through
// the earlier parts and the step's other parts are not there yet, so
// that the main picture's direction nearly always shows them.
constexpr std::size_t kMainDirections = 5;
constexpr std::size_t kExtraDirections = 2;
constexpr double kHiddenBelow = kMeasuredPartPixels / 16;

// Chooses the direction and framing of a step's pictures by measuring.
struct StepViews {
    const vxBookletFraming& framing;
    const vxBookletMeasure& measure;
    int width, height;
    std::vector<std::size_t> built;   // every part up to the step's
    std::vector<std::size_t> leftOut; // of the step's parts, those the pictures leave out

    struct View {
        vxBookletRender render;
        vxBookletDirection direction;
        std::vector<std::size_t> failing;      // of the parts looked at, those below the rule
        std::size_t hidden = 0;                // of those, the ones that do not show at all
        double smallest = kMeasuredPartPixels; // the fewest pixels of a failing part that shows
        bool measured = false;
    };

    View look(const std::vector<vxVector>& points, const vxBookletDirection& d, std::int32_t phase,
              const std::vector<std::size_t>& subject, bool seeThrough) const
    {
        View v;
        v.direction = d;
        v.render =
            renderFrom(vxFitBookletCamera(points, d.along(), static_cast<double>(width) / height, kMargin),
                       phase, true, width, height);
        v.render.seeThrough = seeThrough;
        v.render.leftOut = leftOut;
        if (!measure)
            return v;
        v.measured = true;
        std::vector<double> counts = measure(v.render, false, subject);
        auto count = [&counts](std::size_t i) { return i < counts.size() ? counts[i] : 0.0; };
        // Where a part lies near the rule, it is counted again at full size
        // with the parts that hardly showed: thin ones may show more there.
        std::vector<std::size_t> unsure;
        bool near = false;
        for (const std::size_t i : subject)
            if (count(i) < kCoarseUnsureBelow) {
                unsure.push_back(i);
                near = near || count(i) >= kHiddenBelow;
            }
        if (!near)
            unsure.clear();
        if (!unsure.empty()) {
            const std::vector<double> fine = measure(v.render, true, unsure);
            for (const std::size_t i : unsure)
                if (i < counts.size())
                    counts[i] = i < fine.size() ? fine[i] : 0.0;
        }
        const double least = unsure.empty() ? kMeasuredPartPixels : kFinePartPixels;
        for (const std::size_t i : subject) {
            const double c = count(i);
            if (c < least) {
                v.failing.push_back(i);
                v.hidden += c < kHiddenBelow ? 1 : 0;
                if (c >= kHiddenBelow)
                    v.smallest = std::min(v.smallest, c);
            }
        }
        return v;
    }

    // The subject from the widest view's direction, coming closer while
    // parts that show are too small: straight to the widest framing that
    // makes the smallest of them large enough (a part's pixels grow with
    // the square of how much closer the eye comes), then closer still if
    // need be. The best of the framings measured.
    View closest(const View& widest, std::int32_t phase, const std::vector<std::size_t>& subject,
                 bool seeThrough, std::size_t nearer = 1) const
    {
        View best = widest;
        const double far = distanceOf(widest.render);
        // Seen through, only the subject can hide the subject: a part that
        // does not show at all may only be too small to cover a pixel yet.
        auto worth = [&] { return best.failing.size() > (seeThrough ? 0 : best.hidden); };
        for (std::size_t k = nearer; k < std::size(kAround) && worth(); ++k) {
            const std::vector<vxVector> points = framing.workPoints(subject, built, kAround[k]);
            const double aspect = static_cast<double>(width) / height;
            const vxBookletCamera camera =
                vxFitBookletCamera(points, widest.direction.along(), aspect, kMargin);
            vxVector d;
            d.vectorSubtract3f(camera.target, camera.eye);
            const double ratio = far / std::max(1e-6, static_cast<double>(d.vectorLength3f()));
            if (k + 1 < std::size(kAround) && ratio * ratio * widest.smallest < kMeasuredPartPixels)
                continue; // not close enough yet
            const View v = look(points, widest.direction, phase, subject, seeThrough);
            if (v.failing.size() < best.failing.size())
                best = v;
        }
        return best;
    }

    static double distanceOf(const vxBookletRender& r)
    {
        vxVector d;
        d.vectorSubtract3f(r.target, r.eye);
        return d.vectorLength3f();
    }

    // The eight directions, from -- then the others, the fewest turns first.
    static std::vector<vxBookletDirection> directionsFrom(const vxBookletDirection& from)
    {
        std::vector<vxBookletDirection> all;
        for (int below = 0; below < 2; ++below)
            for (int a = 0; a < 4; ++a)
                all.push_back({(from.azimuth + a) % 4, below == 1 ? !from.below : from.below});
        std::stable_sort(
            all.begin(), all.end(), [&from](const vxBookletDirection& x, const vxBookletDirection& y) {
                auto cost = [&from](const vxBookletDirection& d) {
                    const int turn =
                        std::min((d.azimuth - from.azimuth + 4) % 4, (from.azimuth - d.azimuth + 4) % 4);
                    return turn + (d.below != from.below ? 2 : 0);
                };
                return cost(x) < cost(y);
            });
        return all;
    }

    // The step's main picture: from the first direction (from `from` on)
    // that shows every new part, framed on them; else from the one that
    // hides the fewest. With whole, the whole model instead where every new
    // part is large enough in it.
    View mainView(std::int32_t phase, const std::vector<std::size_t>& subject, const vxBookletDirection& from,
                  bool whole) const
    {
        const std::vector<vxVector> points =
            subject.empty() ? framing.boxPoints(built) : framing.workPoints(subject, built, kAround[0]);
        std::optional<View> best;
        const std::vector<vxBookletDirection> directions = directionsFrom(from);
        for (std::size_t k = 0; k < kMainDirections; ++k) {
            const vxBookletDirection& d = directions[k];
            const View v = look(points, d, phase, subject, false);
            if (!v.measured)
                return v;
            if (!best || v.hidden < best->hidden ||
                (v.hidden == best->hidden && v.failing.size() < best->failing.size()))
                best = v;
            // Every new part shows from here: closer, if need be, and done.
            if (best->hidden == 0)
                break;
        }
        best = closest(*best, phase, subject, false);
        if (whole && !subject.empty()) {
            const View w = look(framing.boxPoints(built), best->direction, phase, subject, false);
            if (w.failing.empty())
                best = w;
        }
        return *best;
    }

    // A picture of the parts the main picture does not show well enough,
    // the earlier parts see-through: from the step's direction if it shows
    // them, else from the one that shows most of them. Empty when no
    // direction shows any better than the main picture.
    std::optional<View> extraView(std::int32_t phase, const std::vector<std::size_t>& subject,
                                  const vxBookletDirection& from) const
    {
        std::optional<View> best;
        const std::vector<vxBookletDirection> directions = directionsFrom(from);
        for (std::size_t k = 0; k < kExtraDirections; ++k) {
            const vxBookletDirection& d = directions[k];
            const View v =
                closest(look(framing.workPoints(subject, built, kAround[2]), d, phase, subject, true), phase,
                        subject, true, 3);
            if (!best || v.failing.size() < best->failing.size())
                best = v;
            // The parts it leaves get pictures of their own.
            if (best->failing.size() < subject.size())
                break;
        }
        if (!best || best->failing.size() >= subject.size())
            return std::nullopt;
        return best;
    }

    // The parts split in two halves along the longest side of their box.
    std::pair<std::vector<std::size_t>, std::vector<std::size_t>> halves(std::vector<std::size_t> parts) const
    {
        const vxBounds box = framing.boxOf(parts);
        const float size[3] = {box.max.x() - box.min.x(), box.max.y() - box.min.y(),
                               box.max.z() - box.min.z()};
        const int axis = static_cast<int>(std::max_element(size, size + 3) - size);
        auto centre = [&](std::size_t i) {
            const vxVector c = framing.boxOf({i}).centre();
            return axis == 0 ? c.x() : axis == 1 ? c.y() : c.z();
        };
        std::stable_sort(parts.begin(), parts.end(),
                         [&](std::size_t a, std::size_t b) { return centre(a) < centre(b); });
        const auto middle = parts.begin() + static_cast<std::ptrdiff_t>(parts.size() / 2);
        return {std::vector<std::size_t>(parts.begin(), middle),
                std::vector<std::size_t>(middle, parts.end())};
    }

    // Extra pictures for the parts the main picture does not show well
    // enough, at most kMostExtras: each of some of them, the earlier parts
    // see-through, the step's other parts not fitted yet; parts one
    // picture cannot show large enough are split by where they lie.
    std::vector<View> extraViews(std::int32_t phase, const std::vector<std::size_t>& stepParts,
                                 const std::vector<std::size_t>& failing, const vxBookletDirection& from)
    {
        std::vector<View> out;
        std::vector<std::vector<std::size_t>> pending{failing};
        while (!pending.empty() && out.size() < kMostExtras) {
            const std::vector<std::size_t> subject = std::move(pending.back());
            pending.pop_back();
            leftOut.clear();
            for (const std::size_t i : stepParts)
                if (std::find(subject.begin(), subject.end(), i) == subject.end())
                    leftOut.push_back(i);
            const std::optional<View> extra = extraView(phase, subject, from);
            if (extra)
                out.push_back(*extra);
            const std::vector<std::size_t>& left = extra ? extra->failing : subject;
            if (left.size() > 1) {
                auto [a, b] = halves(left);
                pending.push_back(std::move(b));
                pending.push_back(std::move(a));
            } else if (left.size() == 1 && subject.size() > 1) {
                pending.push_back(left);
            }
        }
        leftOut.clear();
        return out;
    }
};

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
                                  const vxBookletPictureSize& size, const vxBookletMeasure& measure)
{
    vxBookletSteps out;
    out.partsList = vxMakePartsList(model, std::nullopt);

    std::map<std::int32_t, std::vector<std::size_t>> added;
    const auto& parts = model.partList();
    const std::size_t n = std::min(parts.size(), static_cast<std::size_t>(std::max(model.count(), 0)));
    for (std::size_t i = 0; i < n; ++i)
        added[vxBuildingStepOf(*parts[i])].push_back(i);

    const int width = vxBookletPixels(size.widthMm, size.dpi),
              height = vxBookletPixels(size.heightMm, size.dpi);
    StepViews views{framing, measure, width, height, {}, {}};
    vxBookletDirection direction = vxNearestBookletDirection(framing.direction());

    auto phaseLists = vxMakePhasePartsLists(model);
    const std::size_t stepCount = phaseLists.size();
    for (auto& [phase, callouts] : phaseLists) {
        vxBookletStep step;
        step.number = static_cast<int>(out.steps.size()) + 1;
        step.phase = phase;
        step.parts = std::move(added[phase]);
        step.callouts = std::move(callouts);

        std::vector<std::size_t> shaped;
        for (const std::size_t i : step.parts) {
            views.built.push_back(i);
            if (framing.hasShape(i))
                shaped.push_back(i);
        }
        const bool whole =
            static_cast<std::size_t>(step.number) == stepCount || step.number % kWholeModelEvery == 0;
        const StepViews::View main = views.mainView(phase, shaped, direction, whole);
        if (!out.steps.empty() && !(main.direction == direction)) {
            double turn = direction.azimuthDegrees() - main.direction.azimuthDegrees();
            turn = std::remainder(turn, 360.0);
            step.turnDegrees = turn == -180.0 ? 180.0 : turn;
            step.turnOver = main.direction.below != direction.below;
        }
        direction = main.direction;

        vxBookletPicture picture;
        picture.render = main.render;
        step.pictures.push_back(picture);
        for (const StepViews::View& extra : views.extraViews(phase, step.parts, main.failing, direction)) {
            vxBookletPicture e;
            e.role = vxBookletPicture::Role::Extra;
            e.render = extra.render;
            step.pictures.push_back(e);
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
