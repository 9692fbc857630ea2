#include "storage/working_config.h"

#include <gtest/gtest.h>

#include "ports/testing/recording_ui.h"
#include "printer/serial_line_value.h"
#include "storage_test_support.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
namespace o = offset;
using testing::Bytes;
using testing::DefaultsFor;
using testing::PlainRecord;
using testing::ReadAll;
using testing::StateFor;
using testing::TempFolder;
using testing::WriteAll;

class WorkingConfigTest : public ::testing::Test {
protected:
    AppState stateFor(std::uint32_t mech, SpecIndex spec = SpecIndex::OVERSEA) {
        AppState state = StateFor(mech, false, false, spec);
        state.startupFolder = folder.path().string();
        state.hostPort = kNonSerialHostPort;
        return state;
    }
    fs::path file() const { return folder / "kestrel.ini"; }

    TempFolder folder;
    testing::RecordingUserInterface ui;
    testing::RecordingSettingsView view;
};

TEST_F(WorkingConfigTest, NoFileGivesTheModelsDefaultsAndWritesNothing) {
    AppState state = stateFor(mechanism::KR500, SpecIndex::QWB);
    state.logoTable[2] = {true, "/old/logo.bmp"};
    ReadWorkingConfig(state, ui, view);
    SettingsRecord expected = DefaultsFor(stateFor(mechanism::KR500, SpecIndex::QWB));
    expected[o::Baudrate] = 6;  // from the host port: 115200, 8 bits, no parity, DSR/DTR
    expected[o::Format] = 2;
    expected[o::Protocol] = 0;
    EXPECT_EQ(state.settings, expected);
    EXPECT_TRUE(folder.names().empty());
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(view.page, expected);
    EXPECT_EQ(state.lastSentPaperWidth, expected[o::PaperWidth]);
    for (const LogoEntry& entry : state.logoTable) {
        EXPECT_FALSE(entry.twoColor);
        EXPECT_EQ(entry.path, "");
    }
    EXPECT_EQ(state.logoInitialDir, folder.path().string());
    EXPECT_EQ(ui.cursors, (std::vector{CursorId::Wait, CursorId::Arrow}));
}

