#include "app/selection/printer_selection_dialog.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <utility>

#include "app/selection/listed_queues_print_system.h"
#include "app/selection/queue_watcher.h"
#include "app/ui/qt_user_interface.h"

namespace kestrel::gui {
namespace {

constexpr std::chrono::milliseconds kPollInterval{1000};
constexpr int kListIconSize = 16;
constexpr int kDialogIconSize = 32;

QString FromName(const std::string& name) {
    return QString::fromStdString(name);
}

}  // namespace

PrinterSelectionWindow::PrinterSelectionWindow(AppState& state, PrintSystem& printSystem,
                                               HostPortStore& store, UserInterface& ui,
                                               SortDirection& direction,
                                               std::function<std::vector<QueueInfo>()> poll,
                                               QWidget* parent)
    : QDialog(parent),
      m_state(state),
      m_printSystem(printSystem),
      m_store(store),
      m_ui(ui),
      m_direction(direction),
      m_poll(std::move(poll)) {
    setWindowTitle(QString::fromUtf8(kCaption.data(), static_cast<qsizetype>(kCaption.size())));
    setWindowIcon(IconFor(PrinterIcon::Printer));
    setModal(true);

    auto* picture = new QLabel(this);
    picture->setPixmap(
        IconFor(PrinterIcon::Printer).pixmap(QSize(kDialogIconSize, kDialogIconSize)));
    auto* prompt = new QLabel(
        QStringLiteral("Select the KR-900, KR-700 or KR-500 printer,\nand click OK button."), this);

    // Created before the buttons so that it comes first in the focus chain.
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("printerList"));
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({QStringLiteral("Printer Name"), QStringLiteral("Connection Port")});
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setIconSize(QSize(kListIconSize, kListIconSize));
    // The order is the printer table's: the table is sorted and the rows rewritten from it, so
    // the row the user picks is the entry the confirmation judges.
    m_list->setSortingEnabled(false);
    m_list->header()->setSectionsClickable(true);
    m_list->header()->setSectionsMovable(false);
    m_list->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setDefault(true);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(m_okButton, QDialogButtonBox::AcceptRole);
    buttons->addButton(m_cancelButton, QDialogButtonBox::RejectRole);

    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addSpacing(8);
    top->addWidget(prompt, 1, Qt::AlignVCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);

    // About the size the dialog had on its first platform (227 by 141 dialog units).
    const QFontMetrics metrics = fontMetrics();
    resize(metrics.averageCharWidth() * 227 / 4, metrics.height() * 141 / 8);

    connect(m_okButton, &QPushButton::clicked, this, &PrinterSelectionWindow::confirm);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &PrinterSelectionWindow::confirm);
    connect(m_list->header(), &QHeaderView::sectionClicked, this,
            &PrinterSelectionWindow::sortOnHeader);
}

PrinterSelectionWindow::~PrinterSelectionWindow() {
    // Joined here, before the QObject goes, so no poll result is posted to a destroyed dialog.
    m_watcher.reset();
}

SelectionDialogResult PrinterSelectionWindow::run() {
    // The previous run's worker was told to stop when that run ended; a poll it still had in
    // progress is long over by now (the user has read the message that sent them back).
    m_watcher.reset();
    ++m_run;
    std::vector<QueueInfo> queues = m_printSystem.listQueues();
    const bool anySupported = fillFrom(queues);
    // Neither the default printer nor an earlier choice is marked: the user picks every time.
    choosePrinter(std::nullopt);
    if (!anySupported) {
        return SelectionDialogResult::NoSupportedDriver;
    }
    m_list->setFocus(Qt::OtherFocusReason);

    if (m_poll) {
        const std::uint64_t run = m_run;
        m_watcher = std::make_unique<QueueWatcher>(
            m_poll, std::move(queues),
            [this, run](std::vector<QueueInfo> changed) {
                QMetaObject::invokeMethod(
                    this,
                    [this, run, changed = std::move(changed)]() mutable {
                        takePolledQueues(run, std::move(changed));
                    },
                    Qt::QueuedConnection);
            },
            kPollInterval);
    }

    m_open = true;
    const int code = exec();
    m_open = false;
    m_pendingQueues.reset();
    // Not joined here: a slow poll must not hold up the program once the choice is made.
    if (m_watcher) {
        m_watcher->requestStop();
    }

    if (code == QDialog::Accepted) {
        return SelectionDialogResult::Ok;
    }
    if (code == static_cast<int>(SelectionDialogResult::NoSupportedDriver)) {
        return SelectionDialogResult::NoSupportedDriver;
    }
    return SelectionDialogResult::Cancel;
}

bool PrinterSelectionWindow::fillFrom(std::vector<QueueInfo> queues) {
    ListedQueuesPrintSystem listed(std::move(queues), m_printSystem);
    const bool anySupported = FillPrinterTable(m_state, listed, m_direction);
    rewriteRows();
    return anySupported;
}

