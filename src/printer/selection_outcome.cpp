#include "printer/selection_outcome.h"

#include "settings/profile_state.h"

namespace kestrel {
namespace {

SelectionOutcome Refuse(std::string_view text, BoxIcon icon) {
    return {false, text, icon, false};
}

SelectionOutcome RefuseWithStop(std::string_view text) {
    return {false, text, BoxIcon::Stop, true};
}

constexpr std::string_view kJobRemainsText =
    "The print job remains in spooler.\n\nComplete the print after clicking OK button \nand "
    "select again.";
constexpr std::string_view kNetworkText = "The network printer cannot be selected.";
constexpr std::string_view kFileText =
    "Printer port is FILE:.\n\nChange connection port after clicking OK button.";
constexpr std::string_view kPausedText =
    "Pause Printing is set.\n\nRemove the check on Pause Printing after clicking OK button.";
constexpr std::string_view kOfflineText =
    "Printer is OFFLINE.\n\nRemove the check on Use Printer Offline after clicking OK button.";
constexpr std::string_view kSeparatorText =
    "Separator Page is set.\n\nRemove the check on Separator Page after clicking OK button.";
constexpr std::string_view kNotCorrespondedText =
    "Connection port is not corresponded.\n\nChange conection port after clicking OK button "
    "or\nselect the printer connected to the corresponding port.";

MessageBox UserIconBox(std::string_view text, BoxIcon icon, Owner owner) {
    MessageBox box;
    box.text = std::string(text);
    box.icon = icon;
    box.owner = owner;
    box.style = kUserIconStyle;
    return box;
}

}  // namespace

SelectionOutcome JudgeSelectedPrinter(const PrinterEntry& entry, bool debugFlag) {
    if (entry.mechanismId == mechanism::Unsupported) {
        if (debugFlag) {
            return {true, {}, BoxIcon::None, false};
        }
        return Refuse(kDifferentPrinterText, BoxIcon::PrinterError);
    }
    switch (entry.connectionStatus) {
        case ConnectionStatus::Parallel:
            if (entry.jobCount == 0) {
                return {true, {}, BoxIcon::None, false};
            }
            return Refuse(kJobRemainsText, BoxIcon::PrinterWarning);
        case ConnectionStatus::Serial:
        case ConnectionStatus::Usb:
        case ConnectionStatus::PortRouter:
            return {true, {}, BoxIcon::None, false};
        case ConnectionStatus::Network:
            return RefuseWithStop(kNetworkText);
        case ConnectionStatus::File:
            return Refuse(kFileText, BoxIcon::PrinterInfo);
        case ConnectionStatus::Paused:
            return Refuse(kPausedText, BoxIcon::PrinterInfo);
        case ConnectionStatus::Offline:
            return Refuse(kOfflineText, BoxIcon::PrinterInfo);
        case ConnectionStatus::SeparatorPage:
            return Refuse(kSeparatorText, BoxIcon::PrinterInfo);
        case ConnectionStatus::NotCorresponded:
            break;
    }
    // Not corresponded, and any status no rule gives: the queue cannot be used.
    return RefuseWithStop(kNotCorrespondedText);
}

MessageBox SelectionMessageBox(const SelectionOutcome& outcome) {
    if (outcome.systemModalStop) {
        MessageBox box;
        box.text = std::string(outcome.text);
        box.icon = BoxIcon::Stop;
        box.owner = Owner::None;
        box.systemModal = true;
        return box;
    }
    return UserIconBox(outcome.text, outcome.icon, Owner::MainWindow);
}

MessageBox NotSelectedMessageBox() {
    return UserIconBox(kNotSelectedText, BoxIcon::PrinterWarning, Owner::SelectionDialog);
}

MessageBox NoDriverMessageBox() {
    return UserIconBox(kNoDriverText, BoxIcon::PrinterError, Owner::MainWindow);
}

}  // namespace kestrel
