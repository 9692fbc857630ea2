#include "storage/file_errors.h"

#include <array>
#include <cerrno>
#include <string>
#include <utility>

#include "ports/user_interface.h"

namespace kestrel {
namespace {

// Only the errno values a file creation can meet and that the flows treat differently.
const std::array<std::pair<int, SystemErrorCode>, 13> kErrnoTable{{
    {EACCES, syserr::AccessDenied},
    {EPERM, syserr::AccessDenied},
    {EISDIR,
     syserr::AccessDenied},  // a folder where the file should be: refused, as on the old platform
    {EROFS, syserr::WriteProtect},
    {EEXIST, syserr::FileExists},
    {ECANCELED, syserr::RequestAborted},
    {EINTR, syserr::RequestAborted},
    {ENOENT, syserr::PathNotFound},
    {ENOTDIR, syserr::PathNotFound},
    {ENOSPC, syserr::DiskFull},
    {EDQUOT, syserr::DiskFull},
    {ENAMETOOLONG, syserr::FileNameTooLong},
    {ETXTBSY, syserr::SharingViolation},
}};

}  // namespace

SystemErrorCode SystemErrorFromErrno(int errorNumber) {
    if (errorNumber == 0) {
        return syserr::Success;
    }
    for (const auto& [number, code] : kErrnoTable) {
        if (number == errorNumber) {
            return code;
        }
    }
    return syserr::UnmappedBit | static_cast<SystemErrorCode>(errorNumber);
}

bool IsRefusalCode(SystemErrorCode code) {
    return code == syserr::AccessDenied || code == syserr::WriteProtect ||
           code == syserr::NetworkAccessDenied || code == syserr::RequestAborted;
}

std::optional<std::string_view> FileAccessErrorMessage(SystemErrorCode code, int osLevel) {
    switch (code) {
        case syserr::AccessDenied:
            return "Access to a disk or folder was refused.\nChange the disk or the folder.";
        case syserr::WriteProtect:
            if (osLevel == 5) {
                return std::nullopt;
            }
            return "Specified disk or folder is protected.\nChange the disk or the folder.";
        case syserr::NetworkAccessDenied:
            return "Access to a network drive was refused.\nChange the disk or the folder.";
        default:
            return std::nullopt;
    }
}

void ShowFileError(UserInterface& ui, std::string_view text) {
    MessageBox box;
    box.text = std::string(text);
    box.buttons = Buttons::Ok;
    box.icon = BoxIcon::Stop;
    box.owner = Owner::MainWindow;
    ui.showMessage(box);
}

void ReportFileAccessError(UserInterface& ui, SystemErrorCode code, int osLevel,
                           std::string_view otherMessage) {
    if (!IsRefusalCode(code)) {
        ShowFileError(ui, otherMessage);
        return;
    }
    if (const auto text = FileAccessErrorMessage(code, osLevel)) {
        ShowFileError(ui, *text);
    }
}

}  // namespace kestrel
