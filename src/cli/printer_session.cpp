#include "cli/printer_session.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>

#include "cli/dry_run_print_system.h"
#include "commands/select_printer.h"
#include "commands/serial_follow_up.h"
#include "settings/factory_defaults.h"
#include "settings/profile.h"
#include "settings/setting_options.h"
#include "storage/atomic_file.h"
#include "storage/model_adjustment.h"
#include "storage/range_check.h"
#include "storage/settings_file.h"
#include "storage/working_config.h"

namespace kestrel::cli {
namespace {

// The selection dialog answered from the command line: the named queue is the row chosen. A
// refusal ends the selection instead of showing the list again.
class NamedQueueDialog final : public PrinterSelectionDialog {
public:
    NamedQueueDialog(AppState& state, Platform& platform, UserInterface& ui, std::string name,
                     std::ostream& err)
        : m_state(state), m_platform(platform), m_ui(ui), m_name(std::move(name)), m_err(err) {}

    SelectionDialogResult run() override {
        if (m_ran) {
            m_refused = true;
            return SelectionDialogResult::Cancel;
        }
        m_ran = true;
        const bool supported =
            FillPrinterTable(m_state, *m_platform.printSystem, SortDirection::Rising);
        std::optional<std::size_t> row;
        for (std::size_t i = 0; i < m_state.printerTable.size(); ++i) {
            if (m_state.printerTable[i].printerName == m_name) {
                row = i;
            }
        }
        if (const std::string unreachable = m_platform.printSystem->listingError();
            !row && !unreachable.empty()) {
            m_err << "kestrel-cli: the print system cannot be reached: " << unreachable << '\n';
            m_refused = true;
            return SelectionDialogResult::Cancel;
        }
        if (!row) {
            m_err << "kestrel-cli: there is no print queue named \"" << m_name << "\".";
            listQueues();
            m_refused = true;
            return SelectionDialogResult::Cancel;
        }
        if (!supported) {
            return SelectionDialogResult::NoSupportedDriver;
        }
        ConfirmSelection(m_state, *m_platform.printSystem, *m_platform.hostPortStore, m_ui, row);
        return SelectionDialogResult::Ok;
    }

    bool refused() const { return m_refused; }

private:
    void listQueues() {
        std::string names;
        for (const PrinterEntry& entry : m_state.printerTable) {
            if (!entry.printerName.empty()) {
                names += (names.empty() ? "" : ", ") + ("\"" + entry.printerName + "\"");
            }
        }
        m_err << (names.empty() ? " No print queues exist." : " Queues: " + names + ".") << '\n';
    }

    AppState& m_state;
    Platform& m_platform;
    UserInterface& m_ui;
    std::string m_name;
    std::ostream& m_err;
    bool m_ran = false;
    bool m_refused = false;
};

// The labels of the settings that make a file fail the bounds once adjusted to the printer, or
// an empty text when it passes (or is too short to judge: loading reports that itself).
std::string OutOfRangeSettings(const AppState& state, const std::string& path) {
    const FileHead head = ReadFileHead(path, kSettingsRecordSize);
    if (head.bytes.size() < kSettingsRecordSize) {
        return {};
    }
    SettingsRecord record{};
    std::copy_n(head.bytes.begin(), kSettingsRecordSize, record.begin());
    ProfileState profile = state.profile;
    AdjustToModel(record, profile, state.selectedPrinter().mechanismId,
                  AdjustmentRule::SettingsFile);
    if (SettingsInRange(record, profile.taiwan)) {
        return {};
    }
    std::string labels;
    for (const SettingDescription& setting : AllSettings()) {
        SettingsRecord one = FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::STANDARD);
        one[setting.offset] = record[setting.offset];
        if (setting.offset == offset::BmCutAdjustment) {
            one[setting.offset + 1] = record[setting.offset + 1];
        }
        if (!SettingsInRange(one, profile.taiwan)) {
            labels += (labels.empty() ? "" : ", ") + std::string(setting.label);
        }
    }
    return labels;
}

}  // namespace

std::optional<int> PrepareSession(CliEnvironment& env, Platform* platform,
                                  const SessionOptions& options, AppState& state,
                                  TerminalUserInterface& ui, SettingsView& view) {
    state.startupFolder = env.startupFolder();
    ReadProfile(state);

    if (!platform) {
        return kExitFailed;
    }
    NoSettingsView noView;
    CommandContext ctx{state, *platform->printSystem, ui, env.clock, view, {}};
    NamedQueueDialog dialog(state, *platform, ui, options.printer, env.err);
    if (!SelectPrinter(ctx, dialog)) {
        return kExitQueueRefused;
    }
    ShowProfileDebugText(state, ui);
    SyncMechanism(state);

    if (!options.settingsFile.empty()) {
        // The windowed program would quietly put the factory defaults in place of a file with
        // values out of range and show them on its page; a script sees no page, so the tool
        // refuses the file instead of sending the defaults in its name.
        if (const auto bad = OutOfRangeSettings(state, options.settingsFile); !bad.empty()) {
            env.err << "kestrel-cli: " << options.settingsFile
                    << " holds values this printer does not take (" << bad
                    << "); the program would use the factory defaults instead. Nothing was "
                       "sent.\n";
            return kExitFailed;
        }
        // File > Load with the file named on the command line as the dialog's answer.
        const int before = ui.messagesShown();
        ui.answerNextFileDialog(options.settingsFile);
        LoadSettingsFile(state, ui, view);
        if (ui.messagesShown() != before) {
            return kExitFailed;
        }
    }
    return std::nullopt;
}

SerialFollowUp FollowSerialPrinterAfterSend(CommandContext& ctx, Platform& platform,
                                            const SessionOptions& options) {
    const auto wait =
        std::chrono::milliseconds(static_cast<long long>(options.serialWaitSeconds * 1000.0));
    return FollowSerialPrinter(ctx, Owner::MainWindow, *platform.hostPortStore,
                               *platform.serialLine, wait);
}

JobTarget::JobTarget(Platform& platform, const SessionOptions& options, Clock& clock,
                     bool appendJobs)
    : m_platform(platform), m_options(options), m_clock(clock) {
    if (!options.dryRun.empty()) {
        m_dryRun = std::make_unique<DryRunPrintSystem>(platform.printSystem.get(), options.dryRun,
                                                       appendJobs);
    }
}

bool JobTarget::writable(std::ostream& err) const {
    if (!m_dryRun) {
        return true;
    }
    std::error_code ec;
    const bool existed = std::filesystem::exists(m_options.dryRun, ec);
    errno = 0;
    const bool opened = std::ofstream(m_options.dryRun, std::ios::binary | std::ios::app).is_open();
    const int error = errno;
    if (opened && !existed) {
        std::filesystem::remove(m_options.dryRun, ec);  // the job creates it when it runs
    }
    if (!opened) {
        err << "kestrel-cli: " << m_options.dryRun << ": cannot be written"
            << (error != 0 ? std::string(": ") + std::strerror(error) : std::string()) << '\n';
    }
    return opened;
}

std::string JobTarget::doneText() const {
    return m_dryRun ? "Job written to " + m_options.dryRun : "Job sent to " + m_options.printer;
}

int ExitStatusOf(FlowResult result, std::ostream& err) {
    switch (result) {
        case FlowResult::Done:
            return kExitOk;
        case FlowResult::Cancelled:
            err << "Nothing was sent.\n";
            return kExitFailed;
        case FlowResult::Failed:
            return kExitFailed;
    }
    return kExitFailed;
}

}  // namespace kestrel::cli
