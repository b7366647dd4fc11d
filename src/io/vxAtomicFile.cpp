#include "vxAtomicFile.h"
#include "vxTextFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr std::size_t kBufferSize = 1u << 20;

bool g_namedTemporaries = false;

// "-" stands for standard output.
bool isStandardOutput(const std::string& path)
{
    return path == "-";
}

std::string failureText(const std::string& path, const std::string& reason)
{
    return (isStandardOutput(path) ? std::string("cannot write standard output") : "cannot write " + path) +
           ": " + reason;
}

// The temporary files that have a name, for removal on a signal: a fixed
// table that a signal handler may read. A slot is 0 when free, 1 while it
// is being filled and 2 when it holds a name.
struct TemporarySlot {
    std::atomic<int> state{0};
    char name[PATH_MAX];
};
constexpr int kTemporarySlots = 64;
TemporarySlot g_temporaries[kTemporarySlots];

int noteTemporary(const std::string& name)
{
    if (name.size() >= PATH_MAX)
        return -1;
    for (int k = 0; k < kTemporarySlots; ++k) {
        int expected = 0;
        if (g_temporaries[k].state.compare_exchange_strong(expected, 1)) {
            std::memcpy(g_temporaries[k].name, name.c_str(), name.size() + 1);
            g_temporaries[k].state.store(2);
            return k;
        }
    }
    return -1; // more at once than the table holds: such a file is not removed on a signal
}

void forgetTemporary(int slot)
{
    if (slot >= 0)
        g_temporaries[slot].state.store(0);
}

extern "C" void removeTemporariesAndStop(int signal)
{
    for (TemporarySlot& slot : g_temporaries)
        if (slot.state.load() == 2)
            ::unlink(slot.name);
    // The handler was reset to the default when it was called: the signal
    // now ends the process as it would have without the handler.
    ::raise(signal);
}

// A new name for a temporary file in folder.
std::string temporaryName(const std::string& folder)
{
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    static std::mt19937_64 rng(std::random_device{}() ^ static_cast<std::uint64_t>(::getpid()));
    std::string name = folder + "/.kolbrik-write-";
    for (int k = 0; k < 8; ++k)
        name += kChars[rng() % (sizeof kChars - 1)];
    return name;
}

// Creates a new, empty file with a name of its own in folder, with the mode
// of a plain create (0666 less the umask).
int createTempFile(const std::string& folder, std::string& name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = temporaryName(folder);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// The path a symbolic link that points nowhere yet leads to, links in turn
// followed; the path itself when it is no link.
std::string linkTarget(std::string path)
{
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code error;
        if (!std::filesystem::is_symlink(path, error))
            return path;
        const std::filesystem::path to = std::filesystem::read_symlink(path, error);
        if (error)
            return path;
        path = (to.is_absolute() ? to : std::filesystem::path(path).parent_path() / to).string();
    }
    return path;
}

// Opens a socket of the local domain to write to it.
int connectSocket(const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

} // namespace

vxAtomicFile::vxAtomicFile(std::string path, vxDurability durability)
    : m_path(std::move(path)), m_syncFolder(durability == vxDurability::kContentAndName)
{
    open();
}

