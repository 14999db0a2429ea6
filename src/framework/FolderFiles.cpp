#include "FolderFiles.h"

#include <windows.h>

#include <memory>

#include "ScopedHandle.h"
#include "WideText.h"

namespace {
struct TFindCloser {
    void operator()(HANDLE h) const
    {
        if (h && h != INVALID_HANDLE_VALUE)
            FindClose(h);
    }
};
using TScopedFind = std::unique_ptr<void, TFindCloser>;

// FILETIME counts 100 ns from 1601; the files' clock counts seconds from 1970.
long long UnixSeconds(const FILETIME& time)
{
    const unsigned long long ticks = (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return static_cast<long long>(ticks / 10000000ULL) - 11644473600LL;
}

bool WriteAllFlushed(HANDLE file, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return FlushFileBuffers(file) != 0;
}
}  // namespace

bool MakeFolder(const std::string& path)
{
    const std::wstring wide = Widen(path);
    if (CreateDirectoryW(wide.c_str(), nullptr))
        return true;
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteNewFileFlushed(const std::string& path, const std::string& bytes)
{
    const std::wstring wide = Widen(path);
    bool written;
    {
        TScopedFile file(CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.get() == INVALID_HANDLE_VALUE) {
            file.release();
            return false;
        }
        written = WriteAllFlushed(file.get(), bytes);
    }
    // Half a file must not pass for a copy.
    if (!written)
        DeleteFileW(wide.c_str());
    return written;
}

bool RemoveFile(const std::string& path) { return DeleteFileW(Widen(path).c_str()) != 0; }

std::vector<TFolderFile> ListFolderFiles(const std::string& folder, const std::string& suffix)
{
    std::vector<TFolderFile> files;
    WIN32_FIND_DATAW data;
    std::string pattern = folder;
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/')
        pattern += '\\';
    TScopedFind find(FindFirstFileW(Widen(pattern + "*").c_str(), &data));
    if (find.get() == INVALID_HANDLE_VALUE) {
        find.release();
        return files;
    }
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const std::string name = Narrow(data.cFileName);
        if (name.size() < suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        files.push_back({name, static_cast<long long>((static_cast<unsigned long long>(data.nFileSizeHigh) << 32) |
                                                      data.nFileSizeLow),
                         UnixSeconds(data.ftLastWriteTime)});
    } while (FindNextFileW(find.get(), &data));
    return files;
}

long long FileClockNow()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return UnixSeconds(now);
}

TLocalClock LocalClockNow()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}
