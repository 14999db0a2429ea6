#include "FolderFiles.h"

#include <windows.h>

#include <memory>

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

bool WriteAll(HANDLE file, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

// A new file with all of `bytes`, open for its flush; none is left on failure.
HANDLE CreateWritten(const std::string& path, const std::string& bytes)
{
    const std::wstring wide = Widen(path);
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return file;
    if (WriteAll(file, bytes))
        return file;
    // Half a file must not pass for a copy.
    CloseHandle(file);
    DeleteFileW(wide.c_str());
    return INVALID_HANDLE_VALUE;
}

// Flushes and closes `file`; a file that is not on the disk is removed.
bool FlushAndClose(const std::string& path, HANDLE file)
{
    const bool flushed = FlushFileBuffers(file) != 0;
    CloseHandle(file);
    if (!flushed)
        DeleteFileW(Widen(path).c_str());
    return flushed;
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

bool WriteNewFile(const std::string& path, const std::string& bytes)
{
    const HANDLE file = CreateWritten(path, bytes);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

TFlushedFiles::~TFlushedFiles()
{
    for (const auto& [path, file] : files_)
        CloseHandle(file);
}

bool TFlushedFiles::Write(const std::string& path, const std::string& bytes)
{
    const HANDLE file = CreateWritten(path, bytes);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    files_.emplace_back(path, file);
    return true;
}

void TFlushedFiles::DropLast()
{
    if (files_.empty())
        return;
    CloseHandle(files_.back().second);
    DeleteFileW(Widen(files_.back().first).c_str());
    files_.pop_back();
}

std::vector<std::string> TFlushedFiles::Flush()
{
    std::vector<std::string> failed;
    for (const auto& [path, file] : files_)
        if (!FlushAndClose(path, file))
            failed.push_back(path);
    files_.clear();
    return failed;
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
