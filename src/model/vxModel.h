#pragma once

#include "vxDefinition.h"
#include "vxLoadFindings.h"
#include "vxVector.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class vxBaseSceneObject;

// One placed part of a model.
//
// Every part has its own definition: a change to one part's definition never
// shows in another's. Parts that a load gives the same definition file share
// one parsed copy of it until one of them changes its own (copy on write),
// so that a model of many parts needs memory for its distinct definitions,
// not for each part.
class vxPart {
  public:
    // The values initNewPart sets, made directly.
    vxPart() : m_partName("<empty>") {}
    // A copy gets a definition object of its own.
    vxPart(const vxPart& other);
    vxPart& operator=(const vxPart& other);
    vxPart(vxPart&&) = default;
    vxPart& operator=(vxPart&&) = default;
    void initNewPart();

    std::string& partName() { return m_partName; }
    const std::string& partName() const { return m_partName; }
    void setPartName(const std::string& s) { m_partName = s; }
    std::string& shortName() { return m_shortName; }
    const std::string& shortName() const { return m_shortName; }
    void setShortName(const std::string& s) { m_shortName = s; }
    vxVector& position() { return m_position; }
    const vxVector& position() const { return m_position; }
    void setPosition(const vxVector& v) { m_position = v; }
    vxVector& up() { return m_up; }
    const vxVector& up() const { return m_up; }
    void setUp(const vxVector& v) { m_up = v; }
    vxVector& direction() { return m_direction; }
    const vxVector& direction() const { return m_direction; }
    void setDirection(const vxVector& v) { m_direction = v; }
    vxVector& color() { return m_color; }
    const vxVector& color() const { return m_color; }
    void setColor(const vxVector& v) { m_color = v; }
    std::int32_t phase() const { return m_phase; }
    void setPhase(std::int32_t p) { m_phase = p; }
    const vxDefinition& definition() const { return m_definition ? *m_definition : newDefinition(); }
    void setDefinition(const vxDefinition& d) { m_definition = std::make_shared<vxDefinition>(d); }
    // The definition for changing it: made this part's own first if it is
    // shared. A reference stays valid until the part is assigned to or its
    // definition replaced.
    vxDefinition& changeDefinition();
    // Shares a parsed definition with other parts (the loader's way); it is
    // not changed in place while shared.
    void shareDefinition(std::shared_ptr<vxDefinition> d) { m_definition = std::move(d); }
    // Whether the definition is still the one a new part starts with.
    bool hasNewDefinition() const { return !m_definition; }
    const std::shared_ptr<vxBaseSceneObject>& baseSceneObject() const { return m_baseSceneObject; }
    void setBaseSceneObject(std::shared_ptr<vxBaseSceneObject> o) { m_baseSceneObject = std::move(o); }

  private:
    // The definition of a new part, which no part changes.
    static const vxDefinition& newDefinition();

    std::string m_partName;
    std::string m_shortName;
    vxVector m_position, m_up, m_direction, m_color;
    std::int32_t m_phase = 0;
    std::shared_ptr<vxDefinition> m_definition; // null: newDefinition()
    std::shared_ptr<vxBaseSceneObject> m_baseSceneObject;
};

// A flexible tube: radius, colour and up to 200 nodes.
class vxTube {
  public:
    static constexpr int kNodes = 200;

    vxTube() { initNewTube(); }
    void initNewTube();

    float radius() const { return m_radius; }
    void setRadius(float r) { m_radius = r; }
    vxVector& color() { return m_color; }
    const vxVector& color() const { return m_color; }
    void setColor(const vxVector& c) { m_color = c; }
    std::int32_t count() const { return m_count; }
    void setCount(std::int32_t c) { m_count = c; }

    // Indices outside 0..199 are ignored (set) or give the zero vector (get).
    void setTubeNode(std::int32_t index, float x, float y, float z);
    void getTubeNode(std::int32_t index, vxVector& v) const;
    void setTubeNodeX(std::int32_t index, float value);
    void setTubeNodeY(std::int32_t index, float value);
    void setTubeNodeZ(std::int32_t index, float value);

  private:
    float m_radius = 2.0f;
    vxVector m_color;
    std::int32_t m_count = 0;
    std::array<float, kNodes> m_x{}, m_y{}, m_z{};
};

// Outcome of reading a model file.
struct vxLoadResult {
    bool ok = true;
    std::string error; // one line naming the reason when !ok
    // When ok: what the user should be told about the file's content (empty
    // when there is nothing to say).
    std::vector<vxLoadFinding> findings;
    explicit operator bool() const { return ok; }
};

