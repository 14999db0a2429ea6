#include "pop3_maildrop.h"

#include <cstdlib>
#include <sstream>

#include "wsocket_support.h"

namespace {
// A message that is all header has no empty line: its whole text is header.
std::string Header(const std::string& text)
{
    const size_t end = text.find("\r\n\r\n");
    return end == std::string::npos ? text : text.substr(0, end + 2);
}

std::vector<std::string> BodyLines(const std::string& text)
{
    std::vector<std::string> lines;
    const size_t start = text.find("\r\n\r\n");
    if (start == std::string::npos)
        return lines;
    std::istringstream body(text.substr(start + 4));
    std::string line;
    while (std::getline(body, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string Stuffed(const std::string& line) { return (!line.empty() && line[0] == '.' ? "." : "") + line + "\r\n"; }
}  // namespace

TMaildropMessage MakeMessage(const std::string& uidl, const std::string& from, const std::string& subject,
                             int bodyLines)
{
    std::string text = "From: " + from + "\r\nTo: alice@example.org\r\nSubject: " + subject +
                       "\r\nDate: Tue, 8 Dec 2026 10:00:00 +0000\r\n\r\n";
    for (int i = 1; i <= bodyLines; ++i)
        text += "Line " + std::to_string(i) + " of " + uidl + "\r\n";
    return {uidl, text};
}

SOCKET ListenOnPop3Port(const std::string& address)
{
    SOCKET listener = socket(AF_INET, SOCK_STREAM, 0);
    BOOL reuse = TRUE;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    sockaddr_in where = {};
    where.sin_family = AF_INET;
    where.sin_port = htons(110);
    where.sin_addr.s_addr = inet_addr(address.c_str());
    if (bind(listener, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0 || listen(listener, 5) != 0) {
        closesocket(listener);
        return INVALID_SOCKET;
    }
    return listener;
}

TPop3Maildrop::TPop3Maildrop(const std::string& address, const std::string& password) : password_(password)
{
    listener_ = ListenOnPop3Port(address);
    if (listener_ == INVALID_SOCKET) {
        ADD_FAILURE() << "maildrop cannot listen on " << address << ":110, error " << WSAGetLastError();
        return;
    }
    thread_ = std::thread(&TPop3Maildrop::Run, this);
}

TPop3Maildrop::~TPop3Maildrop()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    if (listener_ != INVALID_SOCKET)
        closesocket(listener_);
}

void TPop3Maildrop::SetMessages(std::vector<TMaildropMessage> messages)
{
    std::lock_guard<std::mutex> lock(mutex_);
    messages_ = std::move(messages);
}

std::vector<TMaildropMessage> TPop3Maildrop::Messages()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
}

std::vector<std::vector<std::string>> TPop3Maildrop::Sessions()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return sessions_;
}

std::vector<std::string> TPop3Maildrop::AllCommands()
{
    std::vector<std::string> all;
    for (const auto& session : Sessions())
        all.insert(all.end(), session.begin(), session.end());
    return all;
}

void TPop3Maildrop::Run()
{
    while (!stop_) {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(listener_, &ready);
        timeval limit = {0, 50000};
        if (select(0, &ready, nullptr, nullptr, &limit) != 1)
            continue;
        SOCKET client = accept(listener_, nullptr, nullptr);
        if (client != INVALID_SOCKET) {
            Serve(client);
            closesocket(client);
        }
    }
}

void TPop3Maildrop::Serve(SOCKET client)
{
    DWORD limit = 10000;
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&limit), sizeof limit);
    char c;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        sessions_.emplace_back();
    }
    ++SessionsStarted;
    if (Mute) {
        while (!stop_ && recv(client, &c, 1, 0) == 1) {
        }
        return;
    }
    TLoopbackServer::SendAll(client, NegativeGreeting ? "-ERR go away\r\n" : "+OK maildrop ready\r\n");
    if (NegativeGreeting)
        return;
    bool loggedIn = false;
    bool quit = false;
    std::vector<bool> deleted(Messages().size(), false);
    std::string line;
    while (!quit && !stop_ && recv(client, &c, 1, 0) == 1) {
        line += c;
        if (line.size() < 2 || line.compare(line.size() - 2, 2, "\r\n") != 0)
            continue;
        const std::string command = line.substr(0, line.size() - 2);
        line.clear();
        u_long waiting = 0;
        if (ioctlsocket(client, FIONREAD, &waiting) == 0 && waiting > 0)
            CommandsArrivedAhead = true;
        size_t number;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            sessions_.back().push_back(command);
            number = sessions_.back().size();
        }
        if (TrickleMs > 0 && loggedIn && command.rfind("TOP", 0) == 0) {
            // Each line comes well within the client's silence limit; the reply never ends.
            TLoopbackServer::SendAll(client, "+OK top follows\r\n");
            for (int n = 1; !stop_ && TLoopbackServer::SendAll(client, "Line " + std::to_string(n) + "\r\n"); ++n)
                Sleep(TrickleMs);
            return;
        }
        if (EndlessList && loggedIn && command == "LIST") {
            TLoopbackServer::SendAll(client, "+OK listing follows\r\n");
            for (int n = 1; !stop_ && TLoopbackServer::SendAll(client, std::to_string(n) + " 100\r\n"); ++n) {
            }
            return;
        }
        const std::string reply = Reply(command, loggedIn, deleted, quit);
        if (static_cast<int>(number) == CutReplyOf) {
            // An orderly end after half a reply: the commands sent ahead
            // are read and dropped, so that no reset overtakes the data.
            TLoopbackServer::SendAll(client, reply.substr(0, reply.size() / 2));
            shutdown(client, 1);
            while (!stop_ && recv(client, &c, 1, 0) == 1) {
            }
            return;
        }
        TLoopbackServer::SendAll(client, reply);
    }
}

