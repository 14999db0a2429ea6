// Writes IMAP responses back as one line of text, so that tests compare
// whole responses in tables: strings in double quotes with \r and \n made
// visible, literals marked with their size, numbers and atoms as they are.
#pragma once

#include <string>
#include <vector>

#include "imap/ImapReader.h"

inline std::string ImapDescribeValues(const std::vector<TImapValue>& values);

inline std::string ImapDescribeValue(const TImapValue& value)
{
    switch (value.Kind) {
    case TImapValueKind::Atom:
        return value.Text;
    case TImapValueKind::Number:
        return "#" + std::to_string(value.Number);
    case TImapValueKind::Nil:
        return "NIL";
    case TImapValueKind::List:
        return "(" + ImapDescribeValues(value.Items) + ")";
    case TImapValueKind::String:
        break;
    }
    std::string text = value.Literal ? "{" + std::to_string(value.Text.size()) + "}\"" : "\"";
    for (char c : value.Text)
        text += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    return text + "\"";
}

inline std::string ImapDescribeValues(const std::vector<TImapValue>& values)
{
    std::string text;
    for (const TImapValue& value : values)
        text += (text.empty() ? "" : " ") + ImapDescribeValue(value);
    return text;
}

inline std::string ImapDescribe(const TImapResponse& response)
{
    std::string text;
    if (response.Kind == TImapResponseKind::Continuation)
        return "+ " + response.Text;
    text = response.Kind == TImapResponseKind::Tagged ? response.Tag : "*";
    if (response.HasNumber)
        text += " " + std::to_string(response.Number);
    text += " " + response.Name;
    if (!response.Code.empty()) {
        text += " [" + response.Code;
        if (!response.CodeArguments.empty())
            text += " " + ImapDescribeValues(response.CodeArguments);
        text += "]";
    }
    if (response.Status != TImapStatus::None)
        return text + " " + response.Text;
    if (!response.Data.empty())
        text += " " + ImapDescribeValues(response.Data);
    return text;
}

// Every response the reader gives for `pieces` fed in order, described, and
// "error: ..." at the end when the reader stopped.
inline std::vector<std::string> ImapReadAll(const std::vector<std::string>& pieces)
{
    TImapReader reader;
    std::vector<std::string> out;
    TImapResponse response;
    for (const std::string& piece : pieces) {
        reader.Feed(piece);
        while (reader.Next(response))
            out.push_back(ImapDescribe(response));
    }
    if (reader.Failed())
        out.push_back("error: " + reader.ErrorText());
    return out;
}
