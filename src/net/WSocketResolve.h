// Turning the texts a socket is given (host, port, protocol) into numbers.
// Numeric texts are read directly; names go to the system's databases
// (gethostbyname, getservbyname, getprotobyname), which may block.
// Every failure raises ESocketException.
#pragma once

#include <cstdint>
#include <string>

// IPv4 address in network order. "255.255.255.255" gives the broadcast address.
std::uint32_t WSocketResolveHost(const std::string& host);
// Port number in host order. A text starting with a digit is read as a
// number; any other goes to the services database ("pop3" gives 110) for the
// protocol `proto` (any protocol when it is only blanks).
int WSocketResolvePort(const std::string& port, const std::string& proto);
// Protocol number: a text starting with a digit is read as a number, a name
// ("tcp", "udp") goes to the protocols database.
int WSocketResolveProto(const std::string& proto);

// The text without leading and trailing blanks and control characters.
std::string WSocketTrim(const std::string& text);
