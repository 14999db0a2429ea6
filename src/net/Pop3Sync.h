// The POP3 client as the program uses it: each request becomes a call that
// returns when the request has ended, while the thread's messages keep being
// handled. No call ever raises; a refused request, a negative reply, a failed
// connection and a time-out all answer false.
#pragma once

#include "Pop3Prot.h"

class TSyncPop3Cli : public TPop3Cli {
public:
    TSyncPop3Cli() = default;

    // Longest silence allowed from the server, in seconds, before the
    // connection is aborted; 0 or less waits without limit.
    int Timeout = 15;
    // Pumps messages through the socket's own loop instead of the
    // program's; WM_QUIT then does not end the wait.
    bool MultiThreaded = false;
    // Longest time one request may take, in seconds, however steadily the
    // server trickles its lines; 0 or less: no such limit.
    int RequestLimit = DefaultRequestLimit;
    static constexpr int DefaultRequestLimit = 300;

    // Ends the wait in progress at once (aborting the session) and refuses
    // every later request until AllowRequests: the program is ending. The
    // program's application told to terminate has the same effect.
    void CancelRequests();
    void AllowRequests() { cancelled_ = false; }
    bool Cancelled() const { return cancelled_; }
    // Ends the request in progress (aborting the session) as soon as its
    // wait looks again, with ErrorMessage "426 " + reason; safe to call from
    // the client's events, where the session cannot be aborted in place.
    void StopRequest(const std::string& reason);

    // Waits until the request in progress has ended; true when it ended
    // without error. On a time-out or WM_QUIT the client is aborted,
    // ErrorMessage becomes "426 Timeout" and StatusCode 426; past the
    // request limit it becomes "426 Timeout: request longer than N s", and
    // after CancelRequests "426 Cancelled".
    virtual bool WaitUntilReady();

    virtual bool ConnectSync();
    virtual bool OpenSync();
    virtual bool UserSync();
    virtual bool PassSync();
    virtual bool RPopSync();
    virtual bool APopSync();
    virtual bool QuitSync();
    virtual bool StatSync();
    virtual bool ListSync();
    virtual bool RetrSync();
    virtual bool TopSync();
    virtual bool DeleSync();
    virtual bool NoopSync();
    virtual bool LastSync();
    virtual bool RSetSync();
    virtual bool UidlSync();
    virtual bool AbortSync();
    virtual bool CapaSync();
    virtual bool StlsSync();
    virtual bool AuthSync();
    // A pipelined run (TCustomPop3Cli::Pipeline); true when every command
    // sent was answered, whatever each reply said.
    virtual bool PipelineSync(std::vector<TPop3Command> commands, int window, TPop3MayStart mayStart = nullptr);

protected:
    // Every received line gives the server a new Timeout to send the next.
    void TriggerResponse(const std::string& msg) override;
    void TriggerPipelinedReply(std::size_t index, bool done) override;

private:
    bool Run(void (TCustomPop3Cli::*request)());
    void ArmDeadline();
    void DeliverRequestDone();

    DWORD deadline_ = 0;
    DWORD requestStarted_ = 0;
    bool cancelled_ = false;
    std::string stopAsked_;
};
