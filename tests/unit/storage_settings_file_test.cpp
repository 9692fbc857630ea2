// A loaded record is fitted to the model, then checked; .kcf Load and Save, and kestrel.ini.
#include "storage/settings_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>

#include "ports/testing/recording_ui.h"
#include "printer/serial_line_value.h"
#include "settings/factory_defaults.h"
#include "state/app_state.h"
#include "storage/file_errors.h"
#include "storage/model_adjustment.h"
#include "storage/range_check.h"
#include "storage/working_config.h"
#include "test_helpers.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
namespace o = offset;
using testing::ReadAll;
using testing::WriteAll;

std::vector<std::uint8_t> Bytes(const SettingsRecord& record) {
    return {record.begin(), record.end()};
}

AppState StateFor(std::uint32_t mechanismId, bool egypt = false, bool taiwan = false) {
    AppState state;
    state.selectedPrinter().mechanismId = mechanismId;
    state.profile.egypt = egypt;
    state.profile.taiwan = taiwan;
    return state;
}

// The record LoadFactoryDefaults gives for this printer and profile.
SettingsRecord DefaultsFor(AppState state) {
    LoadFactoryDefaults(state);
    return state.settings;
}

// A sound record that no model adjustment changes (no black mark, slow speed) and that differs
// from every default record (print density 3).
SettingsRecord PlainRecord() {
    SettingsRecord r = FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::STANDARD);
    r[offset::MaxSpeed] = 2;
    r[offset::PrintDensity] = 3;
    r[offset::PneDetect] = 0;
    r[offset::Buzzer] = 0;
    return r;
}

constexpr auto kFile = AdjustmentRule::SettingsFile;
constexpr auto kWork = AdjustmentRule::WorkingConfig;
constexpr auto S0 = SpecIndex::OVERSEA;

struct AdjustCase {
    std::uint32_t mech;
    bool egypt, taiwan;
    AdjustmentRule rule;
    std::uint8_t speedIn;  // then the expected values
    std::uint8_t bmSensor;
    std::int16_t cut;
    std::uint8_t pneAndBuzzer, speed;
    bool taiwanAfter;
    SpecIndex spec;
};

// Input: black mark sensor on, cut 2500, near-end detector and buzzer on, speed as given.
const AdjustCase kAdjustCases[] = {
    // mech  eg    tw    rule  in  bm cut pne spd tw     spec
    {16, false, false, kFile, 10, 0, 0, 1, 8, false, S0},
    {17, false, false, kFile, 10, 1, 0, 1, 8, false, S0},
    {240, false, false, kFile, 7, 1, 0, 1, 7, false, S0},
    {18, false, true, kFile, 10, 0, 0, 1, 10, true, S0},  // file rule: the flag keeps the speed
    {20, false, false, kFile, 10, 0, 0, 1, 6, false, S0},
    {20, true, false, kFile, 10, 1, 2500, 1, 6, false, S0},  // Egyptian KR-700 has the sensor
    {21, true, true, kFile, 10, 0, 0, 0, 3, true, S0},
    {18, false, true, kWork, 10, 0, 0, 1, 10, true, SpecIndex::QDN},  // Taiwan full-cut printer
    {16, false, true, kWork, 10, 0, 0, 1, 8, false, S0},              // flag cleared elsewhere
    {19, false, true, kWork, 10, 1, 0, 1, 8, false, S0},
    {20, false, true, kWork, 10, 0, 0, 1, 6, true, S0},  // KR-700/500 leave the flag alone
    {21, false, true, kWork, 10, 0, 0, 0, 3, true, S0},
};

