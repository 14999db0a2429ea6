#include "ImapMailbox.h"

#include "../text/CaseFold.h"
#include "../text/Utf8Text.h"
#include "ImapMailboxName.h"

namespace {

// The last level of a mailbox's name: "Spam" of "INBOX/Spam".
std::string LastLevel(const TImapMailbox& mailbox)
{
    if (mailbox.Delimiter == '\0')
        return mailbox.Name;
    const std::size_t at = mailbox.Name.rfind(mailbox.Delimiter);
    return at == std::string::npos ? mailbox.Name : mailbox.Name.substr(at + 1);
}

}  // namespace

bool TImapMailbox::HasFlag(const std::string& flag) const
{
    const std::string wanted = UpperAsciiCase(flag);
    for (const std::string& have : Flags)
        if (UpperAsciiCase(have) == wanted)
            return true;
    return false;
}

bool TImapMailbox::Selectable() const
{
    return !HasFlag("\\Noselect") && !HasFlag("\\NonExistent");
}

bool ImapReadList(const TImapResponse& response, TImapMailbox& mailbox, std::string& error)
{
    const std::vector<TImapValue>& data = response.Data;
    if (response.Kind != TImapResponseKind::Untagged || (response.Name != "LIST" && response.Name != "LSUB") ||
        response.HasNumber) {
        error = "not a LIST response";
        return false;
    }
    // Extended data (RFC 5258) may follow the name; it is not needed here.
    if (data.size() < 3 || !data[0].IsList()) {
        error = "a LIST response without its flags, delimiter and name";
        return false;
    }
    TImapMailbox read;
    for (const TImapValue& flag : data[0].Items) {
        if (!flag.IsAtom()) {
            error = "a mailbox flag that is not an atom";
            return false;
        }
        read.Flags.push_back(flag.Text);
    }
    if (data[1].IsString() && data[1].Text.size() == 1) {
        read.Delimiter = data[1].Text[0];
    } else if (!data[1].IsNil()) {
        error = "a hierarchy delimiter that is not one character";
        return false;
    }
    const TImapValue& name = data[2];
    if (!name.IsText() && !name.IsNil()) {
        error = "a mailbox name that is not a string";
        return false;
    }
    read.WireName = name.IsNil() ? "NIL" : name.Text;
    if (read.WireName.empty()) {
        error = "an empty mailbox name";
        return false;
    }
    if (UpperAsciiCase(read.WireName) == "INBOX")
        read.WireName = "INBOX";
    if (!ImapDecodeMailboxName(read.WireName, read.Name))
        read.Name = SanitizeUtf8(read.WireName);
    mailbox = read;
    return true;
}

const TImapMailbox* ImapSpamFolder(const std::vector<TImapMailbox>& mailboxes)
{
    const TImapMailbox* named = nullptr;
    const TImapMailbox* trash = nullptr;
    for (const TImapMailbox& mailbox : mailboxes) {
        if (!mailbox.Selectable())
            continue;
        if (mailbox.HasFlag("\\Junk"))
            return &mailbox;
        const std::string level = UpperAsciiCase(LastLevel(mailbox));
        if (!named && (level == "JUNK" || level == "SPAM"))
            named = &mailbox;
        if (!trash && mailbox.HasFlag("\\Trash"))
            trash = &mailbox;
    }
    return named ? named : trash;
}
