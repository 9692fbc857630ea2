// CUPS device URIs: the kind of port a scheme names, and the line settings that a "serial:" URI
// carries as options ("serial:/dev/ttyS0?baud=9600+bits=8+parity=none+flow=dtrdsr").
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ports/print_system.h"

namespace kestrel {

// usb, parallel, serial and file by name (kestrel-printer, the virtual KR printer, as usb); socket,
// ipp, ipps, http, https, lpd, smb and dnssd are network queues, and so is a queue without a URI
// (a temporary IPP queue). Any other scheme is not a port this program can use.
PortKind PortKindFromDeviceUri(std::string_view uri);

// The device file of a "serial:" URI, or a path given directly; nothing for other ports.
std::optional<std::string> SerialDevicePath(std::string_view port);

// The "9600,n,8,1,x" value of a "serial:" URI's options, with 115200, none, 8 and hardware
// handshake for options it lacks; nothing for a URI of another scheme.
std::optional<std::string> SerialLineValueFromDeviceUri(std::string_view uri);

// The URI with baud, bits, parity and flow set from the value; every other option keeps its
// place and text, missing ones are added at the end. Nothing for a URI of another scheme.
std::optional<std::string> DeviceUriWithSerialLineValue(std::string_view uri,
                                                        std::string_view value);

}  // namespace kestrel
