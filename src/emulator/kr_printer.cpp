#include "emulator/kr_printer.h"

#include <algorithm>
#include <cstdio>

#include "emulator/overloaded.h"
#include "emulator/settings_list_page.h"
#include "emulator/stream_parser.h"

namespace kestrel::emulator {
namespace {

std::string KeyText(KeyCode key) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X %02X", key.kc1, key.kc2);
    return text;
}

}  // namespace

void WrittenSettings::merge(const WrittenSettings& other) {
    for (std::size_t i = 0; i < switchBits.size(); ++i) {
        switchBits[i] |= other.switchBits[i];
    }
    for (std::size_t i = 0; i < customize.size(); ++i) {
        customize[i] = customize[i] || other.customize[i];
    }
    for (std::size_t i = 0; i < serial.size(); ++i) {
        serial[i] = serial[i] || other.serial[i];
    }
}

// What one job has printed so far, and the printer's volatile print settings during it.
struct KrPrinter::Job {
    JobResult result;
    Printout current;
    std::string line;
    std::uint8_t colour = 1;

    void error(std::size_t offset, std::string message,
               StreamError::Cause cause = StreamError::Cause::Stream) {
        result.errors.push_back({offset, std::move(message), cause});
    }
    void printLine() {
        current.blocks.push_back(PrintedLine{std::move(line)});
        line.clear();
    }
    void endPrintout(bool cut) {
        if (!current.blocks.empty() || cut) {
            current.cut = cut;
            result.printouts.push_back(std::move(current));
        }
        current = {};
    }
    // A reset drops what is not printed and the print settings.
    void reset() {
        line.clear();
        colour = 1;
    }
};

KrPrinter::KrPrinter(PrinterState state) : m_state(std::move(state)) {}

JobResult KrPrinter::receive(std::span<const std::uint8_t> stream) {
    const std::vector<StreamItem> items = ParseStream(stream);
    return receive(items, stream.size());
}

JobResult KrPrinter::receive(std::span<const StreamItem> items, std::size_t streamSize) {
    Job job;
    for (const StreamItem& item : items) {
        apply(item, job);
    }
    job.endPrintout(false);
    if (m_state.inUserSetupMode()) {
        job.error(streamSize,
                  "the stream ends in user-setup mode: nothing written since GS ( E fn 1 has "
                  "taken effect");
    }
    ++m_state.jobsReceived;
    m_state.lastErrorCount = job.result.errors.size();
    const auto kept = std::min(job.result.errors.size(), kKeptErrors);
    m_state.lastErrors.assign(job.result.errors.begin(), job.result.errors.begin() + kept);
    return std::move(job.result);
}

void KrPrinter::apply(const StreamItem& item, Job& job) {
    const StreamCommand& command = item.command;
    if (const auto* bad = std::get_if<Malformed>(&command)) {
        job.error(item.offset, bad->message);
        return;
    }
    if (std::holds_alternative<CancelCommand>(command)) {
        job.line.clear();
        return;
    }
    const bool setup = std::holds_alternative<EnterUserSetup>(command) ||
                       std::holds_alternative<LeaveUserSetup>(command) ||
                       std::holds_alternative<SetSwitches>(command) ||
                       std::holds_alternative<SetCustomizeValues>(command) ||
                       std::holds_alternative<SetSerialInterface>(command);
    if (setup) {
        applySetup(command, job, item.offset);
    } else if (m_state.inUserSetupMode()) {
        job.error(item.offset, "ignored: the printer is in user-setup mode");
    } else {
        applyPrint(command, job, item.offset);
    }
}

