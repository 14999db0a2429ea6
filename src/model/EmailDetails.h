// The detail view of one email in the mailboxes window: its fields decoded,
// the names of its other parts, the header as written on demand, and its
// body decoded from the lines the check read.
#pragma once

#include <string>

#include "../mime/MimeCharset.h"
#include "unitProcessEmail.h"

// The lines "From : ", "To : ", "Date : ", "Subject : ", "Size : ", then,
// when the message has other parts, "Attachments : " and their names one a
// line (and a last line "…" when the body read ends before the message
// does), an empty line, the header when `withHeader`, and the body text.
std::string FormatEmailDetails(const TEmail& email, bool withHeader, const TCodePageConverter& convert);