std::string TPop3Maildrop::Reply(const std::string& command, bool& loggedIn, std::vector<bool>& deleted, bool& quit)
{
    std::istringstream words(command);
    std::string verb;
    words >> verb;
    std::vector<int> numbers;
    int number;
    while (words >> number)
        numbers.push_back(number);
    if (verb == "QUIT") {
        quit = true;
        if (loggedIn) {
            std::lock_guard<std::mutex> lock(mutex_);
            std::vector<TMaildropMessage> kept;
            for (size_t i = 0; i < messages_.size(); ++i)
                if (i >= deleted.size() || !deleted[i])
                    kept.push_back(messages_[i]);
            messages_ = kept;
        }
        return "+OK bye\r\n";
    }
    if (verb == "USER")
        return "+OK user\r\n";
    if (verb == "CAPA" && SupportsCapa)
        return std::string("+OK capabilities\r\nTOP\r\nUSER\r\n") + (SupportsUidl ? "UIDL\r\n" : "") +
               (SupportsPipelining ? "PIPELINING\r\n" : "") + ".\r\n";
    if (verb == "PASS") {
        loggedIn = command == "PASS " + password_;
        return loggedIn ? "+OK logged in\r\n" : "-ERR invalid login\r\n";
    }
    if (!loggedIn)
        return "-ERR not logged in\r\n";
    const std::vector<TMaildropMessage> messages = Messages();
    const auto exists = [&](int n) {
        return n >= 1 && n <= static_cast<int>(messages.size()) && n <= static_cast<int>(deleted.size()) &&
               !deleted[n - 1];
    };
    if (verb == "LIST" || (verb == "UIDL" && SupportsUidl)) {
        const auto item = [&](int n) {
            return std::to_string(n) + " " +
                   (verb == "LIST" ? std::to_string(messages[n - 1].Text.size()) : messages[n - 1].Uidl);
        };
        if (!numbers.empty())
            return exists(numbers[0]) && numbers[0] != RefuseNumber ? "+OK " + item(numbers[0]) + "\r\n"
                                                                     : "-ERR no such message\r\n";
        std::string reply = "+OK listing follows\r\n";
        for (int n = 1; n <= static_cast<int>(messages.size()); ++n)
            if (exists(n))
                reply += item(n) + std::string(verb == "LIST" ? ListPadding.load() : 0, ' ') + "\r\n";
        return reply + ".\r\n";
    }
    if (verb == "TOP" && numbers.size() == 2 && exists(numbers[0]) && numbers[0] != RefuseNumber &&
        numbers[0] != RefuseTopOf) {
        const std::string& text = messages[numbers[0] - 1].Text;
        std::string reply = "+OK top follows\r\n";
        std::istringstream header(Header(text));
        std::string headerLine;
        while (std::getline(header, headerLine))
            reply += Stuffed(headerLine.substr(0, headerLine.size() - 1));
        if (text.find("\r\n\r\n") != std::string::npos)
            reply += "\r\n";
        const std::vector<std::string> body = BodyLines(text);
        for (int i = 0; i < numbers[1] && i < static_cast<int>(body.size()); ++i)
            reply += Stuffed(body[i]);
        return reply + ".\r\n";
    }
    if (verb == "RETR" && numbers.size() == 1 && exists(numbers[0]) && numbers[0] != RefuseNumber) {
        std::string text = messages[numbers[0] - 1].Text;
        if (numbers[0] == ShortRetrOf && text.size() > 2)
            text.erase(text.rfind("\r\n", text.size() - 3) + 2);
        std::string reply = "+OK message follows\r\n";
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = text.find("\r\n", at);
            const std::size_t stop = end == std::string::npos ? text.size() : end;
            reply += Stuffed(text.substr(at, stop - at));
            at = stop + 2;
        }
        return reply + ".\r\n";
    }
    if (verb == "DELE" && !numbers.empty() && exists(numbers[0]) && !RefuseDele) {
        deleted[numbers[0] - 1] = true;
        return "+OK marked\r\n";
    }
    return "-ERR not done\r\n";
}
