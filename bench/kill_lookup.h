#pragma once

#include "model/ClassesPerso.h"

// The comparison the kill list is built with on this platform.
TKeyCompare KillListCompare();
const char* KillListCompareName();
