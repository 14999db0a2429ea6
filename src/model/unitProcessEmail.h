// The mail records: one configured POP3 mailbox and one message seen on it,
// and the functions that derive displayable values from a message.
#pragma once

#include <memory>
#include <string>

#include "ClassesPerso.h"

struct TMailboxMemory;

class TMailBox : public TMyItem {
public:
    std::string MailboxName;
    std::string Server;
    std::string User;
    std::string Password;
    // What the last check kept of the messages it read (unitProcessReuse.h).
    std::shared_ptr<TMailboxMemory> Memory;
};

class TEmail : public TMyItem {
public:
    std::string From;
    std::string To;
    std::string Subject;
    std::string Size;
    std::string Header;
    std::string Body;
    std::string Attachments;
    int Number = 0;
    TMailBox* MailBox = nullptr;  // not owned
    // What identifies the message on its server before a deletion: its
    // unique id when the server gives one, its size and header digest always.
    std::string Uidl;
    int Octets = -1;
    std::string Digest;
};

// Sort key of an email: mailbox name, then the number with at least three digits.
std::string MakeEmailKey(const std::string& mailboxName, int number);

// Text after the first "Date: " of the header up to its line end, or "Unknown".
std::string GetEmailDate(const TEmail& email);
// Text between the first "<" and the first ">" of From, or From unchanged.
std::string GetEmailAddress(const TEmail& email);
// Removes from Body the longest prefix it shares with Header.
void StripEmailHeader(TEmail& email);
