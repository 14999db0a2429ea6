// Files a folder of the program's own keeps, written so that they are on the
// disk when the call returns: a copy that only sits in a cache is no copy if
// the power fails after the original was deleted.
#pragma once

#include <string>
#include <vector>

// Makes the folder (its parent must exist); true when it exists afterwards.
bool MakeFolder(const std::string& path);
// Writes `bytes` to a new file at `path` (an existing file is not replaced)
// and flushes it to the disk; false when any byte could not be written, in
// which case no part of the file is left.
bool WriteNewFileFlushed(const std::string& path, const std::string& bytes);
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
