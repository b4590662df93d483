// The body of one upload, handed to the transfer piece by piece: the head
// text, the content (from memory or from an open file), the tail text, without
// gaps. Any piece may span several calls; nothing is written past the buffer
// a call offers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace korvel {

class UploadSource {
public:
    // Content from memory; `data` must outlive the source.
    UploadSource(std::string head, std::string tail, const void *data, uint64_t size);
    // Content from an open file of `size` bytes; the source closes it.
    UploadSource(std::string head, std::string tail, std::FILE *file, uint64_t size);
    ~UploadSource();
    UploadSource(const UploadSource &) = delete;
    UploadSource &operator=(const UploadSource &) = delete;

    // Bytes of the whole body (head, content, tail).
    uint64_t TotalSize() const;
    // Fills at most `capacity` bytes; the count placed (0 once everything was
    // delivered), or nothing when the file ends early or cannot be read, so
    // the transfer is abandoned rather than sending a wrong body.
    std::optional<size_t> Read(char *buffer, size_t capacity);

private:
    size_t CopyHead(char *buffer, size_t space);
    std::optional<size_t> CopyContent(char *buffer, size_t space);
    size_t CopyTail(char *buffer, size_t space);

    std::string head_;
    std::string tail_;
    const unsigned char *memory_ = nullptr;
    std::FILE *file_ = nullptr;
    uint64_t size_ = 0;   // content bytes
    uint64_t sent_ = 0;   // content bytes delivered
    size_t head_done_ = 0;
    size_t tail_done_ = 0;
};

} // namespace korvel
