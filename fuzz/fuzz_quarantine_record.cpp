// The records of the quarantine are read back from files anyone could have
// edited or a crash could have cut: any bytes must read without a fault, and
// what a read gives must be written and read again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "mail/QuarantineRecord.h"
#include "text/Utf8Text.h"

namespace {
void Check(bool condition)
{
    if (!condition)
        std::abort();
}

bool Same(const TQuarantineRecord& a, const TQuarantineRecord& b)
{
    return a.Deleted == b.Deleted && a.Date == b.Date && a.Mailbox == b.Mailbox && a.Sender == b.Sender &&
           a.Subject == b.Subject && a.Reason.List == b.Reason.List && a.Reason.Entry == b.Reason.Entry &&
           a.Copy == b.Copy && a.Size == b.Size;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    TQuarantineRecord first;
    // Both as they came and behind the record's first line, so that the
    // fields' reader sees the input.
    for (const std::string& input : {text, "SkarnVale deleted SPAM 1\r\n" + text}) {
        if (!ParseQuarantineRecord(input, first))
            continue;
        TQuarantineRecord second;
        Check(ParseQuarantineRecord(FormatQuarantineRecord(first), second));
        Check(Same(first, second));
    }
    // Any UTF-8 text as a field's value comes back as written, on its line.
    TQuarantineRecord record;
    record.Subject = SanitizeUtf8(text);
    record.Reason.Entry = text;
    TQuarantineRecord back;
    Check(ParseQuarantineRecord(FormatQuarantineRecord(record), back));
    Check(back.Subject == record.Subject && back.Date.empty() && back.Size == 0);
    return 0;
}
