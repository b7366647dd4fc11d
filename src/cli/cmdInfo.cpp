#include "vxCli.h"
#include "vxJson.h"
#include "vxModel.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <string_view>

namespace vxCli {

namespace {

const char* kInfoHelp = "usage: kolbrik info MODEL.kmf [--json] [--resources DIR]\n"
                        "\n"
                        "Reads a model file and prints its camera, information texts, parts and\n"
                        "tubes, with what each part's definition says.\n"
                        "\n"
                        "  --json            print one JSON object instead of text\n"
                        "  --resources DIR   read part definitions from DIR instead of the\n"
                        "                    installed resource folder\n";

// Output gathered in pieces and written out as it grows, so that a model of
// a million parts never has its whole description in memory at once.
class Out {
  public:
    ~Out() { flush(); }
    Out& operator<<(std::string_view s)
    {
        m_buffer += s;
        return grown();
    }
    Out& operator<<(std::int32_t n) { return *this << static_cast<std::int64_t>(n); }
    Out& operator<<(std::int64_t n)
    {
        char b[24];
        return *this << std::string_view(b,
                                         static_cast<std::size_t>(std::to_chars(b, b + sizeof b, n).ptr - b));
    }
    // A float as a stream shows it by default (six significant digits).
    Out& operator<<(float f)
    {
        char b[32];
        return *this << std::string_view(
                   b, static_cast<std::size_t>(
                          std::to_chars(b, b + sizeof b, f, std::chars_format::general, 6).ptr - b));
    }
    Out& operator<<(const vxVector& v)
    {
        return *this << "(" << v.x() << ", " << v.y() << ", " << v.z() << ")";
    }
    // A text of the file, its control characters escaped: a model must not
    // be able to drive the terminal.
    Out& text(std::string_view s)
    {
        vxJson::appendPrintable(m_buffer, s);
        return grown();
    }
    void flush()
    {
        std::fwrite(m_buffer.data(), 1, m_buffer.size(), stdout);
        m_buffer.clear();
    }

