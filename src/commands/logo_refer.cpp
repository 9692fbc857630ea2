#include "commands/logo_refer.h"

#include "commands/logo_commands.h"
#include "logo/logo_geometry.h"
#include "logo/logo_job.h"
#include "settings/text.h"

namespace kestrel {

std::string FolderOf(std::string_view path) {
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

ReferStart ReferStartFor(std::string_view slotPath, std::string_view lastFolder) {
    if (slotPath.empty()) {
        return {std::string(lastFolder), {}};
    }
    const std::string folder = FolderOf(slotPath);
    const std::string_view file = slotPath.substr(folder.size());
    const auto dot = file.rfind('.');
    const std::string_view name = dot == std::string_view::npos ? file : file.substr(0, dot);
    const std::string_view extension =
        dot == std::string_view::npos ? std::string_view() : file.substr(dot);
    if (name.empty()) {
        return {folder, {}};
    }
    if (EqualsIgnoreCase(extension, ".BMP")) {
        return {folder, std::string(slotPath)};
    }
    // Anything else was typed as a folder to look in, dots and all.
    std::string asFolder(slotPath);
    asFolder += '/';
    return {asFolder, {}};
}

std::optional<std::string> ReferLogoFile(AppState& state, UserInterface& ui, int slotIndex) {
    LogoEntry& entry = state.logoTable.at(static_cast<std::size_t>(slotIndex));
    const ReferStart start = ReferStartFor(entry.path, state.logoInitialDir);
    state.logoInitialDir = start.initialFolder;
    entry.path = start.fileName;

    FileDialogOptions options;
    options.title = "Open logo file";
    options.filterText = "Logo file(*.bmp)";
    options.filterPattern = "*.bmp";
    options.defaultExtension = "bmp";
    options.initialFolder = start.initialFolder;
    options.fileName = start.fileName;
    options.mustExist = true;
    options.owner = Owner::LogoDialog;
    std::optional<std::string> chosen = ui.openFileDialog(options);
    if (chosen) {
        entry.path = *chosen;
        state.logoInitialDir = FolderOf(*chosen);
    }
    return chosen;
}

std::optional<std::string> LogoPathTooLongText(const LogoTable& table) {
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].path.size() > kMaxLogoPathLength) {
            return "The BITMAP file path of Logo" + std::to_string(i + 1) + " is too long (" +
                   std::to_string(table[i].path.size()) +
                   " characters).\nA path may have at most " + std::to_string(kMaxLogoPathLength) +
                   " characters: move the file to a folder with a shorter path.";
        }
    }
    return std::nullopt;
}

std::string LogoPreviewText(BitmapReadResult result, const LogoConversion& conversion) {
    if (result != BitmapReadResult::BMP_OK) {
        // The reason without the heading and path that the job message puts before it.
        const std::string message = LogoJobFailureMessage(JobErrorFor(result), "");
        const auto line = message.rfind('\n');
        return line == std::string::npos ? message : message.substr(line + 1);
    }
    const bool twoColor = conversion.planes.plane2.has_value();
    const std::uint64_t bytes = std::uint64_t{conversion.planes.planeSize} * (twoColor ? 2 : 1);
    return std::to_string(conversion.width) + " x " + std::to_string(conversion.planes.rows) +
           " dots, " + (twoColor ? "two colours" : "monochrome") + ", " + std::to_string(bytes) +
           " bytes of " + std::to_string(kNvGraphicsMemoryBytes / 1024) + " KB NV graphics memory";
}

}  // namespace kestrel
