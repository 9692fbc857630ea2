// Start-up and the event loop of the windowed program: options, start-up folder, version text,
// profile, one running copy, the main window placed on the screen, the printer chosen, the
// mechanism synchronised, the Tab key hook, and the loop until the main window closes.
#pragma once

namespace kestrel::gui {

// Returns the program's exit code; every stop before the loop ends with no window left.
int RunKestrel(int argc, char** argv);

}  // namespace kestrel::gui
