#include "vxLoadFindings.h"

#include "vxModel.h"
#include "vxResources.h"
#include "vxSectionText.h"
#include "vxTextFile.h"
#include "vxTubePath.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace {

using Kind = vxLoadFinding::Kind;

std::string times(std::int64_t n)
{
    return "(" + std::to_string(n) + "\u00d7)";
}

vxLoadFinding make(Kind kind, std::string message)
{
    vxLoadFinding f;
    f.kind = kind;
    f.message = std::move(message);
    return f;
}

// Whether the text holds a header that a model pass reads. Stops at the
// first one, which in a model file is its first line.
bool hasModelSection(std::string_view text)
{
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.front() == '[') {
            const std::string upper = vxSectionText::toUpper(line);
            if (upper == "[CAMERA]" || upper == "[COMMON]")
                return true;
            for (const char* prefix : {"[PART", "[TUBE"}) {
                auto index = vxSectionText::numberedHeaderIndex(upper, prefix);
                if (index && *index >= 0)
                    return true;
            }
        }
        start = end + 2;
    }
    return false;
}

// Binary data rather than text: a NUL byte, or control characters in more
// than one byte of twenty.
bool looksBinary(std::string_view text)
{
    std::size_t controls = 0;
    for (unsigned char c : text) {
        if (c == 0)
            return true;
        if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v') || c == 0x7f)
            ++controls;
    }
    return controls * 20 > text.size();
}

// The file as a whole, when it held no model section.
void addFileFindings(std::string_view text, std::vector<vxLoadFinding>& out)
{
    if (text.empty()) {
        out.push_back(make(Kind::kEmptyFile, "The file is empty."));
        return;
    }
    if (hasModelSection(text))
        return;
    if (looksBinary(text)) {
        out.push_back(make(Kind::kNotText, "The file does not hold text; it is not a model file."));
        return;
    }
    if (text.find("\r\n") == std::string_view::npos &&
        (text.find('\n') != std::string_view::npos || text.find('\r') != std::string_view::npos)) {
        const bool lf = text.find('\n') != std::string_view::npos;
        vxLoadFinding f = make(Kind::kLineEnds, std::string("The file's lines end in ") + (lf ? "LF" : "CR") +
                                                    " alone; a model file ends them in CR LF, so "
                                                    "nothing could be read.");
        f.name = lf ? "LF" : "CR";
        out.push_back(std::move(f));
        return;
    }
    out.push_back(
        make(Kind::kNoSections,
             "The file holds no model sections ([CAMERA], [COMMON], [PART…]); it is not a model file."));
}

void addPartFindings(const vxModel& model, std::vector<vxLoadFinding>& out)
{
    const auto& parts = model.partList();
    const std::size_t n = std::min(parts.size(), static_cast<std::size_t>(std::max(model.count(), 0)));
    std::int64_t empty = 0;
    std::vector<vxLoadFinding> unknown;
    std::unordered_map<std::string, std::size_t> unknownIndex;
    const std::string initialName = vxPart().partName();
    for (std::size_t i = 0; i < n; ++i) {
        const vxPart& p = *parts[i];
        if (p.partName() == initialName) {
            ++empty;
            continue;
        }
        if (p.definition().found())
            continue;
        auto [it, added] = unknownIndex.try_emplace(p.partName(), unknown.size());
        if (added) {
            vxLoadFinding f = make(Kind::kUnknownPart, "");
            f.name = p.partName();
            unknown.push_back(std::move(f));
        }
        ++unknown[it->second].count;
    }
    if (empty > 0) {
        vxLoadFinding f = make(Kind::kMissingParts, "The file declares " + std::to_string(model.count()) +
                                                        " parts (COUNT), but " + std::to_string(empty) +
                                                        " of them have no [PART] section with a NAME; " +
                                                        "the file may be cut short.");
        f.count = empty;
        out.push_back(std::move(f));
    }
    for (vxLoadFinding& f : unknown) {
        f.message = f.name + " is not in the part catalogue " + times(f.count) + ".";
        out.push_back(std::move(f));
    }
}

