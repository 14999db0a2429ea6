#include "DataFolder.h"

#include <windows.h>

#include <shlobj.h>

#include <string>

#include "Files.h"
#include "WideText.h"

namespace {
// Asks the file system itself: a folder's attributes say nothing of the
// rights of the user (Program Files), of a read-only medium or of a share.
bool CanWriteIn(const std::string& folder)
{
    // A name of this process's own: two copies asking at once (a second one
    // that only says it is already running, tests in parallel) must not
    // make each other's folder look read-only.
    const std::wstring probe =
        Widen(folder + "SkarnVale.write-probe." + std::to_string(GetCurrentProcessId()));
    HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

std::string ApplicationDataFolder()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"APPDATA", path, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        return Narrow(path);
    if (SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path) == S_OK)
        return Narrow(path);
    return std::string();
}
}  // namespace

std::string UserDataFolder()
{
    std::string folder = ApplicationDataFolder();
    if (folder.empty())
        return folder;
    if (folder.back() != '\\' && folder.back() != '/')
        folder += '\\';
    return folder + "SkarnVale\\";
}

std::string DataFilePath(const std::string& name, TFileUse use)
{
    const std::string beside = ExecutableDirectory() + name;
    if (CanWriteIn(ExecutableDirectory()))
        return beside;
    const std::string user = UserDataFolder();
    if (use == TFileUse::Read)
        return !user.empty() && FileExists(user + name) ? user + name : beside;
    if (user.empty())
        return std::string();
    CreateDirectoryW(Widen(user).c_str(), nullptr);
    return CanWriteIn(user) ? user + name : std::string();
}
