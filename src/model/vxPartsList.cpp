#include "vxPartsList.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace {

int channel(float v)
{
    if (!(v > 0.0f)) // also NaN
        return 0;
    if (v >= 1.0f)
        return 255;
    return static_cast<int>(std::lround(v * 255.0f));
}

// Article numbers compare as numbers when both are digits only ("900"
// before "31005"), else as text.
bool numberLess(const std::string& a, const std::string& b)
{
    auto digits = [](const std::string& s) {
        return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (digits(a) && digits(b)) {
        const auto za = a.find_first_not_of('0'), zb = b.find_first_not_of('0');
        const std::string ta = za == std::string::npos ? "" : a.substr(za);
        const std::string tb = zb == std::string::npos ? "" : b.substr(zb);
        if (ta.size() != tb.size())
            return ta.size() < tb.size();
        if (ta != tb)
            return ta < tb;
    }
    return a < b;
}

bool entryLess(const vxPartsListEntry& a, const vxPartsListEntry& b)
{
    if (a.found != b.found)
        return a.found;
    if (a.groupIndex != b.groupIndex)
        return a.groupIndex < b.groupIndex;
    if (a.number != b.number)
        return numberLess(a.number, b.number);
    const std::string ca = vxColorHex(a.color), cb = vxColorHex(b.color);
    if (ca != cb)
        return ca < cb;
    return std::tie(a.shortName, a.name) < std::tie(b.shortName, b.name);
}

using Key = std::tuple<std::string, std::string, bool>; // part type, colour, found

class Collector {
  public:
    void add(const vxPart& part, std::size_t index)
    {
        const vxDefinition& d = part.definition();
        const Key key{d.m_ShortName, vxColorHex(part.color()), d.found()};
        auto [it, fresh] = m_rows.try_emplace(key);
        vxPartsListEntry& e = it->second;
        if (fresh) {
            e.shortName = d.m_ShortName;
            e.found = d.found();
            e.color = part.color();
            e.color.setW(0.0f);
            e.colorName = vxNearestColorName(e.color);
            if (e.found) {
                e.number = d.m_OrgNumber;
                e.name = d.m_Name;
                e.group = d.GetGroupAsString();
                e.groupIndex = d.m_Group;
            } else {
                e.name = part.partName();
            }
        }
        ++e.count;
        e.parts.push_back(index);
    }
    std::vector<vxPartsListEntry> take()
    {
        std::vector<vxPartsListEntry> list;
        list.reserve(m_rows.size());
        for (auto& [key, e] : m_rows)
            list.push_back(std::move(e));
        m_rows.clear();
        std::sort(list.begin(), list.end(), entryLess);
        return list;
    }

  private:
    std::map<Key, vxPartsListEntry> m_rows;
};

std::size_t partsIn(const vxModel& model)
{
    return std::min(model.partList().size(), static_cast<std::size_t>(std::max(model.count(), 0)));
}

} // namespace

std::string vxColorHex(const vxVector& color)
{
    static const char* hex = "0123456789abcdef";
    std::string s = "#";
    for (float v : {color.x(), color.y(), color.z()}) {
        const int c = channel(v);
        s += hex[c >> 4];
        s += hex[c & 15];
    }
    return s;
}

std::vector<vxPartsListEntry> vxMakePartsList(const vxModel& model, std::optional<std::int32_t> phase)
{
    Collector rows;
    const auto& parts = model.partList();
    const std::size_t n = partsIn(model);
    for (std::size_t i = 0; i < n; ++i)
        if (!phase || vxBuildingStepOf(*parts[i]) == *phase)
            rows.add(*parts[i], i);
    return rows.take();
}

std::map<std::int32_t, std::vector<vxPartsListEntry>> vxMakePhasePartsLists(const vxModel& model)
{
    // Phase numbers may be far apart: only the phases in use are collected.
    std::map<std::int32_t, Collector> phases;
    const auto& parts = model.partList();
    const std::size_t n = partsIn(model);
    for (std::size_t i = 0; i < n; ++i)
        phases[vxBuildingStepOf(*parts[i])].add(*parts[i], i);
    std::map<std::int32_t, std::vector<vxPartsListEntry>> lists;
    for (auto& [phase, c] : phases)
        lists.emplace(phase, c.take());
    return lists;
}

std::int32_t vxPartsListTotal(const std::vector<vxPartsListEntry>& list)
{
    std::int32_t total = 0;
    for (const auto& e : list)
        total += e.count;
    return total;
}
