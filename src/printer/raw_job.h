// The one way bytes reach the printer: a finished buffer written as one RAW document to the
// selected printer's queue, in a single write. Nothing is formatted, chunked or retried.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "state/app_state.h"

namespace kestrel {

class PrintSystem;

inline constexpr std::string_view kRawDocumentName = "My Document";

// Returns true when the whole buffer was accepted and the document closed. On failure the last
// job error says which step failed (1 start, 2 open, 3 write, 4 end or short write); success
// leaves an earlier code as it was. The queue and document are always closed on return.
bool SendRawJob(PrintSystem& printSystem, AppState& state, std::span<const std::uint8_t> bytes);

// The same, reporting the print system's job id on success (0 where it has none).
bool SendRawJob(PrintSystem& printSystem, AppState& state, std::span<const std::uint8_t> bytes,
                int& jobId);

// The text shown for a failed job of the raw channel (codes 1 to 4); nothing for other codes.
std::optional<std::string_view> RawJobFailureMessage(JobError code);

}  // namespace kestrel