// A model read from a .kmf file.
//
// The parts of one load are made in one block of memory, which is given
// back when the last of them is released.
class vxModel {
  public:
    static constexpr std::int32_t kMaxParts = 1000000;
    static constexpr std::int32_t kMaxTubes = 100000;

    vxModel() { initNewModel(); }
    void initNewModel();

    // Reads the model file at path. Every load starts from a fresh model.
    // When the file cannot be read, or declares more parts or tubes than
    // the limits, the model is left exactly as it was and the reason is
    // returned.
    vxLoadResult loadModelFromFile(const std::string& path);
    // The same from a text already in memory (null: nothing could be read).
    vxLoadResult loadModelFromText(std::optional<std::string> text);
    void loadParts();
    void loadTubes();

    // Called as the parts are read with (parts read so far, count), so that
    // a window can show progress. In one load, the share done never goes
    // back, also where the text is read twice.
    using ProgressFn = std::function<void(std::int32_t done, std::int32_t total)>;
    void setProgressCallback(ProgressFn fn) { m_progress = std::move(fn); }

    std::int32_t maximumBauphase() const;
    std::shared_ptr<vxPart> selectPartFromSceneObject(const vxBaseSceneObject* object) const;

    vxVector& cameraPosition() { return m_cameraPosition; }
    vxVector& cameraUp() { return m_cameraUp; }
    vxVector& cameraDirection() { return m_cameraDirection; }
    vxVector& cameraTarget() { return m_cameraTarget; }
    const vxVector& cameraPosition() const { return m_cameraPosition; }
    const vxVector& cameraUp() const { return m_cameraUp; }
    const vxVector& cameraDirection() const { return m_cameraDirection; }
    const vxVector& cameraTarget() const { return m_cameraTarget; }
    void setCameraPosition(const vxVector& v) { m_cameraPosition = v; }
    void setCameraUp(const vxVector& v) { m_cameraUp = v; }
    void setCameraDirection(const vxVector& v) { m_cameraDirection = v; }
    void setCameraTarget(const vxVector& v) { m_cameraTarget = v; }
    std::int32_t count() const { return m_count; }
    void setCount(std::int32_t c) { m_count = c; }
    std::vector<std::shared_ptr<vxPart>>& partList() { return m_partList; }
    const std::vector<std::shared_ptr<vxPart>>& partList() const { return m_partList; }
    void setPartList(std::vector<std::shared_ptr<vxPart>> l) { m_partList = std::move(l); }
    std::vector<std::shared_ptr<vxTube>>& tubeList() { return m_tubeList; }
    const std::vector<std::shared_ptr<vxTube>>& tubeList() const { return m_tubeList; }
    void setTubeList(std::vector<std::shared_ptr<vxTube>> l) { m_tubeList = std::move(l); }
    const std::optional<std::string>& fileContent() const { return m_fileContent; }
    void setFileContent(std::optional<std::string> t) { m_fileContent = std::move(t); }
    std::int32_t actualBauphase() const { return m_actualBauphase; }
    void setActualBauphase(std::int32_t p) { m_actualBauphase = p; }
    const std::string& infModell() const { return m_infModell; }
    void setInfModell(const std::string& s) { m_infModell = s; }
    const std::string& infOriginal() const { return m_infOriginal; }
    void setInfOriginal(const std::string& s) { m_infOriginal = s; }
    const std::string& infGebaut() const { return m_infGebaut; }
    void setInfGebaut(const std::string& s) { m_infGebaut = s; }
    std::int32_t tubeCount() const { return m_tubeCount; }
    void setTubeCount(std::int32_t c) { m_tubeCount = c; }

  private:
    // loadParts with progress told to progress, telling whether a [CAMERA]
    // or [COMMON] header line stands in the text from offset
    // modelHeadersFrom on.
    bool readParts(std::size_t modelHeadersFrom, const ProgressFn& progress);

    vxVector m_cameraPosition, m_cameraUp, m_cameraDirection, m_cameraTarget;
    std::int32_t m_count = 0;
    std::vector<std::shared_ptr<vxPart>> m_partList;
    std::vector<std::shared_ptr<vxTube>> m_tubeList;
    std::optional<std::string> m_fileContent;
    std::int32_t m_actualBauphase = 0;
    std::string m_infModell, m_infOriginal, m_infGebaut;
    std::int32_t m_tubeCount = 0;
    ProgressFn m_progress;
};

// Decodes a COLOR value: red in the lowest byte, then green, then blue.
vxVector vxDecodeColor(std::int32_t v);

// Characters 2 to 6 of a part name (as many as exist from index 1),
// counted in characters of the UTF-8 text, not in bytes.
std::string vxShortNameOf(const std::string& partName);
