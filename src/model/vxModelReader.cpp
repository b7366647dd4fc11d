// Reading a model file: a pass over its camera and common values, one over
// its parts with a quick reader for their common lines, the definitions read
// once per part type, and the tubes. Every thread a load starts is started
// here.
#include "vxModel.h"

#include "vxBulkMemory.h"
#include "vxProcessors.h"
#include "vxSectionPass.h"
#include "vxSectionText.h"
#include "vxTextFile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <system_error>
#include <thread>
#include <unordered_map>

using vxSectionText::readDecimal;
using vxSectionText::readInteger;
using vxSectionText::toInteger;

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

// Where the first line of text that opens a part section ([PARTn], n from
// 1) starts, or text.size() when there is none.
std::size_t firstPartHeader(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t eol = std::min(text.find("\r\n", at), text.size());
        if (text[at] == '[' &&
            vxSectionText::detail::numberedSection(text.substr(at, eol - at), "[PART") >= 0)
            return at;
        const std::size_t next = text.find("\r\n[", at);
        if (next == std::string_view::npos)
            break;
        at = next + 2;
    }
    return text.size();
}

// The parts of one load, made in one block and given back with the last of
// them. Fresh memory costs most the first time it is touched, so a big
// block is made by two threads, each filling its half, where two processors
// are to be had.
class PartBlock {
  public:
    explicit PartBlock(std::size_t n) : m_parts(vxBulkAllocator<vxPart>().allocate(n)), m_count(n)
    {
        // A new part's values fit its texts' own room: making one allocates
        // nothing and cannot fail.
        const auto make = [this](std::size_t from, std::size_t to) {
            std::uninitialized_default_construct(m_parts + from, m_parts + to);
        };
        constexpr std::size_t kBig = 65536;
        if (n < kBig || vxProcessors::usable() < 2) {
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

// Appends n new parts to list, made in one block.
void appendParts(std::vector<std::shared_ptr<vxPart>>& list, std::int32_t n)
{
    const bool fresh = list.empty();
    list.reserve(list.size() + static_cast<std::size_t>(n));
    if (fresh)
        vxBulkMemory::preferHugePages(list.data(), list.capacity() * sizeof list[0]);
    const auto block = std::make_shared<PartBlock>(static_cast<std::size_t>(n));
    for (std::int32_t i = 0; i < n; ++i)
        list.emplace_back(block, block->part(static_cast<std::size_t>(i)));
}

// Reads the key lines of [PARTn] sections into parts[n - 1] (parts beyond
// the list are skipped). The parts of one type share one definition, read
// and parsed once (see vxPart).
class PartSectionReader {
  public:
    explicit PartSectionReader(const std::vector<std::shared_ptr<vxPart>>& parts) : m_parts(parts) {}
    // Called with (index + 1, total) after a NAME of a part further on than
    // any before.
    void reportProgress(const vxModel::ProgressFn* progress, std::int32_t total)
    {
        m_progress = progress;
        m_total = total;
    }
    // Header lines of camera or common sections from this point of the
    // text on are noted (never when null).
    void noteModelHeadersFrom(const char* from) { m_modelHeadersFrom = from; }
    void read(std::string_view text);
    bool metModelHeader() const { return m_metModelHeader; }

  private:
    const std::shared_ptr<vxDefinition>& definition(const std::string& shortName);
    void name(vxPart& p, int index, std::string_view value);
    // Takes a key line of p the quick way (see runPass): the start of the
    // next line, or null.
    static const char* quickLine(vxPart& p, const char* line, const char* end);

    const std::vector<std::shared_ptr<vxPart>>& m_parts;
    // The definitions met so far by short name.
    std::unordered_map<std::string, std::shared_ptr<vxDefinition>> m_definitions;
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
    std::shared_ptr<vxDefinition>& known = m_definitions[shortName];
    if (!known) {
        known = std::make_shared<vxDefinition>();
        known->LoadFromResource(shortName);
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
        (*m_progress)(std::min(index + 1, m_total), m_total);
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
            }
            if (!current)
                return;
            vxPart& p = *current;
            const char first = key[0];
            const bool xyz = first == 'X' || first == 'Y' || first == 'Z';
            switch (key.size()) {
            case 3:
                if (xyz && key.substr(1) == "UP")
                    axis(p.up(), first, readDecimal(value));
                break;
            case 4:
                if (xyz && key.substr(1) == "POS")
                    axis(p.position(), first, readDecimal(value));
                else if (xyz && key.substr(1) == "DIR")
                    axis(p.direction(), first, readDecimal(value));
                else if (key == "NAME")
                    name(p, index, value);
                break;
            case 5:
                if (key == "PHASE")
                    p.setPhase(readInteger(value));
                else if (key == "COLOR")
                    p.color().setVector3f(vxDecodeColor(readInteger(value)));
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

} // namespace

std::string vxShortNameOf(const std::string& partName)
{
    const auto [begin, end] = shortNameBytes(partName);
    return partName.substr(begin, end - begin);
}

vxLoadResult vxModel::loadModelFromFile(const std::string& path)
{
    std::string error;
    std::optional<std::string> text = readSectionTextFile(path, vxFileLimits::kModelFile, &error);
    if (!text) {
        vxLoadResult r;
        r.ok = false;
        r.error = "cannot read " + path + ": " + error;
        return r;
    }
    vxLoadResult r = loadModelFromText(std::move(text));
    if (!r.ok)
        r.error = "cannot load " + path + ": " + r.error;
    return r;
}

vxLoadResult vxModel::loadModelFromText(std::optional<std::string> text)
{
    vxLoadResult result;
    if (!text) {
        result.ok = false;
        result.error = "the file could not be read";
        return result;
    }

    std::string content = std::move(*text);
    vxSectionText::NumberWatch numbers;
    // The share of the parts told as read never goes back, also when the
    // text is read a second time (for another count, perhaps): only a
    // greater one is told.
    std::int64_t toldDone = -1, toldTotal = 1;
    ProgressFn progress;
    if (m_progress)
        progress = [this, &toldDone, &toldTotal](std::int32_t done, std::int32_t total) {
            const std::int64_t part = total > 0 ? done : 1, whole = total > 0 ? total : 1; // no parts: all
            if (toldDone >= 0 && part * toldTotal <= toldDone * whole)
                return;
            toldDone = part;
            toldTotal = whole;
            m_progress(done, total);
        };
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
        const std::size_t partsFrom = whole ? all.size() : firstPartHeader(all);

        // Pass 1: camera and common values.
        vxSectionText::detail::runPass(all.substr(0, partsFrom), 0, modelSection,
                                       [&fresh](int section, std::string_view key, std::string_view value) {
                                           if (section == 1) {
                                               if (key == "POSITIONX")
                                                   fresh.m_cameraPosition.setX(readDecimal(value));
                                               else if (key == "POSITIONY")
                                                   fresh.m_cameraPosition.setY(readDecimal(value));
                                               else if (key == "POSITIONZ")
                                                   fresh.m_cameraPosition.setZ(readDecimal(value));
                                               else if (key == "DIRECTIONX")
                                                   fresh.m_cameraDirection.setX(readDecimal(value));
                                               else if (key == "DIRECTIONY")
                                                   fresh.m_cameraDirection.setY(readDecimal(value));
                                               else if (key == "DIRECTIONZ")
                                                   fresh.m_cameraDirection.setZ(readDecimal(value));
                                               else if (key == "UPX")
                                                   fresh.m_cameraUp.setX(readDecimal(value));
                                               else if (key == "UPY")
                                                   fresh.m_cameraUp.setY(readDecimal(value));
                                               else if (key == "UPZ")
                                                   fresh.m_cameraUp.setZ(readDecimal(value));
                                               else if (key == "TARGETX")
                                                   fresh.m_cameraTarget.setX(readDecimal(value));
                                               else if (key == "TARGETY")
                                                   fresh.m_cameraTarget.setY(readDecimal(value));
                                               else if (key == "TARGETZ")
                                                   fresh.m_cameraTarget.setZ(readDecimal(value));
                                           } else if (section == 2) {
                                               if (key == "COUNT")
                                                   fresh.m_count = readInteger(value);
                                               else if (key == "TUBECOUNT")
                                                   fresh.m_tubeCount = readInteger(value);
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

        if (fresh.readParts(whole ? std::string_view::npos : partsFrom, progress) && !whole) {
            content = std::move(*fresh.m_fileContent);
            continue;
        }
        fresh.loadTubes();
        result.findings = vxLoadFindings::collect(fresh, *fresh.m_fileContent, numbers);
        fresh.m_actualBauphase = fresh.maximumBauphase();
        *this = std::move(fresh);
        return result;
    }
    return result; // not reached: the whole text is read in the second round
}

void vxModel::loadParts()
{
    readParts(std::string_view::npos, m_progress);
}

bool vxModel::readParts(std::size_t modelHeadersFrom, const ProgressFn& progress)
{
    const std::int32_t n = m_count > 0 ? std::min(m_count, kMaxParts) : 0;
    if (n > 0)
        appendParts(m_partList, n);
    const std::string_view text = m_fileContent ? std::string_view(*m_fileContent) : std::string_view();
    PartSectionReader reader(m_partList);
    reader.reportProgress(&progress, n);
    reader.noteModelHeadersFrom(modelHeadersFrom < text.size() ? text.data() + modelHeadersFrom : nullptr);
    reader.read(text);
    if (progress)
        progress(n, n);
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
                t.setRadius(readDecimal(value));
            else if (key == "COUNT")
                t.setCount(readInteger(value));
            else if (key == "COLOR") {
                vxVector c = vxDecodeColor(readInteger(value));
                t.color().setVector3f(c);
            } else if (key.size() >= 2 && (key[0] == 'X' || key[0] == 'Y' || key[0] == 'Z')) {
                const std::int32_t node = toInteger(key.substr(1));
                const float f = readDecimal(value);
                if (key[0] == 'X')
                    t.setTubeNodeX(node, f);
                else if (key[0] == 'Y')
                    t.setTubeNodeY(node, f);
                else
                    t.setTubeNodeZ(node, f);
            }
        });
}
