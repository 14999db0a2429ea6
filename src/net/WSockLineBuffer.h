// The line-mode receive buffer of the socket: bytes read from the network
// wait here until a line end arrives. Only whole lines leave it, except when
// line mode is switched off or the session ends.
#pragma once

#include <cstddef>
#include <string>

class TWSockLineBuffer {
public:
    std::size_t Size() const { return data_.size(); }
    bool Empty() const { return data_.empty(); }
    const char* Data() const { return data_.c_str(); }  // always zero-terminated
    void Clear();

    // Appends bytes as they came from the network.
    void Append(const char* data, std::size_t length);
    // Appends bytes edited as a terminal line: a TAB becomes blanks up to the
    // next multiple of 8 columns, a backspace (8) removes the previous byte of
    // the current line. When `echo` is given it receives what a terminal
    // would show: the bytes as edited, a removal as backspace, blank, backspace.
    void AppendEdited(const char* data, std::size_t length, std::string* echo);

    // Length of the first complete line, its terminator included; 0 while no
    // complete line is held (or when `lineEnd` is empty).
    std::size_t FirstLineLength(const std::string& lineEnd);

    // Moves up to `length` bytes from the front into `dest`; answers how many.
    std::size_t Take(char* dest, std::size_t length);
    // Drops up to `length` bytes from the front.
    void Remove(std::size_t length);

private:
    std::string data_;
    // Bytes at the front already searched without finding a line end, so that
    // a long partial line is not searched again on every read.
    std::size_t searched_ = 0;
    std::string searchedFor_;
};
