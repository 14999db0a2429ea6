#pragma once

#include "model/unitProcessSpam.h"

// The charset conversion and the case folding the mail decoder and the spam
// test are given on this platform.
TCodePageConverter MailDecodeConverter();
TCaseFold MailDecodeFold();
const char* MailDecodePlatformName();
