#pragma once
// The one way Vidloom reads a file: read-only, positioned by absolute offset,
// buffered so that byte-by-byte searches run at memory speed. Input files are
// never written, locked or modified.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vidloom {

// What identifies one state of a file on disk: its size and modification time.
// A cached answer about a file is reused only while its stamp is unchanged.
struct FileStamp {
    int64_t size = -1;
    int64_t mtimeNs = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The stamp of the file at path; size -1 when it cannot be examined.
FileStamp stampOf(const std::string& path);

// Why a file of this st_mode cannot be read as a video or a script ("it is a
// folder", "it is a FIFO, not a regular file", ...).
std::string notRegularReason(unsigned mode);

class BinaryFile {
public:
    // Opens the file read-only; raises IoError naming the file when it cannot
    // or when it is not a regular file (a folder, FIFO, device or socket),
    // without waiting on a FIFO that has no writer.
    explicit BinaryFile(std::string path);
    ~BinaryFile();
    BinaryFile(const BinaryFile&) = delete;
    BinaryFile& operator=(const BinaryFile&) = delete;

    const std::string& path() const { return path_; }
    int64_t size() const { return size_; }
    int64_t position() const { return pos_; }

    // Any offset from 0 up may be set; reading past the end is what fails.
    void seek(int64_t offset);

    // Reads exactly n bytes at the current position and moves past them. When
    // the file ends first, raises IoError naming the file, the offset and what
    // was being read; the position is then left unchanged.
    void read(void* dst, size_t n, std::string_view what = {});
    uint8_t readByte(std::string_view what = {});
    // Little-endian words at the current position; what names the field in
    // the end-of-file message. readWord16 gives 0 to 65535, readDword32 the
    // four bytes as a two's-complement int32, readQword64 an unsigned 64-bit
    // value (OpenDML positions).
    int32_t readWord16(std::string_view what = "a 16-bit value");
    int32_t readDword32(std::string_view what = "a 32-bit value");
    uint64_t readQword64(std::string_view what = "a 64-bit value");

    // Reads n bytes at offset with one system call, past the buffer (which
    // keeps what it holds): for a small structure far from the rest of the
    // reading. Fails as read does; the position is left unchanged.
    void readDirect(int64_t offset, void* dst, size_t n, std::string_view what = {});

    // Reads n bytes at offset into dst when they all lie inside the file and
    // says whether they did; the position is left unchanged. For looking at
    // structures that may be absent, where running out of file is an answer
    // rather than an error.
    bool peek(int64_t offset, void* dst, size_t n);

    // The first offset b with from <= b < until at which the bytes of word lie
    // wholly inside the file, or -1. The same answer as positioning at every b
    // and comparing, but done block by block. Leaves the position at the end
    // of the match when one is found, unchanged otherwise.
    int64_t find(std::string_view word, int64_t from, int64_t until);

    // Closes the file; raises IoError when the system reports a failure.
    void close();

private:
    // Makes [offset, offset + n) available in the buffer as far as the file
    // holds it; returns how many of the n bytes are there.
    size_t fill(int64_t offset, size_t n);
    [[noreturn]] void endOfFile(int64_t offset, size_t n, std::string_view what) const;

    std::string path_;
    int fd_ = -1;
    int64_t size_ = 0;
    int64_t pos_ = 0;
    std::vector<uint8_t> buffer_;
    int64_t bufferStart_ = 0;
    size_t bufferLength_ = 0;
};

} // namespace vidloom
