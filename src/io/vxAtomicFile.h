#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Outcome of writing a file.
struct vxWriteResult {
    bool ok = true;
    std::string error; // "cannot write PATH: REASON" when !ok
    explicit operator bool() const { return ok; }
};

// What commit() has made durable when it returns.
enum class vxDurability {
    // The file's bytes and its new name: the folder is synced after the rename.
    kContentAndName,
    // The file's bytes. The rename reaches the disk with the file system's
    // next journal commit, seconds later; a crash before that leaves the old
    // file, whole. Saves a journal commit (milliseconds) for files that can
    // be made again, such as exports.
    kContent,
};

// A file written atomically and streamed: the bytes go into a new temporary
// file in the target's folder, and commit() flushes it to disk and renames it
// over the target. Readers never see half a file; an existing target keeps
// its permission bits; a new one gets those of a plain create (0666 less the
// umask). On any failure, or when the object goes away uncommitted, the
// target is untouched and the temporary file is removed. The temporary file
// has no name until commit() where the file system allows (O_TMPFILE), so
// that a process killed part way leaves nothing behind; where it has one,
// vxRemoveTemporaryFilesOnSignals() has it removed on an interrupt.
//
// A symbolic link is followed: its target is replaced, in the target's
// folder. A pipe, a character device or a socket (and "-", standard output)
// cannot be replaced: the bytes are written to it directly, as they come
// (streaming()). A folder or a block device is refused.
//
// Writes are buffered (1 MB), so many small appends cost little and memory
// does not grow with the size of the file. What reaches the file is handed
// to the disk at once, so that the disk works while the writer makes the
// next bytes and commit() waits only for the last of them.
class vxAtomicFile {
  public:
    // Creates the temporary file; check ok() (or let commit() report).
    explicit vxAtomicFile(std::string path, vxDurability durability = vxDurability::kContentAndName);
    ~vxAtomicFile();
    vxAtomicFile(const vxAtomicFile&) = delete;
    vxAtomicFile& operator=(const vxAtomicFile&) = delete;

    // False once anything failed; the first reason is kept for commit().
    bool ok() const { return m_error.empty(); }
    const std::string& path() const { return m_path; }
    // Whether the bytes go straight to the target (see above): what is
    // written cannot be taken back, and a failure leaves part of it there.
    bool streaming() const { return m_streaming; }

    void write(std::string_view bytes);
    void write(const void* data, std::size_t size)
    {
        write(std::string_view(static_cast<const char*>(data), size));
    }
    // Bytes handed to write so far.
    std::uint64_t size() const { return m_size; }
    // Replaces bytes written before, at offset to offset + bytes.size() (at
    // most size()): for a header whose numbers are known only at the end.
    // When streaming, only bytes still held back (holdBack) can be replaced.
    void overwrite(std::uint64_t offset, std::string_view bytes);
    // While on, what is written to a streamed file stays in memory, however
    // much it is, so that its header can still be overwritten; off sends it.
    // A file that is replaced needs no holding back: nothing happens.
    void holdBack(bool on);

    // Puts all bytes on the disk, so that commit() only has to rename; for
    // two files that go in place together (both or neither). commit() does
    // this itself when it was not done.
    vxWriteResult prepare();
    // Flushes, syncs and renames over the target. After commit the object
    // holds nothing; a second commit reports a failure.
    vxWriteResult commit();
    // Drops the temporary file; the target stays as it was.
    void abandon();

  private:
    void open();
    void flushBuffer();
    void writeAll(const char* data, std::size_t size);
    void fail(int err);
    void fail(const std::string& reason);
    bool linkTemporary();
    void dropTemporary();

    std::string m_path;   // as given, for messages
    std::string m_target; // where the file goes: the path, links followed
    std::string m_folder;
    std::string m_temp; // the temporary file's name, while it has one
    int m_fd = -1;
    int m_slot = -1; // where m_temp is noted for removal on a signal
    bool m_replacing = false;
    bool m_streaming = false;
    bool m_unnamed = false; // the temporary file has no name yet
    bool m_prepared = false;
    bool m_holding = false;
    bool m_syncFolder = true;
    unsigned m_mode = 0;
    std::string m_error;
    std::vector<char> m_buffer;
    std::size_t m_used = 0;
    std::uint64_t m_size = 0;    // handed to write
    std::uint64_t m_written = 0; // in the file
};

// Has the named temporary files of vxAtomicFile removed when the process
// is stopped by SIGINT, SIGTERM or SIGHUP (one that the process ignores
// stays ignored); the process then ends as the signal would have ended it.
void vxRemoveTemporaryFilesOnSignals();

// For tests: temporary files get a name from the start, as on a file system
// that has no files without a name.
void vxUseNamedTemporaryFiles(bool named);

// Whether two paths name the same file (device and inode, links followed);
// false when either is not there.
bool vxSameFile(const std::string& a, const std::string& b);

// A refusal to write output over input, the file being read (the same file
// under any name): "cannot write OUTPUT: it is the model being read"; ok
// when they are different files.
vxWriteResult vxRefuseToOverwrite(const std::string& input, const std::string& output);

// Writes bytes to path atomically (see vxAtomicFile).
vxWriteResult vxWriteFileAtomically(const std::string& path, std::string_view bytes);

// Writes bytes to path atomically unless the file already holds exactly
// these bytes; then it is left alone (its time stamp too), so that a build
// that depends on it does not run again. *changed tells which happened.
vxWriteResult vxWriteFileIfChanged(const std::string& path, std::string_view bytes, bool* changed = nullptr);
