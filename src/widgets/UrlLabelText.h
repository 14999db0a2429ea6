// The address a hyperlink label opens and the hint it shows, composed from
// its scheme, its address and, for mail links, a subject and a body.
#pragma once

#include <string>

enum TUrlType { utCustom, utFile, utFtp, utGopher, utHttp, utHttps, utMail, utNews, utTelnet, utWais };

struct TUrlParts {
    TUrlType type = utHttp;
    std::string customPrefix;  // the scheme of utCustom, used as it is
    std::string url;           // the address without its scheme
    std::string mailSubject;
    std::string mailBody;
};

// The text a scheme puts before the address.
std::string UrlTypePrefix(TUrlType type, const std::string& customPrefix);

// The scheme's prefix followed by the address; a mail link adds its subject
// and body as query fields, inserted as they are.
std::string ComposeFullUrl(const TUrlParts& parts);

// The hint once the label's "show the address as hint" switch is set to
// `show`: the address when on; when off, a hint equal to the address is
// cleared and one set by hand stays.
std::string HintForShowUrlHint(bool show, const std::string& currentHint, const std::string& fullUrl);
