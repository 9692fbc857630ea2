#include "storage/range_check.h"

#include "settings/factory_defaults.h"
#include "state/app_state.h"
#include "storage/atomic_file.h"
#include "storage/file_errors.h"
#include "storage/working_config.h"

namespace kestrel {

bool SettingsInRange(const SettingsRecord& record, bool taiwan) {
    SettingsRecord maxima = SettingMaxima();
    if (taiwan) {
        maxima[offset::MaxSpeed] = kTaiwanMaxSpeed;
    }
    for (std::size_t i = 0; i <= offset::Buzzer; ++i) {
        if (record[i] > maxima[i]) {
            return false;
        }
    }
    const std::int16_t cut = BmCutAdjustment(record);
    return cut >= kBmCutAdjustmentMin && cut <= kBmCutAdjustmentMax &&
           record[offset::Font] <= maxima[offset::Font];
}

bool ReplaceOutOfRangeSettings(AppState& state) {
    if (SettingsInRange(state.settings, state.profile.taiwan)) {
        return true;
    }
    LoadFactoryDefaults(state);
    return false;
}

bool CheckSettingsRange(AppState& state, UserInterface& ui, const std::filesystem::path& path,
                        RangeFailureWrite write) {
    if (ReplaceOutOfRangeSettings(state)) {
        return true;
    }
    if (write == RangeFailureWrite::WriteDefaultsToFile) {
        const SystemErrorCode code =
            WriteFileAtomically(path, state.settings, CreateMode::ReplaceExisting);
        if (code != syserr::Success) {
            ReportFileAccessError(ui, code, state.osLevel, kWorkingConfigWriteFailure);
        }
    }
    return false;
}

}  // namespace kestrel
