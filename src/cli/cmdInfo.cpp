#include "vxCli.h"
#include "vxCommandOptions.h"
#include "vxJson.h"
#include "vxModel.h"
#include "vxOrderedRuns.h"
#include "vxProcessors.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <future>
#include <iostream>
#include <memory>
#include <string_view>
#include <vector>

namespace vxCli {

namespace {

// Output gathered in pieces and written out as it grows, so that a model of
// a million parts never has its whole description in memory at once; or,
// given a text, gathered into it (a run of parts made on a helper thread).
class Out {
  public:
    explicit Out(std::string* into = nullptr) : m_into(into) {}
    ~Out() { flush(); }
    Out& operator<<(std::string_view s)
    {
        if (s.size() > kSize - m_used) {
            flush();
            if (s.size() > kSize) {
                put(s);
                return *this;
            }
        }
        std::memcpy(m_buffer.get() + m_used, s.data(), s.size());
        m_used += s.size();
        return *this;
    }
    Out& operator<<(std::int32_t n) { return *this << static_cast<std::int64_t>(n); }
    Out& operator<<(std::int64_t n) { return done(writeWhole(room(kWholeRoom), n)); }
    // A float as a stream shows it by default (six significant digits).
    Out& operator<<(float f) { return done(vxJson::writeGeneral(room(vxJson::kNumberRoom), f)); }
    Out& operator<<(const vxVector& v) { return done(writeVector(room(kVectorRoom), v)); }
    // A text of the file, its control characters escaped: a model must not
    // be able to drive the terminal.
    Out& text(std::string_view s)
    {
        if (s.size() < kSize)
            if (char* end = vxJson::copyPlainAscii(room(s.size()), s))
                return done(end);
        return *this << vxJson::printable(s);
    }
    // A JSON string.
    Out& str(std::string_view s)
    {
        if (vxJson::isPlainAscii(s) && s.find_first_of("\"\\") == std::string_view::npos)
            return *this << "\"" << s << "\"";
        return *this << vxJson::str(s);
    }
    // A JSON number.
    Out& num(float f) { return done(vxJson::writeNum(room(vxJson::kNumberRoom), f)); }
    Out& vec3(const vxVector& v)
    {
        *this << "[";
        num(v.x()) << ",";
        num(v.y()) << ",";
        return num(v.z()) << "]";
    }
    void flush()
    {
        put({m_buffer.get(), m_used});
        m_used = 0;
    }
    // The bytes gathered and not yet written.
    std::size_t size() const { return m_used; }

    // Writing in place: room(n) gives the end of the output with room for
    // n bytes (n at most kSize); done(end) takes what was written up to end.
    static constexpr std::size_t kSize = 1 << 16;
    char* room(std::size_t n)
    {
        if (kSize - m_used < n)
            flush();
        return m_buffer.get() + m_used;
    }
    Out& done(char* end)
    {
        m_used = static_cast<std::size_t>(end - m_buffer.get());
        return *this;
    }
    // Writers for room(): a whole number and a vector "(x, y, z)", with the
    // room they need.
    static constexpr std::size_t kWholeRoom = 24;
    static char* writeWhole(char* at, std::int64_t n)
    {
        if (n >= 0 && n <= 0xFFFFFFFF) // the common case, on the quicker road
            return vxJson::writeUnsigned(at, static_cast<std::uint32_t>(n));
        return std::to_chars(at, at + kWholeRoom, n).ptr;
    }
    static constexpr std::size_t kVectorRoom = 3 * vxJson::kNumberRoom + 6;
    static char* writeVector(char* at, const vxVector& v)
    {
        *at++ = '(';
        at = vxJson::writeGeneral(at, v.x());
        at = std::copy_n(", ", 2, at);
        at = vxJson::writeGeneral(at, v.y());
        at = std::copy_n(", ", 2, at);
        at = vxJson::writeGeneral(at, v.z());
        *at++ = ')';
        return at;
    }

