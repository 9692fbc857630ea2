// The three logo jobs on the printer's non-volatile graphics memory: define (register) a logo
// from its bitmap file, print a stored logo under a caption line, delete a stored logo. Each is
// one complete command buffer sent as one raw job, with the progress window and busy cursor
// around it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include "commands/command_context.h"
#include "logo/bitmap_reader.h"
#include "logo/raster_conversion.h"

namespace kestrel {

enum class LogoJobKind : std::uint32_t { LogoDelete = 1, LogoRegister = 2, LogoPrint = 3 };

struct LogoJobBuffer {
    std::vector<std::uint8_t> data;  // the command bytes; its size is the length sent
    bool twoColor = false;           // register only: make a two-colour logo
};

// GS 8 L define command for the planes, keyed to the slot (0 to 4).
void BuildLogoDefineCommand(const LogoPlanes& planes, int slotIndex, LogoJobBuffer& buffer);

// The caption line and the stored logo; the two-colour form switches the print colour around it.
std::vector<std::uint8_t> BuildLogoPrintJob(int slotIndex, bool twoColor, bool cutAfter);

// GS ( L delete command.
std::vector<std::uint8_t> BuildLogoDeleteCommand(int slotIndex);

// Reads and converts the file with the buffer's colour mode and fills the buffer with the define
// command. Any result but BMP_OK leaves the buffer empty.
// A bitmap file read and turned into dot planes, or why it could not be.
struct LogoFileConversion {
    BitmapReadResult result = BitmapReadResult::BMP_NOT_FOUND;
    LogoConversion conversion;  // set on BMP_OK
    int systemError = 0;        // the system's reason for a file there but not opened
};
LogoFileConversion ReadAndConvertLogo(const std::filesystem::path& path, bool twoColor);

// systemError, when given, receives the system's reason for a file that could not be opened.
BitmapReadResult ConvertLogoFile(const std::filesystem::path& path, int slotIndex,
                                 LogoJobBuffer& buffer, int* systemError = nullptr);

// The job error of a bitmap that cannot be used: 5 not found, 6 bad format, 7 unreadable.
JobError JobErrorFor(BitmapReadResult result);

// The progress window's text for a job ("Logo 3 is registered to the printer.").
std::string LogoJobProgressText(LogoJobKind kind, int slotIndex);

// Runs one job on the selected printer. Returns true when it was sent (or the kind is none of the
// three, when nothing is done). On false the last job error says why: 1 to 4 from the raw job
// channel, 5 to 7 when a register job's bitmap cannot be used (nothing is sent then).
// cutAfter and twoColor are used by print jobs only; a register job takes the slot's two-colour
// choice and path from the logo table. slotIndex must be 0 to 4 (std::out_of_range otherwise).
bool RunLogoJob(CommandContext& ctx, LogoJobKind kind, int slotIndex, bool cutAfter, bool twoColor);

}  // namespace kestrel
