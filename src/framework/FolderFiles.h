// The files of one folder, as a program lists what it wrote there itself.
#pragma once

#include <string>
#include <vector>

// The names (not paths) of the files of `folder` that match `pattern`
// ("*.txt"), folders left out; none when the folder does not exist.
std::vector<std::string> FolderFileNames(const std::string& folder, const std::string& pattern);
