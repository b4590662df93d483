#include "device/upload_source.h"

#include <algorithm>
#include <cstring>

#include "core/log.h"

#define KORVEL_LOG_UNIT "Device"

namespace korvel {

UploadSource::UploadSource(std::string head, std::string tail, const void *data, uint64_t size)
    : head_(std::move(head)), tail_(std::move(tail)), memory_(static_cast<const unsigned char *>(data)),
      size_(size) {}

UploadSource::UploadSource(std::string head, std::string tail, std::FILE *file, uint64_t size)
    : head_(std::move(head)), tail_(std::move(tail)), file_(file), size_(size) {}

UploadSource::~UploadSource() {
    if (file_ != nullptr) std::fclose(file_);
}

uint64_t UploadSource::TotalSize() const { return head_.size() + size_ + tail_.size(); }

size_t UploadSource::CopyHead(char *buffer, size_t space) {
    if (head_done_ == 0 && head_.size() >= space) KLOG("[%s]:[%d] content before file length is too larger.");
    size_t n = std::min(space, head_.size() - head_done_);
    std::memcpy(buffer, head_.data() + head_done_, n);
    head_done_ += n;
    return n;
}

std::optional<size_t> UploadSource::CopyContent(char *buffer, size_t space) {
    size_t n = static_cast<size_t>(std::min<uint64_t>(space, size_ - sent_));
    if (memory_ != nullptr) {
        std::memcpy(buffer, memory_ + sent_, n);
    } else if (file_ == nullptr || std::fread(buffer, 1, n, file_) != n) {
        return std::nullopt; // the file is shorter than it was or cannot be read
    }
    sent_ += n;
    return n;
}

size_t UploadSource::CopyTail(char *buffer, size_t space) {
    if (tail_done_ == 0 && tail_.size() >= space) KLOG("[%s]:[%d] content before file length is too larger");
    size_t n = std::min(space, tail_.size() - tail_done_);
    std::memcpy(buffer, tail_.data() + tail_done_, n);
    tail_done_ += n;
    return n;
}

std::optional<size_t> UploadSource::Read(char *buffer, size_t capacity) {
    if (buffer == nullptr || capacity == 0) return 0;
    size_t placed = 0;
    if (head_done_ < head_.size()) placed += CopyHead(buffer, capacity);
    if (placed < capacity && head_done_ == head_.size() && sent_ < size_) {
        std::optional<size_t> content = CopyContent(buffer + placed, capacity - placed);
        if (!content) return std::nullopt;
        placed += *content;
    }
    if (placed < capacity && sent_ == size_ && head_done_ == head_.size() && tail_done_ < tail_.size()) {
        placed += CopyTail(buffer + placed, capacity - placed);
    }
    return placed;
}

} // namespace korvel