  private:
    void put(std::string_view s)
    {
        if (m_into)
            m_into->append(s);
        else
            std::fwrite(s.data(), 1, s.size(), stdout);
    }
    std::string* m_into;
    std::unique_ptr<char[]> m_buffer{new char[kSize]};
    std::size_t m_used = 0;
};

// The parts' lines (or JSON objects) are made in runs of this many parts on
// helper threads and written in order.
constexpr std::size_t kPartsPerRun = 8192;
// The parts whose text tells how much a run needs, and the most reserved
// for a run on their word.
constexpr std::size_t kSampledParts = 64;
constexpr std::size_t kMostReserved = std::size_t{64} << 20;

// Texts made once per definition within a run, found by the definition's
// address: an open table (parts share a few definitions, looked up once a
// part), its last find tried first (neighbours often share one).
class PerDefinition {
  public:
    // The text of d, made by make(d) the first time.
    template <class Make> const std::string& get(const vxDefinition& d, const Make& make)
    {
        if (&d == m_last)
            return *m_lastText;
        std::size_t i = slot(&d);
        while (m_entries[i].definition && m_entries[i].definition != &d)
            i = (i + 1) & (m_entries.size() - 1);
        if (!m_entries[i].definition) {
            if (2 * (m_used + 1) > m_entries.size()) { // at most half full
                grow();
                return get(d, make);
            }
            m_entries[i] = {&d, make(d)};
            ++m_used;
        }
        m_last = &d;
        m_lastText = &m_entries[i].text;
        return *m_lastText;
    }

  private:
    struct Entry {
        const vxDefinition* definition = nullptr;
        std::string text;
    };
    std::size_t slot(const vxDefinition* d) const
    {
        // Fibonacci hashing: the top bits of the address times 2^64 / phi.
        return static_cast<std::size_t>((reinterpret_cast<std::uintptr_t>(d) * 0x9E3779B97F4A7C15ull) >>
                                        (64 - m_bits));
    }
    void grow()
    {
        std::vector<Entry> old(std::size_t{1} << ++m_bits);
        old.swap(m_entries);
        for (Entry& e : old) {
            if (!e.definition)
                continue;
            std::size_t i = slot(e.definition);
            while (m_entries[i].definition)
                i = (i + 1) & (m_entries.size() - 1);
            m_entries[i] = std::move(e);
        }
        m_last = nullptr;
    }
    int m_bits = 8;
    std::vector<Entry> m_entries = std::vector<Entry>(std::size_t{1} << m_bits);
    std::size_t m_used = 0;
    const vxDefinition* m_last = nullptr;
    const std::string* m_lastText = nullptr;
};

// A part's position "(x, y, z)" for Out::room, each coordinate remembered:
// neighbouring parts often share one or two (a row, a column, a layer),
// whose text is then copied. A coordinate is written out directly when it
// changes and kept as a text once it comes again (a text read back at once
// after it is written costs more than writing it out).
class PositionWriter {
  public:
    static constexpr std::size_t kRoom = Out::kVectorRoom;
    char* write(char* at, const vxVector& v)
    {
        *at++ = '(';
        at = coordinate(at, m_x, v.x());
        at = coordinate(std::copy_n(", ", 2, at), m_y, v.y());
        at = coordinate(std::copy_n(", ", 2, at), m_z, v.z());
        *at++ = ')';
        return at;
    }

