#include "vxModel.h"

#include "vxBulkMemory.h"
#include "vxSectionPass.h"
#include "vxSectionText.h"
#include "vxTextFile.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <exception>
#include <future>
#include <limits>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_map>

using vxSectionText::toDecimal;
using vxSectionText::toInteger;

vxVector vxDecodeColor(std::int32_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    vxVector c;
    c.setX(static_cast<float>(u & 255u) / 255.0f);
    c.setY(static_cast<float>((u >> 8) & 255u) / 255.0f);
    c.setZ(static_cast<float>((u >> 16) & 255u) / 255.0f);
    return c;
}

namespace {

// Where the short name lies in a part name: its first byte and the byte
// after it.
std::pair<std::size_t, std::size_t> shortNameBytes(std::string_view partName)
{
    const std::size_t size = partName.size();
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(partName[i]); };
    // The common case at once: characters 2 to 6 in ASCII, and no stray
    // continuation byte after them that would belong to the sixth; for a
    // name of eight bytes or more, its first eight looked at together.
    if (size >= 8) {
        std::uint64_t w;
        std::memcpy(&w, partName.data(), 8);
        if ((w & 0x0000808080808000ull) == 0 && (byte(6) & 0xC0) != 0x80)
            return {1, 6};
    } else if (size >= 2 && (size <= 6 || (byte(6) & 0xC0) != 0x80)) {
        bool ascii = true;
        for (std::size_t i = 1; i < 6 && i < size; ++i)
            ascii = ascii && byte(i) < 0x80;
        if (ascii)
            return {1, std::min<std::size_t>(6, size)};
    }
    // A character starts at every byte that is not a UTF-8 continuation
    // byte (10xxxxxx).
    auto nextCharacter = [&](std::size_t i) {
        ++i;
        while (i < size && (byte(i) & 0xC0) == 0x80)
            ++i;
        return i;
    };
    const std::size_t begin = nextCharacter(0);
    if (begin >= size)
        return {size, size};
    std::size_t end = begin;
    for (int n = 0; n < 5 && end < size; ++n)
        end = nextCharacter(end);
    return {begin, end};
}

// The section a header line opens in the pass over camera and common
// values: 1 for [CAMERA], 2 for [COMMON], else -1.
int modelSection(std::string_view line)
{
    using vxSectionText::detail::equalsInUpperCase;
    return equalsInUpperCase(line, "[CAMERA]") ? 1 : equalsInUpperCase(line, "[COMMON]") ? 2 : -1;
}

// The first line of text that opens a part section ([PARTn], n from 1):
// where it starts and n - 1, or {text.size(), -1} when there is none. From
// the start of the text, or (after > 0) among the lines that begin after a
// CR LF at or beyond offset after.
std::pair<std::size_t, int> firstPartHeader(std::string_view text, std::size_t after = 0)
{
    std::size_t at = 0;
    if (after > 0) {
        at = text.find("\r\n[", after);
        at = at == std::string_view::npos ? text.size() : at + 2;
    }
    while (at < text.size()) {
        const std::size_t eol = std::min(text.find("\r\n", at), text.size());
        if (text[at] == '[') {
            const int index = vxSectionText::detail::numberedSection(text.substr(at, eol - at), "[PART");
            if (index >= 0)
                return {at, index};
        }
        const std::size_t next = text.find("\r\n[", at);
        if (next == std::string_view::npos)
            break;
        at = next + 2;
    }
    return {text.size(), -1};
}

} // namespace

