#include "WSockBuf.h"

#include <algorithm>
#include <cstring>

TBuffer::TBuffer(int size) : data_(static_cast<size_t>(size > 0 ? size : DefaultSize)) {}

void TBuffer::SetBufSize(int size)
{
    if (size <= 0)
        size = DefaultSize;
    data_.resize(static_cast<size_t>(std::max(size, written_)));
}

int TBuffer::Write(const void* data, int length)
{
    const int room = BufSize() - written_;
    const int count = std::max(0, std::min(length, room));
    if (count > 0) {
        std::memcpy(data_.data() + written_, data, static_cast<size_t>(count));
        written_ += count;
    }
    return count;
}

const char* TBuffer::Peek(int& length) const
{
    length = written_ - read_;
    return length > 0 ? data_.data() + read_ : nullptr;
}

void TBuffer::Remove(int length)
{
    if (length <= 0)
        return;
    read_ += std::min(length, written_ - read_);
    if (read_ == written_) {
        read_ = 0;
        written_ = 0;
    }
}
