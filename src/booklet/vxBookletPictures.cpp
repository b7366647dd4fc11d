#include "vxBookletPictures.h"

#include "vxPartPicture.h"

#include <EGL/egl.h>
#include <GL/gl.h>

#include <algorithm>
#include <cmath>

QSize vxSupersampledSize(QSize pixels)
{
    // Up to kSupersample times larger each way, within kMaxDrawnPixels.
    const double area = static_cast<double>(std::max(pixels.width(), 1)) * std::max(pixels.height(), 1);
    const double scale =
        std::clamp(std::sqrt(kMaxDrawnPixels / area), 1.0, static_cast<double>(kSupersample));
    return QSize(std::max(1, static_cast<int>(pixels.width() * scale)),
                 std::max(1, static_cast<int>(pixels.height() * scale)));
}

QImage vxDrawPicture(vxOffscreenView& target, QSize pixels, QSize drawn)
{
    const QSize larger = vxSupersampledSize(pixels);
    int w = larger.width(), h = larger.height();
    // A framebuffer of the same shape that is large enough is used as it
    // is: making a new one for every picture makes the renderer's memory
    // grow.
    const int fw = target.host.pixelWidth(), fh = target.host.pixelHeight();
    if (drawn.isValid()) {
        w = drawn.width();
        h = drawn.height();
    } else if (fw >= w && fh >= h &&
               std::abs(static_cast<double>(fw) / fh - static_cast<double>(w) / h) < 0.01 * w / h) {
        w = fw;
        h = fh;
    }
    if (target.host.pixelWidth() != w || target.host.pixelHeight() != h) {
        if (!target.host.resize(w, h))
            return QImage();
        target.view.reshape();
    }
    target.view.drawRect();
    // Read straight into the picture (rows bottom-up), scale, then turn.
    QImage big(w, h, QImage::Format_RGBX8888);
    if (big.isNull())
        return QImage();
    target.host.makeCurrent();
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, big.bits());
    return big.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .mirrored()
        .convertToFormat(QImage::Format_RGB32);
}

