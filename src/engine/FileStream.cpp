#include "engine/FileStream.h"

#include "engine/Errors.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#if !defined(_WIN32)
#include <climits>
#include <sys/uio.h>
#include <unistd.h>
#define OMBRIX_GATHERED_WRITES 1
#endif

namespace ombrix {

namespace {

constexpr std::size_t kBufferSize = 256 * 1024;

std::string reason(int err) {
    std::string text = std::strerror(err);
    if (!text.empty() && text.back() != '.') text += '.';
    return text;
}

[[noreturn]] void writeError() { throw Error("Stream write error"); }

} // namespace

std::unique_ptr<FileStream> FileStream::openRead(const std::string& path) {
    errno = 0;
    std::error_code ec;
    if (std::filesystem::is_directory(std::filesystem::path(path), ec))
        throw Error("Cannot open file \"" + path + "\". " + reason(EISDIR));
    // Only a regular file has a size to read to. Opening a pipe would wait for a writer for
    // ever; other kinds are refused with the reason their size query gives.
    const auto type = std::filesystem::status(std::filesystem::path(path), ec).type();
    if (!ec && type != std::filesystem::file_type::regular)
        throw Error("Cannot open file \"" + path + "\". " + reason(ENOTSUP));
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) throw Error("Cannot open file \"" + path + "\". " + reason(errno ? errno : ENOENT));
    std::setvbuf(f, nullptr, _IONBF, 0);
    auto size = std::filesystem::file_size(std::filesystem::path(path), ec);
    if (ec) {
        std::fclose(f);
        throw Error("Cannot open file \"" + path + "\". " + reason(ec.value()));
    }
    return std::unique_ptr<FileStream>(new FileStream(f, path, false, static_cast<std::int64_t>(size)));
}

std::unique_ptr<FileStream> FileStream::create(const std::string& path) {
    errno = 0;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw Error("Cannot create file \"" + path + "\". " + reason(errno ? errno : EACCES));
    std::setvbuf(f, nullptr, _IONBF, 0);
    return std::unique_ptr<FileStream>(new FileStream(f, path, true, 0));
}

FileStream::FileStream(std::FILE* file, std::string path, bool writing, std::int64_t size)
    : file_(file), path_(std::move(path)), writing_(writing), size_(size) {}

FileStream::~FileStream() {
    if (!file_) return;
    // An error already on its way is the one the user sees; a failure here adds nothing to it.
    try {
        close();
    } catch (...) {
    }
}

std::size_t FileStream::read(void* dest, std::size_t n) {
    auto* out = static_cast<unsigned char*>(dest);
    std::size_t done = 0;
    // Hand out what the buffer holds first.
    if (bufferUsed_ > bufferStart_) {
        std::size_t take = std::min(n, bufferUsed_ - bufferStart_);
        std::memcpy(out, buffer_.get() + bufferStart_, take);
        bufferStart_ += take;
        done = take;
    }
    if (done < n) {
        std::size_t want = n - done;
        if (want >= kBufferSize) {
            // Large reads go straight into the caller's memory.
            done += std::fread(out + done, 1, want, file_);
        } else {
            done += fillAndCopy(out + done, want);
        }
    }
    position_ += static_cast<std::int64_t>(done);
    return done;
}

std::size_t FileStream::fillAndCopy(unsigned char* dest, std::size_t n) {
    if (!buffer_) buffer_ = std::make_unique<unsigned char[]>(kBufferSize);
    bufferStart_ = 0;
    bufferUsed_ = std::fread(buffer_.get(), 1, kBufferSize, file_);
    std::size_t take = std::min(n, bufferUsed_);
    std::memcpy(dest, buffer_.get(), take);
    bufferStart_ = take;
    return take;
}

void FileStream::write(const void* src, std::size_t n) {
    if (n == 0) return;
    if (!views_.empty()) commitViews();
    if (!buffer_) buffer_ = std::make_unique<unsigned char[]>(kBufferSize);
    if (bufferUsed_ + n > kBufferSize) {
        flush();
        if (n >= kBufferSize) {
            writeThrough(src, n);
            position_ += static_cast<std::int64_t>(n);
            size_ = std::max(size_, position_);
            return;
        }
    }
    std::memcpy(buffer_.get() + bufferUsed_, src, n);
    bufferUsed_ += n;
    position_ += static_cast<std::int64_t>(n);
    size_ = std::max(size_, position_);
}

void FileStream::writeThrough(const void* src, std::size_t n) {
    if (std::fwrite(src, 1, n, file_) != n) writeError();
}

void FileStream::writeView(const void* src, std::size_t n) {
#ifdef OMBRIX_GATHERED_WRITES
    if (n == 0) return;
    if (bufferUsed_ > 0) flush();
    const auto* p = static_cast<const unsigned char*>(src);
    if (!views_.empty() && views_.back().data + views_.back().size == p)
        views_.back().size += n; // contiguous with the last view: one piece
    else
        views_.push_back({p, n});
    position_ += static_cast<std::int64_t>(n);
    size_ = std::max(size_, position_);
#else
    write(src, n);
#endif
}

void FileStream::commitViews() {
#ifdef OMBRIX_GATHERED_WRITES
    std::size_t next = 0;
    iovec iov[64];
    while (next < views_.size()) {
        int count = 0;
        for (std::size_t k = next; k < views_.size() && count < 64; ++k, ++count)
            iov[count] = {const_cast<unsigned char*>(views_[k].data), views_[k].size};
        ssize_t done = ::writev(fileno(file_), iov, count);
        if (done < 0) {
            if (errno == EINTR) continue;
            views_.clear();
            writeError();
        }
        // Past the views written whole; a view written in part goes on from where it stopped.
        auto left = static_cast<std::size_t>(done);
        while (next < views_.size() && left >= views_[next].size) left -= views_[next++].size;
        if (next < views_.size() && left > 0) {
            views_[next].data += left;
            views_[next].size -= left;
        } else if (done == 0) {
            views_.clear();
            writeError();
        }
    }
    views_.clear();
#endif
}

void FileStream::flush() {
    if (!views_.empty()) commitViews();
    if (!writing_ || bufferUsed_ == 0) return;
    std::size_t pending = bufferUsed_;
    bufferUsed_ = 0;
    writeThrough(buffer_.get(), pending);
    if (std::fflush(file_) != 0) writeError();
}

void FileStream::close() {
    if (!file_) return;
    std::FILE* f = file_;
    bool failed = false;
    if (!views_.empty()) {
        try {
            commitViews();
        } catch (const Error&) {
            failed = true;
        }
    }
    if (writing_ && bufferUsed_ > 0) {
        failed = std::fwrite(buffer_.get(), 1, bufferUsed_, f) != bufferUsed_;
        bufferUsed_ = 0;
    }
    file_ = nullptr;
    if (std::fclose(f) != 0 && writing_) failed = true;
    if (failed) writeError();
}

} // namespace ombrix
