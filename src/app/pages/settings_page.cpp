#include "app/pages/settings_page.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include "app/pages/up_down_control.h"

namespace kestrel::gui {
namespace {

QString FromLatin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// The most rows a page has (the Other page).
constexpr int kPageRows = 13;

// One width for the labels and one for the lists on every page, so that all three pages have the
// same size and the tab control never changes its size when the page changes.
std::pair<int, int> ColumnWidths(const QWidget& page) {
    static const std::pair<int, int> widths = [&page] {
        int label = 0;
        QComboBox allOptions;
        allOptions.setFont(page.font());
        for (const SettingDescription& setting : AllSettings()) {
            label =
                std::max(label, page.fontMetrics().horizontalAdvance(FromLatin1(setting.label)));
            for (const std::string_view option : setting.options) {
                allOptions.addItem(FromLatin1(option));
            }
        }
        return std::pair{label, std::max(150, allOptions.sizeHint().width())};
    }();
    return widths;
}

std::uint8_t SelectionOf(const QComboBox* list) {
    const int index = list->currentIndex();
    return index < 0 ? kNoSelection : static_cast<std::uint8_t>(index);
}

}  // namespace

SettingsPageWidget::SettingsPageWidget(SettingsPage page, const ProfileState& profile,
                                       std::uint32_t mechanismId, SettingsRecord& record,
                                       QWidget* parent)
    : QWidget(parent), m_page(page), m_record(record) {
    setObjectName(QStringLiteral("page%1").arg(static_cast<int>(page)));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(2);
    grid->setColumnStretch(2, 1);
    int rowHeight = 0;
    for (const PageRow& rule : PageRows(page, profile, mechanismId)) {
        RowWidgets row{rule};
        const int line = static_cast<int>(m_rows.size());
        row.label = new QLabel(FromLatin1(rule.setting->label), this);
        row.label->setObjectName(QStringLiteral("label%1").arg(rule.labelId));
        grid->addWidget(row.label, line, 0);
        if (rule.isCutAdjustment()) {
            auto* cell = new QWidget(this);
            buildCutAdjustment(cell, row);
            grid->addWidget(cell, line, 1, 1, 2);
        } else {
            row.list = new QComboBox(this);
            row.list->setObjectName(QStringLiteral("comboBox%1").arg(rule.labelId + 50));
            for (std::size_t i = 0; i < rule.optionCount; ++i) {
                row.list->addItem(FromLatin1(rule.setting->options[i]));
            }
            row.list->setMinimumWidth(ColumnWidths(*this).second);
            grid->addWidget(row.list, line, 1);
            rowHeight = std::max(rowHeight, row.list->sizeHint().height());
            if (rule.setting->offset == offset::BmSensor) {
                m_bmSensor = row.list;
            }
            row.label->setBuddy(row.list);
        }
        for (QWidget* widget :
             {static_cast<QWidget*>(row.label), static_cast<QWidget*>(row.list)}) {
            if (widget) {
                widget->setEnabled(rule.enabled);
                widget->setVisible(rule.visible);
            }
        }
        m_rows.push_back(row);
    }
    // Rows keep their places whether or not a row is shown, and every page has room for the
    // longest, so nothing moves when the printer or the page changes.
    grid->setColumnMinimumWidth(0, ColumnWidths(*this).first);
    for (int line = 0; line < kPageRows; ++line) {
        grid->setRowMinimumHeight(line, rowHeight);
    }
    grid->setRowStretch(kPageRows, 1);
    if (page == SettingsPage::Other) {
        // The black mark sensor setting reaches the record as soon as it is chosen.
        for (const RowWidgets& row : m_rows) {
            const auto copy = [this] { m_record[offset::BmSensor] = SelectionOf(m_bmSensor); };
            connect(row.list, &QComboBox::currentIndexChanged, this, copy);
            connect(row.list, &QComboBox::activated, this, copy);
        }
    }
    reload(record);
}

void SettingsPageWidget::buildCutAdjustment(QWidget* cell, RowWidgets& row) {
    auto* layout = new QHBoxLayout(cell);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_cutEdit = new QLineEdit(cell);
    m_cutEdit->setObjectName(QStringLiteral("cutAdjustmentEdit"));
    m_cutEdit->setAlignment(Qt::AlignRight);
    m_cutEdit->setFixedWidth(64);
    m_upDown = new UpDownControl(cell);
    m_upDown->setObjectName(QStringLiteral("cutAdjustmentUpDown"));
    m_rangeText = new QLabel(FromLatin1(kCutAdjustmentRangeText), cell);
    m_rangeText->setObjectName(QStringLiteral("label1210"));
    layout->addWidget(m_cutEdit);
    layout->addWidget(m_upDown);
    layout->addSpacing(6);
    layout->addWidget(m_rangeText);
    layout->addStretch(1);
    row.label->setBuddy(m_cutEdit);
    if (row.rule.enabled) {
        m_cutEdit->setMaxLength(kCutAdjustmentMaxLength);
    }
    m_upDown->setRange(0, kUpDownMax);
    for (QWidget* widget : std::initializer_list<QWidget*>{m_cutEdit, m_upDown, m_rangeText}) {
        widget->setEnabled(row.rule.enabled);
        widget->setVisible(row.rule.visible);
    }
    m_cutEdit->installEventFilter(this);
    connect(m_cutEdit, &QLineEdit::textChanged, this, [this] {
        if (m_filterGuard) {
            filterCutAdjustmentText();
        }
        updateCutAdjustmentValue();
    });
    connect(m_upDown, &UpDownControl::positionChanged, this, [this](int position) {
        const std::int16_t tenths = CutAdjustmentFromUpDown(position);
        SetBmCutAdjustment(m_record, tenths);
        showCutAdjustment(tenths);
    });
}

void SettingsPageWidget::filterCutAdjustmentText() {
    m_filterGuard = false;
    const QString text = m_cutEdit->text();
    int start = m_cutEdit->selectionStart();
    int end = start + static_cast<int>(m_cutEdit->selectedText().size());
    if (start < 0) {
        start = end = m_cutEdit->cursorPosition();
    }
    const FilteredText kept = FilterCutAdjustmentText(text.toStdString(), start, end);
    const QString keptText = QString::fromStdString(kept.text);
    if (keptText != text) {
        m_cutEdit->setText(keptText);
    }
    if (kept.selectionStart == kept.selectionEnd) {
        m_cutEdit->setCursorPosition(kept.selectionEnd);
    } else {
        m_cutEdit->setSelection(kept.selectionStart, kept.selectionEnd - kept.selectionStart);
    }
    m_filterGuard = true;
}

void SettingsPageWidget::updateCutAdjustmentValue() {
    const QString text = m_cutEdit->text().left(kCutAdjustmentMaxLength);
    const std::int16_t tenths = CutAdjustmentFromText(text.toStdString());
    SetBmCutAdjustment(m_record, tenths);
    m_upDown->setPosition(UpDownPositionOf(tenths));
}

void SettingsPageWidget::formatCutAdjustmentOnLeave() {
    const QString shown = QString::fromStdString(FormatCutAdjustment(BmCutAdjustment(m_record)));
    if (m_cutEdit->text() != shown) {
        m_cutEdit->setText(shown);
    }
}

void SettingsPageWidget::showCutAdjustment(std::int16_t tenths) {
    m_cutEdit->setText(QString::fromStdString(FormatCutAdjustment(tenths)));
}

bool SettingsPageWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_cutEdit) {
        if (event->type() == QEvent::FocusOut) {
            formatCutAdjustmentOnLeave();
        } else if (event->type() == QEvent::KeyPress) {
            // The up-down answers the arrow keys of its edit.
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down) {
                m_upDown->step(key == Qt::Key_Up ? 1 : -1);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SettingsPageWidget::reload(const SettingsRecord& record) {
    for (const RowWidgets& row : m_rows) {
        if (row.list) {
            const QSignalBlocker quiet(row.list);
            const std::uint8_t value = record[row.rule.setting->offset];
            row.list->setCurrentIndex(value < row.list->count() ? value : -1);
        }
    }
    if (m_cutEdit) {
        showCutAdjustment(BmCutAdjustment(record));
    }
}

void SettingsPageWidget::collect(SettingsRecord& record) const {
    for (const RowWidgets& row : m_rows) {
        if (row.list) {
            record[row.rule.setting->offset] = SelectionOf(row.list);
        }
    }
    if (m_cutEdit) {
        const QString text = m_cutEdit->text().left(255);
        SetBmCutAdjustment(record, CutAdjustmentFromText(text.toStdString()));
    }
}

QWidget* SettingsPageWidget::firstSettingControl() const {
    return m_rows.empty() ? nullptr : m_rows.front().list;
}

std::vector<std::pair<QLabel*, int>> SettingsPageWidget::tipLabels() const {
    std::vector<std::pair<QLabel*, int>> labels;
    for (const RowWidgets& row : m_rows) {
        labels.emplace_back(row.label, row.rule.tipId);
    }
    return labels;
}

}  // namespace kestrel::gui
