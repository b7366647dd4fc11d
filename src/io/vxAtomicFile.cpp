#include "vxAtomicFile.h"
#include "vxTextFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kBufferSize = 1u << 20;

std::string failureText(const std::string& path, int err)
{
    return "cannot write " + path + ": " + std::strerror(err);
}

// Creates a new, empty file with a name of its own in folder, with the mode
// of a plain create (0666 less the umask).
int createTempFile(const std::string& folder, std::string& name)
{
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    static std::mt19937_64 rng(std::random_device{}() ^ static_cast<std::uint64_t>(::getpid()));
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = folder + "/.kolbrik-write-";
        for (int k = 0; k < 8; ++k)
            name += kChars[rng() % (sizeof kChars - 1)];
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

} // namespace

vxAtomicFile::vxAtomicFile(std::string path, vxDurability durability)
    : m_path(std::move(path)), m_syncFolder(durability == vxDurability::kContentAndName)
{
    if (m_path.empty()) {
        m_error = "cannot write: no file name given";
        return;
    }
    m_folder = std::filesystem::path(m_path).parent_path().string();
    if (m_folder.empty())
        m_folder = ".";
    struct stat old {};
    m_replacing = ::stat(m_path.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    if (m_replacing)
        m_mode = old.st_mode & 07777;
    m_fd = createTempFile(m_folder, m_temp);
    if (m_fd < 0) {
        m_temp.clear();
        fail(errno);
    }
}

vxAtomicFile::~vxAtomicFile()
{
    abandon();
}

void vxAtomicFile::fail(int err)
{
    if (m_error.empty())
        m_error = failureText(m_path, err);
}

void vxAtomicFile::write(std::string_view bytes)
{
    m_size += bytes.size();
    if (!ok() || bytes.empty())
        return;
    if (m_buffer.empty())
        m_buffer.resize(kBufferSize);
    if (m_used + bytes.size() > m_buffer.size()) {
        flushBuffer();
        if (bytes.size() >= m_buffer.size()) {
            writeAll(bytes.data(), bytes.size()); // large pieces go straight to the file
            return;
        }
    }
    std::memcpy(m_buffer.data() + m_used, bytes.data(), bytes.size());
    m_used += bytes.size();
}

void vxAtomicFile::overwrite(std::uint64_t offset, std::string_view bytes)
{
    if (!ok())
        return;
    if (offset > m_size || bytes.size() > m_size - offset) {
        fail(EINVAL);
        return;
    }
    // The part in the file is written there, the rest into the buffer.
    while (offset < m_written && !bytes.empty() && ok()) {
        const std::size_t size =
            static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size(), m_written - offset));
        const ssize_t n = ::pwrite(m_fd, bytes.data(), size, static_cast<off_t>(offset));
        if (n < 0) {
            if (errno != EINTR)
                fail(errno);
            continue;
        }
        if (n == 0)
            fail(ENOSPC);
        offset += static_cast<std::uint64_t>(n);
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    if (ok() && !bytes.empty())
        std::memcpy(m_buffer.data() + (offset - m_written), bytes.data(), bytes.size());
}

void vxAtomicFile::flushBuffer()
{
    const std::size_t used = m_used;
    m_used = 0;
    writeAll(m_buffer.data(), used);
}

void vxAtomicFile::writeAll(const char* p, std::size_t left)
{
    const std::uint64_t start = m_written;
    while (left > 0 && ok()) {
        const ssize_t n = ::write(m_fd, p, left);
        if (n < 0) {
            if (errno != EINTR)
                fail(errno);
            continue;
        }
        if (n == 0) {
            fail(ENOSPC);
            break;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
        m_written += static_cast<std::uint64_t>(n);
    }
    // Starts writing these bytes to the disk without waiting for it.
    if (m_written > start)
        ::sync_file_range(m_fd, static_cast<off_t>(start), static_cast<off_t>(m_written - start),
                          SYNC_FILE_RANGE_WRITE);
}

vxWriteResult vxAtomicFile::commit()
{
    if (m_fd < 0 && ok())
        m_error = failureText(m_path, EBADF); // committed or abandoned already
    if (ok())
        flushBuffer();
    if (ok() && m_replacing && ::fchmod(m_fd, m_mode) != 0)
        fail(errno);
    if (ok() && ::fsync(m_fd) != 0)
        fail(errno);
    if (!ok()) {
        const vxWriteResult r{false, m_error};
        abandon();
        return r;
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        fail(errno);
        ::unlink(m_temp.c_str());
        m_temp.clear();
        return {false, m_error};
    }
    if (::rename(m_temp.c_str(), m_path.c_str()) != 0) {
        fail(errno);
        ::unlink(m_temp.c_str());
        m_temp.clear();
        return {false, m_error};
    }
    m_temp.clear();
    std::vector<char>().swap(m_buffer);
    // Make the rename itself durable; the file is in place either way.
    const int dir = m_syncFolder ? ::open(m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

void vxAtomicFile::abandon()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.empty()) {
        ::unlink(m_temp.c_str());
        m_temp.clear();
    }
    m_used = 0;
    std::vector<char>().swap(m_buffer);
}

vxWriteResult vxWriteFileAtomically(const std::string& path, std::string_view bytes)
{
    vxAtomicFile file(path);
    file.write(bytes);
    return file.commit();
}

vxWriteResult vxWriteFileIfChanged(const std::string& path, std::string_view bytes, bool* changed)
{
    if (changed)
        *changed = false;
    // Compare with what is there (a file larger than the new bytes differs).
    const vxReadResult old = readWholeFile(path, bytes.size());
    if (old.ok && old.data == bytes)
        return {};
    vxWriteResult r = vxWriteFileAtomically(path, bytes);
    if (r && changed)
        *changed = true;
    return r;
}
