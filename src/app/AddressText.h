#pragma once

#include <string>
#include <vector>

// The local addresses joined by " - ", leaving out every "10.0.0.10".
std::string JoinAddressText(const std::vector<std::string>& addresses);
