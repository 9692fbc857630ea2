#include "platform/cups/cups_connection.h"

namespace kestrel {
namespace {

// Called by libcups when a read or write has waited the whole bound: 0 gives up.
int GiveUp(http_t*, void*) {
    return 0;
}

}  // namespace

HttpPtr ConnectToScheduler() {
    HttpPtr http(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                              static_cast<int>(kSchedulerTimeoutSeconds * 1000), nullptr));
    if (http) {
        httpSetTimeout(http.get(), kSchedulerTimeoutSeconds, &GiveUp, nullptr);
    }
    return http;
}

http_t* SchedulerConnection() {
    thread_local HttpPtr connection;
    if (!connection) {
        connection = ConnectToScheduler();
    }
    return connection.get();
}

}  // namespace kestrel
