// The wait cursor for the life of a file operation, the arrow cursor again when it ends.
#pragma once

#include "ports/user_interface.h"

namespace kestrel {

class WaitCursor {
public:
    explicit WaitCursor(UserInterface& ui) : m_ui(ui) { SetBusyCursor(m_ui, CursorId::Wait); }
    ~WaitCursor() { SetBusyCursor(m_ui, CursorId::Arrow); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    UserInterface& m_ui;
};

}  // namespace kestrel
