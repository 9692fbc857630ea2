// Previews of logos as the printer will print them, converted off the user-interface thread by
// the same code that builds the define command, so a large file never freezes the dialog. Only
// the newest request of a slot is reported; a result for an older one is dropped.
#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>

#include "logo/logo_table.h"

template <typename T>
class QFutureWatcher;

namespace kestrel::gui {

struct LogoPreview {
    std::uint64_t request = 0;
    QImage image;  // null when the file cannot be used
    QString text;  // the size, or why the file cannot be used
};

class LogoPreviewer : public QObject {
    Q_OBJECT

public:
    explicit LogoPreviewer(QObject* parent = nullptr);
    ~LogoPreviewer() override;

    void request(int slotIndex, const QString& path, bool twoColor);

signals:
    void ready(int slotIndex, const QImage& image, const QString& text);

private:
    std::array<QFutureWatcher<LogoPreview>*, kLogoSlotCount> m_watchers{};
    std::array<std::uint64_t, kLogoSlotCount> m_latest{};
};

}  // namespace kestrel::gui
