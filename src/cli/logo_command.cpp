#include "cli/logo_command.h"

#include <CLI/CLI.hpp>

#include <ostream>

#include "cli/terminal_ui.h"
#include "commands/logo_commands.h"
#include "emulator/files/png_file.h"
#include "logo/bitmap_reader.h"
#include "logo/logo_job.h"
#include "logo/logo_preview.h"
#include "logo/raster_conversion.h"

namespace kestrel::cli {
namespace {

void AddJobOptions(CLI::App* sub, SessionOptions& options, int& slot) {
    sub->add_option("-p,--printer", options.printer, "Print queue of the printer")->required();
    sub->add_option("--slot", slot, "Logo number, 1 to 5")->required()->check(CLI::Range(1, 5));
    sub->add_flag("-y,--yes", options.assumeYes, "Do not ask before sending");
    sub->add_option("--dry-run", options.dryRun,
                    "Write the job's exact bytes to FILE instead of sending it");
}

}  // namespace

std::string LogoCommandGroup::usage() const {
    const std::string job = " --printer NAME --slot 1..5 [--yes] [--dry-run FILE]";
    if (m_register && m_register->parsed()) {
        return "logo register" + job + " [--two-color] FILE.bmp";
    }
    if (m_print && m_print->parsed()) {
        return "logo print" + job + " [--two-color] [--no-cut]";
    }
    if (m_delete && m_delete->parsed()) {
        return "logo delete" + job;
    }
    if (m_confirm && m_confirm->parsed()) {
        return "logo confirm-print --printer NAME [--yes] [--dry-run FILE]";
    }
    if (m_preview && m_preview->parsed()) {
        return "logo preview FILE.bmp [--two-color] --output OUT.png";
    }
    return "logo register|print|delete|confirm-print|preview ...; see logo --help";
}

CLI::App* LogoCommandGroup::setup(CLI::App& parent) {
    CLI::App* logo = parent.add_subcommand("logo", "Register, print or delete the printer's logos");
    logo->require_subcommand(1);

    m_register = logo->add_subcommand("register", "Register a BMP file as logo SLOT");
    AddJobOptions(m_register, m_options, m_slot);
    m_register->add_flag("--two-color", m_twoColor,
                         "Two-colour logo (black and the second colour; 4- or 8-bit files), "
                         "instead of a dithered monochrome one");
    m_register->add_option("file", m_file, "The BMP file")->required();

    m_print = logo->add_subcommand("print", "Print logo SLOT under its caption line");
    AddJobOptions(m_print, m_options, m_slot);
    m_print->add_flag("--two-color", m_twoColor, "Print in the two-colour form");
    m_print->add_flag("--cut,!--no-cut", m_cut, "End with the paper cut (default)");

    m_delete = logo->add_subcommand("delete", "Delete logo SLOT from the printer");
    AddJobOptions(m_delete, m_options, m_slot);

    m_confirm = logo->add_subcommand(
        "confirm-print", "Print all five logos in monochrome, then in two colours, then cut");
    m_confirm->add_option("-p,--printer", m_options.printer, "Print queue of the printer")
        ->required();
    m_confirm->add_flag("-y,--yes", m_options.assumeYes, "Do not ask before sending");
    m_confirm->add_option("--dry-run", m_options.dryRun,
                          "Write the ten jobs' exact bytes, one after another, to FILE instead of "
                          "sending them");

    m_preview = logo->add_subcommand(
        "preview",
        "Write the logo as the printer would print it to a PNG file (first colour "
        "black, second colour red)");
    m_preview->add_option("file", m_file, "The BMP file")->required();
    m_preview->add_flag("--two-color", m_twoColor, "Two-colour logo");
    m_preview->add_option("-o,--output", m_output, "PNG file to write")->required();
    return logo;
}

int LogoCommandGroup::execute(CliEnvironment& env) {
    return m_preview->parsed() ? executePreview(env) : executeJob(env);
}

int LogoCommandGroup::executePreview(CliEnvironment& env) {
    const LogoFileConversion read = ReadAndConvertLogo(m_file, m_twoColor);
    const LogoConversion& conversion = read.conversion;
    const BitmapReadResult result = read.result;
    if (result != BitmapReadResult::BMP_OK) {
        env.err << "KESTREL: "
                << LogoJobFailureMessage(JobErrorFor(result), m_file, read.systemError) << '\n';
        return kExitFailed;
    }
    const RgbImage image = RenderLogoPlanes(conversion.planes);
    if (!WritePngFile(m_output, image)) {
        env.err << "kestrel-cli: " << m_output << ": cannot be written\n";
        return kExitFailed;
    }
    env.out << "Logo of " << conversion.width << " x " << conversion.planes.rows << " dots ("
            << (conversion.planes.plane2 ? "two colours" : "monochrome") << ") written to "
            << m_output << '\n';
    return kExitOk;
}

int LogoCommandGroup::executeJob(CliEnvironment& env) {
    PrinterSession session(env, m_options);
    if (const auto stop = session.open()) {
        return *stop;
    }
    Platform* platform = session.platform;
    AppState& state = session.state;
    TerminalUserInterface& ui = session.ui;
    SettingsView& view = session.view;

    JobTarget target(*platform, m_options, env.clock, /*appendJobs=*/m_confirm->parsed());
    if (!target.writable(env.err)) {
        return kExitFailed;
    }
    CommandContext ctx{state, target.printSystem(), ui, target.clock(), view, {}};

    const int slot = m_slot - 1;
    LogoCommand command = LogoCommand::ConfirmationPrint;
    if (m_register->parsed()) {
        command = LogoCommand::Regist;
        state.logoTable.at(slot) = LogoEntry{m_twoColor, m_file};
    } else if (m_print->parsed()) {
        command = LogoCommand::Print;
        state.logoTable.at(slot).twoColor = m_twoColor;
    } else if (m_delete->parsed()) {
        command = LogoCommand::Delete;
    }

    const FlowResult result = RunLogoCommand(ctx, command, slot, m_cut);

    if (result == FlowResult::Done) {
        env.out << target.doneText() << '\n';
    }
    return ExitStatusOf(result, env.err);
}

}  // namespace kestrel::cli