void vxAtomicFile::open()
{
    if (m_path.empty()) {
        m_error = "cannot write: no file name given";
        return;
    }
    if (isStandardOutput(m_path)) {
        m_streaming = true;
        m_fd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
        if (m_fd < 0)
            fail(errno);
        return;
    }
    struct stat old {};
    if (::stat(m_path.c_str(), &old) == 0) {
        if (S_ISDIR(old.st_mode)) {
            fail(EISDIR);
            return;
        }
        if (S_ISFIFO(old.st_mode) || S_ISCHR(old.st_mode) || S_ISSOCK(old.st_mode)) {
            // Cannot be replaced: written to as it is, as the bytes come.
            m_streaming = true;
            m_fd = S_ISSOCK(old.st_mode) ? connectSocket(m_path)
                                         : ::open(m_path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
            if (m_fd < 0)
                fail(errno);
            return;
        }
        if (!S_ISREG(old.st_mode)) {
            m_error = failureText(m_path, "it is neither a regular file nor a pipe or a character device, "
                                          "so it is neither replaced nor written to");
            return;
        }
        m_replacing = true;
        m_mode = old.st_mode & 07777;
        // A link is followed, so that its target is replaced, not the link.
        char resolved[PATH_MAX];
        m_target = ::realpath(m_path.c_str(), resolved) ? std::string(resolved) : m_path;
    } else {
        m_target = linkTarget(m_path); // a new file where a link points
    }
    m_folder = std::filesystem::path(m_target).parent_path().string();
    if (m_folder.empty())
        m_folder = ".";
    // A file without a name leaves nothing behind when the process dies.
    m_fd = g_namedTemporaries ? -1 : ::open(m_folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (m_fd >= 0) {
        m_unnamed = true;
        return;
    }
    m_fd = createTempFile(m_folder, m_temp);
    if (m_fd < 0) {
        m_temp.clear();
        fail(errno);
        return;
    }
    m_slot = noteTemporary(m_temp);
}

vxAtomicFile::~vxAtomicFile()
{
    abandon();
}

void vxAtomicFile::fail(int err)
{
    fail(std::strerror(err));
}

void vxAtomicFile::fail(const std::string& reason)
{
    if (!m_error.empty())
        return;
    m_error = failureText(m_path, reason);
    if (m_streaming && !isStandardOutput(m_path))
        m_error += " (it is not a regular file: written to directly, it may hold part of the output)";
}

void vxAtomicFile::write(std::string_view bytes)
{
    m_size += bytes.size();
    if (!ok() || bytes.empty())
        return;
    if (m_holding) {
        if (m_used + bytes.size() > m_buffer.size())
            m_buffer.resize(std::max(2 * m_buffer.size(), m_used + bytes.size()));
        std::memcpy(m_buffer.data() + m_used, bytes.data(), bytes.size());
        m_used += bytes.size();
        return;
    }
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
    if (m_streaming && offset < m_written) {
        fail("its beginning was sent before it was complete");
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

void vxAtomicFile::holdBack(bool on)
{
    if (!m_streaming || on == m_holding)
        return;
    m_holding = on;
    if (!on && m_used >= kBufferSize) {
        flushBuffer();
        m_buffer.resize(kBufferSize);
        m_buffer.shrink_to_fit();
    }
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
    if (m_written > start && !m_streaming)
        ::sync_file_range(m_fd, static_cast<off_t>(start), static_cast<off_t>(m_written - start),
                          SYNC_FILE_RANGE_WRITE);
}

bool vxAtomicFile::linkTemporary()
{
    // Linked under a new name in the folder, then renamed over the target:
    // a link cannot replace a file.
    const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = temporaryName(m_folder);
        m_slot = noteTemporary(name);
        // Linking by the descriptor itself needs a capability; the path of
        // the descriptor in /proc does not.
        if (::linkat(m_fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0 ||
            ((errno == ENOENT || errno == EPERM) &&
             ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)) {
            m_temp = std::move(name);
            m_unnamed = false;
            return true;
        }
        const int error = errno;
        forgetTemporary(m_slot);
        m_slot = -1;
        if (error != EEXIST) {
            fail(error);
            return false;
        }
    }
    fail(EEXIST);
    return false;
}

void vxAtomicFile::dropTemporary()
{
    if (!m_temp.empty()) {
        ::unlink(m_temp.c_str());
        m_temp.clear();
    }
    forgetTemporary(m_slot);
    m_slot = -1;
}

vxWriteResult vxAtomicFile::prepare()
{
    if (m_prepared && ok())
        return {};
    if (m_fd < 0 && ok())
        m_error = failureText(m_path, std::strerror(EBADF)); // committed or abandoned already
    m_holding = false;
    if (ok())
        flushBuffer();
    if (!m_streaming) {
        if (ok() && m_replacing && ::fchmod(m_fd, m_mode) != 0)
            fail(errno);
        if (ok() && ::fsync(m_fd) != 0)
            fail(errno);
        if (ok() && m_unnamed)
            linkTemporary();
    }
    if (ok()) {
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0)
            fail(errno);
    }
    if (!ok()) {
        const vxWriteResult r{false, m_error};
        abandon();
        return r;
    }
    m_prepared = true;
    return {};
}

vxWriteResult vxAtomicFile::commit()
{
    if (vxWriteResult r = prepare(); !r)
        return r;
    m_prepared = false;
    std::vector<char>().swap(m_buffer);
    if (m_streaming) {
        m_fd = -1;
        return {};
    }
    if (::rename(m_temp.c_str(), m_target.c_str()) != 0) {
        fail(errno);
        dropTemporary();
        return {false, m_error};
    }
    m_temp.clear();
    forgetTemporary(m_slot);
    m_slot = -1;
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
    dropTemporary();
    m_unnamed = false;
    m_prepared = false;
    m_holding = false;
    m_used = 0;
    std::vector<char>().swap(m_buffer);
}

void vxRemoveTemporaryFilesOnSignals()
{
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction old {};
        if (::sigaction(signal, nullptr, &old) != 0 || old.sa_handler != SIG_DFL)
            continue; // ignored, or handled by the program itself
        struct sigaction action {};
        action.sa_handler = removeTemporariesAndStop;
        action.sa_flags = SA_RESETHAND;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
}

void vxUseNamedTemporaryFiles(bool named)
{
    g_namedTemporaries = named;
}

bool vxSameFile(const std::string& a, const std::string& b)
{
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

vxWriteResult vxRefuseToOverwrite(const std::string& input, const std::string& output)
{
    if (!vxSameFile(input, output))
        return {};
    return {false, failureText(output, "it is the model being read (" + input + ")")};
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
