#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class vxBaseSceneObject;
class vxOpenGLView;

// Looks laid over a finished frame, never stored in the scene: everything
// but the parts the shown phase adds faded toward the background (those
// parts are drawn again with their own drawings), and marked parts (a row of
// the parts list) tinted. The scene objects' colours, their compiled
// drawings, picking and exports never see them. When neither is on, nothing
// at all is drawn.
class vxPhaseHighlight {
  public:
    // How the parts of earlier phases are held back. Faded: toward the
    // background (the window's look). Booklet: greyed and darkened, so that
    // new parts of any colour, white and light grey too, stand out on
    // paper; the new parts get a strong dark outline.
    enum class Look { kFaded, kBooklet };
    // How far earlier parts are faded toward the background (0..1).
    static constexpr float kFade = 0.7f;
    // The booklet's look: earlier parts this far toward this grey; the new
    // parts lit this much more brightly (white faces turned from the light
    // stay light) and outlined this wide (in the view's points) and dark.
    static constexpr float kGreyFraction = 0.65f;
    static constexpr float kGrey = 0.4f;
    static constexpr float kNewPartLight = 1.6f;
    static constexpr float kOutlineWidth = 4.0f;
    static constexpr float kOutline = 0.05f;
    // The tint of marked parts and how strongly it covers them.
    static constexpr float kMarkColor[3] = {0.0f, 0.8f, 1.0f};
    static constexpr float kMarkStrength = 0.65f;

    bool enabled() const { return m_enabled; }
    void setEnabled(bool on) { m_enabled = on; }
    Look look() const { return m_look; }
    void setLook(Look look) { m_look = look; }
    // Booklet look only: the new parts drawn in front of the earlier ones,
    // which they show through (the new parts hide only each other).
    bool seeThrough() const { return m_seeThrough; }
    void setSeeThrough(bool on) { m_seeThrough = on; }

    // The marked objects; the tint shows while markShown() is true (a
    // blink switches it).
    void setMarked(std::vector<std::weak_ptr<vxBaseSceneObject>> objects) { m_marked = std::move(objects); }
    void clearMarked() { m_marked.clear(); }
    bool hasMarked() const { return !m_marked.empty(); }
    const std::vector<std::weak_ptr<vxBaseSceneObject>>& marked() const { return m_marked; }
    bool markShown() const { return m_markShown; }
    void setMarkShown(bool shown) { m_markShown = shown; }

    // Whether drawOver draws anything.
    bool active() const { return m_enabled || (m_markShown && !m_marked.empty()); }

    // Draws over the frame the view has just drawn (same matrices, depth
    // buffer intact), for the phase the view shows.
    void drawOver(vxOpenGLView& view) const;

  private:
    void drawBookletLook(vxOpenGLView& view) const;

    bool m_enabled = false;
    Look m_look = Look::kFaded;
    bool m_seeThrough = false;
    bool m_markShown = true;
    std::vector<std::weak_ptr<vxBaseSceneObject>> m_marked;
};