void PrinterSelectionWindow::rewriteRows() {
    // With no queue at all the table still holds its one blank entry; that is not a row.
    const bool noQueues =
        m_state.printerTable.size() == 1 && m_state.printerTable.front().printerName.empty();
    const int rows = noQueues ? 0 : static_cast<int>(m_state.printerTable.size());

    while (m_list->topLevelItemCount() > rows) {
        // Taking an item out of the list hands it back to us.
        const std::unique_ptr<QTreeWidgetItem> removed(
            m_list->takeTopLevelItem(m_list->topLevelItemCount() - 1));
    }
    while (m_list->topLevelItemCount() < rows) {
        new QTreeWidgetItem(m_list);
    }
    std::map<PrinterIcon, QIcon> icons;
    for (int i = 0; i < rows; ++i) {
        const PrinterEntry& entry = m_state.printerTable[static_cast<std::size_t>(i)];
        auto [icon, added] = icons.try_emplace(entry.iconId);
        if (added) {
            icon->second = IconFor(entry.iconId);
        }
        QTreeWidgetItem* item = m_list->topLevelItem(i);
        item->setIcon(0, icon->second);
        item->setText(0, FromName(entry.printerName));
        item->setText(1, FromName(entry.portName));
    }
    fitColumns();
}

void PrinterSelectionWindow::fitColumns() {
    // Each column at least as wide as its header and its widest name, and the list wide
    // enough to show both, as far as the screen allows.
    m_list->resizeColumnToContents(0);
    m_list->resizeColumnToContents(1);
    const QAbstractItemView* view = m_list;  // QTreeView hides the size hint the view offers
    const int portWidth =
        std::max(view->sizeHintForColumn(1), m_list->header()->sectionSizeHint(1));
    int wanted = m_list->columnWidth(0) + portWidth + 2 * m_list->frameWidth() +
                 m_list->verticalScrollBar()->sizeHint().width();
    if (const QScreen* screen =
            this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
        wanted = std::min(wanted, screen->availableGeometry().width() * 9 / 10);
    }
    m_list->setMinimumWidth(wanted);
}

std::optional<std::size_t> PrinterSelectionWindow::focusedRow() const {
    const QModelIndex current = m_list->currentIndex();
    if (!current.isValid() || !m_list->selectionModel()->isSelected(current)) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(current.row());
}

std::optional<std::string> PrinterSelectionWindow::chosenPrinterName() const {
    const std::optional<std::size_t> row = focusedRow();
    if (!row || *row >= m_state.printerTable.size()) {
        return std::nullopt;
    }
    return m_state.printerTable[*row].printerName;
}

void PrinterSelectionWindow::choosePrinter(const std::optional<std::string>& printerName) {
    if (printerName) {
        for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
            if (m_state.printerTable[static_cast<std::size_t>(i)].printerName == *printerName) {
                // A single-selection view selects the row it makes current.
                m_list->setCurrentItem(m_list->topLevelItem(i));
                return;
            }
        }
    }
    m_list->clearSelection();
    // Through the view, not only its selection model: the view then knows the cursor was put
    // nowhere on purpose and does not move it to the first row when the list gets the focus.
    m_list->setCurrentIndex(QModelIndex());
}

void PrinterSelectionWindow::sortOnHeader(int column) {
    // The highlight follows the chosen queue to its new row rather than staying on a row that
    // now shows another printer.
    const std::optional<std::string> chosen = chosenPrinterName();
    SortOnHeaderClick(m_state.printerTable,
                      column == 1 ? SortColumn::PortName : SortColumn::PrinterName, m_direction);
    rewriteRows();
    choosePrinter(chosen);
}

void PrinterSelectionWindow::confirm() {
    if (m_confirming || !m_open) {
        return;
    }
    m_confirming = true;
    const bool accepted = ConfirmSelection(m_state, m_printSystem, m_store, m_ui, focusedRow());
    m_confirming = false;
    if (accepted) {
        accept();
        return;
    }
    if (m_pendingQueues) {
        std::vector<QueueInfo> queues = std::move(*m_pendingQueues);
        m_pendingQueues.reset();
        rebuildFrom(std::move(queues));
        if (!m_open || !isVisible()) {
            return;
        }
    }
    m_list->setFocus(Qt::OtherFocusReason);
}

void PrinterSelectionWindow::takePolledQueues(std::uint64_t run, std::vector<QueueInfo> queues) {
    if (run != m_run || !m_open) {
        return;  // the run it was polled for is over; the table now belongs to the caller
    }
    if (m_confirming) {
        // The confirmation works on the table as it is; the new list waits until it is done.
        m_pendingQueues = std::move(queues);
        return;
    }
    rebuildFrom(std::move(queues));
}

void PrinterSelectionWindow::rebuildFrom(std::vector<QueueInfo> queues) {
    const std::optional<std::string> chosen = chosenPrinterName();
    if (!fillFrom(std::move(queues))) {
        done(static_cast<int>(SelectionDialogResult::NoSupportedDriver));
        return;
    }
    choosePrinter(chosen);
}

}  // namespace kestrel::gui