TEST(ModelAdjustment, ClearsWhatTheModelLacksAndLimitsTheSpeed) {
    for (const AdjustCase& c : kAdjustCases) {
        SCOPED_TRACE(::testing::Message() << c.mech << " egypt " << c.egypt << " taiwan "
                                          << c.taiwan << " speed " << int{c.speedIn});
        SettingsRecord record = PlainRecord();
        record[o::BmSensor] = record[o::PneDetect] = record[o::Buzzer] = 1;
        record[o::MaxSpeed] = c.speedIn;
        SetBmCutAdjustment(record, 2500);
        record[o::Reserved] = 0x5A;
        SettingsRecord expected = record;
        expected[o::BmSensor] = c.bmSensor;
        expected[o::PneDetect] = expected[o::Buzzer] = c.pneAndBuzzer;
        expected[o::MaxSpeed] = c.speed;
        SetBmCutAdjustment(expected, c.cut);
        ProfileState profile;
        profile.egypt = c.egypt;
        profile.taiwan = c.taiwan;
        AdjustToModel(record, profile, c.mech, c.rule);
        EXPECT_EQ(record, expected);
        EXPECT_EQ(profile,
                  (ProfileState{c.spec, MechanismIndex::STANDARD, c.egypt, c.taiwanAfter, false}));
    }
}

void Put(SettingsRecord& r, std::size_t at, int value) {
    if (at == o::BmCutAdjustment) {
        SetBmCutAdjustment(r, static_cast<std::int16_t>(value));
    } else {
        r[at] = static_cast<std::uint8_t>(value);
    }
}

TEST(RangeCheck, EveryCheckedByteAcceptsItsMaximumAndRefusesOneMore) {
    const SettingsRecord& maxima = SettingMaxima();
    for (std::size_t i = 0; i <= o::Buzzer; ++i) {
        SettingsRecord r = PlainRecord();
        r[i] = maxima[i];
        EXPECT_TRUE(SettingsInRange(r, false)) << i;
        r[i] = static_cast<std::uint8_t>(maxima[i] + 1);
        EXPECT_FALSE(SettingsInRange(r, false)) << i;
    }
    const struct {
        std::size_t at;
        int value;
        bool taiwan, passes;
    } cases[] = {
        {o::MaxSpeed, 10, true, true},
        {o::MaxSpeed, 11, true, false},
        {o::BmCutAdjustment, -340, false, true},
        {o::BmCutAdjustment, -341, false, false},
        {o::BmCutAdjustment, 2500, false, true},
        {o::BmCutAdjustment, 2501, false, false},
        {o::Font, 1, false, true},
        {o::Font, 2, false, false},
        {o::Reserved, 255, false, true},
    };
    for (const auto& c : cases) {
        SettingsRecord r = PlainRecord();
        Put(r, c.at, c.value);
        EXPECT_EQ(SettingsInRange(r, c.taiwan), c.passes) << c.at << "=" << c.value;
    }
}

// The whole load path in memory, for both loaders: the adjustment comes before the check. The
// value at `at` after a settings file load and after a working configuration load, or kDefaults.
constexpr int kDefaults = -100000;

TEST(LoadAdjustAndCheck, BothLoaders) {
    const struct {
        std::uint32_t mech;
        bool taiwan;
        std::size_t at;
        int value, fileResult, workResult;
    } cases[] = {
        {16, true, o::MaxSpeed, 11, kDefaults, 8},  // lowered before the check
        {21, false, o::PneDetect, 2, 0, 0},         // masked by the model before the check
        {19, false, o::PneDetect, 2, kDefaults, kDefaults},
    };
    for (const auto& c : cases) {
        SettingsRecord image = PlainRecord();
        image[c.at] = static_cast<std::uint8_t>(c.value);
        for (const auto rule : {kFile, kWork}) {
            SCOPED_TRACE(::testing::Message() << c.mech << " " << c.at << "=" << c.value
                                              << (rule == kFile ? " file" : " working"));
            AppState state = StateFor(c.mech, false, c.taiwan);
            const SettingsRecord defaults = DefaultsFor(state);
            if (rule == kFile) {
                EXPECT_EQ(ApplySettingsFile(state, Bytes(image)), SettingsFileContent::Taken);
            } else {
                ApplyWorkingConfig(state, Bytes(image));
                ReplaceOutOfRangeSettings(state);
            }
            const int result = rule == kFile ? c.fileResult : c.workResult;
            SettingsRecord expected = image;
            expected[c.at] = static_cast<std::uint8_t>(result);
            EXPECT_EQ(state.settings, result == kDefaults ? defaults : expected);
        }
    }
}

