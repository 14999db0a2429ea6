#include "HttpMessage.h"

#include "../text/HexDigits.h"

namespace {
std::string Lower(std::string text)
{
    for (char& c : text)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    return text;
}

std::string Trim(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool ParseSize(const std::string& text, int base, std::size_t& value)
{
    if (text.empty())
        return false;
    value = 0;
    for (char c : text) {
        const int d = base == 16 ? HexDigitValue(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
        if (d < 0 || value > HttpMaxResponse)
            return false;
        value = value * static_cast<std::size_t>(base) + static_cast<std::size_t>(d);
    }
    return value <= HttpMaxResponse;
}
}  // namespace

bool HttpParseHttpsUrl(const std::string& url, THttpUrl& parts)
{
    if (Lower(url.substr(0, 8)) != "https://")
        return false;
    const std::size_t slash = url.find_first_of("/?#", 8);
    const std::string authority = url.substr(8, slash == std::string::npos ? std::string::npos : slash - 8);
    if (authority.empty() || authority.find('@') != std::string::npos)
        return false;
    const std::size_t colon = authority.rfind(':');
    parts = THttpUrl();
    parts.Host = authority.substr(0, colon);
    if (colon != std::string::npos) {
        std::size_t port = 0;
        if (!ParseSize(authority.substr(colon + 1), 10, port) || port == 0 || port > 65535)
            return false;
        parts.Port = static_cast<int>(port);
    }
    if (parts.Host.empty() || parts.Host.find_first_of(" []") != std::string::npos)
        return false;
    if (slash != std::string::npos && url[slash] != '#') {
        parts.Target = url.substr(slash, url.find('#', slash) - slash);
        if (parts.Target[0] == '?')
            parts.Target.insert(0, "/");
    }
    for (char c : parts.Target) {
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F)
            return false;
    }
    return true;
}

std::string HttpFormPost(const THttpUrl& url, const std::string& body)
{
    const std::string host = url.Port == 443 ? url.Host : url.Host + ":" + std::to_string(url.Port);
    return "POST " + url.Target + " HTTP/1.1\r\nHost: " + host +
           "\r\nContent-Type: application/x-www-form-urlencoded\r\nAccept: application/json\r\n"
           "User-Agent: SkarnVale\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

THttpReadStatus THttpResponseReader::Feed(const std::string& bytes)
{
    if (result_ != httpIncomplete)
        return result_;
    if (data_.size() + bytes.size() > HttpMaxResponse)
        return result_ = httpBad;
    data_ += bytes;
    return result_ = Parse();
}

THttpReadStatus THttpResponseReader::Closed()
{
    if (result_ != httpIncomplete)
        return result_;
    if (headDone_ && untilClose_) {
        body_ = data_.substr(bodyStart_);
        return result_ = httpComplete;
    }
    return result_ = httpBad;
}

THttpReadStatus THttpResponseReader::Parse()
{
    if (!headDone_) {
        const std::size_t end = data_.find("\r\n\r\n");
        if (end == std::string::npos)
            return httpIncomplete;
        const THttpReadStatus head = ParseHead(end);
        if (head != httpIncomplete)
            return head;
    }
    if (chunked_)
        return ParseChunks();
    if (untilClose_)
        return httpIncomplete;
    if (data_.size() - bodyStart_ < length_)
        return httpIncomplete;
    body_ = data_.substr(bodyStart_, length_);
    return httpComplete;
}

THttpReadStatus THttpResponseReader::ParseHead(std::size_t end)
{
    headDone_ = true;
    bodyStart_ = end + 4;
    const std::string head = data_.substr(0, end);
    std::size_t lineEnd = head.find("\r\n");
    const std::string statusLine = head.substr(0, lineEnd);
    // HTTP/1.x NNN reason
    if (statusLine.compare(0, 7, "HTTP/1.") != 0 || statusLine.size() < 12 || statusLine[8] != ' ' ||
        (statusLine.size() > 12 && statusLine[12] != ' '))
        return httpBad;
    std::size_t code = 0;
    if (!ParseSize(statusLine.substr(9, 3), 10, code) || code < 100 || code > 599)
        return httpBad;
    status_ = static_cast<int>(code);
    bool lengthSeen = false;
    untilClose_ = true;
    while (lineEnd != std::string::npos) {
        const std::size_t next = head.find("\r\n", lineEnd + 2);
        const std::string line = head.substr(lineEnd + 2, next == std::string::npos ? std::string::npos
                                                                                   : next - lineEnd - 2);
        lineEnd = next;
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos)
            return httpBad;
        const std::string name = Lower(line.substr(0, colon));
        const std::string value = Trim(line.substr(colon + 1));
        if (name == "transfer-encoding") {
            if (Lower(value) != "chunked")
                return httpBad;
            chunked_ = true;
        } else if (name == "content-length") {
            std::size_t length = 0;
            if (!ParseSize(value, 10, length) || (lengthSeen && length != length_))
                return httpBad;
            length_ = length;
            lengthSeen = true;
        } else if (name == "content-type") {
            contentType_ = value;
        }
    }
    if (chunked_ || lengthSeen)
        untilClose_ = false;
    if (status_ < 200)  // an interim answer is no answer to a token request
        return httpBad;
    return httpIncomplete;
}

THttpReadStatus THttpResponseReader::ParseChunks()
{
    std::string body;
    std::size_t at = bodyStart_;
    for (;;) {
        const std::size_t lineEnd = data_.find("\r\n", at);
        if (lineEnd == std::string::npos)
            return data_.size() - at > 64 ? httpBad : httpIncomplete;
        std::string sizeText = data_.substr(at, lineEnd - at);
        sizeText = Trim(sizeText.substr(0, sizeText.find(';')));
        std::size_t size = 0;
        if (!ParseSize(sizeText, 16, size))
            return httpBad;
        at = lineEnd + 2;
        if (size == 0) {
            // The trailer section ends with an empty line.
            const std::size_t trailerEnd = data_.find("\r\n", at);
            if (trailerEnd == std::string::npos)
                return httpIncomplete;
            if (trailerEnd != at && data_.find("\r\n\r\n", at) == std::string::npos)
                return httpIncomplete;
            body_ = body;
            return httpComplete;
        }
        if (data_.size() - at < size + 2)
            return httpIncomplete;
        if (data_.compare(at + size, 2, "\r\n") != 0)
            return httpBad;
        body.append(data_, at, size);
        at += size + 2;
    }
}
