#include "kill_lookup.h"

TKeyCompare KillListCompare() { return AsciiCompareText; }
const char* KillListCompareName() { return "ASCII case-insensitive (native)"; }
