// Launch to first window shown, whole process, for the windowed program (on the virtual print
// system) and for a bare Qt window started the same way; each iteration runs both, so the ratio
// is not skewed by a machine that speeds up or slows down during the run. Needs an X display
// (run under Xvfb: `xvfb-run -a build/bench/bench_startup`).
#include <X11/Xlib.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Display_ {
    Display* display = XOpenDisplay(nullptr);
    ~Display_() {
        if (display != nullptr)
            XCloseDisplay(display);
    }
};

// Starts argv in folder and returns the seconds until it maps its first top-level window; the
// process is then ended (it may have quit on its own already).
double SecondsToFirstWindow(Display* display, const std::vector<std::string>& args,
                            const fs::path& folder) {
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, True);  // drop events of earlier runs

    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return -1;

    double seconds = -1;
    const auto deadline = start + std::chrono::seconds(20);
    while (Clock::now() < deadline) {
        if (XPending(display) == 0) {
            usleep(200);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify) {
            seconds = std::chrono::duration<double>(Clock::now() - start).count();
            break;
        }
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return seconds;
}

void BM_StartupAgainstBareWindow(benchmark::State& state) {
    Display_ x;
    if (x.display == nullptr) {
        state.SkipWithError("no X display: run under xvfb-run");
        return;
    }
    const fs::path folder =
        fs::temp_directory_path() / ("kestrel-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    std::ofstream(folder / "queues.ini") << "capture = jobs\n\n[KR-900 USB]\n"
                                            "driver = ZOT KR-900 Raster\nport = usb://ZOT/KR-900\n";
    const std::vector<std::string> kestrel{KESTREL_PROGRAM, "--print-system=virtual",
                                           "--virtual-config", (folder / "queues.ini").string()};
    const std::vector<std::string> bare{KESTREL_BARE_WINDOW};

    double kestrelTotal = 0;
    double bareTotal = 0;
    for (auto _ : state) {
        const double b = SecondsToFirstWindow(x.display, bare, folder);
        const double k = SecondsToFirstWindow(x.display, kestrel, folder);
        if (b < 0 || k < 0) {
            state.SkipWithError("a program showed no window within 20 s");
            break;
        }
        bareTotal += b;
        kestrelTotal += k;
        state.SetIterationTime(k);
    }
    fs::remove_all(folder);
    if (bareTotal > 0) {
        state.counters["bare_ms"] = 1000 * bareTotal / static_cast<double>(state.iterations());
        state.counters["ratio"] = kestrelTotal / bareTotal;
    }
}
BENCHMARK(BM_StartupAgainstBareWindow)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
