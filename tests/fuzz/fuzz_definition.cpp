// Fuzzes the definition reader with its child and connection passes.
#include "vxDefinition.h"
#include "vxTextFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    vxDefinition d;
    d.LoadFromText("12345", decodeText(bytes));
    // Keep hostile but legal counts within what a fuzz run can afford.
    if (d.m_ChildCount > 10000)
        d.m_ChildCount = 10000;
    if (d.m_ConnectionCount > 10000)
        d.m_ConnectionCount = 10000;
    d.ReadChilds();
    d.ReadConnections();
    for (std::int32_t i = -1; i <= static_cast<std::int32_t>(d.m_ConnectionList.size()); ++i)
        if (auto c = d.Connection(i))
            (void)c->NameOfTyp();
    (void)d.GetGroupAsString();
    return 0;
}
