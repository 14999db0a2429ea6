#include "FileDialog.h"

#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "WideText.h"

TOpenDialog::TOpenDialog(const std::string& defaultExt, const std::string& filter, const std::string& title)
    : DefaultExt(defaultExt), Filter(filter), Title(title)
{
}

namespace {
// Runs either dialog on `name`: the same buffer, filter and owner rules.
bool RunFileDialog(bool save, const std::string& filterText, const std::string& titleText,
                   const std::string& defaultExtText, std::string& fileName)
{
    // The platform wants the filter's parts separated by zeros, ended by two.
    std::wstring filter = Widen(filterText);
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    filter.append(2, L'\0');
    // A buffer as large as the platform allows, and a preset that never overruns it.
    std::vector<wchar_t> name(32768, L'\0');
    const std::wstring preset = Widen(fileName);
    std::copy_n(preset.begin(), std::min(preset.size(), name.size() - 1), name.begin());
    const std::wstring title = Widen(titleText);
    const std::wstring defaultExt = Widen(defaultExtText);
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrTitle = title.c_str();
    ofn.lpstrDefExt = defaultExt.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | (save ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST : 0);
    if (!(save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn)))
        return false;
    fileName = Narrow(std::wstring(name.data()));
    return true;
}
}  // namespace

bool TOpenDialog::Execute() { return RunFileDialog(false, Filter, Title, DefaultExt, FileName); }

TSaveDialog::TSaveDialog(const std::string& defaultExt, const std::string& filter, const std::string& title)
    : DefaultExt(defaultExt), Filter(filter), Title(title)
{
}

bool TSaveDialog::Execute() { return RunFileDialog(true, Filter, Title, DefaultExt, FileName); }
