// Unpredictable bytes from the platform's generator, for secrets of the
// protocol (PKCE verifiers, OAuth state).
#pragma once

#include <cstddef>
#include <string>

// `count` random bytes; empty when the platform has none to give.
std::string SystemRandomBytes(std::size_t count);
