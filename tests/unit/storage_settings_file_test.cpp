// File > Load and File > Save of a .kcf settings file through the dialogs, and the working
// configuration kestrel.ini.
#include "storage/settings_file.h"
#include "storage/working_config.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>

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
using testing::WriteAll;

const std::vector<std::uint8_t> kOld(38, 1);
const std::string kDenied =
    "Access to a disk or folder was refused.\nChange the disk or the folder.";

class SettingsFileTest : public ::testing::Test {
protected:
    SettingsFileTest() : state(testing::StateFor(mechanism::BlackMark)) {
        state.startupFolder = folder.path().string();
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
        for (const auto& path : answers) {
            ui.fileAnswers.push_back(path.string());
        }
        ui.answers.assign(replies.begin(), replies.end());
        SaveSettingsFile(state, ui, view);
    }

    testing::TempFolder folder;
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
        EXPECT_EQ(std::tie(d.filterText, d.filterPattern, d.defaultExtension, d.fileName),
                  std::make_tuple("POS Utility(*.kcf)", "*.kcf", "kcf", ""));
        EXPECT_EQ(d.initialFolder, folder.path().string());
        EXPECT_EQ(d.owner, Owner::MainWindow);
    }
    EXPECT_TRUE(ui.cursors.empty() && ui.boxes.empty());
    EXPECT_EQ(view.refreshes, 0);
}

TEST_F(SettingsFileTest, LoadTakesTheFirst38BytesOrRefusesTheFile) {
    fs::create_directory(folder / "dir.kcf");
    auto longer = Bytes(page);
    longer.push_back(0xFF);
    WriteAll(folder / "long.kcf", longer);
    SettingsRecord bad = PlainRecord();
    bad[o::PaperWidth] = 6;
    WriteAll(folder / "bad.kcf", bad);
    const SettingsRecord defaults = DefaultsFor(testing::StateFor(mechanism::BlackMark));
    const struct {
        std::string name;
        std::optional<std::size_t> size;  // of a file of zeros; nothing: as above
        std::string_view message;
        int refreshes;
    } cases[] = {
        {"long.kcf", std::nullopt, "", 1},
        {"missing.kcf", std::nullopt, kReadFailureNoFile, 0},
        {"dir.kcf", std::nullopt, kReadFailureNoFile, 0},
        {"empty.kcf", 0, kReadFailureUnreadable, 1},
        {"short.kcf", 37, kReadFailureUnreadable, 1},
        {"bad.kcf", std::nullopt, "", 1},  // out of range: the defaults, silently
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.size) {
            WriteAll(folder / c.name, std::vector<std::uint8_t>(*c.size, 0));
        }
        state.settings = before;
        load(folder / c.name);
        EXPECT_EQ(state.settings, c.name == "bad.kcf" ? defaults
                                  : c.message.empty() ? page
                                                      : before);
        EXPECT_EQ(ui.boxTexts(), c.message.empty() ? std::vector<std::string>{}
                                                   : std::vector{std::string(c.message)});
        EXPECT_EQ(view.refreshes, c.refreshes);
        EXPECT_EQ(view.page, c.refreshes ? state.settings : page);
        EXPECT_EQ(ui.cursors, (std::vector{CursorId::Wait, CursorId::Arrow}));
    }
    EXPECT_EQ(ReadAll(folder / "long.kcf"), longer);
    EXPECT_EQ(ReadAll(folder / "bad.kcf"), Bytes(bad));
}

// The page is collected and written as 38 bytes that load back equal.
TEST_F(SettingsFileTest, ExistingNameYesReplacesNoAsksAgainWithAnEmptyName) {
    const auto target = folder / "s.kcf";
    for (const Answer answer : {Answer::No, Answer::Yes}) {
        WriteAll(target, kOld);
        save({target}, {answer});  // the second dialog after No is cancelled
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text, kOverwriteQuestion);
        EXPECT_EQ(ui.boxes[0].buttons, Buttons::YesNo);
        EXPECT_EQ(ui.boxes[0].icon, BoxIcon::Question);
        EXPECT_EQ(ReadAll(target), answer == Answer::Yes ? Bytes(page) : kOld);
        ASSERT_EQ(ui.dialogs.size(), answer == Answer::Yes ? 1u : 2u);
        EXPECT_EQ(ui.dialogs.back().fileName, "");
        EXPECT_EQ(ui.current, CursorId::Arrow);
    }
    EXPECT_EQ(view.collects, 2);
    state.settings = before;
    load(target);
    EXPECT_EQ(state.settings, page);
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
    EXPECT_EQ(ui.boxes[1].icon, BoxIcon::Stop);
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
class WorkingConfigTest : public ::testing::Test {
protected:
    AppState stateFor(std::uint32_t mech) {
        AppState state = testing::StateFor(mech);
        state.startupFolder = folder.path().string();
        state.hostPort = kNonSerialHostPort;
        return state;
    }
    fs::path file() const { return folder / "kestrel.ini"; }

