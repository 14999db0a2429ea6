#include "FormatText.h"

std::string FormatText(const std::string& format, std::initializer_list<TFormatArg> arguments)
{
    std::string result;
    result.reserve(format.size());
    auto next = arguments.begin();
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        const char following = i + 1 < format.size() ? format[i + 1] : '\0';
        if (c != '%' || (following != 's' && following != 'd' && following != '%')) {
            result += c;
            continue;
        }
        ++i;
        if (following == '%')
            result += '%';
        else if (next != arguments.end())
            result += (next++)->Text();
    }
    return result;
}

std::string FormatText(const std::string& format, const std::string& argument)
{
    return FormatText(format, {TFormatArg(argument)});
}
