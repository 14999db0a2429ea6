// One block of the socket's send queue: a fixed-capacity byte block with a
// write position and a read position, refilled once it has been read empty.
#pragma once

#include <vector>

class TBuffer {
public:
    static constexpr int DefaultSize = 1514;

    // A capacity of 0 or less gives DefaultSize.
    explicit TBuffer(int size);

    int BufSize() const { return static_cast<int>(data_.size()); }
    // Changes the capacity, keeping every written byte: the capacity never
    // falls below what the block holds.
    void SetBufSize(int size);

    // Copies as many bytes as fit after what was written; answers how many
    // (0 when the block is full).
    int Write(const void* data, int length);
    // The unread bytes and their count; the count is 0 when none are left.
    const char* Peek(int& length) const;
    // Marks up to `length` unread bytes as read; once everything written has
    // been read, both positions go back to 0 so the block can be filled again.
    void Remove(int length);
    // Unread bytes.
    int Count() const { return written_ - read_; }

private:
    std::vector<char> data_;
    int written_ = 0;
    int read_ = 0;
};
