#include "avi/BinaryFile.h"

#include "avi/Errors.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vidloom {

namespace {
constexpr size_t kBlock = 256 * 1024;

std::string systemReason() {
    return std::strerror(errno);
}

} // namespace

std::string notRegularReason(unsigned mode) {
    if (S_ISDIR(mode)) {
        return "it is a folder";
    }
    if (S_ISFIFO(mode)) {
        return "it is a FIFO, not a regular file";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "it is a device, not a regular file";
    }
    if (S_ISSOCK(mode)) {
        return "it is a socket, not a regular file";
    }
    return "it is not a regular file";
}

namespace {} // namespace

FileStamp stampOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return {};
    }
    return {static_cast<int64_t>(st.st_size),
            static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

BinaryFile::BinaryFile(std::string path) : path_(std::move(path)) {
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never
    // come; what is opened is checked to be a regular file before any read.
    fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0) {
        throw IoError(path_ + ": cannot open the file (" + systemReason() + ")");
    }
    struct stat st {};
    const bool examined = ::fstat(fd_, &st) == 0;
    if (!examined || !S_ISREG(st.st_mode)) {
        const std::string reason = examined ? notRegularReason(st.st_mode) : systemReason();
        ::close(fd_);
        fd_ = -1;
        throw IoError(path_ + ": cannot read the file (" + reason + ")");
    }
    size_ = static_cast<int64_t>(st.st_size);
    // A small file needs no more buffer than its own size.
    buffer_.resize(size_t(std::min<int64_t>(int64_t(kBlock), size_)));
}

BinaryFile::~BinaryFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void BinaryFile::seek(int64_t offset) {
    if (offset < 0) {
        throw IoError(path_ + ": cannot position at negative offset " + std::to_string(offset));
    }
    pos_ = offset;
}

size_t BinaryFile::fill(int64_t offset, size_t n) {
    if (offset >= size_) {
        return 0;
    }
    const size_t available = static_cast<size_t>(std::min<int64_t>(size_ - offset, int64_t(n)));
    if (offset >= bufferStart_ &&
        offset + int64_t(available) <= bufferStart_ + int64_t(bufferLength_)) {
        return available;
    }
    if (fd_ < 0) {
        throw IoError(path_ + ": read after the file was closed");
    }
    if (buffer_.size() < available) {
        buffer_.resize(available);
    }
    const size_t want = std::max(available, std::min(buffer_.size(), size_t(size_ - offset)));
    size_t got = 0;
    while (got < want) {
        const ssize_t r = ::pread(fd_, buffer_.data() + got, want - got, offset + int64_t(got));
        if (r < 0) {
            if (errno == EINTR) {
                continue;
            }
            bufferLength_ = 0;
            throw IoError(path_ + ": read error at offset " +
                          std::to_string(offset + int64_t(got)) + " (" + systemReason() + ")");
        }
        if (r == 0) {
            break; // the file shrank since it was opened
        }
        got += size_t(r);
    }
    bufferStart_ = offset;
    bufferLength_ = got;
    return std::min(available, got);
}

void BinaryFile::endOfFile(int64_t offset, size_t n, std::string_view what) const {
    std::string msg = path_ + ": unexpected end of file at offset " + std::to_string(offset);
    if (!what.empty()) {
        msg += " while reading ";
        msg += what;
    } else {
        msg +=
            " (" + std::to_string(n) + " bytes wanted, the file has " + std::to_string(size_) + ")";
    }
    throw IoError(msg);
}

void BinaryFile::read(void* dst, size_t n, std::string_view what) {
    if (n == 0) {
        return;
    }
    if (pos_ > size_ || int64_t(n) > size_ - pos_) {
        endOfFile(pos_, n, what);
    }
    if (n > buffer_.size()) {
        // A large block goes straight to the caller's memory.
        size_t got = 0;
        auto* out = static_cast<uint8_t*>(dst);
        while (got < n) {
            if (fd_ < 0) {
                throw IoError(path_ + ": read after the file was closed");
            }
            const ssize_t r = ::pread(fd_, out + got, n - got, pos_ + int64_t(got));
            if (r < 0 && errno == EINTR) {
                continue;
            }
            if (r < 0) {
                throw IoError(path_ + ": read error at offset " + std::to_string(pos_) + " (" +
                              systemReason() + ")");
            }
            if (r == 0) {
                endOfFile(pos_ + int64_t(got), n - got, what);
            }
            got += size_t(r);
        }
        pos_ += int64_t(n);
        return;
    }
    if (fill(pos_, n) < n) {
        endOfFile(pos_, n, what);
    }
    std::memcpy(dst, buffer_.data() + (pos_ - bufferStart_), n);
    pos_ += int64_t(n);
}

