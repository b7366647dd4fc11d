// Fuzzes the model loader over a small fixed resource folder of definitions.
// Each input is loaded twice into one model, which must be the same to the
// bit both times (every load starts fresh); the progress a load tells must
// never go back and must end with all parts read.
#include "vxModel.h"
#include "vxResources.h"
#include "vxSectionText.h"
#include "vxTextFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void add(std::string& s, float f)
{
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    s += std::to_string(bits) + " ";
}

void add(std::string& s, const vxVector& v)
{
    for (float f : {v.x(), v.y(), v.z(), v.w()})
        add(s, f);
}

void add(std::string& s, const std::string& text)
{
    s += std::to_string(text.size()) + ":" + text + " ";
}

// Everything a load gives, written out.
std::string describe(const vxModel& m, const vxLoadResult& r)
{
    std::string s = r.ok ? "ok " : "failed ";
    add(s, r.error);
    for (const vxLoadFinding& f : r.findings) {
        add(s, f.message);
        s += std::to_string(f.line) + " " + std::to_string(f.count) + "\n";
    }
    for (const vxVector* v : {&m.cameraPosition(), &m.cameraDirection(), &m.cameraUp(), &m.cameraTarget()})
        add(s, *v);
    for (const std::string* t : {&m.infModell(), &m.infOriginal(), &m.infGebaut()})
        add(s, *t);
    s += std::to_string(m.count()) + " " + std::to_string(m.tubeCount()) + " " +
         std::to_string(m.actualBauphase()) + "\n";
    for (const auto& p : m.partList()) {
        add(s, p->partName());
        add(s, p->shortName());
        for (const vxVector* v : {&p->position(), &p->up(), &p->direction(), &p->color()})
            add(s, *v);
        const vxDefinition& d = p->definition();
        s += std::to_string(p->phase()) + (d.found() ? " found " : " - ");
        for (const std::string* t : {&d.m_Name, &d.m_OrgNumber, &d.m_ShortName})
            add(s, *t);
        for (float f : {d.m_OffsetX, d.m_OffsetY, d.m_OffsetZ})
            add(s, f);
        s += std::to_string(d.m_Group) + "\n";
    }
    for (const auto& t : m.tubeList()) {
        add(s, t->radius());
        add(s, t->color());
        s += std::to_string(t->count()) + "\n";
    }
    return s;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    vxResources::setResourceFolder(std::string(KOLBRIK_TEST_DATA) + "/fuzz-resources");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<std::string> text = decodeText(bytes);

    // Hostile but legal counts (up to the loader's limits) only cost time
    // and memory: the model tests load them once. Here they would slow every
    // run down to a few per second, so such inputs are left out.
    std::int64_t parts = 0, tubes = 0;
    vxSectionText::runPlainPass(text, {"[COMMON]"}, {1}, 0,
                                [&](int section, std::string_view key, std::string_view value) {
                                    if (section != 1)
                                        return;
                                    if (key == "COUNT")
                                        parts = vxSectionText::toInteger(value);
                                    else if (key == "TUBECOUNT")
                                        tubes = vxSectionText::toInteger(value);
                                });
    if (parts > 5000 || tubes > 2000)
        return -1; // not added to the corpus

    vxModel model;
    std::int64_t doneShare = -1, wholeShare = 1; // the share told last
    model.setProgressCallback([&](std::int32_t done, std::int32_t total) {
        const std::int64_t part = total > 0 ? done : 1, whole = total > 0 ? total : 1;
        if (done < 0 || done > std::max(total, 0) ||
            (doneShare >= 0 && part * wholeShare < doneShare * whole)) {
            std::fprintf(stderr, "the progress went to %d of %d after %lld of %lld\n", done, total,
                         static_cast<long long>(doneShare), static_cast<long long>(wholeShare));
            std::abort();
        }
        doneShare = part;
        wholeShare = whole;
    });
    const vxLoadResult once = model.loadModelFromText(text);
    if (once.ok && doneShare != wholeShare) {
        std::fputs("the progress did not end with all parts read\n", stderr);
        std::abort();
    }
    const std::string first = describe(model, once);
    doneShare = -1;
    const vxLoadResult r = model.loadModelFromText(text);
    if (describe(model, r) != first) {
        std::fputs("a second load of the same text gives a different model\n", stderr);
        std::abort();
    }
    if (r.ok) {
        volatile std::int32_t m = model.maximumBauphase();
        (void)m;
        for (const auto& p : model.partList())
            (void)p->definition().GetGroupAsString();
        for (const auto& t : model.tubeList()) {
            vxVector v;
            for (int i = -1; i <= 200; ++i)
                t->getTubeNode(i, v);
        }
    }
    return 0;
}
