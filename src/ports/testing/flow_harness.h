// The records and recording ports a menu-command flow runs on in a test.
#pragma once

#include "commands/command_context.h"
#include "ports/testing/fake_print_system.h"
#include "ports/testing/recording_ui.h"

namespace kestrel::testing {

struct FlowHarness {
    AppState state;
    FakePrintSystem ps;
    RecordingUserInterface ui;
    RecordingClock clock;
    RecordingSettingsView view;
    CommandContext ctx{state, ps, ui, clock, view, {}};
};

}  // namespace kestrel::testing
