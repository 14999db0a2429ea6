#include "FolderFiles.h"

#include <windows.h>

#include "WideText.h"

std::vector<std::string> FolderFileNames(const std::string& folder, const std::string& pattern)
{
    std::vector<std::string> names;
    std::string search = folder;
    if (!search.empty() && search.back() != '\\' && search.back() != '/')
        search += '\\';
    WIN32_FIND_DATAW found = {};
    HANDLE find = FindFirstFileW(Widen(search + pattern).c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(Narrow(std::wstring(found.cFileName)));
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return names;
}
