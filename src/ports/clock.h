// The fixed waits after a printer job. Real time in the program, recorded in tests.
#pragma once

#include <chrono>

namespace kestrel {

class Clock {
public:
    virtual ~Clock() = default;
    virtual void sleepFor(std::chrono::milliseconds duration) = 0;
};

class SystemClock final : public Clock {
public:
    void sleepFor(std::chrono::milliseconds duration) override;
};

}  // namespace kestrel
