#include "vxModel.h"

#include <algorithm>

vxVector vxDecodeColor(std::int32_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    vxVector c;
    c.setX(static_cast<float>(u & 255u) / 255.0f);
    c.setY(static_cast<float>((u >> 8) & 255u) / 255.0f);
    c.setZ(static_cast<float>((u >> 16) & 255u) / 255.0f);
    return c;
}

const vxDefinition& vxPart::newDefinition()
{
    static const vxDefinition d;
    return d;
}

void vxPart::initNewPart()
{
    m_partName = "<empty>";
    m_shortName.clear();
    m_position = vxVector();
    m_up = vxVector();
    m_direction = vxVector();
    m_color = vxVector();
    m_phase = 0;
    m_definition.reset();
    m_baseSceneObject.reset();
}

vxPart::vxPart(const vxPart& other)
    : m_partName(other.m_partName), m_shortName(other.m_shortName), m_position(other.m_position),
      m_up(other.m_up), m_direction(other.m_direction), m_color(other.m_color), m_phase(other.m_phase),
      m_definition(std::make_shared<vxDefinition>(other.definition())),
      m_baseSceneObject(other.m_baseSceneObject)
{
}

vxPart& vxPart::operator=(const vxPart& other)
{
    if (this != &other)
        *this = vxPart(other);
    return *this;
}

vxDefinition& vxPart::changeDefinition()
{
    if (!m_definition || m_definition.use_count() > 1)
        m_definition = std::make_shared<vxDefinition>(definition());
    return *m_definition;
}

void vxTube::initNewTube()
{
    m_radius = 2.0f;
    m_color = vxVector();
    m_count = 0;
    m_x.fill(0.0f);
    m_y.fill(0.0f);
    m_z.fill(0.0f);
}

void vxTube::setTubeNode(std::int32_t index, float x, float y, float z)
{
    if (index < 0 || index >= kNodes)
        return;
    m_x[index] = x;
    m_y[index] = y;
    m_z[index] = z;
}

void vxTube::getTubeNode(std::int32_t index, vxVector& v) const
{
    if (index < 0 || index >= kNodes) {
        v = vxVector();
        return;
    }
    v.setX(m_x[index]);
    v.setY(m_y[index]);
    v.setZ(m_z[index]);
    v.setW(0.0f);
}

void vxTube::setTubeNodeX(std::int32_t index, float value)
{
    if (index >= 0 && index < kNodes)
        m_x[index] = value;
}

void vxTube::setTubeNodeY(std::int32_t index, float value)
{
    if (index >= 0 && index < kNodes)
        m_y[index] = value;
}

void vxTube::setTubeNodeZ(std::int32_t index, float value)
{
    if (index >= 0 && index < kNodes)
        m_z[index] = value;
}

void vxModel::initNewModel()
{
    m_cameraPosition = vxVector();
    m_cameraUp = vxVector();
    m_cameraDirection = vxVector();
    m_cameraTarget = vxVector();
    m_count = 0;
    m_partList.clear();
    m_tubeList.clear();
    m_fileContent = std::string();
    m_actualBauphase = 0;
    m_infModell.clear();
    m_infOriginal.clear();
    m_infGebaut.clear();
    m_tubeCount = 0;
}

std::int32_t vxModel::maximumBauphase() const
{
    std::int32_t m = 1;
    for (const auto& p : m_partList)
        if (p->phase() > m)
            m = p->phase();
    return m;
}

std::shared_ptr<vxPart> vxModel::selectPartFromSceneObject(const vxBaseSceneObject* object) const
{
    std::shared_ptr<vxPart> found;
    const std::size_t n = std::min(m_partList.size(), static_cast<std::size_t>(std::max(m_count, 0)));
    for (std::size_t i = 0; i < n; ++i)
        if (object && m_partList[i]->baseSceneObject().get() == object)
            found = m_partList[i];
    return found;
}
