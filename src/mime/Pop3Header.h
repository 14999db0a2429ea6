// The header part of a RETR or TOP body: picks the usual fields out of the
// header lines until the empty line that ends the header.
#pragma once

#include <cstddef>
#include <string>

class TPop3Header {
public:
    // Longest value kept from one header line.
    static constexpr std::size_t MaxHeaderData = 10000;

    // Set while the lines of the header part are being read.
    bool InHeaderPart = false;

    // The last header field seen: its name trimmed and lower-cased, and the
    // text after the first colon as it is (with its leading blank), its
    // folded continuation lines joined on.
    std::string HeaderKeyword;
    std::string HeaderData;

    std::string MsgFrom;
    std::string MsgTo;
    std::string MsgSubject;
    std::string MsgReplyTo;
    std::string MsgMessageId;
    std::string MsgDate;
    std::string MsgReturnPath;

    // Before a new request: sets InHeaderPart and empties every field.
    void Start();

    // One body line, already unstuffed. While in the header part: the empty
    // line leaves it and makes the result true (the header has ended); a
    // line with a colon sets HeaderKeyword and HeaderData and, for From, To,
    // Subject, Date, Message-ID, Reply-To and Return-Path (in any case),
    // replaces that field; a line starting with a space or a TAB is a folded
    // continuation, appended whole to the field in hand (unfolding as mail
    // headers define it: only the line break goes; with no field in hand it
    // is read as a line of its own). Values stop at
    // MaxHeaderData. Lines without a colon end the field in hand and change
    // nothing, as does every line after the header part. The rest of a line
    // cut by the line buffer (continuation) is skipped.
    bool ProcessLine(const std::string& line, bool continuation = false);

private:
    // The named field that HeaderKeyword selects, or none.
    std::string* Field();
    // A field line was seen that a folded line may continue.
    bool fieldOpen_ = false;
};

// Lower-cases ASCII letters only; other bytes of the ANSI code page stay.
std::string Pop3LowerCase(const std::string& text);
// Removes blanks and control characters (codes 0 to 32) at both ends.
std::string Pop3Trim(const std::string& text);
