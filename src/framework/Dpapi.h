// Secrets kept for the current Windows user only (DPAPI): what is protected
// here can be read back by the same user on the same machine, and by no one
// else, so a copied registry hive gives nothing away.
#pragma once

#include <string>

// The protected form of `secret` as text fit for a registry string value;
// empty when the platform refuses.
std::string DpapiProtect(const std::string& secret);
// True when `stored` has the protected form (whether or not it opens here).
bool DpapiIsProtected(const std::string& stored);
// The secret back; false for text that is not a blob of this user.
bool DpapiUnprotect(const std::string& stored, std::string& secret);
