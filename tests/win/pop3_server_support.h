// Scripted POP3 server pieces for the client's tests: reads the client's
// command lines (recording each with its CR LF) and answers them.
#pragma once

#include "wsocket_support.h"

#include <string>

// Reads one command line, without its CR LF; empty when the peer closed.
inline std::string Pop3ReadCommand(SOCKET client, TLoopbackServer& server)
{
    std::string line;
    char c;
    while (recv(client, &c, 1, 0) == 1) {
        line += c;
        if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0) {
            server.Record(line);
            return line.substr(0, line.size() - 2);
        }
    }
    server.Record(line);
    return std::string();
}

// Reads one command and sends `reply` (which carries its own line ends).
inline void Pop3Answer(SOCKET client, TLoopbackServer& server, const std::string& reply)
{
    Pop3ReadCommand(client, server);
    TLoopbackServer::SendAll(client, reply);
}

// The usual opening: greeting, USER and PASS accepted.
inline void Pop3Login(SOCKET client, TLoopbackServer& server, const std::string& greeting = "+OK ready\r\n")
{
    TLoopbackServer::SendAll(client, greeting);
    Pop3Answer(client, server, "+OK user\r\n");
    Pop3Answer(client, server, "+OK pass\r\n");
}

// QUIT answered, then the connection closed by the server.
inline void Pop3AnswerQuit(SOCKET& client, TLoopbackServer& server)
{
    Pop3Answer(client, server, "+OK bye\r\n");
    closesocket(client);
    client = INVALID_SOCKET;
}
