#include "ApplicationTitle.h"

std::string ApplicationTitleOf(const std::string& exePath)
{
    const size_t slash = exePath.find_last_of("\\/:");
    std::string name = slash == std::string::npos ? exePath : exePath.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos)
        name.erase(dot);
    for (size_t i = 1; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c >= 'A' && c <= 'Z')
            name[i] = static_cast<char>(c + ('a' - 'A'));
    }
    return name;
}
