#include "vxDefinition.h"

#include "vxResources.h"
#include "vxSectionText.h"
#include "vxTextFile.h"

using vxSectionText::toDecimal;
using vxSectionText::toInteger;

namespace vxGroupNames {
const char* const kNames[10] = {
    "Building blocks",  "Angle blocks", "Plates",     "Struts",    "Axles and hubs",
    "Wheels and tyres", "Gears",        "Connectors", "Electrics", "Decoration",
};
}

void vxConnection::initNewConnection()
{
    m_Typ = 0;
    m_Thick = 0.0f;
    m_Name.clear();
    m_Eng.clear();
    m_X = m_Y = m_Z = 0.0f;
    m_PF = m_RF = m_TF = 0.0f;
    m_PN = m_RN = m_TN = 0.0f;
}

std::string vxConnection::NameOfTyp() const
{
    return m_Typ == 0 ? "Loch" : "Zapfen";
}

void vxDefinition::initNewDefinition()
{
    m_FileContent = std::string();
    m_ConnectionList.clear();
    m_ChildList.clear();
    m_Color = vxColorRGBA{1.0f, 1.0f, 1.0f, 1.0f};
    m_Blue = m_Green = m_Red = 0;
    m_Alpha = 1.0f;
    m_Texture.clear();
    m_TxWidth = 1;
    m_TxHeight = 1;
    m_TxOfsX = 0;
    m_TxOfsY = 0;
    m_ShortName.clear();
    m_Name.clear();
    m_Eng.clear();
    m_Group = 0;
    m_Prize = 0.0f;
    m_OrgNumber.clear();
    m_Printable = 1;
    m_Hide = 0;
    m_SortOrder = 0;
    m_KineRot = 0;
    m_Teeth = 1;
    m_OffsetX = m_OffsetY = m_OffsetZ = 0.0f;
    m_ChildCount = 0;
    m_ConnectionCount = 0;
    m_Found = false;
}

std::optional<std::string> vxDefinition::ReadResourceText(const std::string& name)
{
    if (auto path = vxResources::resourcePath(name, "def", ""))
        return readSectionTextFile(*path, vxFileLimits::kDefinitionFile);
    return std::nullopt;
}

bool vxDefinition::LoadFromResource(const std::string& name)
{
    return LoadFromText(name, ReadResourceText(name));
}

bool vxDefinition::LoadFromText(const std::string& name, std::optional<std::string> text)
{
    m_ShortName = name;
    m_FileContent = std::move(text);
    m_Found = m_FileContent.has_value();

    vxSectionText::runPlainPass(
        m_FileContent, {"[COLOR]", "[COMMON]", "[OFFSET]", "[CHILDS]", "[CONNECTIONS]"}, {0, 1, 2, 3, 4}, 0,
        [&](int section, std::string_view key, std::string_view value) {
            switch (section) {
            case 0:
                if (key == "RED")
                    m_Red = toInteger(value);
                else if (key == "BLUE")
                    m_Blue = toInteger(value);
                else if (key == "GREEN")
                    m_Green = toInteger(value);
                else if (key == "ALPHA")
                    m_Alpha = toDecimal(value);
                else if (key == "TEXTURE")
                    m_Texture = std::string(value);
                else if (key == "TXWIDTH")
                    m_TxWidth = toInteger(value);
                else if (key == "TXHEIGHT")
                    m_TxHeight = toInteger(value);
                else if (key == "TXOFSX")
                    m_TxOfsX = toInteger(value);
                else if (key == "TXOFSY")
                    m_TxOfsY = toInteger(value);
                break;
            case 1:
                if (key == "NAME")
                    m_Name = std::string(value);
                else if (key == "ENG")
                    m_Eng = std::string(value);
                else if (key == "GROUP")
                    m_Group = toInteger(value);
                else if (key == "PRIZE")
                    m_Prize = toDecimal(value);
                else if (key == "ORGNUMBER") {
                    m_OrgNumber = std::string(value);
                    if (m_OrgNumber.empty())
                        m_OrgNumber = name;
                } else if (key == "PRINTABLE")
                    m_Printable = toInteger(value);
                else if (key == "HIDE")
                    m_Hide = toInteger(value);
                else if (key == "SORTORDER") {
                    m_SortOrder = toInteger(value);
                    if (m_SortOrder == 0)
                        m_SortOrder = toInteger(name);
                } else if (key == "KINEROT")
                    m_KineRot = toInteger(value);
                else if (key == "TEETH")
                    m_Teeth = toInteger(value);
                break;
            case 2:
                if (key == "X")
                    m_OffsetX = toDecimal(value);
                else if (key == "Y")
                    m_OffsetY = toDecimal(value);
                else if (key == "Z")
                    m_OffsetZ = toDecimal(value);
                break;
            case 3:
                if (key == "COUNT")
                    m_ChildCount = toInteger(value);
                break;
            case 4:
                if (key == "COUNT")
                    m_ConnectionCount = toInteger(value);
                break;
            default:
                break;
            }
        });

    m_Color = vxColorRGBA{static_cast<float>(m_Red) / 255.0f, static_cast<float>(m_Green) / 255.0f,
                          static_cast<float>(m_Blue) / 255.0f, 1.0f};
    return m_FileContent.has_value();
}

