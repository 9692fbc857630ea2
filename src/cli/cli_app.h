// kestrel-cli as a library object: parse the arguments, pick the print system, run the command.
#pragma once

#include <iosfwd>

#include "cli/command.h"

namespace kestrel::cli {

class CliApp {
public:
    CliApp(std::istream& in, std::ostream& out, std::ostream& err);
    // Tests replace the print system; the default builds CUPS or the virtual one.
    void setPlatformFactory(PlatformFactory factory) { m_factory = std::move(factory); }
    void setClock(Clock& clock) { m_clock = &clock; }
    int run(int argc, const char* const* argv);

private:
    std::istream& m_in;
    std::ostream& m_out;
    std::ostream& m_err;
    PlatformFactory m_factory;
    SystemClock m_systemClock;
    Clock* m_clock = &m_systemClock;
};

// The platform named by the global options: CUPS, or the virtual print system.
std::optional<Platform> MakeDefaultPlatform(const GlobalOptions& options, std::ostream& err);

}  // namespace kestrel::cli
