#include "mail_decode.h"

#include "framework/CaseFold.h"
#include "framework/CodePage.h"

TCodePageConverter MailDecodeConverter() { return ConvertCodePageToUtf8; }
TCaseFold MailDecodeFold() { return FoldCase; }
const char* MailDecodePlatformName() { return "MultiByteToWideChar and LCMapStringW (Wine)"; }
