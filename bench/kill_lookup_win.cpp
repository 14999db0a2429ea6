#include "kill_lookup.h"

#include "framework/Locale.h"

TKeyCompare KillListCompare() { return LocaleCompareText; }
const char* KillListCompareName() { return "CompareStringA, user locale, ignore case (Wine)"; }
