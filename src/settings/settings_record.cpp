#include "settings/settings_record.h"

namespace kestrel {

std::int16_t BmCutAdjustment(const SettingsRecord& record) {
    const auto raw = static_cast<std::uint16_t>(record[offset::BmCutAdjustment] |
                                                (record[offset::BmCutAdjustment + 1] << 8));
    return static_cast<std::int16_t>(raw);
}

void SetBmCutAdjustment(SettingsRecord& record, std::int16_t tenthsOfMm) {
    const auto raw = static_cast<std::uint16_t>(tenthsOfMm);
    record[offset::BmCutAdjustment] = static_cast<std::uint8_t>(raw & 0xFF);
    record[offset::BmCutAdjustment + 1] = static_cast<std::uint8_t>(raw >> 8);
}

}  // namespace kestrel
