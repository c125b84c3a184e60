#include "platform/runtime/LineReader.h"

#include <algorithm>

namespace vx {

namespace {
constexpr size_t kChunkSize = size_t{1} << 20;
} // namespace

LineReader::LineReader(const std::string& fileName)
    : file_(fileName, fmOpenRead | fmShareDenyNone), fileSize_(file_.Size()) {
    buffer_.resize(static_cast<size_t>(std::clamp<int64_t>(fileSize_, 1, kChunkSize)));
}

void LineReader::Fill() {
    if (start_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + start_, end_ - start_);
        dropped_ += static_cast<int64_t>(start_);
        end_ -= start_;
        start_ = 0;
    }
    // The file is read up to the size it had when opened: a file that grows meanwhile, or a
    // device without a size, cannot keep the reader going.
    const auto unread = static_cast<size_t>(
        std::max<int64_t>(fileSize_ - dropped_ - static_cast<int64_t>(end_), 0));
    if (unread == 0) {
        atEnd_ = true;
        return;
    }
    if (end_ == buffer_.size())
        buffer_.resize(buffer_.size() + std::min(buffer_.size(), unread));
    const size_t got = file_.Read(buffer_.data() + end_, std::min(buffer_.size() - end_, unread));
    if (got == 0)
        atEnd_ = true;
    end_ += got;
}

} // namespace vx
