// The title patterns' wildcards, apart from how letters compare: `*` any run
// of characters, `?` one character (a code point), the rest literal runs
// compared whole by the caller's test.
#pragma once

#include <functional>
#include <string>

// Whether `text` matches `pattern` as a whole; `sameRun(literal, slice)` says
// whether a literal run of the pattern equals a slice of the text of as many
// code points.
bool GlobMatches(const std::string& pattern, const std::string& text,
                 const std::function<bool(const std::string&, const std::string&)>& sameRun);