std::string vxShortNameOf(const std::string& partName)
{
    const auto [begin, end] = shortNameBytes(partName);
    return partName.substr(begin, end - begin);
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

namespace {
// Enough parts for a look at every one of them (or for making them) to be
// worth a helper thread.
constexpr std::int32_t kManyParts = 20000;
} // namespace

struct vxModel::PartsAhead {
    std::int32_t count = 0;
    std::future<std::vector<std::shared_ptr<vxPart>>> parts;
};

vxLoadResult vxModel::loadModelFromFile(const std::string& path)
{
    std::string error;
    // Making the parts of a big model costs about what reading its file
    // does: they are made on a helper thread while the rest is read, for
    // the count its head declares. A file that says otherwise later has them
    // made anew.
    PartsAhead ahead;
    std::optional<std::string> text =
        readSectionTextFile(path, vxFileLimits::kModelFile, &error,
                            [&ahead](std::string_view head) { startPartsAhead(ahead, head); });
    if (!text) {
        vxLoadResult r;
        r.ok = false;
        r.error = "cannot read " + path + ": " + error;
        return r;
    }
    vxLoadResult r = loadModelFromText(std::move(text), &ahead);
    if (!r.ok)
        r.error = "cannot load " + path + ": " + r.error;
    return r;
}

vxLoadResult vxModel::loadModelFromText(std::optional<std::string> text)
{
    return loadModelFromText(std::move(text), nullptr);
}

vxLoadResult vxModel::loadModelFromText(std::optional<std::string> text, PartsAhead* ahead)
{
    vxLoadResult result;
    if (!text) {
        result.ok = false;
        result.error = "the file could not be read";
        return result;
    }

    std::string content = std::move(*text);
    vxSectionText::NumberWatch numbers;
    // Camera and common values stand before the parts in a model file, so
    // the first pass reads up to the first part section, and the parts'
    // pass tells whether a [CAMERA] or [COMMON] section follows them. Only
    // then (or when the values read so far refuse the model) is all read
    // again, with the first pass over the whole text.
    for (const bool whole : {false, true}) {
        numbers.found.clear();
        numbers.total = 0;
        vxModel fresh;
        fresh.m_progress = m_progress;
        fresh.m_fileContent = std::move(content);
        const std::string_view all = *fresh.m_fileContent;
        const std::size_t partsFrom = whole ? all.size() : firstPartHeader(all).first;

        // Pass 1: camera and common values.
        vxSectionText::detail::runPass(all.substr(0, partsFrom), 0, modelSection,
                                       [&fresh](int section, std::string_view key, std::string_view value) {
                                           if (section == 1) {
                                               if (key == "POSITIONX")
                                                   fresh.m_cameraPosition.setX(toDecimal(value));
                                               else if (key == "POSITIONY")
                                                   fresh.m_cameraPosition.setY(toDecimal(value));
                                               else if (key == "POSITIONZ")
                                                   fresh.m_cameraPosition.setZ(toDecimal(value));
                                               else if (key == "DIRECTIONX")
                                                   fresh.m_cameraDirection.setX(toDecimal(value));
                                               else if (key == "DIRECTIONY")
                                                   fresh.m_cameraDirection.setY(toDecimal(value));
                                               else if (key == "DIRECTIONZ")
                                                   fresh.m_cameraDirection.setZ(toDecimal(value));
                                               else if (key == "UPX")
                                                   fresh.m_cameraUp.setX(toDecimal(value));
                                               else if (key == "UPY")
                                                   fresh.m_cameraUp.setY(toDecimal(value));
                                               else if (key == "UPZ")
                                                   fresh.m_cameraUp.setZ(toDecimal(value));
                                               else if (key == "TARGETX")
                                                   fresh.m_cameraTarget.setX(toDecimal(value));
                                               else if (key == "TARGETY")
                                                   fresh.m_cameraTarget.setY(toDecimal(value));
                                               else if (key == "TARGETZ")
                                                   fresh.m_cameraTarget.setZ(toDecimal(value));
                                           } else if (section == 2) {
                                               if (key == "COUNT")
                                                   fresh.m_count = toInteger(value);
                                               else if (key == "TUBECOUNT")
                                                   fresh.m_tubeCount = toInteger(value);
                                               else if (key == "INFMODELL")
                                                   fresh.m_infModell = std::string(value);
                                               else if (key == "INFORIGINAL")
                                                   fresh.m_infOriginal = std::string(value);
                                               else if (key == "INFGEBAUT")
                                                   fresh.m_infGebaut = std::string(value);
                                           }
                                       });

        if (fresh.m_count > kMaxParts || fresh.m_tubeCount > kMaxTubes) {
            if (!whole) {
                content = std::move(*fresh.m_fileContent);
                continue;
            }
            result.ok = false;
            result.error = fresh.m_count > kMaxParts
                               ? "the model declares " + std::to_string(fresh.m_count) + " parts; at most " +
                                     std::to_string(kMaxParts) + " can be opened"
                               : "the model declares " + std::to_string(fresh.m_tubeCount) +
                                     " tubes; at most " + std::to_string(kMaxTubes) + " can be opened";
            return result;
        }

        if (fresh.readParts(whole ? std::string_view::npos : partsFrom, ahead) && !whole) {
            content = std::move(*fresh.m_fileContent);
            continue;
        }
        fresh.loadTubes();
        // Two looks at every part of a big model, one on a helper thread.
        std::future<std::int32_t> lastPhase;
        if (fresh.m_partList.size() >= static_cast<std::size_t>(kManyParts) &&
            std::thread::hardware_concurrency() >= 2)
            try {
                lastPhase = std::async(std::launch::async, [&fresh] { return fresh.maximumBauphase(); });
            } catch (const std::system_error&) { // no thread to be had: here
            }
        result.findings = vxLoadFindings::collect(fresh, *fresh.m_fileContent, numbers);
        fresh.m_actualBauphase = lastPhase.valid() ? lastPhase.get() : fresh.maximumBauphase();
        *this = std::move(fresh);
        return result;
    }
    return result; // not reached: the whole text is read in the second round
}

namespace {

// The definitions of one load by short name: each file is read and parsed
// once, and the parts of its type share the result (see vxPart).
struct SharedDefinitions {
    std::mutex mutex;
    std::unordered_map<std::string, std::shared_ptr<vxDefinition>> byShortName;
};

// Reads the key lines of [PARTn] sections into parts[n - 1] (parts beyond
// the list are skipped). A reader may be given a range of parts: it then
// changes no part outside it, and notes whether the text named one.
class PartSectionReader {
  public:
    // With ownCopies, the parts it reads share a copy of each definition
    // that is this reader's own, so that readers on two threads never count
    // the references to one object (the definition is still read and parsed
    // once).
    PartSectionReader(const std::vector<std::shared_ptr<vxPart>>& parts, SharedDefinitions& shared,
                      bool ownCopies)
        : m_parts(parts), m_shared(shared), m_ownCopies(ownCopies)
    {
    }
    // Called with (index + 1, total) after a NAME, once per part.
    void reportProgress(const vxModel::ProgressFn* progress, std::int32_t total)
    {
        m_progress = progress;
        m_total = total;
    }
    void keepTo(int from, int to)
    {
        m_from = from;
        m_to = to;
    }
    // Header lines of camera or common sections from this point of the
    // text on are noted (never when null).
    void noteModelHeadersFrom(const char* from) { m_modelHeadersFrom = from; }
    void read(std::string_view text);
    // Whether the text had key lines for a part outside the range.
    bool strayed() const { return m_strayed; }
    bool metModelHeader() const { return m_metModelHeader; }

  private:
    const std::shared_ptr<vxDefinition>& definition(const std::string& shortName);
    void name(vxPart& p, int index, std::string_view value);
    // Takes a key line of p the quick way (see runPass): the start of the
    // next line, or null.
    static const char* quickLine(vxPart& p, const char* line, const char* end);

    const std::vector<std::shared_ptr<vxPart>>& m_parts;
    SharedDefinitions& m_shared;
    bool m_ownCopies;
    // The definitions this reader has met, so that the shared table is
    // locked only for a type's first part.
    std::unordered_map<std::string, std::shared_ptr<vxDefinition>> m_known;
    // In front of it, the definitions of short names of up to eight bytes
    // by the name's bytes as a number, in a slot chosen by them: a type met
    // again is found without hashing and comparing its name as a text.
    struct Recent {
        std::uint64_t bytes = 0;
        std::size_t size = 0; // 0: an empty slot
        const std::shared_ptr<vxDefinition>* definition = nullptr;
    };
    std::array<Recent, 256> m_recent{};
    const vxModel::ProgressFn* m_progress = nullptr;
    std::int32_t m_total = 0;
    std::int32_t m_lastReported = -1;
    int m_from = 0;
    int m_to = std::numeric_limits<int>::max();
    bool m_strayed = false;
    const char* m_modelHeadersFrom = nullptr;
    bool m_metModelHeader = false;
};

const std::shared_ptr<vxDefinition>& PartSectionReader::definition(const std::string& shortName)
{
    const std::size_t size = shortName.size();
    Recent* recent = nullptr;
    std::uint64_t bytes = 0;
    if (size > 0 && size <= 8) {
        std::memcpy(&bytes, shortName.data(), size);
        recent = &m_recent[(bytes * 0x9E3779B97F4A7C15ull) >> 56];
        if (recent->size == size && recent->bytes == bytes)
            return *recent->definition;
    }
    std::shared_ptr<vxDefinition>& known = m_known[shortName];
    if (!known) {
        const std::lock_guard<std::mutex> lock(m_shared.mutex);
        std::shared_ptr<vxDefinition>& d = m_shared.byShortName[shortName];
        if (!d) {
            d = std::make_shared<vxDefinition>();
            d->LoadFromResource(shortName);
        }
        known = m_ownCopies ? std::make_shared<vxDefinition>(*d) : d;
    }
    if (recent)
        *recent = {bytes, size, &known};
    return known;
}

void PartSectionReader::name(vxPart& p, int index, std::string_view value)
{
    p.partName() = std::string(value);
    const auto [begin, end] = shortNameBytes(p.partName());
    p.shortName().assign(p.partName().data() + begin, end - begin);
    const std::shared_ptr<vxDefinition>& d = definition(p.shortName());
    if (p.hasNewDefinition())
        p.shareDefinition(d);
    else // a second NAME: loaded over the values of the first
        p.changeDefinition().LoadFromText(p.shortName(), d->m_FileContent);
    if (m_progress && *m_progress && index > m_lastReported) {
        m_lastReported = index;
        // A reader kept to the first parts while another reads the rest
        // reports for both, as they go at about the same pace.
        const std::int64_t done = m_to < m_total && m_to > 0
                                      ? (static_cast<std::int64_t>(index) + 1) * m_total / m_to
                                      : static_cast<std::int64_t>(index) + 1;
        (*m_progress)(static_cast<std::int32_t>(std::min<std::int64_t>(done, m_total)), m_total);
    }
}

void PartSectionReader::read(std::string_view text)
{
    // The keys are told apart by their length and letters, without a chain
    // of comparisons: NAME, [XYZ]POS, [XYZ]UP, [XYZ]DIR, PHASE, COLOR.
    auto axis = [](vxVector& v, char letter, float f) {
        if (letter == 'X')
            v.setX(f);
        else if (letter == 'Y')
            v.setY(f);
        else
            v.setZ(f);
    };
    int currentIndex = -1; // the part of the key lines, looked up once per section
    vxPart* current = nullptr;
    vxSectionText::detail::runPass(
        text, 0,
        [this](std::string_view line) {
            const int index = vxSectionText::detail::numberedSection(line, "[PART");
            if (index < 0 && m_modelHeadersFrom && line.data() >= m_modelHeadersFrom &&
                modelSection(line) >= 0)
                m_metModelHeader = true;
            return index;
        },
        [&](int index, std::string_view key, std::string_view value) {
            if (index != currentIndex) {
                currentIndex = index;
                current = static_cast<std::size_t>(index) < m_parts.size()
                              ? m_parts[static_cast<std::size_t>(index)].get()
                              : nullptr;
                if (current && (index < m_from || index >= m_to)) {
                    m_strayed = true;
                    current = nullptr;
                }
            }
            if (!current)
                return;
            vxPart& p = *current;
            const char first = key[0];
            const bool xyz = first == 'X' || first == 'Y' || first == 'Z';
            switch (key.size()) {
            case 3:
                if (xyz && key.substr(1) == "UP")
                    axis(p.up(), first, toDecimal(value));
                break;
            case 4:
                if (xyz && key.substr(1) == "POS")
                    axis(p.position(), first, toDecimal(value));
                else if (xyz && key.substr(1) == "DIR")
                    axis(p.direction(), first, toDecimal(value));
                else if (key == "NAME")
                    name(p, index, value);
                break;
            case 5:
                if (key == "PHASE")
                    p.setPhase(toInteger(value));
                else if (key == "COLOR")
                    p.color().setVector3f(vxDecodeColor(toInteger(value)));
                break;
            default:
                break;
            }
        },
        [&](int index, const char* line, const char* end) -> const char* {
            return index == currentIndex && current ? quickLine(*current, line, end) : nullptr;
        });
}

const char* PartSectionReader::quickLine(vxPart& p, const char* line, const char* end)
{
    // The position, axis, phase and colour lines of a part, written in the
    // common way: a known key and a plain number up to the CR LF. The key is
    // told by its first eight bytes in upper case at once.
    using vxSectionText::detail::bytesOf;
    using vxSectionText::detail::lowBytes;
    static constexpr std::uint64_t kUp = bytesOf("UP="), kPos = bytesOf("POS="), kDir = bytesOf("DIR="),
                                   kPhase = bytesOf("PHASE="), kColor = bytesOf("COLOR=");
    if (end - line < 16)
        return nullptr;
    std::uint64_t w;
    std::memcpy(&w, line, 8);
    w = vxSectionText::detail::upperWord(w);
    const char first = static_cast<char>(w & 0xFF);
    if (first == 'X' || first == 'Y' || first == 'Z') {
        vxVector* v = nullptr;
        const char* at = nullptr;
        const std::uint64_t rest = w >> 8;
        if ((rest & lowBytes(3)) == kUp) {
            v = &p.up();
            at = line + 4;
        } else if ((rest & lowBytes(4)) == kPos) {
            v = &p.position();
            at = line + 5;
        } else if ((rest & lowBytes(4)) == kDir) {
            v = &p.direction();
            at = line + 5;
        } else {
            return nullptr;
        }
        float f;
        const char* next = vxSectionText::detail::quickDecimal(at, end, f);
        if (!next)
            return nullptr;
        if (first == 'X')
            v->setX(f);
        else if (first == 'Y')
            v->setY(f);
        else
            v->setZ(f);
        return next;
    }
    const std::uint64_t key = w & lowBytes(6);
    if (key != kPhase && key != kColor)
        return nullptr;
    std::int32_t n;
    const char* next = vxSectionText::detail::quickInteger(line + 6, end, n);
    if (!next)
        return nullptr;
    if (key == kPhase)
        p.setPhase(n);
    else
        p.color().setVector3f(vxDecodeColor(n));
    return next;
}

std::atomic<std::size_t> g_twoReadersFrom = 4u << 20; // see setTwoReadersFrom

// Where a text of many parts is cut in two for two readers: the first
// [PARTn] header line from its middle on, and its part index n - 1; a null
// line when the text is too small to gain from it or has no such line.

std::pair<const char*, int> halfwayPartHeader(std::string_view text)
{
    if (text.size() < g_twoReadersFrom || std::thread::hardware_concurrency() < 2)
        return {nullptr, -1};
    const auto [at, index] = firstPartHeader(text, std::max<std::size_t>(text.size() / 2, 1));
    if (index < 0)
        return {nullptr, -1};
    return {text.data() + at, index};
}

} // namespace

void vxModel::setTwoReadersFrom(std::size_t bytes)
{
    g_twoReadersFrom = bytes;
}

namespace {

// The parts of one load, made in one block and given back with the last of
// them. Fresh memory costs most the first time it is touched, so a big
// block is made by two threads, each filling its half.
class PartBlock {
  public:
    PartBlock(std::size_t n, bool helpers) : m_parts(vxBulkAllocator<vxPart>().allocate(n)), m_count(n)
    {
        // A new part's values fit its texts' own room: making one allocates
        // nothing and cannot fail.
        const auto make = [this](std::size_t from, std::size_t to) {
            std::uninitialized_default_construct(m_parts + from, m_parts + to);
        };
        constexpr std::size_t kBig = 65536;
        if (!helpers || n < kBig || std::thread::hardware_concurrency() < 2) {
            make(0, n);
            return;
        }
        std::thread helper;
        try {
            helper = std::thread(make, n / 2, n);
        } catch (const std::system_error&) { // no thread to be had: all here
            make(0, n);
            return;
        }
        make(0, n / 2);
        helper.join();
    }
    PartBlock(const PartBlock&) = delete;
    PartBlock& operator=(const PartBlock&) = delete;
    ~PartBlock()
    {
        std::destroy(m_parts, m_parts + m_count);
        vxBulkAllocator<vxPart>().deallocate(m_parts, m_count);
    }
    vxPart* part(std::size_t i) const { return m_parts + i; }

  private:
    vxPart* m_parts;
    std::size_t m_count;
};

// Appends n new parts to list, made in one block (with a helper thread for
// a big one when helpers).
void appendParts(std::vector<std::shared_ptr<vxPart>>& list, std::int32_t n, bool helpers)
{
    const bool fresh = list.empty();
    list.reserve(list.size() + static_cast<std::size_t>(n));
    if (fresh)
        vxBulkMemory::preferHugePages(list.data(), list.capacity() * sizeof list[0]);
    const auto block = std::make_shared<PartBlock>(static_cast<std::size_t>(n), helpers);
    for (std::int32_t i = 0; i < n; ++i)
        list.emplace_back(block, block->part(static_cast<std::size_t>(i)));
}

} // namespace

void vxModel::startPartsAhead(PartsAhead& ahead, std::string_view head)
{
    if (head.substr(0, 3) == "\xEF\xBB\xBF")
        head.remove_prefix(3);
    // The whole lines before the first part section; COUNT only in its
    // plain form (one that is not is read, and noted, by the load itself).
    const std::size_t lastLine = head.rfind("\r\n");
    head = head.substr(0, std::min(firstPartHeader(head).first, lastLine == head.npos ? 0 : lastLine));
    std::int32_t count = 0;
    vxSectionText::detail::runPass(head, 0, modelSection,
                                   [&](int section, std::string_view key, std::string_view value) {
                                       std::int32_t n;
                                       if (section == 2 && key == "COUNT")
                                           count = vxSectionText::detail::integerAtOnce(value, n) ? n : 0;
                                   });
    if (count < kManyParts || count > kMaxParts || std::thread::hardware_concurrency() < 2)
        return;
    try {
        ahead.parts = std::async(std::launch::async, [count] {
            std::vector<std::shared_ptr<vxPart>> list;
            appendParts(list, count, false);
            return list;
        });
        ahead.count = count;
    } catch (const std::system_error&) { // no thread to be had: made when needed
    }
}

void vxModel::makeParts(std::int32_t n, PartsAhead* ahead)
{
    if (ahead && ahead->parts.valid() && m_partList.empty()) {
        auto parts = std::move(ahead->parts); // taken once, whatever its count
        if (ahead->count == n) {
            try {
                m_partList = parts.get();
                return;
            } catch (const std::exception&) { // made here after all
                m_partList.clear();
            }
        }
    }
    appendParts(m_partList, n, true);
}

void vxModel::loadParts()
{
    readParts(std::string_view::npos);
}

bool vxModel::readParts(std::size_t modelHeadersFrom, PartsAhead* ahead)
{
    const std::int32_t n = m_count > 0 ? std::min(m_count, kMaxParts) : 0;
    const bool fresh = m_partList.empty();
    if (n > 0)
        makeParts(n, ahead);
    SharedDefinitions definitions;
    const std::string_view text = m_fileContent ? std::string_view(*m_fileContent) : std::string_view();
    const char* const headersFrom = modelHeadersFrom < text.size() ? text.data() + modelHeadersFrom : nullptr;
    // A big model is read by two threads, each from its half of the text
    // cut at a [PARTn] header: the first changes only the parts before n,
    // the second only part n and those after it. When a half names a part
    // of the other's range (sections out of order), their order would
    // matter: the parts are then made anew and read by one thread.
    const std::pair<const char*, int> halfway =
        fresh && n > 0 ? halfwayPartHeader(text) : std::pair<const char*, int>(nullptr, -1);
    const char* const half = halfway.first;
    const int halfPart = halfway.second;
    if (half) {
        vxSectionText::NumberWatch* watch = vxSectionText::NumberWatch::active();
        const std::size_t keptBefore = watch ? watch->found.size() : 0;
        const std::int64_t totalBefore = watch ? watch->total : 0;
        const std::string_view first(text.data(), static_cast<std::size_t>(half - text.data()));
        const std::string_view second(half, static_cast<std::size_t>(text.data() + text.size() - half));
        PartSectionReader firstReader(m_partList, definitions, false);
        firstReader.reportProgress(&m_progress, n);
        firstReader.keepTo(0, halfPart);
        firstReader.noteModelHeadersFrom(headersFrom);
        // What the second thread read: whether it strayed, its bad numbers.
        bool secondStrayed = false, secondMetModelHeader = false;
        std::vector<vxSectionText::BadNumber> secondFound;
        std::int64_t secondTotal = 0;
        std::exception_ptr failure;
        std::thread helper;
        try {
            helper = std::thread([&] {
                try {
                    std::optional<vxSectionText::NumberWatch> numbers;
                    if (watch)
                        numbers.emplace();
                    PartSectionReader secondReader(m_partList, definitions, true);
                    secondReader.keepTo(halfPart, std::numeric_limits<int>::max());
                    secondReader.noteModelHeadersFrom(headersFrom);
                    secondReader.read(second);
                    secondStrayed = secondReader.strayed();
                    secondMetModelHeader = secondReader.metModelHeader();
                    if (numbers) {
                        secondFound = std::move(numbers->found);
                        secondTotal = numbers->total;
                    }
                } catch (...) {
                    failure = std::current_exception();
                }
            });
        } catch (const std::system_error&) {
            // No thread to be had: the one reader below reads it all.
        }
        if (helper.joinable()) {
            try {
                firstReader.read(first);
            } catch (...) {
                helper.join();
                throw;
            }
            helper.join();
            if (failure)
                std::rethrow_exception(failure);
            if (!firstReader.strayed() && !secondStrayed) {
                if (watch) {
                    // The second half's line numbers count from its first line.
                    const bool keepsSome = !secondFound.empty() && watch->found.size() < watch->kKept;
                    watch->appendLater(
                        secondFound, secondTotal,
                        keepsSome ? vxSectionText::detail::LineCounter(text.data()).lineOf(half) - 1 : 0);
                }
                if (m_progress)
                    m_progress(n, n);
                return firstReader.metModelHeader() || secondMetModelHeader;
            }
            if (watch) {
                watch->found.erase(watch->found.begin() + static_cast<std::ptrdiff_t>(keptBefore),
                                   watch->found.end());
                watch->total = totalBefore;
            }
            m_partList.clear();
            makeParts(n);
        }
    }
    PartSectionReader reader(m_partList, definitions, false);
    reader.reportProgress(&m_progress, n);
    reader.noteModelHeadersFrom(headersFrom);
    reader.read(text);
    if (m_progress)
        m_progress(n, n);
    return reader.metModelHeader();
}

void vxModel::loadTubes()
{
    const std::int32_t n = m_tubeCount > 0 ? std::min(m_tubeCount, kMaxTubes) : 0;
    for (std::int32_t i = 0; i < n; ++i)
        m_tubeList.push_back(std::make_shared<vxTube>());
    if (m_tubeList.empty())
        return;

    vxSectionText::runNumberedPass(
        m_fileContent, "[TUBE", 0, [&](int index, std::string_view key, std::string_view value) {
            if (static_cast<std::size_t>(index) >= m_tubeList.size())
                return;
            vxTube& t = *m_tubeList[static_cast<std::size_t>(index)];
            if (key == "RADIUS")
                t.setRadius(toDecimal(value));
            else if (key == "COUNT")
                t.setCount(toInteger(value));
            else if (key == "COLOR") {
                vxVector c = vxDecodeColor(toInteger(value));
                t.color().setVector3f(c);
            } else if (key.size() >= 2 && (key[0] == 'X' || key[0] == 'Y' || key[0] == 'Z')) {
                const std::int32_t node = toInteger(key.substr(1));
                const float f = toDecimal(value);
                if (key[0] == 'X')
                    t.setTubeNodeX(node, f);
                else if (key[0] == 'Y')
                    t.setTubeNodeY(node, f);
                else
                    t.setTubeNodeZ(node, f);
            }
        });
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
