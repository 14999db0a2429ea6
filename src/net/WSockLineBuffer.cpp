#include "WSockLineBuffer.h"

#include <algorithm>
#include <cstring>

void TWSockLineBuffer::Clear()
{
    data_.clear();
    searched_ = 0;
}

void TWSockLineBuffer::Append(const char* data, std::size_t length) { data_.append(data, length); }

void TWSockLineBuffer::AppendEdited(const char* data, std::size_t length, std::string* echo)
{
    const std::size_t lineStart = data_.find_last_of('\n');
    std::size_t column = lineStart == std::string::npos ? data_.size() : data_.size() - lineStart - 1;
    for (std::size_t i = 0; i < length; ++i) {
        const char c = data[i];
        if (c == '\t') {
            const std::size_t blanks = 8 - column % 8;
            data_.append(blanks, ' ');
            column += blanks;
            if (echo)
                echo->append(blanks, ' ');
        } else if (c == '\b') {
            if (column > 0) {  // never reaches back into a line already ended
                data_.pop_back();
                --column;
                if (echo)
                    echo->append("\b \b");
            }
        } else {
            data_.push_back(c);
            column = c == '\n' ? 0 : column + 1;
            if (echo)
                echo->push_back(c);
        }
    }
    searched_ = std::min(searched_, data_.size());
}

std::size_t TWSockLineBuffer::FirstLineLength(const std::string& lineEnd)
{
    if (lineEnd != searchedFor_) {  // the terminator changed: search everything again
        searchedFor_ = lineEnd;
        searched_ = 0;
    }
    if (lineEnd.empty() || data_.size() < lineEnd.size())
        return 0;
    // A terminator may straddle the searched part and the new bytes.
    const std::size_t from = searched_ >= lineEnd.size() ? searched_ - (lineEnd.size() - 1) : 0;
    const std::size_t found = data_.find(lineEnd, from);
    if (found == std::string::npos) {
        searched_ = data_.size();
        return 0;
    }
    return found + lineEnd.size();
}

std::size_t TWSockLineBuffer::Take(char* dest, std::size_t length)
{
    const std::size_t count = std::min(length, data_.size());
    if (count > 0)
        std::memcpy(dest, data_.data(), count);
    Remove(count);
    return count;
}

void TWSockLineBuffer::Remove(std::size_t length)
{
    const std::size_t count = std::min(length, data_.size());
    data_.erase(0, count);
    // What is left was searched only up to the removed line's end.
    searched_ = 0;
}
