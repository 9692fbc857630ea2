// The printer selection dialog: every printer queue with an icon saying whether the program can
// use it, sortable by either column; OK confirms the chosen queue. The start-up loop runs it until
// a usable queue is accepted.
//
// Each run() reads the queues afresh, so a user who has fixed a queue is judged by its new state.
// With a poll function, the list is rebuilt in place while the dialog is open whenever the queues
// change; the row the user chose stays chosen if its queue is still there, and the dialog ends
// with NoSupportedDriver once no queue of a supported driver is left.
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "commands/select_printer.h"
#include "ports/host_port_store.h"
#include "ports/print_system.h"
#include "ports/user_interface.h"
#include "printer/printer_sort.h"
#include "state/app_state.h"

class QPushButton;
class QTreeWidget;

namespace kestrel::gui {

class QueueWatcher;

class PrinterSelectionWindow : public QDialog, public PrinterSelectionDialog {
    Q_OBJECT

public:
    // direction is the program's sort direction, kept across runs. poll may be empty (no
    // watching); otherwise it is called on a worker thread, never this one, so it must be safe
    // there (a print-system instance of its own), and it must outlive the dialog.
    PrinterSelectionWindow(AppState& state, PrintSystem& printSystem, HostPortStore& store,
                           UserInterface& ui, SortDirection& direction,
                           std::function<std::vector<QueueInfo>()> poll, QWidget* parent);
    ~PrinterSelectionWindow() override;

    SelectionDialogResult run() override;

private:
    // Rebuilds the printer table and the rows from these queues; false when none has a
    // supported driver.
    bool fillFrom(std::vector<QueueInfo> queues);
    // Row i shows entry i of the printer table.
    void rewriteRows();
    void fitColumns();
    // The queue of the row the user chose: current and selected. A current row that is not
    // selected is only the keyboard cursor, not a choice.
    std::optional<std::size_t> focusedRow() const;
    std::optional<std::string> chosenPrinterName() const;
    // Selects and focuses that queue's row, or leaves no row chosen at all.
    void choosePrinter(const std::optional<std::string>& printerName);

    void sortOnHeader(int column);
    void confirm();
    void takePolledQueues(std::uint64_t run, std::vector<QueueInfo> queues);
    void rebuildFrom(std::vector<QueueInfo> queues);

    AppState& m_state;
    PrintSystem& m_printSystem;
    HostPortStore& m_store;
    UserInterface& m_ui;
    SortDirection& m_direction;
    std::function<std::vector<QueueInfo>()> m_poll;

    QTreeWidget* m_list = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;

    std::uint64_t m_run = 0;  // which run() is on; a poll result of an earlier run is dropped
    bool m_open = false;
    bool m_confirming = false;  // a box of the confirmation may be on show
    std::optional<std::vector<QueueInfo>> m_pendingQueues;  // arrived while confirming
    std::unique_ptr<QueueWatcher> m_watcher;
};

}  // namespace kestrel::gui
