#include "commands/serial_follow_up.h"

#include "printer/host_port_config.h"
#include "printer/serial_line_value.h"

namespace kestrel {

SerialFollowUp FollowSerialPrinter(CommandContext& ctx, Owner owner, HostPortStore& store,
                                   SerialLine& line, std::chrono::milliseconds wait) {
    AppState& state = ctx.state;
    if (state.selectedPrinter().connectionStatus != ConnectionStatus::Serial) {
        return SerialFollowUp::NotSerial;
    }
    // Waiting is only needed for a rewrite: an unchanged value restarts no job.
    if (store.readSerialLineValue(state.selectedPrinter()) ==
        FormatSerialLineValue(state.hostPort)) {
        return SerialFollowUp::Unchanged;
    }
    SetBusyCursor(ctx.ui, CursorId::Wait);
    const bool left = ctx.printSystem.waitForJobToLeave(state.lastJobId, wait);
    SetBusyCursor(ctx.ui, CursorId::Arrow);
    if (!left) {
        ReportMessage(ctx.ui, kUserIconStyle, kSerialJobStillWaitingText, BoxIcon::PrinterWarning,
                      owner);
        return SerialFollowUp::JobStillWaiting;
    }
    if (!ConfigureHostPort(state, store, line)) {
        std::string text(kSerialLineNotStoredText);
        if (const std::string advice = store.refusalAdvice(); !advice.empty()) {
            text += "\n\n" + advice;
        }
        ReportMessage(ctx.ui, kUserIconStyle, text, BoxIcon::PrinterError, owner);
        return SerialFollowUp::NotStored;
    }
    return SerialFollowUp::Followed;
}

}  // namespace kestrel
