#include "storage/model_adjustment.h"

namespace kestrel {
namespace {

namespace o = offset;

void Limit(SettingsRecord& record, std::size_t at, std::uint8_t largest) {
    if (record[at] > largest) {
        record[at] = largest;
    }
}

// Speed limits by mechanism: option "7" on a KR-700, "4" on a KR-500, "9" on a KR-900.
constexpr std::uint8_t kKr700MaxSpeed = 6;
constexpr std::uint8_t kKr500MaxSpeed = 3;
constexpr std::uint8_t kKr900MaxSpeed = 8;

}  // namespace

void AdjustToModel(SettingsRecord& record, ProfileState& profile, std::uint32_t mechanismId,
                   AdjustmentRule rule) {
    // KR-900 variants without a black mark sensor.
    if (mechanismId == mechanism::Standard || mechanismId == mechanism::FullCut) {
        record[o::BmSensor] = 0;
    }

    if (mechanismId == mechanism::KR700) {
        // Only the Egyptian KR-700 carries a black mark sensor.
        if (!profile.egypt) {
            record[o::BmSensor] = 0;
            SetBmCutAdjustment(record, 0);
        }
        Limit(record, o::MaxSpeed, kKr700MaxSpeed);
        return;
    }
    if (mechanismId == mechanism::KR500) {
        record[o::BmSensor] = 0;
        SetBmCutAdjustment(record, 0);
        record[o::PneDetect] = 0;
        record[o::Buzzer] = 0;
        Limit(record, o::MaxSpeed, kKr500MaxSpeed);
        return;
    }

    SetBmCutAdjustment(record, 0);
    if (rule == AdjustmentRule::SettingsFile) {
        if (!profile.taiwan) {
            Limit(record, o::MaxSpeed, kKr900MaxSpeed);
        }
        return;
    }
    if (profile.taiwan && mechanismId == mechanism::FullCut) {
        profile.specIndex = SpecIndex::QDN;
    } else {
        Limit(record, o::MaxSpeed, kKr900MaxSpeed);
        profile.taiwan = false;
    }
}

}  // namespace kestrel
