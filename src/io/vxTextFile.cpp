#include "vxTextFile.h"

#include "vxBulkMemory.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#if defined(__SSE2__) && !defined(KOLBRIK_NO_SIMD)
#include <emmintrin.h>
#endif

namespace {

std::string errnoText(int e)
{
    return std::strerror(e);
}

std::string humanSize(std::uint64_t n)
{
    if (n >= 1024ull * 1024)
        return std::to_string(n / (1024ull * 1024)) + " MB";
    if (n >= 1024)
        return std::to_string(n / 1024) + " KB";
    return std::to_string(n) + " bytes";
}

// The length of the run of ASCII at the start of bytes, found many bytes at
// a time; it may stop up to seven bytes before the first byte above 127.
std::size_t asciiRun(std::string_view bytes)
{
    std::size_t i = 0;
#if defined(__SSE2__) && !defined(KOLBRIK_NO_SIMD)
    for (; i + 64 <= bytes.size(); i += 64) {
        const auto* at = reinterpret_cast<const __m128i*>(bytes.data() + i);
        const __m128i any = _mm_or_si128(_mm_or_si128(_mm_loadu_si128(at), _mm_loadu_si128(at + 1)),
                                         _mm_or_si128(_mm_loadu_si128(at + 2), _mm_loadu_si128(at + 3)));
        if (_mm_movemask_epi8(any) != 0)
            break;
    }
#endif
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        if (word & 0x8080808080808080ull)
            return i;
    }
    return i;
}

// readWholeFile; with asciiPrefix, the file is read in pieces, each looked
// through for bytes above 127 while it is fresh in the cache, and
// *asciiPrefix tells how many bytes from the start are ASCII.
vxReadResult readFile(const std::string& path, std::uint64_t maxBytes, std::size_t* asciiPrefix)
{
    vxReadResult r;
    if (path.empty()) {
        r.error = "no file name given";
        return r;
    }
    // What is not a regular file is never opened: opening a device can act
    // on it (a tape rewinds, a watchdog starts, a FIFO releases its writer).
    struct stat named {};
    if (::stat(path.c_str(), &named) != 0) {
        r.error = errnoText(errno);
        return r;
    }
    if (S_ISDIR(named.st_mode)) {
        r.error = "is a folder, not a file";
        return r;
    }
    if (!S_ISREG(named.st_mode)) {
        r.error = "is not a regular file";
        return r;
    }
    // The name may have been given to something else since: O_NONBLOCK keeps
    // open() from waiting on a FIFO, O_NOCTTY from adopting a terminal, and
    // the open file must be the one just looked at.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        r.error = errnoText(errno);
        return r;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        r.error = errnoText(errno);
        ::close(fd);
        return r;
    }
    if (!S_ISREG(st.st_mode) || st.st_dev != named.st_dev || st.st_ino != named.st_ino) {
        r.error = "the file was replaced while it was opened";
        ::close(fd);
        return r;
    }
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        r.error = "file is too large (" + humanSize(static_cast<std::uint64_t>(st.st_size)) +
                  ", the limit is " + humanSize(maxBytes) + ")";
        ::close(fd);
        return r;
    }
    // Back to blocking reads for a regular file.
    int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);

    std::string data;
    data.reserve(static_cast<std::size_t>(st.st_size));
    vxBulkMemory::preferHugePages(data.data(), data.capacity());
    // A text is read in pieces (other files at once), each looked at while
    // it is fresh in the cache. The room for a piece is made (filled with
    // zeros) just before it is read into, so that its bytes are written
    // twice in the cache rather than twice in memory.
    constexpr std::size_t kPiece = 1 << 20;
    const auto size = static_cast<std::size_t>(st.st_size);
    std::size_t have = 0;
    auto fail = [&](std::string error) {
        r.error = std::move(error);
        ::close(fd);
        return r;
    };
    while (have < size) {
        const std::size_t want = asciiPrefix ? std::min(kPiece, size - have) : size - have;
        data.resize(have + want);
        ssize_t n = ::read(fd, data.data() + have, want);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(errnoText(errno));
        if (n == 0)
            break; // the file shrank
        if (asciiPrefix && *asciiPrefix == have)
            *asciiPrefix += asciiRun(std::string_view(data.data() + have, static_cast<std::size_t>(n)));
        have += static_cast<std::size_t>(n);
    }
    data.resize(have);
    // The file may have grown since fstat: read on, in pieces, up to the
    // limit. (The text keeps no spare capacity when it did not grow.)
    char piece[16384];
    for (;;) {
        const std::uint64_t room = maxBytes - std::min<std::uint64_t>(maxBytes, data.size());
        ssize_t n =
            ::read(fd, piece, static_cast<std::size_t>(std::min<std::uint64_t>(sizeof piece, room + 1)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(errnoText(errno));
        if (n == 0)
            break;
        if (static_cast<std::uint64_t>(n) > room)
            return fail("file is too large (the limit is " + humanSize(maxBytes) + ")");
        data.append(piece, static_cast<std::size_t>(n));
    }
    ::close(fd);
    r.ok = true;
    r.data = std::move(data);
    return r;
}

} // namespace

