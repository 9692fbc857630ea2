// The file that describes the queues of the virtual print system, a small INI file:
//
//   capture = jobs                 ; folder for captured jobs, beside this file unless absolute
//
//   [KR-900 on COM1]               ; the section name is the queue name ...
//   name = KR-900 on COM1          ; ... unless a name is given
//   driver = ZOT KR-900 Raster
//   port = serial:/dev/ttyS0       ; a device URI; its scheme gives the port kind
//                                  ;   (kestrel-printer:/FOLDER keeps the queue's virtual
//                                  ;   printer in FOLDER rather than beside the captures)
//   kind = serial                  ; or the kind directly: parallel, serial, usb, file,
//                                  ;   network, port-router, other
//   serial = 9600,n,8,1,x          ; the PC's line settings of a serial queue
//   paused = yes                   ; paused, offline, separator: yes/no
//   jobs = 2                       ; jobs waiting in the queue
//   hold = yes                     ; jobs sent here stay queued (never complete)
//   fail = write                   ; make a job step fail: open, start, write or end
//
// Lines starting with ';' or '#' are comments; keys are case-insensitive.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/print_system.h"

namespace kestrel {

enum class VirtualFailStep { None, Open, Start, Write, End };

struct VirtualQueue {
    QueueInfo info;
    std::optional<std::string> serialLineValue;
    bool holdJobs = false;
    VirtualFailStep failAt = VirtualFailStep::None;
};

struct VirtualConfig {
    std::string captureFolder;  // as written in the file; empty when not given
    std::vector<VirtualQueue> queues;
};

VirtualConfig ParseVirtualConfig(std::string_view text);

// Nothing when the file cannot be read.
std::optional<VirtualConfig> ReadVirtualConfig(const std::filesystem::path& file);

// Sets "serial = value" in the queue's section, keeping every other line as it was, and
// replaces the file as a whole. False when the file cannot be read or written or has no such
// queue.
bool WriteVirtualSerialLineValue(const std::filesystem::path& file, std::string_view queueName,
                                 std::string_view value);

}  // namespace kestrel
