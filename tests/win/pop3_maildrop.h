// A POP3 maildrop for the mail watch's tests: a server thread on
// ADDRESS:110 that serves a list of messages over as many sessions as the
// client opens, removes messages marked by DELE when the session QUITs, and
// records each session's commands. Tests may change the messages between
// sessions, as another mail client would.
#pragma once

#include <windows.h>
#include <winsock.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct TMaildropMessage {
    std::string Uidl;
    std::string Text;  // header lines, an empty line and the body, CR LF ended
};

// A socket listening on ADDRESS:110, the program's POP3 port; INVALID_SOCKET
// when it cannot listen there.
SOCKET ListenOnPop3Port(const std::string& address);

// A message with the given sender and subject, and a body of `bodyLines` lines.
TMaildropMessage MakeMessage(const std::string& uidl, const std::string& from, const std::string& subject,
                             int bodyLines = 2);

class TPop3Maildrop {
public:
    explicit TPop3Maildrop(const std::string& address, const std::string& password = "secret");
    ~TPop3Maildrop();

    bool Listening() const { return listener_ != INVALID_SOCKET; }
    void SetMessages(std::vector<TMaildropMessage> messages);
    std::vector<TMaildropMessage> Messages();
    // Every session's command lines, without their CR LF, in order.
    std::vector<std::vector<std::string>> Sessions();
    // The commands of every session, one after the other.
    std::vector<std::string> AllCommands();

    std::atomic<bool> SupportsUidl{true};
    // Answers CAPA, and lists PIPELINING in it.
    std::atomic<bool> SupportsCapa{true};
    std::atomic<bool> SupportsPipelining{true};
    // The session's command of this number (from 1) gets half its reply, then
    // the connection closes; 0: never.
    std::atomic<int> CutReplyOf{0};
    // Set when a command was read while the next one had already arrived.
    std::atomic<bool> CommandsArrivedAhead{false};
    std::atomic<bool> RefuseDele{false};
    // Hostile servers: greets with -ERR; accepts and never greets; refuses
    // LIST n and TOP n of one message; pads each line of the whole LIST with
    // this many bytes; answers TOP with one line every TrickleMs, without end;
    // answers the whole LIST with ever new message numbers, without end.
    std::atomic<bool> NegativeGreeting{false};
    std::atomic<bool> Mute{false};
    std::atomic<int> RefuseNumber{0};
    std::atomic<int> ListPadding{0};
    std::atomic<int> TrickleMs{0};
    std::atomic<bool> EndlessList{false};
    // RETR of this message number sends its text without the last line, as
    // LIST did not say; 0: none.
    std::atomic<int> ShortRetrOf{0};
    // TOP of this message number is refused; 0: none.
    std::atomic<int> RefuseTopOf{0};
    // Sessions begun so far (set when the greeting is sent).
    std::atomic<int> SessionsStarted{0};

private:
    void Run();
    void Serve(SOCKET client);
    std::string Reply(const std::string& command, bool& loggedIn, std::vector<bool>& deleted, bool& quit);

    std::string password_;
    SOCKET listener_ = INVALID_SOCKET;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<TMaildropMessage> messages_;
    std::vector<std::vector<std::string>> sessions_;
    std::thread thread_;
};
