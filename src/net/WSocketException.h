// The exception the socket and its Winsock helpers raise: an English message
// text and nothing more, so that callers can log it as it is.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <stdexcept>
#include <string>

class ESocketException : public std::runtime_error {
public:
    explicit ESocketException(const std::string& message) : std::runtime_error(message) {}
};

// printf-style formatting for the socket's message texts; user text always
// goes in as a "%s" argument, never as the format.
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
inline std::string SocketFormat(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0)
        std::vsnprintf(&text[0], text.size() + 1, format, args);
    va_end(args);
    return text;
}
