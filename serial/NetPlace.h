#pragma once

#include <string>
#include <string_view>

// Where a port served over the network is: a host (a name, an IPv4 address,
// or an IPv6 address in brackets) and a TCP port, as written after the URL
// scheme: "lab-rack-2:7001", "127.0.0.1:2000", "[::1]:2000".
struct NetPlace {
    std::string host;  // without brackets
    int port = 0;
    std::string text;  // as written, for messages
};

// false with detail saying what is wrong when text is not of that form.
bool ParseNetPlace(std::string_view text, NetPlace& place, std::string& detail);

// A connected, non-blocking TCP socket, or -1 with detail naming the place and
// the OS's reason.
struct NetConnection {
    int fd = -1;
    std::string detail;
    bool worthRetrying = false;  // the name resolved: the server may answer later
};

// Looks the host up and connects to the first of its addresses that answers
// within connectMs. Blocks while it does: runs on a thread of its own.
NetConnection ConnectTo(const NetPlace& place, int connectMs);
