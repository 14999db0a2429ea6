// What the "Deleted SPAM" view lists: the records of the quarantine folder,
// read as they are found on disk. A record is only a description, written
// by the program but lying in a folder anyone can write: the copy it goes
// with is named by the record file's own base name, never by what the record
// says, and a record that cannot be read or is missing is still listed, so
// that its copy stays reachable.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "QuarantineRecord.h"

// One file of the folder: its name and its bytes.
struct TQuarantineFile {
    std::string Name;
    std::string Text;
};

struct TQuarantineList {
    // Newest first (SortNewestFirst); each Copy is the ".eml" name of its
    // record file's base name.
    std::vector<TQuarantineRecord> Records;
    // The Copy names of the records whose text was no record, or that are
    // missing: their Deleted comes from the file's name, their Subject is the
    // text's first line (empty without a record).
    std::set<std::string> Unreadable;
};

// The ".txt" files among `files` (any case of the extension), as the view
// lists them, and the ".eml" files without one (their text is not read).
TQuarantineList MakeQuarantineList(const std::vector<TQuarantineFile>& files);

// "2024-03-05 14:07:09" from a base name that starts "20240305-140709";
// empty when it does not.
std::string QuarantineTimeOfName(const std::string& baseName);

// "SPAM senders list: deals": the list's text (the caller's language), then
// the entry; empty when no list marked the message.
std::string QuarantineReasonText(const TSpamReason& reason, const std::string& senderList,
                                 const std::string& subjectList);

// The sender's address as the allow list takes it (AllowListAddressOf);
// empty when the record names no sender.
std::string QuarantineSenderAddress(const TQuarantineRecord& record);