bool vxDefinition::ReadChilds()
{
    if (m_ChildCount > kMaxChildren)
        return false;
    const std::size_t first = m_ChildList.size();
    for (std::int32_t i = 0; i < m_ChildCount; ++i) {
        auto c = std::make_shared<vxChild>();
        c->m_Number = "<empty>";
        m_ChildList.push_back(c);
    }
    const std::size_t n = m_ChildList.size() - first;
    vxSectionText::runNumberedPass(m_FileContent, "[CHILD", 0,
                                   [&](int index, std::string_view key, std::string_view value) {
                                       if (static_cast<std::size_t>(index) >= n)
                                           return;
                                       if (key == "NUMBER")
                                           m_ChildList[first + index]->m_Number = std::string(value);
                                   });
    return true;
}

bool vxDefinition::ReadConnections()
{
    if (m_ConnectionCount > kMaxConnections)
        return false;
    const std::size_t first = m_ConnectionList.size();
    for (std::int32_t i = 0; i < m_ConnectionCount; ++i) {
        auto c = std::make_shared<vxConnection>();
        c->m_Name = "<empty>";
        m_ConnectionList.push_back(c);
    }
    const std::size_t n = m_ConnectionList.size() - first;
    vxSectionText::runNumberedPass(m_FileContent, "[CONN", 0,
                                   [&](int index, std::string_view key, std::string_view value) {
                                       if (static_cast<std::size_t>(index) >= n)
                                           return;
                                       vxConnection& c = *m_ConnectionList[first + index];
                                       if (key == "NAME")
                                           c.m_Name = std::string(value);
                                       else if (key == "ENG")
                                           c.m_Eng = std::string(value);
                                       else if (key == "TYP")
                                           c.m_Typ = toInteger(value);
                                       else if (key == "THICK")
                                           c.m_Thick = toDecimal(value);
                                       else if (key == "X")
                                           c.m_X = toDecimal(value);
                                       else if (key == "Y")
                                           c.m_Y = toDecimal(value);
                                       else if (key == "Z")
                                           c.m_Z = toDecimal(value);
                                       else if (key == "PF")
                                           c.m_PF = toDecimal(value);
                                       else if (key == "RF")
                                           c.m_RF = toDecimal(value);
                                       else if (key == "TF")
                                           c.m_TF = toDecimal(value);
                                       else if (key == "PN")
                                           c.m_PN = toDecimal(value);
                                       else if (key == "RN")
                                           c.m_RN = toDecimal(value);
                                       else if (key == "TN")
                                           c.m_TN = toDecimal(value);
                                   });
    return true;
}

std::shared_ptr<vxConnection> vxDefinition::Connection(std::int32_t index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_ConnectionList.size())
        return nullptr;
    return m_ConnectionList[static_cast<std::size_t>(index)];
}

std::string vxDefinition::GetGroupAsString() const
{
    if (m_Group >= 0 && m_Group <= 8)
        return vxGroupNames::kNames[m_Group];
    if (m_Group >= 9 && m_Group <= 17)
        return std::string(vxGroupNames::kNames[m_Group - 9]) + " (alt)";
    if (m_Group == 18)
        return vxGroupNames::kNames[9];
    return std::string();
}
