// What a menu command works on: the program's records and the ports to the outside world.
// The windowed program and the command-line tool each build one and hand it to the flows.
#pragma once

#include <functional>

#include "ports/clock.h"
#include "ports/print_system.h"
#include "ports/settings_view.h"
#include "ports/user_interface.h"
#include "state/app_state.h"

namespace kestrel {

struct CommandContext {
    AppState& state;
    PrintSystem& printSystem;
    UserInterface& ui;
    Clock& clock;
    SettingsView& view;
    // Runs after a successful send or initialization, before the serial-change flag is cleared:
    // where the program keeps the PC's serial line in step with the printer.
    std::function<void(CommandContext&, Owner)> afterSettingsSent;
};

}  // namespace kestrel
