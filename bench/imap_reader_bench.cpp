// The cost of reading a server's answer to the header fetch of 10,000 new
// messages (one FETCH response each: UID, size and a 1 KB header literal
// with its parentheses and braces), cut as the network cuts it (16 KB
// reads) and byte by byte, then taking each response's items out. Prints
// the median of 11 rounds of each.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "imap/ImapReader.h"
#include "imap/ImapResponse.h"

namespace {
constexpr int kMessages = 10000;
constexpr int kRounds = 11;

std::string Stream()
{
    std::string stream;
    for (int n = 1; n <= kMessages; ++n) {
        std::string header = "From: \"Friend " + std::to_string(n) + "\" <f" + std::to_string(n) +
                             "@example.org>\r\nTo: alice@example.org\r\nSubject: Report (part " +
                             std::to_string(n) + ") {3}\r\nDate: Tue, 8 Dec 2026 09:00:00 +0000\r\n";
        while (header.size() < 1000)
            header += "Received: from relay.example.org by mx.example.org; Tue, 8 Dec 2026 09:00:00\r\n";
        header += "\r\n";
        stream += "* " + std::to_string(n) + " FETCH (UID " + std::to_string(n + 40000) + " RFC822.SIZE 48213 " +
                  "BODY[HEADER.FIELDS (FROM TO SUBJECT DATE)] {" + std::to_string(header.size()) + "}\r\n" +
                  header + ")\r\n";
    }
    return stream + "A0003 OK UID FETCH completed\r\n";
}

// Reads the stream in pieces of `chunk` bytes; answers the headers' bytes.
std::size_t Read(const std::string& stream, std::size_t chunk)
{
    TImapReader reader;
    TImapResponse response;
    TImapFetch fetch;
    std::string error;
    std::size_t bytes = 0;
    for (std::size_t at = 0; at < stream.size(); at += chunk) {
        reader.Feed(stream.data() + at, std::min(chunk, stream.size() - at));
        while (reader.Next(response))
            if (ImapReadFetch(response, fetch, error))
                bytes += fetch.Header.size();
    }
    return reader.Failed() ? 0 : bytes;
}

double MedianMilliseconds(const std::string& stream, std::size_t chunk, std::size_t& bytes)
{
    std::vector<double> times;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        bytes = Read(stream, chunk);
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[kRounds / 2];
}
}  // namespace

int main()
{
    const std::string stream = Stream();
    const double megabytes = double(stream.size()) / (1024.0 * 1024.0);
    for (std::size_t chunk : {std::size_t(16384), std::size_t(1)}) {
        std::size_t bytes = 0;
        const double ms = MedianMilliseconds(stream, chunk, bytes);
        if (bytes == 0) {
            std::printf("the reader failed on the stream\n");
            return 1;
        }
        std::printf("%d FETCH responses (%.1f MB) in %zu-byte reads: %.1f ms, %.0f MB/s, %.2f us per message\n",
                    kMessages, megabytes, chunk, ms, megabytes / (ms / 1000.0), ms * 1000.0 / kMessages);
    }
    return 0;
}
