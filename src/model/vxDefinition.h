#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// One connection point (hole or pin) of a part type.
class vxConnection {
  public:
    vxConnection() { initNewConnection(); }
    void initNewConnection();

    // "Loch" for a hole (m_Typ 0), "Zapfen" for a pin (any other value).
    std::string NameOfTyp() const;

    std::int32_t m_Typ;
    float m_Thick;
    std::string m_Name;
    std::string m_Eng;
    float m_X, m_Y, m_Z;
    float m_PF, m_RF, m_TF;
    float m_PN, m_RN, m_TN;
};

// One child-part reference of a part type.
class vxChild {
  public:
    vxChild() { initNewChild(); }
    void initNewChild() { m_Number.clear(); }

    std::string m_Number;
};

struct vxColorRGBA {
    float r = 1.0f, g = 1.0f, b = 1.0f, a = 1.0f;
};

// The definition of a part type, read from the resource <shortName>.def.
class vxDefinition {
  public:
    // Counts above these limits are not honoured: the lists stay empty and
    // ReadChilds/ReadConnections report false.
    static constexpr std::int32_t kMaxChildren = 100000;
    static constexpr std::int32_t kMaxConnections = 100000;

    vxDefinition() { initNewDefinition(); }
    void initNewDefinition();

    // Reads the definition resource called name. Returns whether the
    // resource was found and read; a missing one leaves the defaults.
    bool LoadFromResource(const std::string& name);
    // The text of the definition resource called name, null when missing.
    static std::optional<std::string> ReadResourceText(const std::string& name);
    // Fills the definition from the text of a definition file.
    bool LoadFromText(const std::string& name, std::optional<std::string> text);

    // Append m_ChildCount / m_ConnectionCount entries and fill them from
    // the kept file text. False (and nothing appended) when the count is
    // above its limit.
    bool ReadChilds();
    bool ReadConnections();

    // Entry index of m_ConnectionList; nullptr outside the list.
    std::shared_ptr<vxConnection> Connection(std::int32_t index) const;
    std::string GetGroupAsString() const;

    std::optional<std::string> m_FileContent;
    std::vector<std::shared_ptr<vxConnection>> m_ConnectionList;
    std::vector<std::shared_ptr<vxChild>> m_ChildList;
    vxColorRGBA m_Color;
    std::int32_t m_Blue, m_Green, m_Red;
    float m_Alpha;
    std::string m_Texture;
    std::int32_t m_TxWidth, m_TxHeight, m_TxOfsX, m_TxOfsY;
    std::string m_ShortName;
    std::string m_Name;
    std::string m_Eng;
    std::int32_t m_Group;
    float m_Prize;
    std::string m_OrgNumber;
    std::int32_t m_Printable, m_Hide, m_SortOrder, m_KineRot, m_Teeth;
    float m_OffsetX, m_OffsetY, m_OffsetZ;
    std::int32_t m_ChildCount, m_ConnectionCount;

    // Whether the last LoadFromResource found and read its file.
    bool found() const { return m_Found; }

  private:
    bool m_Found = false;
};

// Texts of the group-name table (rows 0..8 and 18).
namespace vxGroupNames {
extern const char* const kNames[10];
}
