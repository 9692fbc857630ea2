// The settings page on show, as the core needs it around a job: the page's last edits go into the
// record before a send, and the page shows the record again afterwards.
#pragma once

#include "settings/settings_record.h"

namespace kestrel {

class SettingsView {
public:
    virtual ~SettingsView() = default;
    virtual void collectVisiblePage(SettingsRecord& record) = 0;
    virtual void refreshVisiblePage(const SettingsRecord& record) = 0;
};

// For programs without pages (the command-line tool): the record is the only truth.
class NoSettingsView final : public SettingsView {
public:
    void collectVisiblePage(SettingsRecord&) override {}
    void refreshVisiblePage(const SettingsRecord&) override {}
};

}  // namespace kestrel
