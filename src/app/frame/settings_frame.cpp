#include "app/frame/settings_frame.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <array>

#include "app/frame/tool_tips.h"
#include "app/pages/settings_page.h"

namespace kestrel::gui {

struct SettingsFrame::Impl {
    AppState& state;
    QTabWidget* tabs = nullptr;
    QPushButton* setting = nullptr;
    QPushButton* init = nullptr;
    QPushButton* exit = nullptr;
    std::array<QWidget*, 3> holders{};
    QPointer<SettingsPageWidget> page;
    int current = 0;

    explicit Impl(AppState& s) : state(s) {}

    SettingsPageWidget* makePage(int index, QWidget* parent) {
        return new SettingsPageWidget(PageAtIndex(index), state.profile,
                                      state.selectedPrinter().mechanismId, state.settings, parent);
    }

    void showPage(int index) {
        delete page.data();
        current = index;
        page = makePage(index, holders[static_cast<std::size_t>(index)]);
        holders[static_cast<std::size_t>(index)]->layout()->addWidget(page);
        for (const auto& [label, tip] : page->tipLabels()) {
            ApplyToolTip(label, tip);
        }
        page->show();
    }
};

SettingsFrame::SettingsFrame(AppState& state, QWidget* parent)
    : QWidget(parent), impl_(std::make_unique<Impl>(state)) {
    setObjectName(QStringLiteral("settingsFrame"));
    // Created in the order Tab walks them: the buttons, the tab control, then the page.
    impl_->setting = new QPushButton(QStringLiteral("Setting(&C)"), this);
    impl_->init = new QPushButton(QStringLiteral("Init(&I)"), this);
    impl_->exit = new QPushButton(QStringLiteral("Exit(&X)"), this);
    impl_->tabs = new QTabWidget(this);
    impl_->tabs->setObjectName(QStringLiteral("tabControl"));
    // All three captions always in full: the frame is as wide as the tab bar needs.
    impl_->tabs->setUsesScrollButtons(false);
    impl_->tabs->setElideMode(Qt::ElideNone);
    impl_->setting->setObjectName(QStringLiteral("settingButton"));
    impl_->init->setObjectName(QStringLiteral("initButton"));
    impl_->exit->setObjectName(QStringLiteral("exitButton"));
    impl_->setting->setDefault(true);
    const std::array buttons{std::pair{impl_->setting, 1000}, std::pair{impl_->init, 1002},
                             std::pair{impl_->exit, 1001}};
    for (const auto& [button, id] : buttons) {
        // The underlined letters are the main window's accelerators (Alt+C, Alt+I, Alt+X),
        // which act first; a mnemonic of the button as well would make the keys ambiguous.
        button->setShortcut(QKeySequence());
        ApplyToolTip(button, id);
    }

    for (int index = 0; index < 3; ++index) {
        QWidget* holder = new QWidget;
        auto* layout = new QVBoxLayout(holder);
        layout->setContentsMargins(0, 0, 0, 0);
        impl_->holders[static_cast<std::size_t>(index)] = holder;
        impl_->tabs->addTab(
            holder, QString::fromLatin1(kPageCaptions[static_cast<std::size_t>(index)].data()));
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(impl_->tabs);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (const auto& [button, id] : buttons) {
        row->addWidget(button);
    }
    layout->addLayout(row);

    impl_->showPage(0);
    // Every page has the size of the first, so the tab control keeps its size.
    for (QWidget* holder : impl_->holders) {
        holder->setMinimumSize(impl_->page->sizeHint());
    }
    connect(impl_->tabs, &QTabWidget::currentChanged, this, [this](int index) {
        // The page being left hands its values to the record before it goes.
        if (impl_->page) {
            impl_->page->collect(impl_->state.settings);
        }
        impl_->showPage(index);
    });

    // Each button notes the focus, runs its flow and gives the focus back afterwards.
    const auto withFocusKept = [this](auto signal) {
        return [this, signal] {
            const QPointer<QWidget> focus = QApplication::focusWidget();
            emit(this->*signal)();
            if (focus) {
                focus->setFocus();
            }
        };
    };
    connect(impl_->setting, &QPushButton::clicked, this,
            withFocusKept(&SettingsFrame::settingRequested));
    connect(impl_->init, &QPushButton::clicked, this, withFocusKept(&SettingsFrame::initRequested));
    connect(impl_->exit, &QPushButton::clicked, this, &SettingsFrame::exitRequested);
}

SettingsFrame::~SettingsFrame() = default;

void SettingsFrame::collectVisiblePage(SettingsRecord& record) {
    if (impl_->page) {
        impl_->page->collect(record);
    }
}

void SettingsFrame::refreshVisiblePage(const SettingsRecord& record) {
    if (impl_->page) {
        impl_->page->reload(record);
    }
}

void SettingsFrame::rebuildVisiblePage() {
    impl_->showPage(impl_->current);
}

int SettingsFrame::currentPageIndex() const {
    return impl_->current;
}

QTabWidget* SettingsFrame::tabControl() const {
    return impl_->tabs;
}

QPushButton* SettingsFrame::settingButton() const {
    return impl_->setting;
}

QPushButton* SettingsFrame::initButton() const {
    return impl_->init;
}

QPushButton* SettingsFrame::exitButton() const {
    return impl_->exit;
}

QWidget* SettingsFrame::firstSettingControl() const {
    return impl_->page ? impl_->page->firstSettingControl() : nullptr;
}

}  // namespace kestrel::gui
