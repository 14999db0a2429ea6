#include "FileDialog.h"

#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <vector>

TOpenDialog::TOpenDialog(const std::string& defaultExt, const std::string& filter, const std::string& title)
    : DefaultExt(defaultExt), Filter(filter), Title(title)
{
}

bool TOpenDialog::Execute()
{
    // The platform wants the filter's parts separated by zeros, ended by two.
    std::string filter = Filter;
    std::replace(filter.begin(), filter.end(), '|', '\0');
    filter.append(2, '\0');
    // A buffer as large as the platform allows, and a preset that never overruns it.
    std::vector<char> name(32768, '\0');
    std::copy_n(FileName.begin(), std::min(FileName.size(), name.size() - 1), name.begin());
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrTitle = Title.c_str();
    ofn.lpstrDefExt = DefaultExt.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameA(&ofn))
        return false;
    FileName = name.data();
    return true;
}
