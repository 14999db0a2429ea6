// Whether a server certificate names the server the user gave: a DNS name
// against the certificate's DNS entries, an IP address against its IP
// address entries, both from the subject alternative names. The common name
// is never read: an address in it is no proof, and a certificate without
// alternative names names nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using TIpAddress = std::vector<std::uint8_t>;  // 4 bytes (IPv4) or 16 (IPv6)

// The address that `text` writes: dotted IPv4 (four decimal parts), or IPv6
// with its "::" shorthand and an optional dotted tail, inside brackets or
// not; blanks around are ignored. Empty when the text is no address, such as
// a DNS name.
TIpAddress ParseIpAddress(const std::string& text);

// A certificate's DNS entry against a DNS name, case-insensitively, a final
// dot ignored: equal, or "*." followed by at least two labels that stand for
// exactly one whole left-most label of the name ("*.example.org" covers
// "mail.example.org", not "example.org" nor "a.b.example.org").
bool DnsNameMatches(const std::string& entry, const std::string& name);

struct TCertificateNames {
    std::vector<std::string> Dns;
    std::vector<TIpAddress> Ip;
};

// True when the certificate's names include the server: by address when the
// server is written as one, by DNS name otherwise.
bool CertificateNamesServer(const TCertificateNames& names, const std::string& server);
