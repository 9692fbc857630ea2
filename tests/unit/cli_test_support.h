// Runs kestrel-cli in-process against fakes, for the command tests.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "ports/testing/fake_print_system.h"
#include "ports/testing/recording_host_port.h"
#include "ports/testing/recording_ui.h"

namespace kestrel::testing {

// Lends the test's fake to the tool, which owns its print system.
class Borrowed final : public PrintSystem {
public:
    explicit Borrowed(PrintSystem& inner) : m_inner(inner) {}
    std::vector<QueueInfo> listQueues() override { return m_inner.listQueues(); }
    std::unique_ptr<OpenQueue> openQueue(const std::string& name) override {
        return m_inner.openQueue(name);
    }

private:
    PrintSystem& m_inner;
};

inline QueueInfo Queue(std::string name, std::string driver, std::string port) {
    QueueInfo q;
    q.name = std::move(name);
    q.driverName = std::move(driver);
    q.port = std::move(port);
    q.portKind = PortKind::Usb;
    return q;
}

// Runs kestrel-cli in-process against a fake print system holding one KR-500 queue.
struct Cli {
    FakePrintSystem fake;
    // Each run gets its own start-up folder: no profile, no working configuration.
    std::string folder = [] {
        static int counter = 0;
        const auto dir =
            std::filesystem::temp_directory_path() /
            ("kestrel-cli-test-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        return dir.string();
    }();
    testing::RecordingClock clock;
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    FailStep failAt = FailStep::None;

    // Writes bytes to a file in the start-up folder and gives its path.
    template <typename Bytes>
    std::string file(const std::string& name, const Bytes& bytes) const {
        const std::string path = folder + "/" + name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    int run(std::vector<const char*> args, std::string input = {}) {
        in.str(input);
        cli::CliApp app(in, out, err);
        app.setClock(clock);
        app.setPlatformFactory([this](const cli::GlobalOptions&, std::ostream&) {
            if (fake.queues.empty()) {
                fake.queues = {Queue("KR500", "ZOT KR-500 Raster", "usb://ZOT/KR-500")};
            }
            fake.failAt = failAt;
            cli::Platform platform;
            platform.printSystem = std::make_unique<Borrowed>(fake);
            platform.hostPortStore = std::make_unique<testing::RecordingHostPortStore>();
            platform.serialLine = std::make_unique<testing::RecordingSerialLine>();
            return std::optional<cli::Platform>(std::move(platform));
        });
        args.insert(args.begin(), {"kestrel-cli", "--folder", folder.c_str()});
        return app.run(static_cast<int>(args.size()), args.data());
    }
};

}  // namespace kestrel::testing
