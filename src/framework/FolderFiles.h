// Files a folder of the program's own keeps, written so that they are on the
// disk when the flush returns: a copy that only sits in a cache is no copy if
// the power fails after the original was deleted.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// Makes the folder (its parent must exist); true when it exists afterwards.
bool MakeFolder(const std::string& path);
// Writes `bytes` to a new file at `path` (an existing file is not replaced)
// without waiting for the disk: for what only describes a file kept flushed.
// False, with no part of the file left, when any byte could not be written.
bool WriteNewFile(const std::string& path, const std::string& bytes);

// New files written one after another and flushed to the disk together: one
// flush after many writes costs much less than a flush after each. Until
// Flush, each file stays open and no other program can open it.
class TFlushedFiles {
public:
    TFlushedFiles() = default;
    TFlushedFiles(const TFlushedFiles&) = delete;
    TFlushedFiles& operator=(const TFlushedFiles&) = delete;
    // Files not flushed yet are closed as they are: on the disk or not.
    ~TFlushedFiles();
    // As WriteNewFile, the file then held open for Flush.
    bool Write(const std::string& path, const std::string& bytes);
    // Closes and removes the file written last and not flushed yet.
    void DropLast();
    std::size_t Pending() const { return files_.size(); }
    // Flushes and closes every file written since the last Flush; answers the
    // paths of those that could not be flushed, which are removed.
    std::vector<std::string> Flush();

private:
    std::vector<std::pair<std::string, void*>> files_;  // path, open handle
};
bool RemoveFile(const std::string& path);

struct TFolderFile {
    std::string Name;       // without the folder
    long long Size = 0;     // bytes
    long long Written = 0;  // last write, seconds since 1970 (UTC)
};
// The plain files of `folder` whose name ends with `suffix`.
std::vector<TFolderFile> ListFolderFiles(const std::string& folder, const std::string& suffix);
// Now, in the seconds ListFolderFiles gives.
long long FileClockNow();

struct TLocalClock {
    int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
};
// The local date and time of the platform's clock.
TLocalClock LocalClockNow();
