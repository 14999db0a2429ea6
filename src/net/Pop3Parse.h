// Parsing of POP3 reply lines: the status of a reply, the numbers it
// carries, the APOP timestamp of the greeting and the lines of a multi-line
// body. Lines are given without their CR LF.
#pragma once

#include <string>

#include "Pop3LineBuffer.h"

// Status code of a single-line reply or greeting: 0 when the line starts
// with "+" (whatever follows it, "+OK" or not), 500 otherwise, the empty
// line included.
constexpr int Pop3StatusOk = 0;
constexpr int Pop3StatusError = 500;
int Pop3ReplyStatus(const std::string& line);
inline bool Pop3IsPositiveReply(const std::string& line)
{
    return Pop3ReplyStatus(line) == Pop3StatusOk;
}

// Two numbers of a STAT reply ("+OK count size"), a LIST n reply
// ("+OK n size") or a LIST body line ("n size"): skips to the first decimal
// digit, reads the number, skips blanks (space, TAB, CR, LF) and reads the
// second number from the digits found there (0 when there are none). When
// the line has no digit, or nothing but blanks follows the first number,
// both are 0. Numbers too large for 32 bits stop at 2147483647.
void Pop3ParseTwoNumbers(const std::string& line, int& first, int& second);

// Number and identifier of a UIDL n reply ("+OK n id") or a UIDL body line
// ("n id"): skips to the first digit, reads the number, skips spaces and
// takes the following run of printable characters (codes 33 to 126) as the
// identifier. Without any digit the number is 0 and the identifier empty.
void Pop3ParseNumberAndId(const std::string& line, int& number, std::string& identifier);

// The one number of a LAST reply ("+OK n"): the first run of decimal digits,
// 0 when there is none; stops at 2147483647 like the others.
int Pop3ParseLastNumber(const std::string& line);

// The APOP timestamp of a positive greeting: from the first "<" to the first
// ">" after it, both included; empty when there is no such pair.
std::string Pop3ExtractTimestamp(const std::string& greeting);

// The APOP digest: MD5 of the timestamp followed directly by the password,
// as 32 lower-case hexadecimal digits.
std::string Pop3ApopDigest(const std::string& timestamp, const std::string& password);

// A line made of one dot alone ends a multi-line body.
bool Pop3IsBodyEnd(const std::string& line);

// Undoes the dot-stuffing of a body line: a line of two characters or more
// that starts with ".." loses its first dot; any other line is unchanged.
std::string Pop3UnstuffLine(const std::string& line);

// The same for a line from the line buffer: the rest of a cut line is never
// the end of the body and is delivered unchanged, since its first byte is
// not the first byte of a line on the wire.
bool Pop3IsBodyEnd(const TPop3Line& line);
std::string Pop3UnstuffLine(const TPop3Line& line);

// A command line as a trace may show it: the secret of a login (PASS's
// password, APOP's digest, AUTH's initial response) as "****", the rest as
// sent ("PASS ****", "APOP alice ****", "AUTH PLAIN ****").
std::string Pop3TraceLine(const std::string& line);
