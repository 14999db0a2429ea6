// Reads arbitrary bytes as an IMAP server's stream, whole, byte by byte and
// in chunks of a size the first byte picks, and checks that every cutting
// gives the same responses and the same end, that the reader never holds
// more than its limits, and that the response model, mailbox names and UID
// sets take whatever the reader hands over, and so do the steps of a check
// fed the same stream as a server's answers.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "imap/ImapConversation.h"
#include "imap/ImapMailbox.h"
#include "imap/ImapMailboxName.h"
#include "imap/ImapReader.h"
#include "imap/ImapResponse.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

bool SameValues(const std::vector<TImapValue>& a, const std::vector<TImapValue>& b);

bool SameValue(const TImapValue& a, const TImapValue& b)
{
    return a.Kind == b.Kind && a.Text == b.Text && a.Number == b.Number && a.Literal == b.Literal &&
           SameValues(a.Items, b.Items);
}

bool SameValues(const std::vector<TImapValue>& a, const std::vector<TImapValue>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!SameValue(a[i], b[i]))
            return false;
    return true;
}

bool SameResponse(const TImapResponse& a, const TImapResponse& b)
{
    return a.Kind == b.Kind && a.Tag == b.Tag && a.Status == b.Status && a.Code == b.Code &&
           SameValues(a.CodeArguments, b.CodeArguments) && a.Text == b.Text && a.HasNumber == b.HasNumber &&
           a.Number == b.Number && a.Name == b.Name && SameValues(a.Data, b.Data);
}

struct TRun {
    std::vector<TImapResponse> Responses;
    TImapReadError Error = TImapReadError::None;
    std::string ErrorText;
};

TRun Read(const std::string& stream, std::size_t chunk)
{
    TImapReader reader;
    TRun run;
    TImapResponse response;
    for (std::size_t at = 0; at < stream.size(); at += chunk) {
        reader.Feed(stream.data() + at, std::min(chunk, stream.size() - at));
        Check(reader.Held() <= TImapReader::MaxResponseSize);
        while (reader.Next(response))
            run.Responses.push_back(response);
    }
    run.Error = reader.Error();
    run.ErrorText = reader.ErrorText();
    Check(run.Error == TImapReadError::None || !run.ErrorText.empty());
    return run;
}

bool SameRun(const TRun& a, const TRun& b)
{
    if (a.Responses.size() != b.Responses.size() || a.Error != b.Error || a.ErrorText != b.ErrorText)
        return false;
    for (std::size_t i = 0; i < a.Responses.size(); ++i)
        if (!SameResponse(a.Responses[i], b.Responses[i]))
            return false;
    return true;
}

void Model(const TImapResponse& response)
{
    TImapCapabilities capabilities;
    ImapReadCapabilities(response, capabilities);
    std::uint32_t number = 0;
    ImapCodeNumber(response, "UIDVALIDITY", number);
    TImapCopyUid copy;
    if (ImapReadCopyUid(response, copy))
        Check(ImapUidSetSize(copy.Source) == ImapUidSetSize(copy.Destination));
    TImapAppendUid append;
    ImapReadAppendUid(response, append);
    ImapReadCount(response, "EXISTS", number);
    std::string error;
    TImapFetch fetch;
    if (ImapReadFetch(response, fetch, error))
        Check(!fetch.HasUid || fetch.Uid != 0);
    else
        Check(!error.empty());
    TImapMailbox mailbox;
    if (ImapReadList(response, mailbox, error)) {
        // A name that decodes encodes back to one that decodes the same.
        std::string again;
        if (ImapDecodeMailboxName(mailbox.WireName, again) && !again.empty() && again == mailbox.Name) {
            std::string twice;
            Check(ImapDecodeMailboxName(ImapEncodeMailboxName(mailbox.Name), twice));
            Check(twice == mailbox.Name);
        }
        ImapSpamFolder({mailbox});
    }
}

// The stream as a server's side of a check: whatever it says, the
// conversation ends in a state it can explain, and what it found is sound.
void Converse(const std::string& stream, std::uint8_t options)
{
    TImapConversation conversation;
    conversation.Account.Security = TImapSecurity(options % 3);
    conversation.Account.User = "alice";
    conversation.Account.Secret = options & 4 ? "s\xc3\xa9same" : "secret";
    conversation.Account.OAuth = options & 8;
    conversation.KnownUidValidity = options & 16 ? 1234 : 0;
    conversation.KnownLastUid = options & 32 ? 2 : 0;
    bool tls = false;
    conversation.Send = [](const std::string& bytes) { Check(!bytes.empty()); };
    conversation.StartTls = [&] { tls = true; };
    conversation.Connected();
    const std::size_t chunk = 1 + options % 7;
    // Once Ready, the stream's length picks what the session does next:
    // move spam, wait in IDLE (renewed at the next piece), or nothing.
    bool acted = false;
    for (std::size_t at = 0; at < stream.size(); at += chunk) {
        conversation.Received(stream.data() + at, std::min(chunk, stream.size() - at));
        if (tls) {
            tls = false;
            conversation.TlsDone(!(options & 64), "refused");
        }
        if (conversation.IdleAccepted())
            conversation.RenewIdle();
        if (conversation.Step() == TImapStep::Ready && !acted) {
            acted = true;
            if (stream.size() % 3 == 0)
                conversation.MoveToSpam({1, 2, 3, 7});
            else if (stream.size() % 3 == 1)
                conversation.Idle();
        }
    }
    // A move that went nowhere says why.
    if (conversation.Step() == TImapStep::Ready && conversation.SpamResult().How == TImapSpamMove::None)
        Check(conversation.SpamResult().Folder.empty() || !conversation.SpamResult().Error.empty());
    if (options & 128)
        conversation.Closed();
    Check(conversation.Step() != TImapStep::Failed || !conversation.ErrorText().empty());
    const std::vector<TImapFetch>& messages = conversation.NewMessages();
    Check(messages.size() <= TImapConversation::MaxNewMessages);
    if (conversation.Step() == TImapStep::Ready)
        for (std::size_t i = 1; i < messages.size(); ++i)
            Check(messages[i - 1].Uid < messages[i].Uid);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::size_t chunk = 1 + data[0] % 61;
    const std::string stream(reinterpret_cast<const char*>(data + 1), size - 1);

    const TRun whole = Read(stream, stream.size() + 1);
    Check(SameRun(whole, Read(stream, 1)));
    Check(SameRun(whole, Read(stream, chunk)));
    for (const TImapResponse& response : whole.Responses)
        Model(response);
    Converse(stream, data[0]);

    // UID sets: what parses formats back to the same UIDs.
    std::vector<TImapUidRange> ranges;
    std::vector<std::uint32_t> uids;
    if (ImapParseUidSet(stream, ranges) && ImapExpandUidSet(ranges, 10000, uids)) {
        std::vector<TImapUidRange> again;
        std::vector<std::uint32_t> back;
        Check(ImapParseUidSet(ImapFormatUidSet(uids), again));
        Check(ImapExpandUidSet(again, 10000, back));
        Check(back.size() <= uids.size());
    }
    return 0;
}