// Short content is refused, yet the record in force is still checked.
TEST(SettingsFileContent, ShortContentIsRefusedYetTheRecordIsStillChecked) {
    AppState state = StateFor(mechanism::KR500);
    state.settings[o::Font] = 2;
    EXPECT_EQ(ApplySettingsFile(state, std::vector<std::uint8_t>(37, 0)),
              SettingsFileContent::TooShort);
    EXPECT_EQ(state.settings, DefaultsFor(StateFor(mechanism::KR500)));
}

const std::vector<std::uint8_t> kOld(38, 1);
const std::string kDenied(*FileAccessErrorMessage(syserr::AccessDenied, 0));

// A black-mark printer whose start-up folder is the scratch folder; the page shows `page`.
class SettingsFileTest : public ::testing::Test {
protected:
    SettingsFileTest() : state(StateFor(mechanism::BlackMark)) {
        state.startupFolder = folder.path().string();
        state.hostPort = kNonSerialHostPort;
        before[o::PaperWidth] = 3;
        state.settings = before;
        page[o::BmSensor] = 1;
        page[o::Reserved] = 7;  // carried unchanged
        view.page = page;
    }
    void load(const fs::path& path) {
        ui = {};
        view.refreshes = 0;
        ui.fileAnswers.push_back(path.string());
        LoadSettingsFile(state, ui, view);
    }
    void save(std::vector<fs::path> answers, std::vector<Answer> replies = {}) {
        ui = {};
        ui.fileAnswers.assign(answers.begin(), answers.end());
        ui.answers.assign(replies.begin(), replies.end());
        SaveSettingsFile(state, ui, view);
    }
    fs::path ini() const { return folder / "kestrel.ini"; }

    testing::ScratchFolder folder;
    AppState state;
    testing::RecordingUserInterface ui;
    testing::RecordingSettingsView view;
    SettingsRecord before = PlainRecord();
    SettingsRecord page = PlainRecord();
};

TEST_F(SettingsFileTest, DialogsStartInTheStartupFolderWithAnEmptyName) {
    LoadSettingsFile(state, ui, view);  // cancelled
    SaveSettingsFile(state, ui, view);  // cancelled
    ASSERT_EQ(ui.dialogs.size(), 2u);
    for (const FileDialogOptions& d : ui.dialogs) {
        EXPECT_EQ(d.mustExist, &d == &ui.dialogs[0]);
        EXPECT_EQ(d.title, d.mustExist ? "Load the File" : "Save the File");
        EXPECT_EQ(std::tie(d.filterText, d.filterPattern, d.defaultExtension, d.fileName,
                           d.initialFolder, d.owner),
                  std::make_tuple("POS Utility(*.kcf)", "*.kcf", "kcf", "", folder.path().string(),
                                  Owner::MainWindow));
    }
}

// An out-of-range record gives the defaults, silently; neither file is changed.
TEST_F(SettingsFileTest, LoadTakesTheFirst38BytesOrRefusesTheFile) {
    fs::create_directory(folder / "dir.kcf");
    auto longer = Bytes(page);
    longer.push_back(0xFF);
    WriteAll(folder / "long.kcf", longer);
    SettingsRecord bad = PlainRecord();
    bad[o::PaperWidth] = 6;
    WriteAll(folder / "bad.kcf", bad);
    WriteAll(folder / "short.kcf", std::vector<std::uint8_t>(37, 0));
    const SettingsRecord defaults = DefaultsFor(StateFor(mechanism::BlackMark));
    const std::tuple<std::string, std::string_view, SettingsRecord> cases[] = {
        {"long.kcf", "", page},
        {"missing.kcf", kReadFailureNoFile, before},
        {"dir.kcf", kReadFailureNoFile, before},
        {"short.kcf", kReadFailureUnreadable, before},
        {"bad.kcf", "", defaults},
    };
    for (const auto& [name, message, expected] : cases) {
        SCOPED_TRACE(name);
        state.settings = before;
        load(folder / name);
        EXPECT_EQ(state.settings, expected);
        EXPECT_EQ(ui.boxTexts(),
                  message.empty() ? std::vector<std::string>{} : std::vector{std::string(message)});
        // A file that was opened refreshes the page, even when it is refused.
        const int refreshes = message != kReadFailureNoFile;
        EXPECT_EQ(std::tie(view.refreshes, view.page),
                  std::tie(refreshes, refreshes ? state.settings : page));
        EXPECT_EQ(ui.cursors, (std::vector{CursorId::Wait, CursorId::Arrow}));
    }
    EXPECT_EQ(ReadAll(folder / "long.kcf"), longer);
    EXPECT_EQ(ReadAll(folder / "bad.kcf"), Bytes(bad));
}

