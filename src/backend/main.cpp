// kestrel-printer: the CUPS backend of the virtual KR printer.
#include <cups/backend.h>

#include <csignal>
#include <cstdlib>
#include <iostream>

#include "backend/backend_run.h"

int main(int argc, char* argv[]) {
    // A cancelled job ends the backend with SIGTERM before anything is applied; a closed pipe is
    // reported by the write that meets it.
    std::signal(SIGPIPE, SIG_IGN);
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    kestrel::backend::BackendEnvironment environment;
    const char* uri = cupsBackendDeviceURI(argv);
    environment.deviceUri = uri != nullptr ? uri : "";
    const char* ppd = std::getenv("PPD");
    environment.ppdFile = ppd != nullptr ? ppd : "";
    return kestrel::backend::RunBackend(args, environment, std::cin, std::cout, std::cerr);
}
