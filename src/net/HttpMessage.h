// The little of HTTP/1.1 (RFC 9112) a token request needs: the parts of an
// https URL, a POST of a form, and the reading of the answer as it arrives
// (Content-Length, chunked, or up to the end of the connection), bounded.
#pragma once

#include <cstddef>
#include <string>

constexpr std::size_t HttpMaxResponse = 256 * 1024;

struct THttpUrl {
    std::string Host;
    int Port = 443;
    std::string Target = "/";  // path and query
};

// False for anything but an absolute https URL with a host (no user part).
bool HttpParseHttpsUrl(const std::string& url, THttpUrl& parts);

std::string HttpFormPost(const THttpUrl& url, const std::string& body);

enum THttpReadStatus { httpIncomplete, httpComplete, httpBad };

class THttpResponseReader {
public:
    // Adds what arrived; the status says whether the answer is whole.
    THttpReadStatus Feed(const std::string& bytes);
    // The connection ended: an answer delimited by the end is whole now.
    THttpReadStatus Closed();
    int Status() const { return status_; }
    const std::string& Body() const { return body_; }
    const std::string& ContentType() const { return contentType_; }

private:
    THttpReadStatus Parse();
    THttpReadStatus ParseHead(std::size_t end);
    THttpReadStatus ParseChunks();

    std::string data_;
    std::string body_;
    std::string contentType_;
    bool headDone_ = false;
    bool chunked_ = false;
    bool untilClose_ = false;
    std::size_t length_ = 0;
    std::size_t bodyStart_ = 0;
    int status_ = 0;
    THttpReadStatus result_ = httpIncomplete;
};