    testing::TempFolder folder;
    testing::RecordingUserInterface ui;
    testing::RecordingSettingsView view;
};

// No file or a short one gives the model's defaults and writes nothing; an out-of-range one is
// rewritten with them, and a read-only one reports the refusal. The logo table starts empty.
TEST_F(WorkingConfigTest, MissingShortOrOutOfRangeFilesGiveTheModelsDefaults) {
    SettingsRecord bad = PlainRecord();
    bad[o::Font] = 9;
    const struct {
        std::optional<std::vector<std::uint8_t>> content;
        bool readOnly, rewritten;
    } cases[] = {{std::nullopt, false, false},
                 {std::vector<std::uint8_t>{}, false, false},
                 {std::vector<std::uint8_t>(37, 9), false, false},
                 {Bytes(bad), false, true},
                 {Bytes(bad), true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content ? c.content->size() : 99);
        fs::remove(file());
        if (c.content) {
            WriteAll(file(), *c.content);
            fs::permissions(file(), c.readOnly ? fs::perms::owner_read : fs::perms::owner_all);
        }
        AppState state = stateFor(mechanism::KR500);
        state.profile.specIndex = SpecIndex::QWB;
        state.logoTable[2] = {true, "/old/logo.bmp"};
        ui = {};
        ReadWorkingConfig(state, ui, view);
        AppState fresh = stateFor(mechanism::KR500);
        fresh.profile.specIndex = SpecIndex::QWB;
        const SettingsRecord defaults = DefaultsFor(fresh);
        SettingsRecord expected = defaults;
        expected[o::Baudrate] = 6;  // from the host port: 115200, 8 bits, no parity, DSR/DTR
        expected[o::Format] = 2;
        expected[o::Protocol] = 0;
        EXPECT_EQ(state.settings, expected);
        EXPECT_EQ(view.page, expected);
        EXPECT_EQ(state.lastSentPaperWidth, expected[o::PaperWidth]);
        EXPECT_EQ(state.logoTable[2].path, "");
        EXPECT_FALSE(state.logoTable[2].twoColor);
        EXPECT_EQ(state.logoInitialDir, folder.path().string());
        EXPECT_EQ(ui.boxTexts(), c.readOnly ? std::vector{kDenied} : std::vector<std::string>{});
        EXPECT_EQ(ui.cursors, (std::vector{CursorId::Wait, CursorId::Arrow}));
        EXPECT_EQ(folder.names().size(), c.content ? 1u : 0u);
        if (c.content) {
            EXPECT_EQ(ReadAll(file()), c.rewritten ? Bytes(defaults) : *c.content);
        }
    }
}

TEST_F(WorkingConfigTest, SerialSettingsFollowTheHostPort) {
    const struct {
        std::uint32_t dataBits, parity;
        std::uint8_t format;  // 1 = the stored value, kept; the line's format is then unknown
    } cases[] = {{1, 1, 3}, {0, 0, 1}, {1, 3, 1}};  // the mapping itself is the serial line's
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
    const std::pair<std::string, std::string> cases[] = {
        {"missing", std::string(kWorkingConfigWriteFailure)},  // no such folder
        {"", kDenied},                                         // a read-only file
    };
    WriteAll(file(), kDenied);
    fs::permissions(file(), fs::perms::owner_read);
    for (const auto& [subfolder, message] : cases) {
        AppState state = stateFor(mechanism::KR700);
        state.startupFolder = (folder.path() / subfolder).string();
        ui = {};
        EXPECT_FALSE(WriteWorkingConfig(state, ui, view));
        EXPECT_EQ(ui.boxTexts(), std::vector{message});
        EXPECT_EQ(ui.boxes.at(0).icon, BoxIcon::Stop);
        EXPECT_EQ(ui.cursors, (std::vector{CursorId::Wait, CursorId::Arrow}));
    }
    EXPECT_EQ(ReadAll(file()), std::vector<std::uint8_t>(kDenied.begin(), kDenied.end()));
}

}  // namespace
}  // namespace kestrel
