// Single reply lines from a server: status, the number parsers and the APOP
// timestamp. Checks the results against what the line holds.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/Pop3Parse.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

bool HasDigit(const std::string& line)
{
    return line.find_first_of("0123456789") != std::string::npos;
}

// A parsed number below the limit is written in the line.
void CheckNumberIsInLine(int number, const std::string& line)
{
    Check(number >= 0);
    if (number > 0 && number < INT_MAX)
        Check(line.find(std::to_string(number)) != std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string line(reinterpret_cast<const char*>(data), size);

    const int status = Pop3ReplyStatus(line);
    Check(status == Pop3StatusOk || status == Pop3StatusError);
    Check((status == Pop3StatusOk) == (!line.empty() && line[0] == '+'));

    int first = -1, second = -1;
    Pop3ParseTwoNumbers(line, first, second);
    CheckNumberIsInLine(first, line);
    CheckNumberIsInLine(second, line);
    if (!HasDigit(line))
        Check(first == 0 && second == 0);

    int number = -1;
    std::string identifier = "stale";
    Pop3ParseNumberAndId(line, number, identifier);
    CheckNumberIsInLine(number, line);
    Check(identifier.size() <= line.size());
    Check(identifier.empty() || line.find(identifier) != std::string::npos);
    for (char c : identifier)
        Check(static_cast<unsigned char>(c) >= 33 && static_cast<unsigned char>(c) <= 126);
    if (!HasDigit(line))
        Check(number == 0 && identifier.empty());

    const int last = Pop3ParseLastNumber(line);
    CheckNumberIsInLine(last, line);

    const std::string timestamp = Pop3ExtractTimestamp(line);
    if (!timestamp.empty()) {
        Check(timestamp.size() >= 2);
        Check(timestamp.front() == '<' && timestamp.back() == '>');
        Check(timestamp.find('>') == timestamp.size() - 1);
        Check(line.find(timestamp) == line.find('<'));
        Check(Pop3ApopDigest(timestamp, line).size() == 32);
    } else {
        const std::size_t open = line.find('<');
        Check(open == std::string::npos || line.find('>', open) == std::string::npos);
    }

    const std::string unstuffed = Pop3UnstuffLine(line);
    Check(unstuffed.size() == line.size() || unstuffed.size() + 1 == line.size());
    Check(line.compare(line.size() - unstuffed.size(), std::string::npos, unstuffed) == 0);
    return 0;
}
