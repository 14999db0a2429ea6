// One HTTPS POST of a form, over the program's own socket and TLS layers:
// the server's certificate is checked exactly as a mail server's is (a chain
// to a trusted root, valid, for the URL's host), with no pin to lower it.
// Waits with the thread's messages running, as the POP3 client does.
#pragma once

#include <string>

struct THttpsAnswer {
    bool Ok = false;      // a whole HTTP answer came (any status)
    int Status = 0;
    std::string Body;
    std::string Error;    // why no answer came, in plain words
};

THttpsAnswer HttpsPostForm(const std::string& url, const std::string& body, unsigned timeoutMs);
