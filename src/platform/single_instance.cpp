#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace kestrel {

SingleInstanceLock::SingleInstanceLock(const std::string& name) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::error_code ec;
    std::filesystem::path folder = runtime && *runtime ? std::filesystem::path(runtime)
                                                       : std::filesystem::temp_directory_path(ec);
    if (folder.empty() || !std::filesystem::is_directory(folder, ec)) {
        folder = "/tmp";
    }
    m_path = (folder / (name + ".lock")).string();
    m_fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    // Only another copy holding the lock keeps this one from running: a folder where no lock can
    // be made must not be reported as a copy that runs.
    m_held = m_fd < 0 || ::flock(m_fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
}

SingleInstanceLock::~SingleInstanceLock() {
    if (m_fd >= 0) {
        ::close(m_fd);  // releases the lock; the file stays for the next copy
    }
}

}  // namespace kestrel
