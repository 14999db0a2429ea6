#include "Files.h"

#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "ScopedHandle.h"
#include "WideText.h"

namespace {
TScopedFile OpenFile(const std::string& path, DWORD access, DWORD creation)
{
    HANDLE h = CreateFileW(Widen(path).c_str(), access, FILE_SHARE_READ, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    return TScopedFile(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

bool WriteAll(HANDLE file, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}
}  // namespace

std::string ExecutablePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return Narrow(path);
        }
        path.resize(path.size() * 2);
    }
}

std::string ExecutableDirectory()
{
    const std::string path = ExecutablePath();
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool FileExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadFileBytes(const std::string& path, std::string& bytes)
{
    TScopedFile file = OpenFile(path, GENERIC_READ, OPEN_EXISTING);
    if (!file)
        return false;
    bytes.clear();
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr))
            return false;
        if (got == 0)
            return true;
        bytes.append(buffer, got);
    }
}

bool WriteFileReplacing(const std::string& path, const std::string& bytes)
{
    const std::string temporary = path + ".new";
    {
        TScopedFile file = OpenFile(temporary, GENERIC_WRITE, CREATE_ALWAYS);
        if (!file)
            return false;
        if (!WriteAll(file.get(), bytes) || !FlushFileBuffers(file.get())) {
            file.reset();
            DeleteFileW(Widen(temporary).c_str());
            return false;
        }
    }
    if (!MoveFileExW(Widen(temporary).c_str(), Widen(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(Widen(temporary).c_str());
        return false;
    }
    return true;
}

bool SetCurrentFolder(const std::string& path) { return SetCurrentDirectoryW(Widen(path).c_str()) != FALSE; }

void RunProgram(const std::string& path)
{
    ShellExecuteW(nullptr, nullptr, Widen(path).c_str(), L"", L"", SW_SHOW);
}
