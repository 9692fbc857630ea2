#include <gtest/gtest.h>

#include <cerrno>

#include "ports/testing/recording_ui.h"
#include "storage/file_errors.h"

namespace kestrel {
namespace {

TEST(FileErrors, ErrnoValuesMapOntoTheCodesTheFlowsActOn) {
    const struct {
        int errorNumber;
        SystemErrorCode code;
    } cases[] = {
        {0, 0},
        {EACCES, 5},
        {EPERM, 5},
        {EISDIR, 5},
        {EROFS, 19},
        {EEXIST, 80},
        {ECANCELED, 1235},
        {EINTR, 1235},
        {ENOENT, 3},
        {ENOTDIR, 3},
        {ENOSPC, 112},
        {EDQUOT, 112},
        {ENAMETOOLONG, 206},
        {ETXTBSY, 32},
        {EXDEV, syserr::UnmappedBit | EXDEV},
        {EIO, syserr::UnmappedBit | EIO},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SystemErrorFromErrno(c.errorNumber), c.code) << c.errorNumber;
    }
}

TEST(FileErrors, MessagesByCodeAndOsLevel) {
    const std::string denied =
        "Access to a disk or folder was refused.\nChange the disk or the folder.";
    const std::string protectedText =
        "Specified disk or folder is protected.\nChange the disk or the folder.";
    const std::string network =
        "Access to a network drive was refused.\nChange the disk or the folder.";
    const struct {
        SystemErrorCode code;
        int osLevel;
        std::optional<std::string> text;
        bool refusal;
    } cases[] = {
        {5, 0, denied, true},          {5, 5, denied, true},         {19, 0, protectedText, true},
        {19, 4, protectedText, true},  {19, 5, std::nullopt, true},  {65, 0, network, true},
        {1235, 0, std::nullopt, true}, {80, 0, std::nullopt, false}, {3, 0, std::nullopt, false},
        {0, 0, std::nullopt, false},
    };
    for (const auto& c : cases) {
        const auto text = FileAccessErrorMessage(c.code, c.osLevel);
        EXPECT_EQ(text ? std::optional<std::string>(*text) : std::nullopt, c.text) << c.code;
        EXPECT_EQ(IsRefusalCode(c.code), c.refusal) << c.code;
    }
}

TEST(FileErrors, ReportShowsStopBoxOrTheCallersOwnTextOrNothing) {
    const struct {
        SystemErrorCode code;
        int osLevel;
        std::vector<std::string> texts;
    } cases[] = {
        {5, 0, {"Access to a disk or folder was refused.\nChange the disk or the folder."}},
        {19, 5, {}},
        {1235, 0, {}},
        {3, 0, {"own"}},
        {syserr::UnmappedBit | EIO, 0, {"own"}},
    };
    for (const auto& c : cases) {
        testing::RecordingUserInterface ui;
        ReportFileAccessError(ui, c.code, c.osLevel, "own");
        EXPECT_EQ(ui.boxTexts(), c.texts) << c.code;
        for (const auto& box : ui.boxes) {
            EXPECT_EQ(box.icon, BoxIcon::Stop);
            EXPECT_EQ(box.buttons, Buttons::Ok);
            EXPECT_EQ(box.owner, Owner::MainWindow);
            EXPECT_EQ(box.caption, "KESTREL");
        }
    }
}

}  // namespace
}  // namespace kestrel