  private:
    Out& grown()
    {
        if (m_buffer.size() >= 1 << 16)
            flush();
        return *this;
    }
    std::string m_buffer;
};

std::string vec3(const vxVector& v)
{
    return "[" + vxJson::num(v.x()) + "," + vxJson::num(v.y()) + "," + vxJson::num(v.z()) + "]";
}

void printJson(const std::string& file, const vxModel& m, const std::vector<vxLoadFinding>& findings)
{
    Out o;
    o << "{\"file\": " << vxJson::str(file);
    o << ", \"infModell\": " << vxJson::str(m.infModell());
    o << ", \"infOriginal\": " << vxJson::str(m.infOriginal());
    o << ", \"infGebaut\": " << vxJson::str(m.infGebaut());
    o << ", \"camera\": {\"position\": " << vec3(m.cameraPosition())
      << ", \"direction\": " << vec3(m.cameraDirection()) << ", \"up\": " << vec3(m.cameraUp())
      << ", \"target\": " << vec3(m.cameraTarget()) << "}";
    o << ", \"count\": " << m.count();
    o << ", \"tubeCount\": " << m.tubeCount();
    o << ", \"maximumBauphase\": " << m.maximumBauphase();
    o << ", \"parts\": [";
    bool first = true;
    for (const auto& p : m.partList()) {
        if (!first)
            o << ", ";
        first = false;
        const vxDefinition& d = p->definition();
        o << "{\"partName\": " << vxJson::str(p->partName());
        o << ", \"shortName\": " << vxJson::str(p->shortName());
        o << ", \"position\": " << vec3(p->position());
        o << ", \"up\": " << vec3(p->up());
        o << ", \"direction\": " << vec3(p->direction());
        o << ", \"color\": " << vec3(p->color());
        o << ", \"phase\": " << p->phase();
        o << ", \"definition\": {\"found\": " << (d.found() ? "true" : "false");
        o << ", \"m_Name\": " << vxJson::str(d.m_Name);
        o << ", \"m_OrgNumber\": " << vxJson::str(d.m_OrgNumber);
        o << ", \"m_Group\": " << d.m_Group;
        o << ", \"group\": " << vxJson::str(d.GetGroupAsString());
        o << ", \"m_Color\": [" << vxJson::num(d.m_Color.r) << "," << vxJson::num(d.m_Color.g) << ","
          << vxJson::num(d.m_Color.b) << "," << vxJson::num(d.m_Color.a) << "]";
        o << ", \"offset\": [" << vxJson::num(d.m_OffsetX) << "," << vxJson::num(d.m_OffsetY) << ","
          << vxJson::num(d.m_OffsetZ) << "]}}";
    }
    o << "], \"tubes\": [";
    first = true;
    for (const auto& t : m.tubeList()) {
        if (!first)
            o << ", ";
        first = false;
        o << "{\"radius\": " << vxJson::num(t->radius()) << ", \"color\": " << vec3(t->color())
          << ", \"count\": " << t->count() << "}";
    }
    o << "], \"warnings\": [";
    first = true;
    for (const vxLoadFinding& f : findings) {
        if (!first)
            o << ", ";
        first = false;
        o << vxJson::str(f.message);
    }
    o << "]}\n";
}

void printText(const std::string& file, const vxModel& m)
{
    Out o;
    o << "Model:       ";
    o.text(file) << "\nInformation: ";
    o.text(m.infModell()) << "\nOriginal:    ";
    o.text(m.infOriginal()) << "\nBuilt by:    ";
    o.text(m.infGebaut()) << "\n";
    o << "Camera:      position " << m.cameraPosition() << ", target " << m.cameraTarget() << ", up "
      << m.cameraUp() << "\n";
    o << "Parts:       " << m.count() << "\n";
    o << "Tubes:       " << m.tubeCount() << "\n";
    o << "Phases:      " << m.maximumBauphase() << "\n";
    std::int64_t i = 1;
    std::int64_t missing = 0;
    for (const auto& p : m.partList()) {
        const vxDefinition& d = p->definition();
        if (!d.found())
            ++missing;
        o << "  " << i++ << ". ";
        o.text(p->partName()) << " [";
        o.text(p->shortName()) << "] ";
        if (d.found())
            o.text(d.m_Name);
        else
            o << "(no definition)";
        o << ", phase " << p->phase() << ", at " << p->position() << "\n";
    }
    if (missing)
        o << missing << " part(s) without a definition in the resource folder.\n";
}

} // namespace

int cmdInfo(const std::vector<std::string>& argsIn)
{
    std::vector<std::string> args = argsIn;
    bool json = false;
    std::string file;
    if (!takeResourcesOption(args))
        return 2;
    for (const auto& a : args) {
        if (a == "--help" || a == "-h") {
            std::cout << kInfoHelp;
            return 0;
        } else if (a == "--json") {
            json = true;
        } else if (!a.empty() && a[0] == '-') {
            fail("info: unknown option " + a);
            std::cerr << kInfoHelp;
            return 2;
        } else if (file.empty()) {
            file = a;
        } else {
            fail("info: more than one model file given");
            return 2;
        }
    }
    if (file.empty()) {
        fail("info: no model file given");
        std::cerr << kInfoHelp;
        return 2;
    }
    // The model lives until the process ends: freeing a million parts one
    // by one only to exit costs more than the reading of their definitions.
    static vxModel& model = *new vxModel;
    vxLoadResult r = model.loadModelFromFile(file);
    if (!r) {
        fail(r.error);
        return 1;
    }
    vxLoadFindings::addMeshFindings(model, r.findings);
    if (json) {
        printJson(file, model, r.findings);
    } else {
        printText(file, model);
        std::cout.flush();
        for (const vxLoadFinding& f : r.findings)
            std::cerr << "kolbrik: warning: " << vxJson::printable(f.message) << "\n";
    }
    return 0;
}

} // namespace vxCli
