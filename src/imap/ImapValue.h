// An IMAP server response as the reader hands it over: its kind, tag and
// status, and the data it carries as a tree of values. Only the framing and
// the syntax are settled here; what a value means (a UID, a flag, a mailbox
// name) is the response model's business.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class TImapValueKind {
    Atom,    // a bare word, a flag (\Seen) or an item with its section (BODY[HEADER.FIELDS (FROM)])
    Number,  // a run of digits that fits in 63 bits (RFC 9051's number64)
    String,  // a quoted string or a literal, as its bytes
    Nil,     // NIL
    List,    // a parenthesised list
};

struct TImapValue {
    TImapValueKind Kind = TImapValueKind::Atom;
    // The atom, the string's bytes, or the digits of the number as sent.
    std::string Text;
    std::uint64_t Number = 0;
    std::vector<TImapValue> Items;  // a list's members
    bool Literal = false;           // a string that came as a literal

    bool IsAtom() const { return Kind == TImapValueKind::Atom; }
    bool IsNumber() const { return Kind == TImapValueKind::Number; }
    bool IsString() const { return Kind == TImapValueKind::String; }
    bool IsNil() const { return Kind == TImapValueKind::Nil; }
    bool IsList() const { return Kind == TImapValueKind::List; }
    // Atom, number or string: a value that stands for a word of text.
    bool IsText() const { return IsAtom() || IsNumber() || IsString(); }
};

enum class TImapResponseKind {
    Tagged,        // the end of a command: "A0001 OK done"
    Untagged,      // data or status from the server: "* 12 EXISTS", "* BYE"
    Continuation,  // the server waits for more of the command: "+ idling"
};

enum class TImapStatus { None, Ok, No, Bad, Bye, Preauth };

struct TImapResponse {
    TImapResponseKind Kind = TImapResponseKind::Untagged;
    std::string Tag;                    // a tagged response's tag
    TImapStatus Status = TImapStatus::None;  // OK, NO, BAD, BYE or PREAUTH responses
    // The response code in brackets, its name upper-cased ("UIDVALIDITY"),
    // and its arguments; empty when there is none.
    std::string Code;
    std::vector<TImapValue> CodeArguments;
    // The human-readable text of a status response, or what follows "+ ".
    std::string Text;
    // Untagged data that starts with a number ("* 12 EXISTS", "* 3 FETCH"):
    // the number, which fits in 32 bits.
    bool HasNumber = false;
    std::uint32_t Number = 0;
    // The upper-cased name of untagged data ("EXISTS", "FETCH", "CAPABILITY",
    // "LIST") or of the status ("OK", "BYE"), and the values that follow it.
    std::string Name;
    std::vector<TImapValue> Data;
};
