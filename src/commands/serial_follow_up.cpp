#include "commands/serial_follow_up.h"

#include "printer/host_port_config.h"

namespace kestrel {

void FollowSerialPrinter(CommandContext& ctx, Owner owner, HostPortStore& store, SerialLine& line,
                         std::chrono::milliseconds wait) {
    AppState& state = ctx.state;
    if (state.selectedPrinter().connectionStatus != ConnectionStatus::Serial) {
        return;
    }
    SetBusyCursor(ctx.ui, CursorId::Wait);
    const bool left = ctx.printSystem.waitForJobToLeave(state.lastJobId, wait);
    SetBusyCursor(ctx.ui, CursorId::Arrow);
    if (!left) {
        ReportMessage(ctx.ui, kUserIconStyle, kSerialJobStillWaitingText, BoxIcon::PrinterWarning,
                      owner);
        return;
    }
    ConfigureHostPort(state, store, line);
}

}  // namespace kestrel
