// The socket as the system uses it: TWSocket, at the end of the chain
// TCustomWSocket -> TCustomSocksWSocket -> TCustomTlsWSocket ->
// TCustomLineWSocket -> TCustomSyncWSocket -> TWSocket.
#pragma once

#include <string>

#include "WSocketLine.h"

// Error code of a wait that gave up (time limit or WM_QUIT).
constexpr int WSocketErrorWaitTimeout = 12001;
// Error code of a wait that gave up because the program is ending (TApplication::Terminate).
constexpr int WSocketErrorWaitTerminated = 12002;

class TCustomSyncWSocket : public TCustomLineWSocket {
public:
    TCustomSyncWSocket() = default;

    // Runs the thread's messages until `flag` is true, sleeping while none
    // arrive. Answers 0, or WSocketErrorWaitTimeout when `timeoutMs` (0: no
    // limit) passed first or the thread received WM_QUIT (which is posted
    // again for the loop that owns it), or WSocketErrorWaitTerminated as soon
    // as the program's application was told to terminate.
    virtual int WaitUntilReady(const bool& flag, unsigned timeoutMs);
    // Waits for one line in line mode and answers it without its LineEnd;
    // false on time-out or when the session ends first.
    virtual bool ReadLine(unsigned timeoutMs, std::string& line);
};

class TWSocket : public TCustomSyncWSocket {
public:
    TWSocket() = default;
};
