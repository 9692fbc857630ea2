// The PC's serial line settings as one text value, "9600,n,8,1,x": baud rate, parity (n, e, o),
// data bits (7, 8), stop bits (always 1) and flow control (p hardware handshake, x XON/XOFF),
// and the device settings that follow from them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ports/serial_line.h"
#include "printer/printer_entry.h"

namespace kestrel {

// What a serial queue without a stored value is read as: every field missing.
inline constexpr std::string_view kMissingSerialLineValue = ",,,";

// The format code of a line whose data bits and parity match none of the printer's formats.
inline constexpr std::uint32_t kUnknownFormatCode = 0xFFFFFFFF;

// Values are read into a buffer of this many characters, terminator included; longer values
// are cut there.
inline constexpr std::size_t kSerialLineValueBuffer = 50;

// Reads baud, parity, data bits and flow from the value into the host port settings and then
// sets the format code from data bits and parity. The value is split into its non-empty runs
// between commas, so an empty field shifts the later ones forward. Missing or unknown pieces
// give 115200 baud, no parity, 8 data bits and hardware handshake. Seven data bits without
// parity is none of the five formats and leaves the format code as it was.
void ReadSerialLineValue(std::string_view value, HostPortSettings& hostPort);

// The format code for data bits and parity; nothing for seven bits without parity.
std::optional<std::uint32_t> FormatCodeFor(std::uint32_t dataBitsCode, std::uint32_t parityCode);

// The host port settings a confirmed queue starts with: read from its serial line value for a
// serial queue (",,," when there is none), 115200 8N1 with hardware handshake for the others.
void ReadHostPortForEntry(ConnectionStatus status, const std::optional<std::string>& value,
                          HostPortSettings& hostPort);

// The value for the host port settings; a code outside its table leaves its piece empty.
std::string FormatSerialLineValue(const HostPortSettings& hostPort);

// Baud rate of a baud index (0 to 6), nothing for another index.
std::optional<std::uint32_t> BaudRateOfIndex(std::uint32_t baudIndex);

// Sets the device's baud rate, byte size, parity and flow flags from the host port settings;
// a code outside its table leaves that field as the device had it.
void ApplyHostPortToControl(const HostPortSettings& hostPort, SerialControl& control);

}  // namespace kestrel
