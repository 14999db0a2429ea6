#include "ImapResponse.h"

#include <utility>

#include "../text/CaseFold.h"

namespace {

bool SameText(const std::string& a, const std::string& b)
{
    return UpperAsciiCase(a) == UpperAsciiCase(b);
}

bool NonZeroUid(const TImapValue& value, std::uint32_t& uid)
{
    if (!value.IsNumber() || value.Number == 0 || value.Number > UINT32_MAX)
        return false;
    uid = std::uint32_t(value.Number);
    return true;
}

// A UID set argument: a lone UID is a number to the reader, a set an atom.
bool UidSetValue(const TImapValue& value, std::vector<TImapUidRange>& ranges)
{
    return (value.IsNumber() || value.IsAtom()) && ImapParseUidSet(value.Text, ranges);
}

}  // namespace

bool TImapCapabilities::Has(const std::string& name) const
{
    const std::string wanted = UpperAsciiCase(name);
    for (const std::string& have : Names)
        if (have == wanted)
            return true;
    return false;
}

bool ImapReadCapabilities(const TImapResponse& response, TImapCapabilities& capabilities)
{
    const std::vector<TImapValue>* values = nullptr;
    if (ImapIsUntagged(response, "CAPABILITY"))
        values = &response.Data;
    else if (response.Status != TImapStatus::None && response.Code == "CAPABILITY")
        values = &response.CodeArguments;
    if (!values)
        return false;
    TImapCapabilities read;
    for (const TImapValue& value : *values) {
        if (!value.IsAtom())
            return false;
        read.Names.push_back(UpperAsciiCase(value.Text));
    }
    capabilities = read;
    return true;
}

bool ImapIsUntagged(const TImapResponse& response, const char* name)
{
    return response.Kind == TImapResponseKind::Untagged && response.Name == name;
}

bool ImapCodeNumber(const TImapResponse& response, const char* code, std::uint32_t& value)
{
    return response.Code == code && response.CodeArguments.size() == 1 &&
           NonZeroUid(response.CodeArguments[0], value);
}

bool ImapReadCopyUid(const TImapResponse& response, TImapCopyUid& copy)
{
    const std::vector<TImapValue>& arguments = response.CodeArguments;
    TImapCopyUid read;
    if (response.Code != "COPYUID" || arguments.size() != 3 || !NonZeroUid(arguments[0], read.UidValidity) ||
        !UidSetValue(arguments[1], read.Source) || !UidSetValue(arguments[2], read.Destination) ||
        ImapUidSetSize(read.Source) != ImapUidSetSize(read.Destination))
        return false;
    copy = read;
    return true;
}

bool ImapReadAppendUid(const TImapResponse& response, TImapAppendUid& append)
{
    const std::vector<TImapValue>& arguments = response.CodeArguments;
    TImapAppendUid read;
    if (response.Code != "APPENDUID" || arguments.size() != 2 || !NonZeroUid(arguments[0], read.UidValidity) ||
        !UidSetValue(arguments[1], read.Uids))
        return false;
    append = read;
    return true;
}

bool ImapReadCount(const TImapResponse& response, const char* name, std::uint32_t& count)
{
    if (!ImapIsUntagged(response, name) || !response.HasNumber || !response.Data.empty())
        return false;
    count = response.Number;
    return true;
}

bool TImapFetch::HasFlag(const std::string& flag) const
{
    for (const std::string& have : Flags)
        if (SameText(have, flag))
            return true;
    return false;
}

bool ImapReadFetch(const TImapResponse& response, TImapFetch& fetch, std::string& error)
{
    if (!ImapIsUntagged(response, "FETCH") || !response.HasNumber || response.Data.size() != 1 ||
        !response.Data[0].IsList()) {
        error = "not a FETCH response";
        return false;
    }
    const std::vector<TImapValue>& items = response.Data[0].Items;
    if (items.size() % 2 != 0) {
        error = "a FETCH item without its value";
        return false;
    }
    TImapFetch read;
    read.MessageNumber = response.Number;
    for (std::size_t i = 0; i < items.size(); i += 2) {
        const TImapValue& value = items[i + 1];
        if (!items[i].IsAtom()) {
            error = "a FETCH item that is not a name";
            return false;
        }
        const std::string name = UpperAsciiCase(items[i].Text);
        if (name == "UID") {
            if (!NonZeroUid(value, read.Uid)) {
                error = "a UID that is not a number from 1 to 4294967295: " + value.Text;
                return false;
            }
            read.HasUid = true;
        } else if (name == "RFC822.SIZE") {
            if (!value.IsNumber()) {
                error = "a size that is not a number: " + value.Text;
                return false;
            }
            read.Size = value.Number;
            read.HasSize = true;
        } else if (name == "FLAGS") {
            if (!value.IsList()) {
                error = "flags that are not a list";
                return false;
            }
            for (const TImapValue& flag : value.Items) {
                if (!flag.IsAtom()) {
                    error = "a flag that is not an atom";
                    return false;
                }
                read.Flags.push_back(flag.Text);
            }
            read.HasFlags = true;
        } else if (name == "RFC822.HEADER" || name.compare(0, 12, "BODY[HEADER]") == 0 ||
                   name.compare(0, 19, "BODY[HEADER.FIELDS ") == 0) {
            if (!value.IsString() && !value.IsNil()) {
                error = "a header that is not a string";
                return false;
            }
            read.Header = value.IsNil() ? std::string() : value.Text;
            read.HasHeader = true;
        } else if (name == "BODY[]" || name == "RFC822") {
            if (!value.IsString() && !value.IsNil()) {
                error = "a message that is not a string";
                return false;
            }
            read.HasBody = value.IsString();
            read.Body = value.IsString() ? value.Text : std::string();
        }
    }
    fetch = std::move(read);
    return true;
}
