#include "vxTextFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

} // namespace

vxReadResult readWholeFile(const std::string& path, std::uint64_t maxBytes)
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
    data.resize(static_cast<std::size_t>(st.st_size));
    std::size_t have = 0;
    for (;;) {
        if (have == data.size()) {
            // The file may have grown since fstat; read on up to the limit.
            if (data.size() >= maxBytes) {
                char probe;
                ssize_t n = ::read(fd, &probe, 1);
                if (n > 0) {
                    r.error = "file is too large (the limit is " + humanSize(maxBytes) + ")";
                    ::close(fd);
                    return r;
                }
                break;
            }
            std::size_t grow = std::min<std::uint64_t>(maxBytes - data.size(), 64 * 1024);
            data.resize(data.size() + grow);
        }
        ssize_t n = ::read(fd, data.data() + have, data.size() - have);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            r.error = errnoText(errno);
            ::close(fd);
            return r;
        }
        if (n == 0)
            break;
        have += static_cast<std::size_t>(n);
    }
    ::close(fd);
    data.resize(have);
    r.ok = true;
    r.data = std::move(data);
    return r;
}

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

std::optional<std::string> readSectionTextFile(const std::string& path, std::uint64_t maxBytes,
                                               std::string* error)
{
    vxReadResult r = readWholeFile(path, maxBytes);
    if (!r.ok) {
        if (error)
            *error = r.error;
        return std::nullopt;
    }
    return decodeWindows1252(r.data);
}