void addNumberFindings(const vxSectionText::NumberWatch& numbers, std::vector<vxLoadFinding>& out)
{
    std::vector<vxSectionText::BadNumber> found = numbers.found;
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.line < b.line; });
    for (const auto& b : found) {
        vxLoadFinding f = make(Kind::kBadNumber, "");
        f.key = b.key;
        f.section = b.section;
        f.value = b.value;
        f.sectionLength = b.sectionLength;
        f.valueLength = b.valueLength;
        f.readAs = b.readAs;
        f.line = b.line;
        f.count = 1;
        // A text cut short says how long it was.
        const auto shown = [](const std::string& text, bool cut, std::int64_t length) {
            return cut ? text + "\u2026 (" + std::to_string(length) + " characters)" : text;
        };
        f.message = "Line " + std::to_string(f.line) + ": " + f.key + "=" +
                    shown(f.value, f.valueIsCut(), f.valueLength) +
                    (f.section.empty() ? "" : " in " + shown(f.section, f.sectionIsCut(), f.sectionLength)) +
                    " is not a number; read as " + f.readAs + ".";
        out.push_back(std::move(f));
    }
    const std::int64_t more = numbers.total - static_cast<std::int64_t>(found.size());
    if (more > 0) {
        vxLoadFinding f = make(Kind::kMoreBadNumbers,
                               std::to_string(more) + " more values are not numbers where numbers belong.");
        f.count = more;
        out.push_back(std::move(f));
    }
}

void addTubeFindings(const vxModel& model, std::vector<vxLoadFinding>& out)
{
    struct Found {
        vxTubeFault fault;
        Kind kind;
        const char* what;
        std::size_t first = 0;
        std::int64_t count = 0;
    };
    Found found[] = {{vxTubeFault::kTooFewNodes, Kind::kTubeFewNodes, "fewer than two nodes"},
                     {vxTubeFault::kNodeNotFinite, Kind::kTubeBadNode, "a node that is not a finite number"},
                     {vxTubeFault::kRadiusNotUsable, Kind::kTubeBadRadius, "no radius above 0"}};
    const auto& tubes = model.tubeList();
    const std::size_t n = std::min(tubes.size(), static_cast<std::size_t>(std::max(model.tubeCount(), 0)));
    for (std::size_t i = 0; i < n; ++i) {
        const vxTubeFault fault = vxTubeFaultOf(*tubes[i]);
        for (Found& f : found)
            if (f.fault == fault && f.count++ == 0)
                f.first = i;
    }
    for (const Found& f : found) {
        if (f.count == 0)
            continue;
        vxLoadFinding finding = make(f.kind, "");
        finding.section = "[TUBE" + std::to_string(f.first + 1) + "]";
        finding.count = f.count;
        finding.message = f.count == 1 ? finding.section + " has " + f.what + "; it is not drawn."
                                       : finding.section + " and " + std::to_string(f.count - 1) +
                                             " more tubes have " + f.what + "; they are not drawn.";
        out.push_back(std::move(finding));
    }
}

// Whole triangles in the binary mesh file at path, or -1 when it cannot be
// read. Reads the head only, with the limits of the mesh reader: a regular
// file up to its size limit, 84 bytes of head, 50 bytes per triangle, and no
// more triangles than the head declares.
std::int64_t meshTriangles(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::uint64_t>(st.st_size) > vxFileLimits::kMeshFile)
        return -1;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return -1;
    unsigned char head[84];
    const ssize_t got = ::pread(fd, head, sizeof head, 0);
    ::close(fd);
    if (got < 0)
        return -1;
    if (got < static_cast<ssize_t>(sizeof head))
        return 0;
    const std::uint32_t declared =
        static_cast<std::uint32_t>(head[80]) | static_cast<std::uint32_t>(head[81]) << 8 |
        static_cast<std::uint32_t>(head[82]) << 16 | static_cast<std::uint32_t>(head[83]) << 24;
    return std::min<std::int64_t>(declared, (st.st_size - 84) / 50);
}

} // namespace

