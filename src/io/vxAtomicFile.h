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
// target is untouched and the temporary file is removed.
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

    void write(std::string_view bytes);
    void write(const void* data, std::size_t size)
    {
        write(std::string_view(static_cast<const char*>(data), size));
    }
    // Bytes handed to write so far.
    std::uint64_t size() const { return m_size; }
    // Replaces bytes written before, at offset to offset + bytes.size() (at
    // most size()): for a header whose numbers are known only at the end.
    void overwrite(std::uint64_t offset, std::string_view bytes);

    // Flushes, syncs and renames over the target. After commit the object
    // holds nothing; a second commit reports a failure.
    vxWriteResult commit();
    // Drops the temporary file; the target stays as it was.
    void abandon();

  private:
    void flushBuffer();
    void writeAll(const char* data, std::size_t size);
    void fail(int err);

    std::string m_path;
    std::string m_folder;
    std::string m_temp;
    int m_fd = -1;
    bool m_replacing = false;
    bool m_syncFolder = true;
    unsigned m_mode = 0;
    std::string m_error;
    std::vector<char> m_buffer;
    std::size_t m_used = 0;
    std::uint64_t m_size = 0;    // handed to write
    std::uint64_t m_written = 0; // in the file
};

// Writes bytes to path atomically (see vxAtomicFile).
vxWriteResult vxWriteFileAtomically(const std::string& path, std::string_view bytes);

// Writes bytes to path atomically unless the file already holds exactly
// these bytes; then it is left alone (its time stamp too), so that a build
// that depends on it does not run again. *changed tells which happened.
vxWriteResult vxWriteFileIfChanged(const std::string& path, std::string_view bytes, bool* changed = nullptr);
