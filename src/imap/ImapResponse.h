// What the session needs from the server's responses: the capabilities,
// the response codes it acts on, the items of a FETCH, the counts of
// EXISTS and EXPUNGE. Each reader checks what it reads: a value of the
// wrong kind or a number out of its range is refused, never wrapped or
// guessed. A count is only a number: the session must not size anything
// by it (an EXISTS of a billion is legal).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ImapUidSet.h"
#include "ImapValue.h"

// ---- capabilities

// IMAP4rev2 (RFC 9051) includes IDLE, UIDPLUS, MOVE, LITERAL-, SASL-IR and
// the special-use attributes of LIST.
struct TImapCapabilities {
    std::vector<std::string> Names;  // upper-cased: "IMAP4REV1", "AUTH=PLAIN"

    bool Has(const std::string& name) const;  // any case
    bool HasAuth(const std::string& mechanism) const { return Has("AUTH=" + mechanism); }
    bool Imap4() const { return Has("IMAP4rev1") || Has("IMAP4rev2"); }
    bool Idle() const { return Has("IDLE") || Has("IMAP4rev2"); }
    bool UidPlus() const { return Has("UIDPLUS") || Has("IMAP4rev2"); }
    bool Move() const { return Has("MOVE") || Has("IMAP4rev2"); }
    bool SpecialUse() const { return Has("SPECIAL-USE") || Has("IMAP4rev2"); }
    bool SaslIr() const { return Has("SASL-IR") || Has("IMAP4rev2"); }
    bool LiteralPlus() const { return Has("LITERAL+"); }
    bool LiteralMinus() const { return Has("LITERAL-") || Has("IMAP4rev2"); }
    bool StartTls() const { return Has("STARTTLS"); }
    bool LoginDisabled() const { return Has("LOGINDISABLED"); }
};

// The capabilities of "* CAPABILITY ..." or of a status response's
// [CAPABILITY ...] code (a greeting's, a login's). False for any other
// response, and for one whose capabilities are not all atoms.
bool ImapReadCapabilities(const TImapResponse& response, TImapCapabilities& capabilities);

// ---- status responses and their codes

bool ImapIsUntagged(const TImapResponse& response, const char* name);
inline bool ImapIsBye(const TImapResponse& response) { return ImapIsUntagged(response, "BYE"); }
inline bool ImapIsAlert(const TImapResponse& response) { return response.Code == "ALERT"; }

// The non-zero 32-bit number of a code that carries one (UIDVALIDITY,
// UIDNEXT, UNSEEN): false when the response has another code, or its
// argument is not such a number.
bool ImapCodeNumber(const TImapResponse& response, const char* code, std::uint32_t& value);

// COPYUID (RFC 4315): where a UID COPY or UID MOVE put the messages, the
// n-th source UID becoming the n-th destination UID.
struct TImapCopyUid {
    std::uint32_t UidValidity = 0;
    std::vector<TImapUidRange> Source;
    std::vector<TImapUidRange> Destination;
};
// False when the code is not COPYUID or is malformed, its two sets
// included: they must hold as many UIDs each.
bool ImapReadCopyUid(const TImapResponse& response, TImapCopyUid& copy);

// APPENDUID (RFC 4315): the UIDs an APPEND gave.
struct TImapAppendUid {
    std::uint32_t UidValidity = 0;
    std::vector<TImapUidRange> Uids;
};
bool ImapReadAppendUid(const TImapResponse& response, TImapAppendUid& append);

// ---- counts

// "* n EXISTS", "* n EXPUNGE", "* n RECENT": the number, false for any
// other response.
bool ImapReadCount(const TImapResponse& response, const char* name, std::uint32_t& count);

// ---- FETCH

struct TImapFetch {
    std::uint32_t MessageNumber = 0;
    bool HasUid = false;
    std::uint32_t Uid = 0;
    bool HasSize = false;
    std::uint64_t Size = 0;  // RFC822.SIZE
    bool HasFlags = false;
    std::vector<std::string> Flags;  // as sent: "\Seen", "$Junk"
    // The header fields fetched (BODY[HEADER.FIELDS (...)], BODY[HEADER]
    // or RFC822.HEADER), as bytes; NIL reads as no bytes.
    bool HasHeader = false;
    std::string Header;
    // The whole message (BODY[] or RFC822), as bytes; a NIL or a part of
    // the message (BODY[]<0>) is no whole message and leaves it unset.
    bool HasBody = false;
    std::string Body;

    bool HasFlag(const std::string& flag) const;  // any case
};

// The items of "* n FETCH (...)". Items the client did not ask for are
// skipped whatever they hold. False with `error` set for a response that
// is no FETCH, an odd list of items, a UID that is not a non-zero 32-bit
// number, a size that is not a number, flags that are not a list of atoms,
// a header or a message that is not a string.
bool ImapReadFetch(const TImapResponse& response, TImapFetch& fetch, std::string& error);
