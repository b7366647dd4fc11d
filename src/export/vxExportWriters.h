#pragma once

// The writers of the formats other than VRML. Each fills and commits the
// files it is given, or leaves them uncommitted and reports why.
#include "vxAtomicFile.h"
#include "vxExport.h"
#include "vxExportScene.h"
#include "vxOrderedRuns.h"

#include <charconv>
#include <cstddef>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class vxModel;

namespace vxExport {

// Passes progress on every 64 parts and at the end.
struct Progress {
    std::function<void(std::size_t done, std::size_t total)> fn;
    void operator()(std::size_t done, std::size_t total) const
    {
        if (fn && (done % 64 == 0 || done == total))
            fn(done, total);
    }
};

// Text appended to a string or handed to a sink. Small pieces are put
// together in a buffer that stays in the cache and go on from there; large
// ones go straight on.
class TextOut {
  public:
    static constexpr std::size_t kRoom = 16 * 1024;

    explicit TextOut(std::string& out) : m_string(&out) {}
    explicit TextOut(vxByteSink& out) : m_sink(&out) {}
    ~TextOut() { flush(); }
    TextOut(const TextOut&) = delete;
    TextOut& operator=(const TextOut&) = delete;

    // Where to write at most n (up to kRoom) bytes; end() takes them.
    char* room(std::size_t n)
    {
        if (n > kRoom - m_used)
            flush();
        return m_piece + m_used;
    }
    void end(char* w) { m_used = static_cast<std::size_t>(w - m_piece); }
    void put(std::string_view s)
    {
        if (s.size() > kRoom - m_used) {
            flush();
            if (s.size() > kRoom) {
                pass(s);
                return;
            }
        }
        std::memcpy(m_piece + m_used, s.data(), s.size());
        m_used += s.size();
    }
    void put(char c)
    {
        char* w = room(1);
        *w = c;
        end(w + 1);
    }
    // A whole number in decimal.
    template <class Int> void putInt(Int v)
    {
        char* w = room(24);
        end(std::to_chars(w, w + 24, v).ptr);
    }

  private:
    void flush()
    {
        if (m_used > 0)
            pass(std::string_view(m_piece, m_used));
        m_used = 0;
    }
    void pass(std::string_view s)
    {
        if (m_string)
            m_string->append(s);
        else
            m_sink->write(s);
    }

    std::string* m_string = nullptr;
    vxByteSink* m_sink = nullptr;
    char m_piece[kRoom];
    std::size_t m_used = 0;
};

using MakeBlock = vxOrderedRuns::MakeRun;
using vxOrderedRuns::blocks;
// The parts in runs of about `triangles` triangles.
std::vector<std::size_t> partBlocks(const Scene& scene, std::uint64_t triangles);
// Makes runs of items on helper threads (vxOrderedRuns) and writes them to
// the file in order. Progress is told the items
// written of bounds.back(); before that, afterRun(k), if given, runs on the
// writing thread once run k is in the file (to write what follows it).
void writeBlocks(const std::vector<std::size_t>& bounds, const MakeBlock& make, vxAtomicFile& file,
                 const Progress& progress = {}, const std::function<void(std::size_t run)>& afterRun = {});

// zUp: the model's y becomes z (see vxExportOptions::stlZUp).
vxWriteResult writeStl(const Scene& scene, vxAtomicFile& file, bool zUp, const Progress& progress);
// mtlName: the material file's name as the OBJ file refers to it.
vxWriteResult writeObj(const Scene& scene, const vxModel& model, vxAtomicFile& obj, vxAtomicFile& mtl,
                       const std::string& mtlName, const Progress& progress);
// binary: a .glb file; else a .gltf file with its buffer embedded.
vxWriteResult writeGltf(const Scene& scene, const vxModel& model, vxAtomicFile& file, bool binary,
                        const Progress& progress);

// The name of colour k of the scene in both material formats: colour1_FF8800.
struct MaterialName {
    char text[32];
    std::size_t size;
    std::string_view view() const { return {text, size}; }
};
MaterialName materialName(const Scene& scene, std::size_t k);

} // namespace vxExport