void vxReleaseOffscreenContext()
{
    const EGLDisplay display = eglGetCurrentDisplay();
    if (display != EGL_NO_DISPLAY)
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

vxPartPictures::vxPartPictures(QColor background) : m_background(background) {}

vxPartPictures::~vxPartPictures() = default;

std::shared_ptr<vxBaseSceneObject> vxPartPictures::object(const vxPartsListEntry& entry,
                                                          const vxModel& model) const
{
    const auto& parts = model.partList();
    if (entry.parts.empty() || entry.parts.front() >= parts.size())
        return nullptr;
    const vxDefinition& d = parts[entry.parts.front()]->definition();
    auto object = std::make_shared<vxBaseSceneObject>();
    object->loadSTLFromFile(entry.shortName, d.m_OffsetX, d.m_OffsetY, d.m_OffsetZ);
    return object;
}

QImage vxPartPictures::draw(const Key& key, const vxPartsListEntry& entry, const vxModel& model, QSize pixels,
                            const std::function<bool(vxOpenGLView&, vxBaseSceneObject&)>& frame)
{
    if (auto it = m_cache.find(key); it != m_cache.end())
        return it->second;
    if (!m_view) {
        m_view = std::make_unique<vxOffscreenView>(64, 64, false);
        m_view->view.setDrawStyle(vxDrawStyle::kOutlined);
        m_view->host.setDevicePixelRatio(kSupersample); // lines as wide as drawn at the picture's size
        if (m_view->host.ok())
            m_view->view.set3DBackgroundColor(m_background.redF(), m_background.greenF(),
                                              m_background.blueF());
    }
    QImage picture;
    bool failed = !m_view->host.ok(); // not kept: the next call tries again
    const std::shared_ptr<vxBaseSceneObject> object = failed ? nullptr : this->object(entry, model);
    if (object) {
        vxOpenGLView& view = m_view->view;
        if (frame(view, *object)) {
            object->colorDiffuse().setVector3f(vxPartPictureColor(entry.color));
            view.sceneObjectList() = {object};
            view.setDisplayList(0);
            picture = vxDrawPicture(*m_view, pixels);
            failed = picture.isNull();
            view.sceneObjectList().clear();
        }
    }
    if (!failed)
        m_cache.emplace(key, picture);
    return picture;
}

QImage vxPartPictures::picture(const vxPartsListEntry& entry, const vxModel& model, int pixels)
{
    return draw({entry.shortName, vxColorHex(entry.color), pixels, pixels, 0}, entry, model,
                QSize(pixels, pixels), [](vxOpenGLView& view, vxBaseSceneObject& object) {
                    view.setOrthographic(false);
                    return vxFramePartPicture(view, object);
                });
}

std::optional<vxPartPictureExtent> vxPartPictures::extentMm(const vxPartsListEntry& entry,
                                                            const vxModel& model)
{
    if (auto it = m_extents.find(entry.shortName); it != m_extents.end())
        return it->second;
    std::optional<vxPartPictureExtent> out;
    vxPartPictureExtent e; // model units, centimetres
    if (const auto object = this->object(entry, model); object && vxMeasurePartPicture(*object, e))
        out = vxPartPictureExtent{e.width * 10.0, e.height * 10.0, e.longest * 10.0, e.middle * 10.0};
    m_extents.emplace(entry.shortName, out);
    return out;
}

QImage vxPartPictures::picture(const vxPartsListEntry& entry, const vxModel& model, QSizeF mm, double scale,
                               double dpi)
{
    const int w = vxBookletPixels(mm.width(), dpi), h = vxBookletPixels(mm.height(), dpi);
    const std::optional<vxPartPictureExtent> extent = extentMm(entry, model);
    if (!extent || !(scale > 0.0) || mm.isEmpty())
        return QImage();
    // Larger than the picture at the scale: as large as fills it.
    const double fitted = std::max({scale, extent->width / mm.width(), extent->height / mm.height()});
    const double halfHeight = mm.height() * fitted / 2.0 / 10.0; // model units are centimetres
    return draw({entry.shortName, vxColorHex(entry.color), w, h, std::llround(fitted * 1.0e6)}, entry, model,
                QSize(w, h), [halfHeight](vxOpenGLView& view, vxBaseSceneObject& object) {
                    return vxFramePartPictureAtScale(view, object, halfHeight);
                });
}

vxBookletPictures::vxBookletPictures() : m_scene(64, 64, false)
{
    m_scene.view.setDrawStyle(vxDrawStyle::kOutlined);
    m_scene.host.setDevicePixelRatio(kSupersample); // lines as wide as drawn at the picture's size
    if (m_scene.host.ok())
        m_scene.view.set3DBackgroundColor(kPaper.redF(), kPaper.greenF(), kPaper.blueF());
    // A booklet shows the cables and hoses the builder lays.
    m_scene.view.setShowTubes(true);
    m_scene.view.highlight().setLook(vxPhaseHighlight::Look::kBooklet);
}

vxBookletPictures::~vxBookletPictures() = default;

bool vxBookletPictures::ok() const
{
    return m_scene.host.ok();
}

std::string vxBookletPictures::error() const
{
    return m_scene.host.error();
}

const vxModel& vxBookletPictures::model() const
{
    return *m_scene.view.model();
}

vxLoadResult vxBookletPictures::load(const std::string& path)
{
    vxLoadResult r = m_scene.view.loadModelFromFile(path);
    if (!r)
        return r;
    m_shownPhase = -1;
    m_framing = vxBookletFraming(*m_scene.view.model());
    return r;
}

void vxBookletPictures::show(const vxBookletRender& render)
{
    if (render.phase == m_shownPhase && render.leftOut == m_leftOut)
        return;
    vxOpenGLView& view = m_scene.view;
    view.repaintModelWithBauphase(render.phase);
    const auto& parts = view.model()->partList();
    for (const std::size_t i : render.leftOut)
        if (i < parts.size() && parts[i]->baseSceneObject())
            parts[i]->baseSceneObject()->setVisible(0);
    m_shownPhase = render.phase;
    m_leftOut = render.leftOut;
}

QImage vxBookletPictures::draw(const vxBookletRender& render, QSize drawn)
{
    vxOpenGLView& view = m_scene.view;
    show(render);
    view.highlight().setEnabled(render.highlight);
    view.highlight().setSeeThrough(render.seeThrough);
    view.cameraPosition().setVector3f(render.eye);
    view.cameraTarget().setVector3f(render.target);
    // At exactly the size its own size asks for, unless told otherwise:
    // what was drawn before changes nothing.
    if (!drawn.isValid())
        drawn = vxSupersampledSize(QSize(render.width, render.height));
    return vxDrawPicture(m_scene, QSize(render.width, render.height), drawn);
}

void vxBookletPictures::setPartLeftOut(std::size_t part, bool leftOut)
{
    const auto& parts = model().partList();
    if (part >= parts.size() || !parts[part]->baseSceneObject())
        return;
    // A part the shown render leaves out stays out.
    const bool out = leftOut || std::find(m_leftOut.begin(), m_leftOut.end(), part) != m_leftOut.end();
    parts[part]->baseSceneObject()->setVisible(out ? 0 : 1);
    m_scene.view.setDisplayList(0);
}

std::vector<std::uint32_t> vxBookletPictures::countPixels(const vxBookletRender& render, double scale,
                                                          const std::vector<std::size_t>* only)
{
    vxOpenGLView& view = m_scene.view;
    if (!m_scene.host.ok())
        return {};
    show(render);
    view.cameraPosition().setVector3f(render.eye);
    view.cameraTarget().setVector3f(render.target);
    return view.partPixelCounts(std::max(1, static_cast<int>(std::lround(render.width * scale))),
                                std::max(1, static_cast<int>(std::lround(render.height * scale))),
                                render.seeThrough, only, scale >= 1.0);
}

vxBookletMeasure vxBookletPictures::measure()
{
    return [this](const vxBookletRender& render, bool fine, const std::vector<std::size_t>& subject) {
        const double scale = fine ? 1.0 : kMeasureScale;
        const int w = std::max(1, static_cast<int>(std::lround(render.width * scale)));
        const int h = std::max(1, static_cast<int>(std::lround(render.height * scale)));
        const double up = static_cast<double>(render.width) * render.height / (static_cast<double>(w) * h);
        const std::vector<std::uint32_t> counts = countPixels(render, scale, &subject);
        std::vector<double> out(counts.size());
        for (std::size_t i = 0; i < counts.size(); ++i)
            out[i] = counts[i] * up;
        return out;
    };
}

QImage vxBookletPictures::partPicture(const vxPartsListEntry& entry, int pixels)
{
    return m_parts.picture(entry, model(), pixels);
}

QImage vxBookletPictures::partPicture(const vxPartsListEntry& entry, QSizeF mm, double scale, double dpi)
{
    return m_parts.picture(entry, model(), mm, scale, dpi);
}

std::optional<vxPartPictureExtent> vxBookletPictures::partExtentMm(const vxPartsListEntry& entry)
{
    return m_parts.extentMm(entry, model());
}
