#include "HttpsPost.h"

#include "HttpMessage.h"
#include "WSockErrors.h"
#include "WSocket.h"

THttpsAnswer HttpsPostForm(const std::string& url, const std::string& body, unsigned timeoutMs)
{
    THttpsAnswer answer;
    THttpUrl parts;
    if (!HttpParseHttpsUrl(url, parts)) {
        answer.Error = "the token URL is not an https URL";
        return answer;
    }
    TWSocket socket;
    THttpResponseReader reader;
    bool done = false;
    auto fail = [&](const std::string& text) {
        if (!done)
            answer.Error = text;
        done = true;
    };
    socket.OnDnsLookupDone = [&](TCustomWSocket*, WORD error) {
        if (error != 0) {
            fail(WSocketErrorText(error));
            return;
        }
        try {
            socket.SetAddr(socket.DnsResult());
            socket.SetPort(std::to_string(parts.Port));
            socket.SetProto("tcp");
            socket.SslEnable = true;
            socket.TlsServerName = parts.Host;
            socket.Connect();
        } catch (const std::exception& e) {
            fail(e.what());
        }
    };
    socket.OnSessionConnected = [&](TCustomWSocket*, WORD error) {
        if (error == WSocketErrorTls)
            fail(socket.TlsErrorText());
        else if (error != 0)
            fail(WSocketErrorText(error));
        else
            socket.SendStr(HttpFormPost(parts, body));
    };
    socket.OnDataAvailable = [&](TCustomWSocket*, WORD) {
        char buffer[4096];
        const int count = socket.Receive(buffer, sizeof buffer);
        if (count <= 0 || done)
            return;
        const THttpReadStatus status = reader.Feed(std::string(buffer, static_cast<std::size_t>(count)));
        if (status == httpBad)
            fail("the token endpoint's answer is not HTTP");
        else if (status == httpComplete)
            done = true;
    };
    socket.OnSessionClosed = [&](TCustomWSocket*, WORD) {
        if (done)
            return;
        if (reader.Closed() == httpComplete)
            done = true;
        else
            fail(socket.TlsErrorText().empty() ? "the token endpoint closed the connection before answering"
                                               : socket.TlsErrorText());
    };
    try {
        socket.DnsLookup(parts.Host);
        const int waited = socket.WaitUntilReady(done, timeoutMs);
        if (waited == WSocketErrorWaitTerminated)
            fail("the program is ending");
        else if (waited != 0)
            fail("the token endpoint did not answer in time");
    } catch (const std::exception& e) {
        fail(e.what());
    }
    socket.OnSessionClosed = nullptr;
    socket.OnDataAvailable = nullptr;
    socket.Abort();
    if (answer.Error.empty()) {
        answer.Ok = true;
        answer.Status = reader.Status();
        answer.Body = reader.Body();
    }
    return answer;
}
