#pragma once

#include "vxAtomicFile.h"
#include "vxBaseSceneObject.h"
#include "vxExport.h"
#include "vxLens.h"
#include "vxModel.h"
#include "vxPhaseHighlight.h"
#include "vxVector.h"
#include "vxViewHost.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// What a click in the view does (the view's workMode).
namespace vxWorkMode {
inline constexpr std::int32_t kSelect = 1;   // a click selects the part under the pointer
inline constexpr std::int32_t kNavigate = 2; // a drag orbits, a double click centres
inline constexpr std::int32_t kHide = 3;     // a click hides the part under the pointer
} // namespace vxWorkMode

// The named directions from which the view shows a whole model. Models
// stand on y = 0 with y up; their front faces -z (the side the library's
// own cameras look from), so "left" looks from +x and "right" from -x.
enum class vxStandardView { kFront, kBack, kLeft, kRight, kTop, kBottom, kIso };

// How the view draws the parts: Classic (flat facets, no outlines, no
// anti-aliasing) or Outlined (smooth curves, dark silhouette and crease
// lines, multisampled where the host's framebuffer has samples).
enum class vxDrawStyle { kClassic, kOutlined };

// Eye and target of the camera (the draw keeps the world's y axis up).
struct vxCameraPose {
    vxVector position;
    vxVector target;
    bool operator==(const vxCameraPose&) const = default;
};

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

    // --- drawing style and frames while moving (vxOpenGLViewStyle.cpp) ---
    vxDrawStyle drawStyle() const { return m_drawStyle; }
    void setDrawStyle(vxDrawStyle style);
    // While the camera moves (a drag, the wheel, turning and zooming keys,
    // glides) and for kStillSeconds after, frames draw every part with the
    // simplified version of its mesh and leave out parts smaller than
    // kSmallestPixels on screen; then a full frame follows. Off unless a
    // window turns it on: pictures, exports and picking never use it.
    static constexpr double kStillSeconds = 0.15;
    static constexpr double kSmallestPixels = 1.5;
    static constexpr int kFullMesh = -1; // a level: the mesh itself
    bool simplifyWhileMoving() const { return m_simplifyWhileMoving; }
    void setSimplifyWhileMoving(bool on) { m_simplifyWhileMoving = on; }
    // Every draw draws the frame the window draws while moving.
    void setMovingFrameForced(bool on) { m_movingFrameForced = on; }
    bool lastFrameMoving() const { return m_frameMoving; }
    // The camera moved at the clock's time now (the next frames are moving
    // frames when simplifyWhileMoving is on).
    void noteCameraMotion();
    // Draws one object in the frame's style, as the frame drew it (the
    // phase highlight draws the shown phase's parts again with it).
    void drawObject(vxBaseSceneObject& object, std::int32_t name);

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
    // Ends a pan that a middle or Shift + left press began.
    void mouseUp(const vxMouseEvent& event);

    // --- fit, standard views, pan, projection (vxOpenGLViewCamera.cpp) ---
    // The boxes of the visible placed parts, each on its own, and of the
    // visible tubes' surfaces while tubes are shown; empty when none shows.
    std::vector<vxBounds> visibleBoxes() const;
    // Whether a camera with this eye and target shows a picture: the eye
    // apart from the target, and not straight above or below it (the
    // picture's up is the world's y axis). Finite values only.
    static bool cameraShowsAnything(const vxVector& eye, const vxVector& target);
    // The camera that shows the box, seen along -towardsEye (a direction
    // from the target to the eye), filling the view up to a margin on at
    // least one axis, whatever the view's aspect; in the orthographic
    // projection as well. The target lies on the view axis at the depth of
    // the box's centre.
    vxCameraPose fittedCamera(const vxBounds& box, const vxVector& towardsEye) const;
    // The same for the corners of every box given: a fit of the parts'
    // own boxes rather than of the box around them all, which fills the
    // picture from every side.
    vxCameraPose fittedCamera(const std::vector<vxBounds>& boxes, const vxVector& towardsEye) const;
    // Fit keeping the viewing direction: the visible parts (their own
    // boxes), or the selected part. Return false, changing nothing, when
    // there is nothing to fit.
    bool fitModel();
    bool fitSelection();
    // Back to the camera the model file gives (the start camera before any
    // model was loaded).
    void resetView();
    // A standard view of the visible parts (their own boxes), fitted.
    void showStandardView(vxStandardView which);
    // Direction from the target to the eye of a standard view. Top and
    // bottom lean 0.002 rad towards the front, so that the world's y axis
    // stays usable as the picture's up (front at the bottom of the top
    // view) and orbiting away from them continues without a turn.
    static vxVector standardViewDirection(vxStandardView which);
    // Moves eye and target together in the view plane so that a point at
    // the given depth (distance from the eye along the view axis) follows a
    // pointer movement of (dx, dy) view points.
    void panBy(double dx, double dy, double depth);
    // The model point on the nearest visible part under a point of the
    // view (points, lower-left origin), if a part is there.
    std::optional<vxVector> pickPoint(vxPoint viewPoint);

    // Multiplies the current GL matrix by the view's projection for the
    // aspect (width / height): perspective, or orthographic framed like it
    // (the half height of the picture at the target's distance). Drawing,
    // resizing and picking all use it.
    void applyProjection(double aspect) const;
    // The far clipping plane: the lens's, or, when the loaded scene reaches
    // further from the eye, its farthest corner (up to the lens's limit),
    // so that a big model never vanishes behind it.
    double farPlane() const;
    // The near clipping plane for that far plane: the lens's while the far
    // plane is the lens's; beyond, the depth of the nearest visible part
    // box (or tube surface, while tubes are shown) in front of the eye, at
    // least a ten-thousandth of the far plane, so that the depth buffer
    // keeps its precision over the scene.
    double nearPlane(double farPlane) const;
    bool orthographic() const { return m_orthographic; }
    void setOrthographic(bool on);
    // The wheel zooms towards the point under the pointer rather than the
    // target (off: the target).
    bool zoomTowardPointer() const { return m_zoomTowardPointer; }
    void setZoomTowardPointer(bool on) { m_zoomTowardPointer = on; }
    // Fit, reset and standard views glide for a quarter second, one step
    // per draw (each draw asks for the next one), unless the last frame
    // took longer than 100 ms. Off: they jump.
    bool smoothTransitions() const { return m_smoothTransitions; }
    void setSmoothTransitions(bool on) { m_smoothTransitions = on; }
    bool cameraTransitionRunning() const { return m_transition.active; }
    // Seconds on a steady clock; tests replace it.
    using Clock = std::function<double()>;
    void setClock(Clock clock);
    // Seconds the last draw took.
    double lastFrameSeconds() const { return m_lastFrameSeconds; }
    // Moves the camera to pose, gliding when smooth transitions are on.
    void moveCameraTo(const vxCameraPose& pose);

    // --- tubes (vxOpenGLViewTubes.cpp) -------------------------------------
    // Whether the tubes (cables, hoses, ropes) are drawn as round tubes
    // along their paths (off: not drawn, as before they were). They are
    // never picked: a click passes through to the part behind.
    bool showTubes() const { return m_showTubes; }
    void setShowTubes(bool on);
    // The scene's tube objects, in the model's tube order.
    const std::vector<std::shared_ptr<vxTubeSceneObject>>& tubeObjects() const { return m_tubeObjects; }
    // Makes the surfaces of all tube objects that have none yet (all at
    // once, so that the detail suits the whole scene). Drawing and exports
    // call it.
    void makeTubeSurfaces() const;

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
    // The phase last shown by repaintModelWithBauphase (the model's last
    // phase after a load).
    std::int32_t shownBauphase() const { return m_shownBauphase; }
    // Drawn over every frame: new parts highlighted, marked parts tinted.
    // Changing it does not redraw; ask the host for that.
    vxPhaseHighlight& highlight() { return m_highlight; }
    const vxPhaseHighlight& highlight() const { return m_highlight; }

    // --- measuring what shows (vxOpenGLViewCount.cpp) -----------------------
    // How many pixels each part (by its index in the model's part list)
    // covers in a picture of width x height pixels from the current camera:
    // every visible part drawn in a flat colour of its own (the finer
    // simplified version of its mesh), unlit, one sample per pixel, depth
    // tested; the grid and the tubes are left out,
    // and with shownPhaseOnly every part but those of the shown phase. The
    // pass draws into a framebuffer of its own and puts every GL state back:
    // the view's next picture is the one it would have drawn without it.
    // Given only, the counts of those parts alone are whole (the others'
    // may be short): only the pixels their boxes may cover are drawn. With
    // exact, every part's own mesh is drawn.
    std::vector<std::uint32_t> partPixelCounts(int width, int height, bool shownPhaseOnly = false,
                                               const std::vector<std::size_t>* only = nullptr,
                                               bool exact = false);

    // --- export -----------------------------------------------------------
    // The model and the scene, for vxExportModel.
    vxExportSource exportSource() const { return {*m_model, m_sceneObjectList}; }
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
    // A view point (points) as the pixel it falls on, for picking.
    struct PixelPoint {
        std::int32_t x, y;
    };
    PixelPoint pixelOf(vxPoint viewPoint) const;
    std::shared_ptr<vxBaseSceneObject> pickNearest(std::int32_t x, std::int32_t y, std::uint32_t* depth);
    double orthographicHalfHeight() const;
    // Distance from the eye along the view axis of a point (of the target
    // when there is none).
    double depthOf(const std::optional<vxVector>& point) const;
    void zoomTowardPoint(vxPoint viewPoint, float factor);
    // Advances a running transition; called at the start of every draw.
    void stepCameraTransition();
    vxCameraPose cameraPose() const { return {m_cameraPosition, m_cameraTarget}; }
    void setCameraPose(const vxCameraPose& pose);

    struct Transition {
        bool active = false;
        vxCameraPose from, to;
        vxCameraPose shown; // the pose the last step set
        double start = 0.0;
    };
    // Indices of the visible objects a pick with the current matrices can
    // hit (a superset; see vxBaseSceneObject::outsideClipVolume).
    std::vector<std::size_t> pickCandidates() const;
    // Draws the tube surfaces (tubes shown only).
    void drawTubes();
    // Fits the corners of the boxes keeping the viewing direction; false
    // when there are none.
    bool fitBoxes(const std::vector<vxBounds>& boxes);
    // The world boxes of the scene objects, in list order, made on first use.
    const std::vector<vxBounds>& objectBoxes() const;
    // The current projection times model-view matrix, and the model-view
    // matrix (column-major, as GL hands them out).
    static void currentClipMatrix(double clip[16], double modelView[16]);

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

    // The camera resetView returns to.
    vxVector m_homePosition, m_homeTarget, m_homeUp;
    bool m_orthographic = false;
    // The box of every object of the loaded scene, made on first use.
    mutable std::optional<vxBounds> m_sceneBox;
    mutable std::optional<std::vector<vxBounds>> m_objectBoxes;
    std::vector<std::shared_ptr<vxTubeSceneObject>> m_tubeObjects;
    bool m_showTubes = false;
    bool m_zoomTowardPointer = false;
    bool m_smoothTransitions = false;
    bool m_panning = false;
    double m_panDepth = 0.0;
    Clock m_clock;
    double m_lastFrameSeconds = 0.0;
    Transition m_transition;
    std::int32_t m_shownBauphase = 1;
    vxPhaseHighlight m_highlight;

    // Drawing style and moving frames (vxOpenGLViewStyle.cpp).
    bool movingFrameDue();
    void drawScene();
    // An object a frame draws and the level of its mesh: kFullMesh or a
    // simplified level (vxMeshDrawings).
    struct Drawn {
        vxBaseSceneObject* object;
        int level;
    };
    static constexpr int kLeftOut = -2;
    std::vector<Drawn> movingFrameObjects();
    void drawOutlinedObject(vxBaseSceneObject& object, int level);
    void drawSimplifiedObject(vxBaseSceneObject& object, int level);
    void prepareOutlineLines();
    void drawOutlineLines(const std::vector<Drawn>& objects);
    bool useSilhouetteProgram();
    vxDrawStyle m_drawStyle = vxDrawStyle::kClassic;
    bool m_simplifyWhileMoving = false;
    bool m_movingFrameForced = false;
    bool m_frameMoving = false; // the frame being drawn, or the last one
    double m_lastMotion = -1.0e300;
    float m_lineWidth = 1.0f;
    std::uint32_t m_silhouetteProgram = 0;
    vxGLResources::ContextId m_silhouetteProgramContext = 0;
    std::int32_t m_silhouetteOrthographic = -1; // the program's uniform
    // The sphere around each scene object's placed box (radius NaN: none),
    // made at the first moving frame of a scene.
    struct Sphere {
        vxVector centre;
        double radius = std::numeric_limits<double>::quiet_NaN();
    };
    std::vector<Sphere> m_movingSpheres;
    // The level each scene object was drawn with in the last moving frame
    // (kLeftOut: not drawn).
    std::vector<std::int8_t> m_frameLevels;
};
