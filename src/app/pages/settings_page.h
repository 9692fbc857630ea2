// One settings page: a label and a drop-down list per setting (and on the Customize Value page the
// black mark cut adjustment edit with its up-down). It is built from the page rules for the
// printer in use, shows the settings record, and hands its values back when asked. A page lives
// only while its tab is chosen.
#pragma once

#include <QWidget>
#include <vector>

#include "settings/page_rules.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace kestrel::gui {

class UpDownControl;

class SettingsPageWidget : public QWidget {
    Q_OBJECT

public:
    // record: the settings record, which the cut adjustment and the "BM Sensor" list write at
    // once as the user changes them.
    SettingsPageWidget(SettingsPage page, const ProfileState& profile, std::uint32_t mechanismId,
                       SettingsRecord& record, QWidget* parent = nullptr);

    SettingsPage page() const { return m_page; }
    void reload(const SettingsRecord& record);
    void collect(SettingsRecord& record) const;
    QWidget* firstSettingControl() const;
    // The label of each row with the tooltip id of its setting.
    std::vector<std::pair<QLabel*, int>> tipLabels() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct RowWidgets {
        PageRow rule;
        QLabel* label = nullptr;
        QComboBox* list = nullptr;  // null for the cut adjustment row
    };

    void buildCutAdjustment(QWidget* parent, RowWidgets& row);
    void filterCutAdjustmentText();
    void updateCutAdjustmentValue();
    void formatCutAdjustmentOnLeave();
    void showCutAdjustment(std::int16_t tenths);

    SettingsPage m_page;
    SettingsRecord& m_record;
    std::vector<RowWidgets> m_rows;
    QLineEdit* m_cutEdit = nullptr;
    UpDownControl* m_upDown = nullptr;
    QLabel* m_rangeText = nullptr;
    QComboBox* m_bmSensor = nullptr;
    // Lets the cut adjustment filter run; off while the filter puts back its own text.
    bool m_filterGuard = true;
};

}  // namespace kestrel::gui