bool vxLoadFinding::isAboutParts() const
{
    return kind == Kind::kMissingParts || kind == Kind::kUnknownPart || kind == Kind::kMissingMesh ||
           kind == Kind::kEmptyMesh;
}

bool vxLoadFinding::valueIsCut() const
{
    return valueLength > static_cast<std::int64_t>(vxSectionText::BadNumber::kQuoted);
}

bool vxLoadFinding::sectionIsCut() const
{
    return sectionLength > static_cast<std::int64_t>(vxSectionText::BadNumber::kQuoted);
}

namespace vxLoadFindings {

std::vector<vxLoadFinding> collect(const vxModel& model, const std::string& text,
                                   const vxSectionText::NumberWatch& numbers)
{
    std::vector<vxLoadFinding> out;
    addFileFindings(text, out);
    addPartFindings(model, out);
    addNumberFindings(numbers, out);
    addTubeFindings(model, out);
    return out;
}

void addMeshFindings(const vxModel& model, std::vector<vxLoadFinding>& findings)
{
    const auto& parts = model.partList();
    const std::size_t n = std::min(parts.size(), static_cast<std::size_t>(std::max(model.count(), 0)));
    std::vector<vxLoadFinding> found;
    std::unordered_map<std::string, std::ptrdiff_t> seen; // short name -> index in found, or -1 when fine
    // The same for the definitions that parts share under their own short
    // name, which spares most parts the look-up by name.
    std::unordered_map<const vxDefinition*, std::ptrdiff_t> seenDefinitions;
    for (std::size_t i = 0; i < n; ++i) {
        const vxPart& p = *parts[i];
        const vxDefinition& d = p.definition();
        if (!d.found() || p.shortName().empty())
            continue;
        std::ptrdiff_t* known = nullptr; // the entry of d in seenDefinitions
        if (d.m_ShortName == p.shortName()) {
            const auto [at, added] = seenDefinitions.try_emplace(&d);
            std::ptrdiff_t& entry = at->second;
            if (!added) {
                if (entry >= 0)
                    ++found[static_cast<std::size_t>(entry)].count;
                continue;
            }
            known = &entry;
        }
        const auto [at, added] = seen.try_emplace(p.shortName());
        std::ptrdiff_t& index = at->second;
        if (added) {
            index = -1;
            const auto path = vxResources::resourcePath(p.shortName(), "stl", "");
            const std::int64_t triangles = path ? meshTriangles(*path) : -1;
            if (triangles <= 0) {
                vxLoadFinding f = make(triangles < 0 ? Kind::kMissingMesh : Kind::kEmptyMesh, "");
                f.name = p.shortName();
                f.title = d.m_Name;
                index = static_cast<std::ptrdiff_t>(found.size());
                found.push_back(std::move(f));
            }
        }
        if (known)
            *known = index;
        if (index >= 0)
            ++found[static_cast<std::size_t>(index)].count;
    }
    for (vxLoadFinding& f : found) {
        const std::string what = f.name + (f.title.empty() ? "" : " (" + f.title + ")");
        f.message = f.kind == Kind::kMissingMesh
                        ? "The mesh of " + what + " is missing or unreadable " + times(f.count) + "."
                        : "The mesh of " + what + " holds no triangle " + times(f.count) + ".";
        findings.push_back(std::move(f));
    }
}

std::int64_t partsNotShown(const std::vector<vxLoadFinding>& findings)
{
    std::int64_t n = 0;
    for (const vxLoadFinding& f : findings)
        if (f.isAboutParts())
            n += f.count;
    return n;
}

} // namespace vxLoadFindings
