// The process-wide records of the program, owned by one object that the program creates once and
// passes by reference. Tests build their own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "logo/logo_table.h"
#include "printer/printer_entry.h"
#include "settings/profile_state.h"
#include "settings/settings_record.h"

namespace kestrel {

// Codes of the last failed printer job: 1-4 from the raw job channel, 5-8 from a logo bitmap.
enum class JobError : std::uint32_t {
    None = 0,
    StartDocument = 1,
    OpenQueue = 2,
    Write = 3,
    EndDocument = 4,
    BitmapNotFound = 5,
    BitmapBadFormat = 6,
    BitmapUnreadable = 7,
    LogoTooLarge = 8,  // more dots than the NV graphics memory holds
};

struct AppState {
    SettingsRecord settings{};
    ProfileState profile;
    std::uint8_t lastSentPaperWidth =
        0;  // Paper Width of the last settings that reached the printer
    HostPortSettings hostPort;
    // One entry before the first fill of the selection, so the selected printer always exists.
    std::vector<PrinterEntry> printerTable{1};
    std::size_t selectedIndex = 0;
    JobError lastJobError = JobError::None;
    int lastJobSystemError = 0;  // errno behind a bitmap that was there but could not be opened
    int lastJobId = 0;           // the print system's id of the last job sent, 0 where it has none
    bool serialSettingsChanged = false;
    LogoTable logoTable;
    std::string logoInitialDir;
    std::string startupFolder;
    int osLevel = 0;  // no restart prompt on Linux: the new line settings apply at the next job

    PrinterEntry& selectedPrinter() { return printerTable.at(selectedIndex); }
    const PrinterEntry& selectedPrinter() const { return printerTable.at(selectedIndex); }
};

}  // namespace kestrel