uint8_t BinaryFile::readByte(std::string_view what) {
    uint8_t b;
    read(&b, 1, what);
    return b;
}

int32_t BinaryFile::readWord16(std::string_view what) {
    uint8_t b[2];
    read(b, 2, what);
    return int32_t(b[0]) | (int32_t(b[1]) << 8);
}

int32_t BinaryFile::readDword32(std::string_view what) {
    uint8_t b[4];
    read(b, 4, what);
    const uint32_t v =
        uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
    return static_cast<int32_t>(v);
}

uint64_t BinaryFile::readQword64(std::string_view what) {
    uint8_t b[8];
    read(b, 8, what);
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) {
        v = (v << 8) | b[i];
    }
    return v;
}

void BinaryFile::readDirect(int64_t offset, void* dst, size_t n, std::string_view what) {
    if (offset < 0 || offset > size_ || int64_t(n) > size_ - offset) {
        endOfFile(offset, n, what);
    }
    if (fd_ < 0) {
        throw IoError(path_ + ": read after the file was closed");
    }
    size_t got = 0;
    auto* out = static_cast<uint8_t*>(dst);
    while (got < n) {
        const ssize_t r = ::pread(fd_, out + got, n - got, offset + int64_t(got));
        if (r < 0 && errno == EINTR) {
            continue;
        }
        if (r < 0) {
            throw IoError(path_ + ": read error at offset " + std::to_string(offset) + " (" +
                          systemReason() + ")");
        }
        if (r == 0) {
            endOfFile(offset + int64_t(got), n - got, what);
        }
        got += size_t(r);
    }
}

bool BinaryFile::peek(int64_t offset, void* dst, size_t n) {
    if (offset < 0 || offset > size_ || int64_t(n) > size_ - offset) {
        return false;
    }
    const int64_t keep = pos_;
    pos_ = offset;
    read(dst, n);
    pos_ = keep;
    return true;
}

int64_t BinaryFile::find(std::string_view word, int64_t from, int64_t until) {
    const int64_t len = int64_t(word.size());
    if (len == 0 || from < 0) {
        return -1;
    }
    // The last offset at which the whole word still lies inside the file.
    const int64_t last = std::min(until - 1, size_ - len);
    int64_t b = from;
    while (b <= last) {
        const size_t chunk = size_t(std::min<int64_t>(int64_t(kBlock), last - b + len));
        const size_t have = fill(b, chunk);
        if (have < size_t(len)) {
            return -1;
        }
        const uint8_t* base = buffer_.data() + (b - bufferStart_);
        const uint8_t* end = base + have;
        const uint8_t* hit = end;
        const auto first = uint8_t(word[0]);
        for (const uint8_t* p = base; p + len <= end;) {
            const auto* c = static_cast<const uint8_t*>(std::memchr(p, first, size_t(end - p)));
            if (c == nullptr || c + len > end) {
                break;
            }
            if (std::memcmp(c, word.data(), size_t(len)) == 0) {
                hit = c;
                break;
            }
            p = c + 1;
        }
        if (hit != end) {
            const int64_t at = b + (hit - base);
            if (at > last) {
                return -1;
            }
            pos_ = at + len;
            return at;
        }
        // Step on so that a word straddling the block end is seen whole next time.
        b += int64_t(have) - len + 1;
    }
    return -1;
}

void BinaryFile::close() {
    if (fd_ < 0) {
        return;
    }
    const int fd = fd_;
    fd_ = -1;
    bufferLength_ = 0;
    if (::close(fd) != 0) {
        throw IoError(path_ + ": error while closing the file (" + systemReason() + ")");
    }
}

} // namespace vidloom
