// The printf-like formatting that fills the placeholders of a message text.
#pragma once

#include <initializer_list>
#include <string>

// One value for a placeholder of a message: a text or an integer.
class TFormatArg {
public:
    TFormatArg(const std::string& text) : text_(text) {}
    TFormatArg(const char* text) : text_(text ? text : "") {}
    TFormatArg(int number) : text_(std::to_string(number)), isNumber_(true) {}

    const std::string& Text() const { return text_; }
    bool IsNumber() const { return isNumber_; }

private:
    std::string text_;
    bool isNumber_ = false;
};

// Fills the "%s" and "%d" placeholders of `format` with `arguments`, one after
// the other in the order they stand; "%%" gives one "%". An argument goes in as
// it is and is never read as a format, so user data with "%" in it is safe. A
// placeholder left without an argument is dropped, and any other "%" sequence
// is kept as written, so a faulty table row can never read beyond its
// arguments.
std::string FormatText(const std::string& format, std::initializer_list<TFormatArg> arguments);

// Puts `argument` in place of the "%s" of a message that takes one text.
std::string FormatText(const std::string& format, const std::string& argument);
