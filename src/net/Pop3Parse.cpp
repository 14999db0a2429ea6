#include "Pop3Parse.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstddef>
#include <cstring>

#include "MD5.h"

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Reads the run of digits at `at` and returns its value, stopping at INT_MAX
// instead of wrapping to a negative or a smaller count. `at` is left after
// the digits.
int ReadNumber(const std::string& line, std::size_t& at)
{
    long long value = 0;
    while (at < line.size() && IsDigit(line[at])) {
        if (value <= INT_MAX)
            value = value * 10 + (line[at] - '0');
        ++at;
    }
    return value > INT_MAX ? INT_MAX : int(value);
}

std::size_t FirstDigit(const std::string& line)
{
    std::size_t at = 0;
    while (at < line.size() && !IsDigit(line[at]))
        ++at;
    return at;
}

}  // namespace

int Pop3ReplyStatus(const std::string& line)
{
    return !line.empty() && line[0] == '+' ? Pop3StatusOk : Pop3StatusError;
}

void Pop3ParseTwoNumbers(const std::string& line, int& first, int& second)
{
    first = 0;
    second = 0;
    std::size_t at = FirstDigit(line);
    if (at == line.size())
        return;
    const int number = ReadNumber(line, at);
    while (at < line.size() && IsBlank(line[at]))
        ++at;
    if (at == line.size())
        return;
    first = number;
    second = ReadNumber(line, at);
}

void Pop3ParseNumberAndId(const std::string& line, int& number, std::string& identifier)
{
    number = 0;
    identifier.clear();
    std::size_t at = FirstDigit(line);
    if (at == line.size())
        return;
    number = ReadNumber(line, at);
    while (at < line.size() && line[at] == ' ')
        ++at;
    const std::size_t start = at;
    while (at < line.size() && static_cast<unsigned char>(line[at]) >= 33 &&
           static_cast<unsigned char>(line[at]) <= 126)
        ++at;
    identifier.assign(line, start, at - start);
}

int Pop3ParseLastNumber(const std::string& line)
{
    std::size_t at = FirstDigit(line);
    return ReadNumber(line, at);
}

std::string Pop3ExtractTimestamp(const std::string& greeting)
{
    const std::size_t open = greeting.find('<');
    if (open == std::string::npos)
        return std::string();
    const std::size_t close = greeting.find('>', open);
    if (close == std::string::npos)
        return std::string();
    return greeting.substr(open, close - open + 1);
}

std::string Pop3ApopDigest(const std::string& timestamp, const std::string& password)
{
    return MD5Hex(timestamp + password);
}

bool Pop3IsBodyEnd(const std::string& line)
{
    return line == ".";
}

std::string Pop3UnstuffLine(const std::string& line)
{
    if (line.size() >= 2 && line[0] == '.' && line[1] == '.')
        return line.substr(1);
    return line;
}

bool Pop3IsBodyEnd(const TPop3Line& line)
{
    return !line.Continuation && Pop3IsBodyEnd(line.Text);
}

std::string Pop3UnstuffLine(const TPop3Line& line)
{
    return line.Continuation ? line.Text : Pop3UnstuffLine(line.Text);
}

std::string Pop3TraceLine(const std::string& line)
{
    // How many words of each login command stay visible before its secret.
    static const struct {
        const char* Word;
        int Shown;
    } Secrets[] = {{"PASS", 1}, {"APOP", 2}, {"AUTH", 2}};
    for (const auto& secret : Secrets) {
        const std::size_t length = std::strlen(secret.Word);
        if (line.size() < length || !std::equal(secret.Word, secret.Word + length, line.begin(), [](char a, char b) {
                return a == std::toupper(static_cast<unsigned char>(b));
            }))
            continue;
        if (line.size() > length && line[length] != ' ')
            continue;
        // The end of the visible words, then "****" whatever followed.
        std::size_t end = length;
        for (int word = 1; word < secret.Shown && end < line.size(); ++word) {
            const std::size_t start = line.find_first_not_of(' ', end);
            end = start == std::string::npos ? line.size() : std::min(line.find(' ', start), line.size());
        }
        if (line.find_first_not_of(' ', end) == std::string::npos)
            return line;
        return line.substr(0, end) + " ****";
    }
    return line;
}
