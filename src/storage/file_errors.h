// System error codes of failed file creations, numbered as the original platform numbers them,
// and the fixed texts the file operations show for them. The OS's own error numbers are mapped
// onto these codes in one place so the file flows reason about one set of numbers.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kestrel {

class UserInterface;

using SystemErrorCode = std::uint32_t;

namespace syserr {
inline constexpr SystemErrorCode Success = 0;
inline constexpr SystemErrorCode PathNotFound = 3;
inline constexpr SystemErrorCode AccessDenied = 5;
inline constexpr SystemErrorCode WriteProtect = 19;
inline constexpr SystemErrorCode SharingViolation = 32;
inline constexpr SystemErrorCode NetworkAccessDenied = 65;
inline constexpr SystemErrorCode FileExists = 80;
inline constexpr SystemErrorCode DiskFull = 112;
inline constexpr SystemErrorCode FileNameTooLong = 206;
inline constexpr SystemErrorCode RequestAborted = 1235;
// An OS error with no counterpart above keeps its number under this bit, so it never collides
// with a code the flows act on.
inline constexpr SystemErrorCode UnmappedBit = 0x20000000;
}  // namespace syserr

// Maps an errno value onto a system error code; 0 maps to Success.
SystemErrorCode SystemErrorFromErrno(int errorNumber);

// Codes after which a save offers its dialog again: the user can pick another place.
bool IsRefusalCode(SystemErrorCode code);

// The text for a refused access, or nothing: request aborted is silent, and so is a
// write-protected medium under OS level 5; codes outside the table have no text here.
std::optional<std::string_view> FileAccessErrorMessage(SystemErrorCode code, int osLevel);

// Shows the text for the code with the stop icon; for a code outside the table, shows
// otherMessage instead. Refusal codes without a text show nothing.
void ReportFileAccessError(UserInterface& ui, SystemErrorCode code, int osLevel,
                           std::string_view otherMessage);

// A stop-icon box with an OK button, owned by the main window.
void ShowFileError(UserInterface& ui, std::string_view text);

}  // namespace kestrel
