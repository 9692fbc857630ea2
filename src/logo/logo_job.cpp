#include "logo/logo_job.h"

#include <chrono>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

#include "logo/banded_file_conversion.h"
#include "printer/raw_job.h"

namespace kestrel {
namespace {

using namespace std::chrono_literals;

using Bytes = std::vector<std::uint8_t>;

std::uint8_t KeyCode1(int slotIndex) {
    return static_cast<std::uint8_t>(0x20 + slotIndex);
}
constexpr std::uint8_t kKeyCode2 = 0x20;

void Append(Bytes& out, std::initializer_list<std::uint8_t> bytes) {
    for (const std::uint8_t b : bytes) {
        out.push_back(b);
    }
}

void AppendText(Bytes& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}

void AppendLe(Bytes& out, std::uint32_t value, int byteCount) {
    for (int i = 0; i < byteCount; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

char SlotDigit(int slotIndex) {
    return static_cast<char>('1' + slotIndex);
}

}  // namespace

JobError JobErrorFor(BitmapReadResult result) {
    switch (result) {
        case BitmapReadResult::BMP_NOT_FOUND:
            return JobError::BitmapNotFound;
        case BitmapReadResult::BMP_BAD_FORMAT:
            return JobError::BitmapBadFormat;
        case BitmapReadResult::BMP_TOO_LARGE:
            return JobError::LogoTooLarge;
        default:
            return JobError::BitmapUnreadable;
    }
}

void BuildLogoDefineCommand(const LogoPlanes& planes, int slotIndex, LogoJobBuffer& buffer) {
    const std::uint32_t bytesPerRow = planes.rows == 0 ? 0 : planes.planeSize / planes.rows;
    const std::uint32_t k = bytesPerRow * planes.rows;
    const std::uint32_t b = planes.plane2 ? 2 : 1;
    Bytes& out = buffer.data;
    out.clear();
    out.reserve(17 + std::size_t{b} * (k + 1));
    Append(out, {0x1D, 0x38, 0x4C});
    AppendLe(out, 10 + b * (k + 1), 4);
    Append(out, {0x30, 0x43, 0x30, KeyCode1(slotIndex), kKeyCode2, static_cast<std::uint8_t>(b)});
    AppendLe(out, bytesPerRow * 8, 2);
    AppendLe(out, planes.rows, 2);
    out.push_back(0x31);
    out.insert(out.end(), planes.plane1.begin(), planes.plane1.begin() + k);
    if (planes.plane2) {
        out.push_back(0x32);
        out.insert(out.end(), planes.plane2->begin(), planes.plane2->begin() + k);
    }
}

std::vector<std::uint8_t> BuildLogoPrintJob(int slotIndex, bool twoColor, bool cutAfter) {
    Bytes out;
    Append(out, {0x1D, 0x65, 0x75, 0x43, 0x01});
    Append(out, {0x1C, 0x43, 0x01});
    std::string caption = "Logo0";
    caption.back() = SlotDigit(slotIndex);
    AppendText(out, caption);
    AppendText(out, twoColor ? "(2Color)" : "(Monochrome)");
    Append(out, {0x1C, 0x43, 0x00});
    out.push_back(0x0A);
    if (twoColor) {
        Append(out, {0x1D, 0x65, 0x75, 0x43, 0x02});
    }
    Append(out,
           {0x1D, 0x28, 0x4C, 0x06, 0x00, 0x30, 0x45, KeyCode1(slotIndex), kKeyCode2, 0x01, 0x01});
    if (twoColor) {
        Append(out, {0x1D, 0x65, 0x75, 0x43, 0x01});
    }
    if (cutAfter) {
        Append(out, {0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x1B, 0x6D});
    } else {
        out.push_back(0x0A);
    }
    return out;
}

std::vector<std::uint8_t> BuildLogoDeleteCommand(int slotIndex) {
    return {0x1D, 0x28, 0x4C, 0x04, 0x00, 0x30, 0x42, KeyCode1(slotIndex), kKeyCode2};
}

LogoFileConversion ReadAndConvertLogo(const std::filesystem::path& path, bool twoColor) {
    LogoFileConversion out;
    const BitmapRead read = ReadLogoBitmap(path, twoColor);
    out.result = read.result;
    out.systemError = read.systemError;
    if (read.result == BitmapReadResult::BMP_OK) {
        out.conversion = ConvertLogoBitmap(*read.bitmap, read.twoColor);
        out.result = out.conversion.result;
    }  // the file's block is released here
    return out;
}

BitmapReadResult ConvertLogoFile(const std::filesystem::path& path, int slotIndex,
                                 LogoJobBuffer& buffer, int* systemError) {
    buffer.data.clear();
    LogoConversion conversion;
    if (auto banded = ConvertLogoFileInBands(path, buffer.twoColor)) {
        conversion = std::move(*banded);
    } else {
        LogoFileConversion read = ReadAndConvertLogo(path, buffer.twoColor);
        if (read.result != BitmapReadResult::BMP_OK) {
            if (systemError) {
                *systemError = read.systemError;
            }
            return read.result;
        }
        conversion = std::move(read.conversion);
    }
    if (conversion.result != BitmapReadResult::BMP_OK) {
        return BitmapReadResult::BMP_UNREADABLE;
    }
    try {
        BuildLogoDefineCommand(conversion.planes, slotIndex, buffer);
    } catch (const std::bad_alloc&) {
        buffer.data.clear();
        return BitmapReadResult::BMP_UNREADABLE;
    }
    return BitmapReadResult::BMP_OK;
}

std::string LogoJobProgressText(LogoJobKind kind, int slotIndex) {
    std::string text;
    switch (kind) {
        case LogoJobKind::LogoRegister:
            text = "Logo 0 is registered to the printer.";
            break;
        case LogoJobKind::LogoPrint:
            text = "Logo 0 of the printer is printed.";
            break;
        case LogoJobKind::LogoDelete:
            text = "Logo 0 of the printer is deleted.";
            break;
    }
    if (!text.empty()) {
        text[5] = SlotDigit(slotIndex);
    }
    return text;
}

bool RunLogoJob(CommandContext& ctx, LogoJobKind kind, int slotIndex, bool cutAfter,
                bool twoColor) {
    if (kind != LogoJobKind::LogoDelete && kind != LogoJobKind::LogoRegister &&
        kind != LogoJobKind::LogoPrint) {
        return true;
    }
    if (slotIndex < 0 || slotIndex >= kLogoSlotCount) {
        throw std::out_of_range("logo slot index");
    }
    AppState& state = ctx.state;
    auto progress = ctx.ui.openProgressWindow(Owner::MainWindow);
    SetBusyCursor(ctx.ui, CursorId::Wait);

    LogoJobBuffer buffer;
    switch (kind) {
        case LogoJobKind::LogoRegister: {
            const LogoEntry& entry = state.logoTable.at(static_cast<std::size_t>(slotIndex));
            buffer.twoColor = entry.twoColor;
            state.lastJobSystemError = 0;
            const BitmapReadResult result =
                ConvertLogoFile(entry.path, slotIndex, buffer, &state.lastJobSystemError);
            if (result != BitmapReadResult::BMP_OK) {
                state.lastJobError = JobErrorFor(result);
                progress.reset();
                SetBusyCursor(ctx.ui, CursorId::Arrow);
                return false;
            }
            break;
        }
        case LogoJobKind::LogoPrint:
            buffer.data = BuildLogoPrintJob(slotIndex, twoColor, cutAfter);
            break;
        case LogoJobKind::LogoDelete:
            buffer.data = BuildLogoDeleteCommand(slotIndex);
            break;
    }
    progress->setText(LogoJobProgressText(kind, slotIndex));

    if (!SendRawJob(ctx.printSystem, state, buffer.data)) {
        buffer.data = {};
        progress.reset();
        SetBusyCursor(ctx.ui, CursorId::Arrow);
        return false;
    }
    ctx.clock.sleepFor(1000ms);
    buffer.data = {};
    progress.reset();
    ctx.clock.sleepFor(200ms);
    SetBusyCursor(ctx.ui, CursorId::Arrow);
    return true;
}

}  // namespace kestrel
