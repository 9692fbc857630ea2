// Every request to the scheduler goes over a connection whose reads and writes give up after a
// bound, so a scheduler that stops answering (stopped, swamped, a network gone) ends a command
// with the program's own message instead of a hang. Each thread has a connection of its own.
#pragma once

#include <cups/cups.h>

#include <memory>

namespace kestrel {

// Longest wait for the scheduler to take or answer one request.
inline constexpr double kSchedulerTimeoutSeconds = 10.0;

struct HttpCloser {
    void operator()(http_t* http) const { httpClose(http); }
};
using HttpPtr = std::unique_ptr<http_t, HttpCloser>;

// A new connection to the scheduler libcups names (CUPS_SERVER, client.conf or the default)
// with the bound; nullptr when it cannot be reached within it.
HttpPtr ConnectToScheduler();

// This thread's connection, made on first use and again after it could not be made. libcups
// reconnects it by itself when the scheduler closed it.
http_t* SchedulerConnection();

}  // namespace kestrel
