#include "OAuthRedirect.h"

#include "OAuthEncoding.h"

namespace {
std::string HtmlEscape(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}
}  // namespace

TOAuthRedirect OAuthReadRedirect(const std::string& received)
{
    TOAuthRedirect result;
    const std::size_t end = received.find("\r\n\r\n");
    if (end == std::string::npos) {
        if (received.size() > OAuthRedirectMaxHead)
            result.Status = redirectOther;
        return result;
    }
    result.Status = redirectOther;
    const std::string line = received.substr(0, received.find("\r\n"));
    // GET /?query HTTP/1.x: the redirect URI's path is "/".
    if (line.compare(0, 6, "GET /?") != 0 && line.compare(0, 6, "GET / ") != 0)
        return result;
    const std::size_t space = line.find(' ', 4);
    if (space == std::string::npos || line.compare(space, 6, " HTTP/") != 0)
        return result;
    const std::string target = line.substr(4, space - 4);
    const std::size_t question = target.find('?');
    const TQueryFields fields = ParseQuery(question == std::string::npos ? "" : target.substr(question + 1));
    if (QueryValue(fields, "error", result.Error)) {
        QueryValue(fields, "error_description", result.ErrorDescription);
        QueryValue(fields, "state", result.State);
        result.Status = redirectError;
    } else if (QueryValue(fields, "code", result.Code) && QueryValue(fields, "state", result.State) &&
               !result.Code.empty()) {
        result.Status = redirectCode;
    } else {
        result.Code.clear();
        result.State.clear();
    }
    return result;
}

std::string OAuthRedirectPage(int status, const std::string& text)
{
    const std::string body = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>SkarnVale</title></head>"
                             "<body><p>" + HtmlEscape(text) + "</p></body></html>";
    const char* reason = status == 200 ? "OK" : status == 404 ? "Not Found" : "Bad Request";
    return "HTTP/1.1 " + std::to_string(status) + " " + reason +
           "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n" + body;
}
