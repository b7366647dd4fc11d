#pragma once

#include "vxAtomicFile.h"
#include "vxBaseSceneObject.h"
#include "vxLens.h"
#include "vxModel.h"
#include "vxVector.h"
#include "vxViewHost.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// What a click in the view does (the view's workMode).
namespace vxWorkMode {
inline constexpr std::int32_t kSelect = 1;   // a click selects the part under the pointer
inline constexpr std::int32_t kNavigate = 2; // a drag orbits, a double click centres
inline constexpr std::int32_t kHide = 3;     // a click hides the part under the pointer
} // namespace vxWorkMode

// The part information panel as the view sees it.
class vxPartPanel {
  public:
    virtual ~vxPartPanel() = default;
    // Shows the part (nullptr clears the texts).
    virtual void selectPart(const std::shared_ptr<vxPart>& part) = 0;
    // Brings the panel to the front.
    virtual void showPanel() = 0;
};

// The 3D view: owns the model, the scene list and the camera; draws with
// fixed-function OpenGL against its host.
class vxOpenGLView {
  public:
    explicit vxOpenGLView(vxViewHost& host);
    ~vxOpenGLView();
    vxOpenGLView(const vxOpenGLView&) = delete;
    vxOpenGLView& operator=(const vxOpenGLView&) = delete;

    // --- set-up and drawing --------------------------------------------
    // Makes the context current and sets the fixed GL state. Call it once
    // for every new GL context of the host (display lists of an earlier
    // context are not used again).
    void prepare();
    // Sets every field to its start value.
    void awakeFromNib();
    // Viewport and projection for the current size.
    void reshape();
    // Draws background, grid and every scene object.
    void drawRect();
    void renderGrid();
    void set3DGridColor(float r, float g, float b);
    void set3DGridVisible(std::uint8_t flag);
    void toggle3DGridVisible();
    void set3DBackgroundColor(float r, float g, float b);

    // --- scene assembly --------------------------------------------------
    // Reads the model file and rebuilds the scene. When the file cannot be
    // read, model, scene and camera stay as they were and the reason is
    // returned.
    vxLoadResult loadModelFromFile(const std::string& path);

    // --- camera navigation ----------------------------------------------
    void mouseDragged(const vxMouseEvent& event);
    void scrollWheel(const vxMouseEvent& event);
    void moveCameraAround(float elevationDegrees, float azimuthDegrees);
    void adjustDistanceToTarget(float factor);
    static float clampValue(float value, float low, float high);
    static float degToRad(float degrees);
    static float power(float base, float exponent);

    // --- picking and selection ------------------------------------------
    void mouseDown(const vxMouseEvent& event);
    std::shared_ptr<vxBaseSceneObject> getPickedObject(std::int32_t x, std::int32_t y);
    void selectBauteil(std::int32_t x, std::int32_t y);
    void deselectAllBauteile();
    std::shared_ptr<vxBaseSceneObject> selectedBauteil() const;
    void showAll();
    void showPartPanel();

    // --- building phases ------------------------------------------------
    void repaintModelWithBauphase(std::int32_t phase);

    // --- export -----------------------------------------------------------
    // Writes the scene as a VRML 1.0 file, atomically; on failure the
    // target is untouched and the reason is returned.
    vxWriteResult exportAsVRML(const std::string& path) const;
    // The text that exportAsVRML writes.
    std::string vrmlText() const;

    // --- GL context ---------------------------------------------------------
    // Makes the host's context current and tells the display-list books
    // that GL calls now go to this view's context. Drawing, resizing and
    // picking call it first.
    void makeContextCurrent();
    // The id under which this view's display lists are booked (0 before
    // prepare); see vxGLResources.
    vxGLResources::ContextId contextId() const { return m_contextId; }

    // --- fields -----------------------------------------------------------
    vxViewHost& host() { return m_host; }
    std::int32_t displayList() const { return m_displayList; }
    void setDisplayList(std::int32_t v) { m_displayList = v; }
    std::uint8_t gridVisible() const { return m_gridVisible; }
    const vxVector& gridColor() const { return m_gridColor; }
    const vxVector& backgroundColor() const { return m_backgroundColor; }
    vxVector& cameraPosition() { return m_cameraPosition; }
    vxVector& cameraTarget() { return m_cameraTarget; }
    vxVector& cameraUp() { return m_cameraUp; }
    void setCameraTarget(const vxVector& v) { m_cameraTarget = v; }
    const vxPoint& lastMousePoint() const { return m_lastMousePoint; }
    std::vector<std::shared_ptr<vxBaseSceneObject>>& sceneObjectList() { return m_sceneObjectList; }
    const std::vector<std::shared_ptr<vxBaseSceneObject>>& sceneObjectList() const
    {
        return m_sceneObjectList;
    }
    const std::shared_ptr<vxModel>& model() const { return m_model; }
    void setModel(std::shared_ptr<vxModel> m) { m_model = std::move(m); }
    bool paintOldWhite() const { return m_paintOldWhite; }
    void setPaintOldWhite(bool b) { m_paintOldWhite = b; }
    std::int32_t workMode() const { return m_workMode; }
    void setWorkMode(std::int32_t m) { m_workMode = m; }
    vxPartPanel* partPanelController() const { return m_partPanelController; }
    // The panel is owned by the window side; the view only talks to it.
    void setPartPanelController(vxPartPanel* panel) { m_partPanelController = panel; }
    std::int32_t gridDisplayList() const { return m_gridDisplayList; }

    // Called with (parts read, parts in all) while a model loads.
    void setLoadProgress(vxModel::ProgressFn fn) { m_loadProgress = std::move(fn); }

  private:
    void initFields();
    void discardGrid();

    vxViewHost& m_host;
    vxGLResources::ContextId m_contextId = 0;
    std::int32_t m_displayList = 0;
    std::uint8_t m_gridVisible = 1;
    vxVector m_gridColor;
    vxVector m_backgroundColor;
    vxVector m_cameraPosition;
    vxVector m_cameraTarget;
    vxVector m_cameraUp;
    vxPoint m_lastMousePoint;
    std::vector<std::shared_ptr<vxBaseSceneObject>> m_sceneObjectList;
    std::shared_ptr<vxModel> m_model;
    bool m_paintOldWhite = false;
    std::int32_t m_workMode = vxWorkMode::kNavigate;
    vxPartPanel* m_partPanelController = nullptr;
    std::int32_t m_gridDisplayList = 0;
    vxGLResources::ContextId m_gridDisplayListContext = 0;
    vxModel::ProgressFn m_loadProgress;
};