// The page is collected and written as its 38 bytes; after No the second dialog, with an empty
// name, is cancelled.
TEST_F(SettingsFileTest, ExistingNameYesReplacesNoAsksAgainWithAnEmptyName) {
    const auto target = folder / "s.kcf";
    for (const Answer answer : {Answer::No, Answer::Yes}) {
        WriteAll(target, kOld);
        save({target}, {answer});
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(std::tie(ui.boxes[0].text, ui.boxes[0].buttons, ui.boxes[0].icon),
                  std::tuple(kOverwriteQuestion, Buttons::YesNo, BoxIcon::Question));
        EXPECT_EQ(ReadAll(target), answer == Answer::Yes ? Bytes(page) : kOld);
        ASSERT_EQ(ui.dialogs.size(), answer == Answer::Yes ? 1u : 2u);
        EXPECT_EQ(ui.dialogs.back().fileName, "");
    }
    EXPECT_EQ(view.collects, 2);
}

// A folder where creating a file is refused with EACCES or EPERM, also for a privileged user:
// permission bits when they bind, else a kernel folder that refuses new files.
std::optional<fs::path> RefusingFolder(const fs::path& scratch) {
    const fs::path locked = scratch / "locked";
    fs::create_directory(locked);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    for (const fs::path& candidate : {locked, fs::path("/sys")}) {
        const fs::path probe = candidate / "kestrel-probe.kcf";
        if (std::FILE* f = std::fopen(probe.c_str(), "wbx")) {
            std::fclose(f);
            fs::remove(probe);
            continue;
        }
        if (errno == EACCES || errno == EPERM) {
            return candidate;
        }
    }
    return std::nullopt;
}

// A refused folder asks again; a read-only file or a missing folder ends the save.
TEST_F(SettingsFileTest, FailedSaves) {
    const auto readOnly = folder / "ro.kcf";
    WriteAll(readOnly, kOld);
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read);
    const std::string cannot(kCannotOverwrite);
    save({readOnly, folder / "s.kcf"}, {Answer::Yes});
    EXPECT_EQ(ui.boxTexts(), (std::vector<std::string>{std::string(kOverwriteQuestion), cannot}));
    EXPECT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(ReadAll(readOnly), kOld);
    save({folder / "none" / "s.kcf", folder / "s.kcf"});
    EXPECT_EQ(ui.boxTexts(), std::vector{cannot});
    EXPECT_EQ(ui.dialogs.size(), 1u);
    EXPECT_FALSE(fs::exists(folder / "s.kcf"));

    const auto refusing = RefusingFolder(folder.path());
    if (!refusing) {
        GTEST_SKIP() << "no folder here refuses new files to this user";
    }
    save({*refusing / "s.kcf", folder / "s.kcf"});
    EXPECT_EQ(ui.boxTexts(), std::vector{kDenied});
    ASSERT_EQ(ui.dialogs.size(), 2u);
    EXPECT_EQ(ui.dialogs[1].fileName, "");
    EXPECT_EQ(ReadAll(folder / "s.kcf"), Bytes(page));
}

