// Line mode of the socket: received bytes are gathered until LineEnd, and
// each line is then offered through OnDataAvailable, during which
// RcvdCount() is the line's length and Receive() returns the line's bytes,
// terminator included. A partial line longer than LineLimit is reported
// through OnLineLimitExceeded (and dropped unless the handler says not to);
// a partial line left when the session ends is offered as a last line.
#pragma once

#include <functional>
#include <string>

#include "WSockLineBuffer.h"
#include "WSocketTls.h"

using TLineLimitEvent = std::function<void(TCustomWSocket* sender, int rcvdLength, bool& clearData)>;

class TCustomLineWSocket : public TCustomTlsWSocket {
public:
    TCustomLineWSocket() = default;

    bool LineMode() const { return lineMode_; }
    virtual void SetLineMode(bool value);
    std::string LineEnd = "\r\n";
    int LineLimit = 65536;
    bool LineEcho = false;
    bool LineEdit = false;
    TLineLimitEvent OnLineLimitExceeded;

    int RcvdCount() override;
    int Receive(void* buffer, int size) override;
    void Connect() override;

protected:
    bool WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool TriggerDataAvailable(WORD error) override;
    void TriggerSessionClosed(WORD error) override;
    virtual void TriggerLineLimitExceeded(int length, bool& clearData);
    // Adds freshly read bytes to the line buffer, edited and echoed as asked.
    virtual void EditLine(const char* data, int length);

private:
    bool LineModeActive() const { return lineMode_ && !LineEnd.empty(); }
    void ReadIntoLineBuffer();
    void DeliverLines(WORD error);
    void DeliverLine(std::size_t length, WORD error);
    // Offers buffered bytes to the handler while it keeps taking them.
    void DrainBuffer(WORD error);

    bool lineMode_ = false;
    TWSockLineBuffer buffer_;
    // Bytes of the line being offered that the handler has not read yet.
    std::size_t lineLength_ = 0;
    bool delivering_ = false;
};