TEST_F(WorkingConfigTest, Kr900BlackMarkFileReadWithAKr500) {
    AppState kr900 = stateFor(mechanism::BlackMarkFullCut);
    LoadFactoryDefaults(kr900);
    view.page = kr900.settings;
    view.page[o::PneDetect] = 1;
    view.page[o::Buzzer] = 1;
    view.page[o::MaxSpeed] = 8;
    view.page[o::PrintDensity] = 3;  // marks the stored record
    SetBmCutAdjustment(view.page, 120);
    ASSERT_EQ(view.page[o::BmSensor], 1);
    ASSERT_TRUE(WriteWorkingConfig(kr900, ui, view));
    const auto stored = ReadAll(file());
    EXPECT_EQ(stored, Bytes(view.page));

    AppState kr500 = stateFor(mechanism::KR500);
    ReadWorkingConfig(kr500, ui, view);
    EXPECT_EQ(kr500.settings[o::BmSensor], 0);
    EXPECT_EQ(BmCutAdjustment(kr500.settings), 0);
    EXPECT_EQ(kr500.settings[o::PneDetect], 0);
    EXPECT_EQ(kr500.settings[o::Buzzer], 0);
    EXPECT_LE(kr500.settings[o::MaxSpeed], 3);
    EXPECT_EQ(kr500.settings[o::PrintDensity], 3);
    EXPECT_EQ(kr500.settings[o::BmCheckWithCut], 1);
    EXPECT_EQ(ReadAll(file()), stored);  // in range after the adjustment: not rewritten
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(WorkingConfigTest, OutOfRangeFileIsRewrittenWithTheDefaults) {
    SettingsRecord bad = PlainRecord();
    bad[o::Font] = 9;
    WriteAll(file(), bad);
    AppState state = stateFor(mechanism::KR700);
    ReadWorkingConfig(state, ui, view);
    const SettingsRecord defaults = DefaultsFor(stateFor(mechanism::KR700));
    EXPECT_EQ(ReadAll(file()), Bytes(defaults));
    EXPECT_EQ(state.settings[o::Font], defaults[o::Font]);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(folder.names(), std::vector<std::string>{"kestrel.ini"});
}

TEST_F(WorkingConfigTest, ReadOnlyOutOfRangeFileReportsTheRefusedRewrite) {
    SettingsRecord bad = PlainRecord();
    bad[o::PaperWidth] = 200;
    WriteAll(file(), bad);
    fs::permissions(file(), fs::perms::owner_read);
    AppState state = stateFor(mechanism::FullCut);
    ReadWorkingConfig(state, ui, view);
    EXPECT_EQ(state.settings[o::PaperWidth],
              DefaultsFor(stateFor(mechanism::FullCut))[o::PaperWidth]);
    EXPECT_EQ(ui.boxTexts(),
              std::vector<std::string>{
                  "Access to a disk or folder was refused.\nChange the disk or the folder."});
    EXPECT_EQ(ReadAll(file()), Bytes(bad));
}

TEST_F(WorkingConfigTest, ShortFileCountsAsMissingAndIsLeftAlone) {
    for (const std::size_t size : {0u, 1u, 37u}) {
        const std::vector<std::uint8_t> shortFile(size, 0x09);
        WriteAll(file(), shortFile);
        AppState state = stateFor(mechanism::Standard);
        state.hostPort = {2, 0, 1, 1, 0};
        ReadWorkingConfig(state, ui, view);
        SettingsRecord expected = DefaultsFor(stateFor(mechanism::Standard));
        expected[o::Baudrate] = 2;
        expected[o::Protocol] = 1;
        expected[o::Format] = 0;
        EXPECT_EQ(state.settings, expected) << size;
        EXPECT_EQ(ReadAll(file()), shortFile) << size;
    }
}

TEST_F(WorkingConfigTest, SerialSettingsFollowTheHostPort) {
    const struct {
        std::uint32_t dataBits, parity;
        std::uint8_t format;  // 1 = the stored value, kept; the line's format is then unknown
    } cases[] = {{0, 1, 0}, {0, 2, 1}, {1, 0, 2}, {1, 1, 3}, {1, 2, 4}, {0, 0, 1}, {1, 3, 1}};
    SettingsRecord stored = PlainRecord();
    stored[o::Format] = 1;
    WriteAll(file(), stored);
    for (const auto& c : cases) {
        AppState state = stateFor(mechanism::BlackMark);
        state.hostPort = {3, c.dataBits, c.parity, 1, 4};
        ReadWorkingConfig(state, ui, view);
        EXPECT_EQ(state.settings[o::Format], c.format) << c.dataBits << "/" << c.parity;
        const bool known = c.dataBits * 3 + c.parity != 0 && c.parity < 3;
        EXPECT_EQ(state.hostPort.formatCode, known ? c.format : kUnknownFormatCode);
        EXPECT_EQ(state.settings[o::Baudrate], 3);
        EXPECT_EQ(state.settings[o::Protocol], 1);
    }
}

TEST_F(WorkingConfigTest, WriteFailuresAreReported) {
    const struct {
        std::string folder;
        bool readOnlyFile;
        std::string message;
    } cases[] = {
        {"missing", false, std::string(kWorkingConfigWriteFailure)},
        {"", true, "Access to a disk or folder was refused.\nChange the disk or the folder."},
    };
    for (const auto& c : cases) {
        AppState state = stateFor(mechanism::KR700);
        state.startupFolder = (folder.path() / c.folder).string();
        const std::vector<std::uint8_t> old(38, 0);
        if (c.readOnlyFile) {
            WriteAll(file(), old);
            fs::permissions(file(), fs::perms::owner_read);
        }
        testing::RecordingUserInterface fresh;
        EXPECT_FALSE(WriteWorkingConfig(state, fresh, view));
        EXPECT_EQ(fresh.boxTexts(), std::vector<std::string>{c.message});
        EXPECT_EQ(fresh.boxes.at(0).icon, BoxIcon::Stop);
        EXPECT_EQ(fresh.cursors, (std::vector{CursorId::Wait, CursorId::Arrow}));
        if (c.readOnlyFile) {
            EXPECT_EQ(ReadAll(file()), old);
        }
    }
}

}  // namespace
}  // namespace kestrel
