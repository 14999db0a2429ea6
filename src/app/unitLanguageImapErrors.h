// The IMAP session's errors in the language of the interface: each row the
// English start of an error as the session words it and its translation;
// what follows that start (the server's own words, a name) stays as it is.
#pragma once

#include <string>
#include <vector>

#include "../mail/MailTexts.h"
#include "unitLanguage.h"

struct TImapErrorRow {
    const char* english;
    const char* french;  // Windows-1252 bytes, as in the other tables
    std::string* shown;  // in the language of the interface
};

const std::vector<TImapErrorRow>& ImapErrorRows();
// Writes each row's text in `language`.
void ApplyImapErrorTexts(TLanguage language);
// The rows as the mail watch reads them.
std::vector<TImapErrorText> ImapErrorTextsOfRows();