// The working configuration kestrel.ini in the start-up folder, read at start, written on exit.
// No file or a short one gives the model's defaults and writes nothing; an out-of-range one is
// rewritten with them, and a read-only one reports the refusal. The logo table starts empty.
TEST_F(SettingsFileTest, WorkingConfigMissingShortOrOutOfRangeGivesTheModelsDefaults) {
    SettingsRecord bad = PlainRecord();
    bad[o::Font] = 9;
    state.selectedPrinter().mechanismId = mechanism::KR500;
    state.profile.specIndex = SpecIndex::QWB;
    const AppState fresh = state;
    const SettingsRecord defaults = DefaultsFor(fresh);
    SettingsRecord expected = defaults;
    expected[o::Baudrate] = 6;  // from the host port: 115200, 8 bits, no parity, DSR/DTR
    expected[o::Format] = 2;
    expected[o::Protocol] = 0;
    const struct {
        std::optional<std::vector<std::uint8_t>> content;
        bool readOnly, rewritten;
    } cases[] = {{std::nullopt, false, false},
                 {std::vector<std::uint8_t>(37, 9), false, false},
                 {Bytes(bad), false, true},
                 {Bytes(bad), true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content ? c.content->size() : 99);
        fs::remove(ini());
        if (c.content) {
            WriteAll(ini(), *c.content);
            fs::permissions(ini(), c.readOnly ? fs::perms::owner_read : fs::perms::owner_all);
        }
        state = fresh;
        state.logoTable[2] = {true, "/old/logo.bmp"};
        ui = {};
        ReadWorkingConfig(state, ui, view);
        EXPECT_EQ(
            std::tie(state.settings, view.page, state.lastSentPaperWidth, state.logoTable[2].path,
                     state.logoTable[2].twoColor, state.logoInitialDir),
            std::make_tuple(expected, expected, expected[o::PaperWidth], "", false,
                            folder.path().string()));
        EXPECT_EQ(ui.boxTexts(), c.readOnly ? std::vector{kDenied} : std::vector<std::string>{});
        EXPECT_EQ(ui.cursors, (std::vector{CursorId::Wait, CursorId::Arrow}));
        EXPECT_EQ(folder.names().size(), c.content ? 1u : 0u);
        if (c.content) {
            EXPECT_EQ(ReadAll(ini()), c.rewritten ? Bytes(defaults) : *c.content);
        }
    }
}

// The stored format is kept when the host port's has none; the line's format is then unknown.
// (The mapping itself is the serial line's.)
TEST_F(SettingsFileTest, WorkingConfigSerialSettingsFollowTheHostPort) {
    const struct {
        std::uint32_t dataBits, parity;
        std::uint8_t format;
    } cases[] = {{1, 1, 3}, {0, 0, 1}, {1, 3, 1}};
    SettingsRecord stored = PlainRecord();
    stored[o::Format] = 1;
    WriteAll(ini(), stored);
    for (const auto& c : cases) {
        state.hostPort = {3, c.dataBits, c.parity, 1, 4};
        ReadWorkingConfig(state, ui, view);
        const bool known = c.dataBits * 3 + c.parity != 0 && c.parity < 3;
        EXPECT_EQ(std::tuple(state.settings[o::Format], state.hostPort.formatCode,
                             state.settings[o::Baudrate], state.settings[o::Protocol]),
                  std::tuple(c.format, known ? c.format : kUnknownFormatCode, 3, 1))
            << c.dataBits << "/" << c.parity;
    }
}

// No such folder, then a read-only file.
TEST_F(SettingsFileTest, WorkingConfigWriteFailuresAreReported) {
    const std::pair<std::string, std::string> cases[] = {
        {"missing", std::string(kWorkingConfigWriteFailure)}, {"", kDenied}};
    WriteAll(ini(), kDenied);
    fs::permissions(ini(), fs::perms::owner_read);
    for (const auto& [subfolder, message] : cases) {
        state.startupFolder = (folder.path() / subfolder).string();
        ui = {};
        EXPECT_FALSE(WriteWorkingConfig(state, ui, view));
        EXPECT_EQ(ui.boxTexts(), std::vector{message});
    }
    EXPECT_EQ(ReadAll(ini()), std::vector<std::uint8_t>(kDenied.begin(), kDenied.end()));
}

}  // namespace
}  // namespace kestrel
