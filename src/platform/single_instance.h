// One running copy per user and name: an exclusive lock on a file named after the instance, in
// the user's runtime folder ($XDG_RUNTIME_DIR, else the temp folder). The kernel drops the lock
// when its holder ends, so the lock of a copy that crashed is taken over at once.
#pragma once

#include <string>

namespace kestrel {

class SingleInstanceLock {
public:
    // Tries to take the lock; held() tells whether it was had.
    explicit SingleInstanceLock(const std::string& name);
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    bool held() const { return m_held; }
    const std::string& path() const { return m_path; }

private:
    int m_fd = -1;
    bool m_held = false;
    std::string m_path;
};

}  // namespace kestrel
