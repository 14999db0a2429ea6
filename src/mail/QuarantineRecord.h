// The record kept beside each copy of a deleted message: what the "Deleted
// SPAM" view lists without reading the copy itself. A text file of UTF-8
// "Name: value" lines after a first line that says what the file is; any
// byte of a value below space, DEL and "\" are written as escapes, so that
// no sender or subject can break a line or pass for another field. A file
// that was cut or damaged still reads: what can be read is kept.
#pragma once

#include <string>
#include <vector>

#include "../model/SpamReason.h"

struct TQuarantineRecord {
    std::string Deleted;  // when the copy was made (FormatQuarantineTime)
    // The server confirmed the deletion (POP3: DELE and QUIT answered +OK;
    // IMAP: the message expunged). A copy is written before its deletion and
    // marked once it is confirmed; a record of an older version, which has
    // no such line, was taken as deleted and reads so.
    bool Confirmed = true;
    std::string Date;     // the message's Date header
    std::string Mailbox;
    std::string Sender;
    std::string Subject;
    TSpamReason Reason;
    std::string Copy;     // the .eml file's name
    long long Size = 0;   // of the copy, in bytes
    std::string Message;  // the message's identity (QuarantineIdentity.h); empty when unknown
};

std::string FormatQuarantineRecord(const TQuarantineRecord& record);
// False (and `record` empty) when the text is no record: its first line is
// not the record's. Else true, with every field found: unknown lines, lines
// without ": " and repeated fields (after the first) are skipped, a broken
// escape stays as written, malformed UTF-8 becomes U+FFFD, a size that is no
// number is 0, a confirmation other than "yes" is none (a missing one is
// the older versions' yes), and a copy's name that is not a plain ".eml"
// name of ASCII letters, digits, "-", "_" and "." is empty.
bool ParseQuarantineRecord(const std::string& text, TQuarantineRecord& record);

// Newest deletion first, as the view lists them; of one second, by name.
void SortNewestFirst(std::vector<TQuarantineRecord>& records);
