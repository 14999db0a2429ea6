// The IMAP session over the system's socket: looks the server up, connects
// (in TLS from the first byte, or in clear), and plays the conversation's
// steps (ImapConversation) as the socket's events arrive, so that a session
// never holds the GUI thread while it waits for the server.
//
// While the session waits for the server, a timer watches its silence;
// in IDLE only the renewal's timer runs, so an idle session costs nothing.
//
// OnFinished runs from a socket event: it may read the results and call
// Logout or Close, but must not delete the session; delete it later, from
// the message loop.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ImapConversation.h"

class TWSocket;

class TImapSession {
public:
    TImapSession();
    ~TImapSession();
    TImapSession(const TImapSession&) = delete;
    TImapSession& operator=(const TImapSession&) = delete;

    // The account, the last check's UIDs and the results.
    TImapConversation Conversation;
    // The server's certificate pinned by its SHA-256 fingerprint; empty to
    // check it against the system's trusted roots and the host name.
    std::string Fingerprint;
    // How long the server may stay silent, in seconds, while the check
    // waits for it (the connection, the TLS handshake, an answer); 0 for no
    // limit. A server that goes quiet fails the check instead of holding it.
    unsigned Timeout = 30;
    // How long IDLE lasts before it is ended and started again, in seconds:
    // servers drop a connection idle for 30 minutes.
    unsigned IdleRenewal = 28 * 60;

    // Starts a check; OnFinished reports when the conversation is Ready,
    // Failed or, after Logout, Done.
    void Open();
    // From Ready, where the server offers IDLE: waits for new messages
    // without a timer of its own running but the renewal's; OnFinished
    // reports Ready when their headers are in. False when IDLE cannot start.
    bool Idle();
    // From Ready: moves these messages to the server's spam folder
    // (TImapConversation::MoveToSpam); OnFinished reports Ready again, with
    // the conversation's SpamResult. False when it cannot start.
    bool MoveToSpam(const std::vector<std::uint32_t>& uids, const std::vector<std::uint64_t>& sizes = {});
    // From Ready: removes these messages (TImapConversation::DeleteUids).
    bool DeleteUids(const std::vector<std::uint32_t>& uids);
    // LOGOUT, then the connection closes; OnFinished reports Done.
    void Logout();
    // Closes the connection at once.
    void Close();
    bool Connected() const;

    std::function<void(TImapSession&)> OnFinished;

private:
    void LookupDone(unsigned short error);
    void SessionConnected(unsigned short error);
    void DataAvailable();
    std::string ConnectionError(unsigned short error) const;
    void Finished();
    void Wait();
    void StopWaiting();
    // Waits for the server exactly while the conversation expects it to speak.
    void UpdateWaiting();
    void SilenceTick();
    void StopRenewal();

    std::unique_ptr<TWSocket> socket_;
    bool closing_ = false;  // Close was called: the end of the connection is no failure
    bool waiting_ = false;  // the check waits for the server
    unsigned long lastHeard_ = 0;  // tick count of the last exchange with the server
};
