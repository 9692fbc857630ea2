#include "ports/clock.h"

#include <thread>

namespace kestrel {

void SystemClock::sleepFor(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

}  // namespace kestrel
