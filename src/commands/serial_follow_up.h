// After settings reach a printer on a serial port, the PC's side of the line follows them.
#pragma once

#include <chrono>

#include "commands/command_context.h"
#include "ports/host_port_store.h"
#include "ports/serial_line.h"

namespace kestrel {

// How long the follow-up waits for the settings job to leave the queue.
inline constexpr std::chrono::milliseconds kSerialJobWait{30000};

inline constexpr std::string_view kSerialJobStillWaitingText =
    "The settings job is still waiting in the print queue, so the PC's serial line was not "
    "changed.\n\nWhen the printer has printed the job, send the settings again.";

inline constexpr std::string_view kSerialLineNotStoredText =
    "The printer now uses the new serial settings, but its print queue could not be changed to "
    "them, so every later job would reach the printer garbled.";

enum class SerialFollowUp { NotSerial, Unchanged, Followed, JobStillWaiting, NotStored };

// For a printer on a serial port whose stored line value differs from the new settings: waits (with
// the busy cursor) until the settings job has left the queue, then sets the PC's line to the host
// port settings. The print system would restart a job still queued when its line settings change,
// and the printer would get the job again at the new speed; so while the job still waits, the line
// is left as it was and the user is told. When the value cannot be stored, the user is told why and
// what to do. Other printers, and a line already at the new settings: nothing, at once.
SerialFollowUp FollowSerialPrinter(CommandContext& ctx, Owner owner, HostPortStore& store,
                                   SerialLine& line,
                                   std::chrono::milliseconds wait = kSerialJobWait);

}  // namespace kestrel