std::string decodeWindows1252(const std::string& bytes)
{
    // Code points of 0x80..0x9F in Windows-1252; 0 marks the five unused
    // positions, which are carried as the C1 control of the same number.
    static const char16_t high[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    bool ascii = true;
    for (unsigned char c : bytes)
        if (c > 127) {
            ascii = false;
            break;
        }
    if (ascii)
        return bytes;
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (unsigned char c : bytes) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        char32_t cp = c;
        if (c < 0xA0 && high[c - 0x80] != 0)
            cp = high[c - 0x80];
        if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::size_t utf8SequenceLength(std::string_view bytes, std::size_t at)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    const unsigned char c = p[at];
    if (c < 0x80)
        return 1;
    std::size_t len;
    unsigned char lo = 0x80, hi = 0xBF; // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        if (c == 0xE0)
            lo = 0xA0; // no overlong forms
        else if (c == 0xED)
            hi = 0x9F; // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        if (c == 0xF0)
            lo = 0x90;
        else if (c == 0xF4)
            hi = 0x8F; // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (at + len > n || p[at + 1] < lo || p[at + 1] > hi)
        return 0;
    for (std::size_t k = 2; k < len; ++k)
        if ((p[at + k] & 0xC0) != 0x80)
            return 0;
    return len;
}

bool isValidUtf8(std::string_view bytes)
{
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        i += asciiRun(bytes.substr(i));
        if (i >= n)
            break;
        const std::size_t len = utf8SequenceLength(bytes, i);
        if (len == 0)
            return false;
        i += len;
    }
    return true;
}

namespace {

// decodeText of bytes whose first asciiPrefix bytes are known to be ASCII.
std::string decodeText(std::string bytes, std::size_t asciiPrefix)
{
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        bytes.erase(0, 3);
        asciiPrefix = 0;
    }
    asciiPrefix = std::min(asciiPrefix, bytes.size());
    if (isValidUtf8(std::string_view(bytes).substr(asciiPrefix)))
        return bytes;
    return decodeWindows1252(bytes);
}

} // namespace

std::string decodeText(std::string bytes)
{
    return decodeText(std::move(bytes), 0);
}

vxReadResult readWholeFile(const std::string& path, std::uint64_t maxBytes)
{
    return readFile(path, maxBytes, nullptr);
}

std::optional<std::string> readSectionTextFile(const std::string& path, std::uint64_t maxBytes,
                                               std::string* error)
{
    std::size_t asciiPrefix = 0;
    vxReadResult r = readFile(path, maxBytes, &asciiPrefix);
    if (!r.ok) {
        if (error)
            *error = r.error;
        return std::nullopt;
    }
    return decodeText(std::move(r.data), asciiPrefix);
}
