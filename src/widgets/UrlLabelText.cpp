#include "UrlLabelText.h"

std::string UrlTypePrefix(TUrlType type, const std::string& customPrefix)
{
    switch (type) {
    case utCustom:
        return customPrefix;
    case utFile:
        return "file://";
    case utFtp:
        return "ftp://";
    case utGopher:
        return "gopher://";
    case utHttp:
        return "http://";
    case utHttps:
        return "https://";
    case utMail:
        return "mailto:";
    case utNews:
        return "news:";
    case utTelnet:
        return "telnet:";
    case utWais:
        return "wais:";
    }
    return std::string();
}

std::string ComposeFullUrl(const TUrlParts& parts)
{
    std::string full = UrlTypePrefix(parts.type, parts.customPrefix) + parts.url;
    if (parts.type != utMail)
        return full;
    if (!parts.mailSubject.empty())
        full += "?Subject=" + parts.mailSubject;
    if (!parts.mailBody.empty())
        full += (parts.mailSubject.empty() ? "?Body=" : "&Body=") + parts.mailBody;
    return full;
}

std::string HintForShowUrlHint(bool show, const std::string& currentHint, const std::string& fullUrl)
{
    if (show)
        return fullUrl;
    return currentHint == fullUrl ? std::string() : currentHint;
}
