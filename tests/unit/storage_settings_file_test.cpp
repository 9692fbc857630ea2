#include "storage/settings_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>

#include "ports/testing/recording_ui.h"
#include "storage_test_support.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
namespace o = offset;
using testing::Bytes;
using testing::PlainRecord;
using testing::ReadAll;
using testing::RecordedEvent;
using testing::TempFolder;
using testing::WriteAll;

const std::string kAccessDenied =
    "Access to a disk or folder was refused.\nChange the disk or the folder.";

class SettingsFileTest : public ::testing::Test {
protected:
    SettingsFileTest() : state(testing::StateFor(mechanism::BlackMark)) {
        state.startupFolder = folder.path().string();
        state.settings = before;
    }

    void load(const fs::path& path) {
        ui.fileAnswers.push_back(path.string());
        LoadSettingsFile(state, ui, view);
    }

    TempFolder folder;
    AppState state;
    testing::RecordingUserInterface ui;
    testing::RecordingSettingsView view;
    const SettingsRecord before = [] {
        SettingsRecord r = PlainRecord();
        r[o::PaperWidth] = 3;
        return r;
    }();
};

TEST_F(SettingsFileTest, DialogsStartInTheStartupFolderWithAnEmptyName) {
    LoadSettingsFile(state, ui, view);  // cancelled
    SaveSettingsFile(state, ui, view);  // cancelled
    ASSERT_EQ(ui.dialogs.size(), 2u);
    const struct {
        std::string title;
        bool mustExist;
    } expected[] = {{"Load the File", true}, {"Save the File", false}};
    for (std::size_t i = 0; i < 2; ++i) {
        const FileDialogOptions& d = ui.dialogs[i];
        EXPECT_EQ(d.title, expected[i].title);
        EXPECT_EQ(d.mustExist, expected[i].mustExist);
        EXPECT_EQ(d.filterText, "POS Utility(*.kcf)");
        EXPECT_EQ(d.filterPattern, "*.kcf");
        EXPECT_EQ(d.defaultExtension, "kcf");
        EXPECT_EQ(d.initialFolder, folder.path().string());
        EXPECT_EQ(d.fileName, "");
        EXPECT_EQ(d.owner, Owner::MainWindow);
    }
    EXPECT_TRUE(ui.cursors.empty());
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(view.refreshes, 0);
}

TEST_F(SettingsFileTest, ALongerFileLoadsItsFirst38Bytes) {
    SettingsRecord stored = PlainRecord();
    stored[o::BmSensor] = 1;
    stored[o::Reserved] = 7;  // carried unchanged
    auto bytes = Bytes(stored);
    bytes.push_back(0xFF);
    WriteAll(folder / "a.kcf", bytes);
    load(folder / "a.kcf");
    EXPECT_EQ(state.settings, stored);
    EXPECT_EQ(view.page, stored);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(ui.cursors, (std::vector{CursorId::Wait, CursorId::Arrow}));
    EXPECT_EQ(ReadAll(folder / "a.kcf"), bytes);
}

TEST_F(SettingsFileTest, RefusedFilesLeaveTheSettings) {
    fs::create_directory(folder / "dir.kcf");
    const struct {
        std::string name;
        std::optional<std::size_t> size;  // nothing: no file
        std::string message;
        int refreshes;
    } cases[] = {
        {"missing.kcf", std::nullopt, std::string(kReadFailureNoFile), 0},
        {"dir.kcf", std::nullopt, std::string(kReadFailureNoFile), 0},
        {"empty.kcf", 0, std::string(kReadFailureUnreadable), 1},
        {"one.kcf", 1, std::string(kReadFailureUnreadable), 1},
        {"short.kcf", 37, std::string(kReadFailureUnreadable), 1},
    };
    for (const auto& c : cases) {
        testing::RecordingUserInterface fresh;
        ui = std::move(fresh);
        view.refreshes = 0;
        if (c.size) {
            WriteAll(folder / c.name, std::vector<std::uint8_t>(*c.size, 0));
        }
        load(folder / c.name);
        EXPECT_EQ(state.settings, before) << c.name;
        ASSERT_EQ(ui.boxes.size(), 1u) << c.name;
        EXPECT_EQ(ui.boxes[0].text, c.message);
        EXPECT_EQ(ui.boxes[0].icon, BoxIcon::Stop);
        EXPECT_EQ(view.refreshes, c.refreshes) << c.name;
        EXPECT_EQ(ui.cursors.back(), CursorId::Arrow);
    }
}

TEST_F(SettingsFileTest, OutOfRangeFileGivesDefaultsSilentlyAndStaysOnDisk) {
    SettingsRecord bad = PlainRecord();
    bad[o::PaperWidth] = 6;
    WriteAll(folder / "bad.kcf", bad);
    load(folder / "bad.kcf");
    EXPECT_EQ(state.settings, testing::DefaultsFor(testing::StateFor(mechanism::BlackMark)));
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(ReadAll(folder / "bad.kcf"), Bytes(bad));
}