void KrPrinter::applySetup(const StreamCommand& command, Job& job, std::size_t offset) {
    if (std::holds_alternative<EnterUserSetup>(command)) {
        // Entering again starts over from the values in force.
        m_state.pending = m_state.settings;
        m_pendingWritten = {};
        return;
    }
    if (!m_state.pending) {
        job.error(offset, "ignored: the printer is not in user-setup mode");
        return;
    }
    SetupValues& pending = *m_state.pending;
    std::visit(
        Overloaded{
            [&](const LeaveUserSetup&) {
                m_state.settings = pending;
                m_state.pending.reset();
                m_written.merge(m_pendingWritten);
                m_pendingWritten = {};
                job.reset();
            },
            [&](const SetSwitches& c) {
                for (const SwitchWrite& w : c.switches) {
                    const std::size_t slot = *SwitchSlot(static_cast<std::uint8_t>(w.number));
                    std::uint8_t& bits = pending.switches[slot];
                    for (std::size_t position = 0; position < 8; ++position) {
                        const auto mask = static_cast<std::uint8_t>(0x80u >> position);
                        if (w.characters[position] == '2') {
                            continue;  // left as the printer has it
                        }
                        bits = w.characters[position] == '1' ? (bits | mask) : (bits & ~mask);
                        m_pendingWritten.switchBits[slot] |= mask;
                    }
                }
            },
            [&](const SetCustomizeValues& c) {
                for (const CustomizeWrite& w : c.values) {
                    pending.setValue(w.number, w.value);
                    m_pendingWritten
                        .customize[*CustomizeSlot(static_cast<std::uint8_t>(w.number))] = true;
                }
            },
            [&](const SetSerialInterface& c) {
                SerialInterface& serial = pending.serial;
                switch (c.item) {
                    case SerialItem::BaudRate:
                        serial.baud = c.value;
                        break;
                    case SerialItem::Parity:
                        serial.parity = static_cast<Parity>(c.value);
                        break;
                    case SerialItem::FlowControl:
                        serial.flow = static_cast<FlowControl>(c.value);
                        break;
                    case SerialItem::DataLength:
                        serial.dataBits = static_cast<std::uint8_t>(c.value);
                        break;
                }
                m_pendingWritten.serial.at(static_cast<std::size_t>(c.item) - 1) = true;
            },
            [](const auto&) {},
        },
        command);
}

void KrPrinter::applyPrint(const StreamCommand& command, Job& job, std::size_t offset) {
    std::visit(
        Overloaded{
            [&](const TestPrint& c) {
                if (c.pattern == kSettingsListPattern) {
                    job.current.blocks.push_back(PrintedSettingsList{SettingsListPage(m_state)});
                }
            },
            [&](const DefineGraphic& c) { define(c, job, offset); },
            [&](const PrintGraphic& c) { printGraphic(c, job, offset); },
            [&](const DeleteGraphic& c) { m_state.graphics.erase(c.key); },
            [&](const SelectPrintColour& c) { job.colour = c.colour; },
            [&](const PrintText& c) {
                // Text beyond the paper's columns goes on to the next line.
                const auto columns = static_cast<std::size_t>(
                    std::max<int>(1, m_state.settings.value(CustomizeNumber::PaperColumns)));
                for (const std::uint8_t b : c.text) {
                    job.line.push_back(static_cast<char>(b));
                    if (job.line.size() >= columns) {
                        job.printLine();
                    }
                }
            },
            [&](const LineFeed&) { job.printLine(); },
            [&](const Cut&) { job.endPrintout(true); },
            [](const auto&) {},
        },
        command);
}

void KrPrinter::define(const DefineGraphic& c, Job& job, std::size_t offset) {
    std::size_t needed = 0;
    for (const GraphicPlaneData& plane : c.planes) {
        needed += plane.dots.size();
    }
    const auto existing = m_state.graphics.find(c.key);
    const std::size_t replaced =
        existing == m_state.graphics.end() ? 0 : existing->second.storedBytes();
    const std::size_t usedByOthers = m_state.graphicsUsed() - replaced;
    const std::size_t capacity = m_state.graphicsCapacity();
    const std::size_t free = capacity > usedByOthers ? capacity - usedByOthers : 0;
    if (needed > free) {
        job.error(offset,
                  "NV graphics memory full: key " + KeyText(c.key) + " needs " +
                      std::to_string(needed) + " bytes, " + std::to_string(free) + " of " +
                      std::to_string(capacity) + " are free",
                  StreamError::Cause::Memory);
        return;
    }
    NvGraphic graphic;
    graphic.width = c.width;
    graphic.height = c.height;
    for (const GraphicPlaneData& plane : c.planes) {
        graphic.planes.at(plane.colour - 1u).assign(plane.dots.begin(), plane.dots.end());
    }
    m_state.graphics.insert_or_assign(c.key, std::move(graphic));
}

void KrPrinter::printGraphic(const PrintGraphic& c, Job& job, std::size_t offset) {
    const auto it = m_state.graphics.find(c.key);
    if (it == m_state.graphics.end()) {
        job.error(offset, "no NV graphics under key " + KeyText(c.key) + ": nothing printed",
                  StreamError::Cause::Memory);
        return;
    }
    PrintedGraphic printed{it->second, c.scaleX, c.scaleY};
    if (job.colour == 1) {
        printed.graphic.planes[1].clear();  // the first colour only: the second is not laid down
    }
    job.current.blocks.push_back(std::move(printed));
}

}  // namespace kestrel::emulator
