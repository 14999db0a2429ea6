// The IMAP session over the system's socket: looks the server up, connects
// (in TLS from the first byte, or in clear), and plays the conversation's
// steps (ImapConversation) as the socket's events arrive, so that a session
// never holds the GUI thread while it waits for the server.
//
// OnFinished runs from a socket event: it may read the results and call
// Logout or Close, but must not delete the session; delete it later, from
// the message loop.
#pragma once

#include <functional>
#include <memory>
#include <string>

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

    // Starts a check; OnFinished reports when the conversation is Ready,
    // Failed or, after Logout, Done.
    void Open();
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
    void SilenceTick();

    std::unique_ptr<TWSocket> socket_;
    bool closing_ = false;  // Close was called: the end of the connection is no failure
    bool waiting_ = false;  // the check waits for the server
    unsigned long lastHeard_ = 0;  // tick count of the last exchange with the server
};