TEST_F(SettingsFileTest, SavedFileIsExactly38BytesAndLoadsBackEqual) {
    SettingsRecord page = PlainRecord();
    page[o::BmSensor] = 1;
    page[o::Reserved] = 3;
    view.page = page;  // the page's values, not the record's, are saved
    ui.fileAnswers.push_back((folder / "s.kcf").string());
    SaveSettingsFile(state, ui, view);
    EXPECT_EQ(view.collects, 1);
    EXPECT_EQ(ReadAll(folder / "s.kcf"), Bytes(page));
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(ui.cursors, (std::vector{CursorId::Wait, CursorId::Arrow}));

    state.settings = before;
    load(folder / "s.kcf");
    EXPECT_EQ(state.settings, page);
}

TEST_F(SettingsFileTest, ExistingNameYesReplacesNoAsksAgainWithAnEmptyName) {
    const auto target = folder / "s.kcf";
    const std::vector<std::uint8_t> old(38, 1);
    view.page = PlainRecord();
    for (const Answer answer : {Answer::No, Answer::Yes}) {
        WriteAll(target, old);
        testing::RecordingUserInterface fresh;
        ui = std::move(fresh);
        ui.answers.push_back(answer);
        ui.fileAnswers.push_back(target.string());  // a second dialog after No is cancelled
        SaveSettingsFile(state, ui, view);
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text, std::string(kOverwriteQuestion));
        EXPECT_EQ(ui.boxes[0].buttons, Buttons::YesNo);
        EXPECT_EQ(ui.boxes[0].icon, BoxIcon::Question);
        if (answer == Answer::Yes) {
            EXPECT_EQ(ReadAll(target), Bytes(view.page));
            EXPECT_EQ(ui.dialogs.size(), 1u);
        } else {
            EXPECT_EQ(ReadAll(target), old);
            ASSERT_EQ(ui.dialogs.size(), 2u);
            EXPECT_EQ(ui.dialogs[1].fileName, "");
            EXPECT_EQ(ui.dialogs[1].title, "Save the File");
        }
        EXPECT_EQ(ui.current, CursorId::Arrow);
    }
}

TEST_F(SettingsFileTest, ReadOnlyTargetCannotBeOverwrittenAndTheSaveEnds) {
    const auto target = folder / "ro.kcf";
    const std::vector<std::uint8_t> old(38, 1);
    WriteAll(target, old);
    fs::permissions(target, fs::perms::owner_read | fs::perms::group_read);
    ui.fileAnswers = {target.string(), target.string()};
    ui.answers.push_back(Answer::Yes);
    SaveSettingsFile(state, ui, view);
    EXPECT_EQ(ui.boxTexts(), (std::vector<std::string>{std::string(kOverwriteQuestion),
                                                       std::string(kCannotOverwrite)}));
    EXPECT_EQ(ui.boxes[1].icon, BoxIcon::Stop);
    EXPECT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(ReadAll(target), old);
}

TEST_F(SettingsFileTest, MissingFolderCannotBeWrittenAndTheSaveEnds) {
    ui.fileAnswers = {(folder / "none" / "s.kcf").string(), (folder / "s.kcf").string()};
    SaveSettingsFile(state, ui, view);
    EXPECT_EQ(ui.boxTexts(), std::vector<std::string>{std::string(kCannotOverwrite)});
    EXPECT_EQ(ui.dialogs.size(), 1u);
    EXPECT_FALSE(fs::exists(folder / "s.kcf"));
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

TEST_F(SettingsFileTest, RefusedFolderShowsTheAccessMessageAndTheDialogAgain) {
    const auto refusing = RefusingFolder(folder.path());
    if (!refusing) {
        GTEST_SKIP() << "no folder here refuses new files to this user";
    }
    view.page = PlainRecord();
    ui.fileAnswers = {(*refusing / "s.kcf").string(), (folder / "s.kcf").string()};
    SaveSettingsFile(state, ui, view);
    EXPECT_EQ(ui.boxTexts(), std::vector<std::string>{kAccessDenied});
    ASSERT_EQ(ui.dialogs.size(), 2u);
    EXPECT_EQ(ui.dialogs[1].fileName, "");
    EXPECT_EQ(ReadAll(folder / "s.kcf"), Bytes(view.page));
    EXPECT_EQ(state.settings, view.page);
}

TEST(SettingsFileContentTest, ShortContentIsRefusedYetTheRecordIsStillChecked) {
    AppState state = testing::StateFor(mechanism::KR500);
    SettingsRecord bad = PlainRecord();
    bad[o::Font] = 2;
    state.settings = bad;
    const std::vector<std::uint8_t> shortFile(20, 0);
    EXPECT_EQ(ApplySettingsFile(state, shortFile), SettingsFileContent::TooShort);
    EXPECT_EQ(state.settings, testing::DefaultsFor(testing::StateFor(mechanism::KR500)));
}

}  // namespace
}  // namespace kestrel