  private:
    struct Coordinate {
        std::uint64_t bits = ~std::uint64_t{0}; // a float's bits; none at first
        std::size_t size = 0;                   // of text; 0: not kept yet
        char text[vxJson::kNumberRoom] = {};
    };
    static char* coordinate(char* at, Coordinate& c, float f)
    {
        std::uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        if (bits != c.bits) {
            c.bits = bits;
            c.size = 0;
            return vxJson::writeGeneral(at, f);
        }
        if (c.size == 0)
            c.size = static_cast<std::size_t>(vxJson::writeGeneral(c.text, f) - c.text);
        // The whole room: a copy of fixed size, with what follows the text.
        std::memcpy(at, c.text, sizeof c.text);
        return at + c.size;
    }
    Coordinate m_x, m_y, m_z;
};

// Writes what fn(out, part, index, run) makes of every part, in order, and
// returns how many parts have no definition. run, a Run made for each run
// of parts, keeps what its parts share (texts made once per definition).
template <class Run, class Fn> std::int64_t printParts(Out& o, const vxModel& m, const Fn& fn)
{
    o.flush();
    const auto& parts = m.partList();
    std::atomic<std::int64_t> missing = 0;
    vxOrderedRuns::makeInOrder(
        vxOrderedRuns::blocks(parts.size(), kPartsPerRun),
        [&](std::size_t first, std::size_t last, std::string& text) {
            Run shared;
            std::int64_t lost = 0;
            Out out(&text);
            // The text's room for the whole run, reckoned from its first
            // parts, so that it is not moved as it grows.
            const std::size_t sampled = first + std::min<std::size_t>(kSampledParts, last - first);
            for (std::size_t i = first; i < sampled; ++i) {
                const vxPart& p = *parts[i];
                lost += !p.definition().found();
                fn(out, p, i, shared);
            }
            const std::size_t made = text.size() + out.size();
            text.reserve(std::min(made / (sampled - first) * (last - first) * 9 / 8, kMostReserved));
            for (std::size_t i = sampled; i < last; ++i) {
                const vxPart& p = *parts[i];
                lost += !p.definition().found();
                fn(out, p, i, shared);
            }
            missing += lost;
        },
        [](std::size_t, const std::string& text) {
            std::fwrite(text.data(), 1, text.size(), stdout);
            return true;
        });
    return missing;
}

// The JSON of a definition, written once for all the parts that share it.
std::string definitionJson(const vxDefinition& d)
{
    std::string s = std::string(", \"definition\": {\"found\": ") + (d.found() ? "true" : "false");
    s += ", \"m_Name\": " + vxJson::str(d.m_Name);
    s += ", \"m_OrgNumber\": " + vxJson::str(d.m_OrgNumber);
    s += ", \"m_Group\": " + std::to_string(d.m_Group);
    s += ", \"group\": " + vxJson::str(d.GetGroupAsString());
    s += ", \"m_Color\": [" + vxJson::num(d.m_Color.r) + "," + vxJson::num(d.m_Color.g) + "," +
         vxJson::num(d.m_Color.b) + "," + vxJson::num(d.m_Color.a) + "]";
    s += ", \"offset\": [" + vxJson::num(d.m_OffsetX) + "," + vxJson::num(d.m_OffsetY) + "," +
         vxJson::num(d.m_OffsetZ) + "]}";
    return s;
}

// The findings of the load, then those about the meshes, which are gathered
// while the parts are written.
void printJson(const std::string& file, const vxModel& m, const std::vector<vxLoadFinding>& findings,
               std::future<std::vector<vxLoadFinding>>& meshFindings)
{
    Out o;
    o << "{\"file\": ";
    o.str(file) << ", \"infModell\": ";
    o.str(m.infModell()) << ", \"infOriginal\": ";
    o.str(m.infOriginal()) << ", \"infGebaut\": ";
    o.str(m.infGebaut()) << ", \"camera\": {\"position\": ";
    o.vec3(m.cameraPosition()) << ", \"direction\": ";
    o.vec3(m.cameraDirection()) << ", \"up\": ";
    o.vec3(m.cameraUp()) << ", \"target\": ";
    o.vec3(m.cameraTarget()) << "}";
    o << ", \"count\": " << m.count();
    o << ", \"tubeCount\": " << m.tubeCount();
    o << ", \"maximumBauphase\": " << m.actualBauphase(); // where a model just read stands
    o << ", \"parts\": [";
    printParts<PerDefinition>(o, m, [](Out& out, const vxPart& p, std::size_t i, PerDefinition& definitions) {
        if (i > 0)
            out << ", ";
        const vxDefinition& d = p.definition();
        out << "{\"partName\": ";
        out.str(p.partName()) << ", \"shortName\": ";
        out.str(p.shortName()) << ", \"position\": ";
        out.vec3(p.position()) << ", \"up\": ";
        out.vec3(p.up()) << ", \"direction\": ";
        out.vec3(p.direction()) << ", \"color\": ";
        out.vec3(p.color()) << ", \"phase\": " << p.phase();
        out << definitions.get(d, definitionJson) << "}";
    });
    o << "], \"tubes\": [";
    bool first = true;
    for (const auto& t : m.tubeList()) {
        if (!first)
            o << ", ";
        first = false;
        o << "{\"radius\": ";
        o.num(t->radius()) << ", \"color\": ";
        o.vec3(t->color()) << ", \"count\": " << t->count() << "}";
    }
    o << "], \"warnings\": [";
    first = true;
    const std::vector<vxLoadFinding> meshes = meshFindings.get();
    for (const std::vector<vxLoadFinding>* list : {&findings, &meshes})
        for (const vxLoadFinding& f : *list) {
            if (!first)
                o << ", ";
            first = false;
            o.str(f.message);
        }
    o << "]}\n";
}

// The middle of a part's line, " [short name] name, phase ", written once
// for all the parts that share a definition under its own short name.
std::string partMiddle(const vxDefinition& d)
{
    return " [" + vxJson::printable(d.m_ShortName) + "] " +
           (d.found() ? vxJson::printable(d.m_Name) : std::string("(no definition)")) + ", phase ";
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
    o << "Phases:      " << m.actualBauphase() << "\n"; // where a model just read stands
    // What the lines of a run share.
    struct Run {
        PerDefinition middles;
        PositionWriter positions;
    };
    const std::int64_t missing =
        printParts<Run>(o, m, [](Out& out, const vxPart& p, std::size_t i, Run& run) {
            const vxDefinition& d = p.definition();
            const std::string& name = p.partName();
            const std::string* middle =
                p.shortName() == d.m_ShortName ? &run.middles.get(d, partMiddle) : nullptr;
            // The common line, its part name plain, written in one piece.
            constexpr std::size_t kNumbersRoom = 2 * Out::kWholeRoom + PositionWriter::kRoom + 16;
            if (middle && name.size() + middle->size() + kNumbersRoom <= Out::kSize) {
                char* at = out.room(name.size() + middle->size() + kNumbersRoom);
                at = Out::writeWhole(std::copy_n("  ", 2, at), static_cast<std::int64_t>(i + 1));
                if (char* end = vxJson::copyPlainAscii(std::copy_n(". ", 2, at), name)) {
                    at = std::copy(middle->begin(), middle->end(), end);
                    at = Out::writeWhole(at, p.phase());
                    at = run.positions.write(std::copy_n(", at ", 5, at), p.position());
                    *at++ = '\n';
                    out.done(at);
                    return;
                }
            }
            out << "  " << static_cast<std::int64_t>(i + 1) << ". ";
            out.text(name);
            if (middle) {
                out << *middle;
            } else {
                out << " [";
                out.text(p.shortName()) << "] ";
                if (d.found())
                    out.text(d.m_Name);
                else
                    out << "(no definition)";
                out << ", phase ";
            }
            out << p.phase() << ", at " << p.position() << "\n";
        });
    if (missing)
        o << missing << " part(s) without a definition in the resource folder.\n";
}

} // namespace

int cmdInfo(const std::vector<std::string>& argsIn)
{
    const Arguments args(kInfoOptions, argsIn);
    if (args.exit())
        return *args.exit();
    const std::string* given = args.modelFile();
    if (!given)
        return 2;
    const bool json = args.has("--json");
    const std::string& file = *given;
    // The model lives until the process ends: freeing a million parts one
    // by one only to exit costs more than the reading of their definitions.
    static vxModel& model = *new vxModel;
    vxLoadResult r = model.loadModelFromFile(file);
    if (!r) {
        fail(r.error);
        return 1;
    }
    // The meshes' findings come last; they are gathered on another thread
    // while the parts are written, as both only read the model (where a
    // second processor is to be had; else when they are needed).
    std::future<std::vector<vxLoadFinding>> meshFindings = std::async(
        vxProcessors::usable() >= 2 ? std::launch::async | std::launch::deferred : std::launch::deferred, [] {
            std::vector<vxLoadFinding> found;
            vxLoadFindings::addMeshFindings(model, found);
            return found;
        });
    if (json) {
        printJson(file, model, r.findings, meshFindings);
    } else {
        printText(file, model);
        flushOutput(); // before the warnings on a terminal
        printWarnings(r.findings);
        printWarnings(meshFindings.get());
    }
    return 0;
}

} // namespace vxCli
