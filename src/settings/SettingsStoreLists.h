// The lists' half of the settings store: the spam address and subject lists
// and the allow list, each a file of its own.
#pragma once

struct TSettings;
struct TSettingsStoreResult;

// A list whose file does not exist is empty; one that cannot be read is
// empty and named in the result.
void LoadSpamLists(TSettings& settings, TSettingsStoreResult& result);
void SaveSpamLists(const TSettings& settings, TSettingsStoreResult& result);
