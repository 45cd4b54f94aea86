#pragma once
// One open file: read from the start to the end, or created (replacing) and written.
// Reads and writes are buffered, so a pass that hands over one packet at a time costs no
// system call per packet. Every failure is an ombrix::Error with the message the user sees.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace ombrix {

class FileStream {
public:
    // "Cannot open file "<path>". <reason>"
    static std::unique_ptr<FileStream> openRead(const std::string& path);
    // "Cannot create file "<path>". <reason>"
    static std::unique_ptr<FileStream> create(const std::string& path);

    ~FileStream();
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    // Reads up to n bytes; returns fewer only at the end of the file or when the system
    // delivers nothing more (the caller compares position() with size()).
    std::size_t read(void* dest, std::size_t n);
    // Writes all n bytes or throws "Stream write error".
    void write(const void* src, std::size_t n);
    // Writes n bytes that the caller leaves unchanged until commitViews() (or close): on
    // systems that gather writes, they go to the file from where they are, without a copy.
    void writeView(const void* src, std::size_t n);
    // Writes the pending views, in order; throws "Stream write error" when they don't all go.
    void commitViews();
    // Hands buffered bytes to the system; throws "Stream write error" when they don't all go.
    void flush();
    // Flushes and closes; throws "Stream write error" when the last bytes can't be written.
    void close();

    std::int64_t size() const { return size_; }
    std::int64_t position() const { return position_; }
    const std::string& path() const { return path_; }

private:
    FileStream(std::FILE* file, std::string path, bool writing, std::int64_t size);
    std::size_t fillAndCopy(unsigned char* dest, std::size_t n);
    void writeThrough(const void* src, std::size_t n);

    std::FILE* file_;
    std::string path_;
    bool writing_;
    std::int64_t size_;
    std::int64_t position_ = 0;
    std::unique_ptr<unsigned char[]> buffer_;
    std::size_t bufferUsed_ = 0;  // write: bytes waiting; read: bytes held
    std::size_t bufferStart_ = 0; // read: first byte not yet handed out
    struct View {
        const unsigned char* data;
        std::size_t size;
    };
    std::vector<View> views_; // write: bytes of the caller's waiting to be gathered
};

} // namespace ombrix
