#include "app/logo/logo_previewer.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include "commands/logo_refer.h"
#include "logo/logo_job.h"
#include "logo/logo_preview.h"

namespace kestrel::gui {
namespace {

LogoPreview Convert(std::uint64_t request, const std::string& path, bool twoColor) {
    LogoPreview preview;
    preview.request = request;
    const LogoFileConversion read = ReadAndConvertLogo(path, twoColor);
    preview.text = QString::fromStdString(LogoPreviewText(read.result, read.conversion));
    if (read.result == BitmapReadResult::BMP_OK) {
        const RgbImage rgb = RenderLogoPlanes(read.conversion.planes);
        preview.image =
            QImage(rgb.rgb.data(), static_cast<int>(rgb.width), static_cast<int>(rgb.height),
                   static_cast<int>(rgb.width) * 3, QImage::Format_RGB888)
                .copy();
    }
    return preview;
}

}  // namespace

LogoPreviewer::LogoPreviewer(QObject* parent) : QObject(parent) {
    for (int slot = 0; slot < kLogoSlotCount; ++slot) {
        auto* watcher = new QFutureWatcher<LogoPreview>(this);
        m_watchers[static_cast<std::size_t>(slot)] = watcher;
        connect(watcher, &QFutureWatcherBase::finished, this, [this, slot, watcher] {
            const LogoPreview preview = watcher->result();
            if (preview.request == m_latest[static_cast<std::size_t>(slot)]) {
                emit ready(slot, preview.image, preview.text);
            }
        });
    }
}

// A conversion still running finishes on its own; its result goes nowhere.
LogoPreviewer::~LogoPreviewer() = default;

void LogoPreviewer::request(int slotIndex, const QString& path, bool twoColor) {
    const auto slot = static_cast<std::size_t>(slotIndex);
    const std::uint64_t id = ++m_latest[slot];
    if (path.isEmpty()) {
        emit ready(slotIndex, {}, {});
        return;
    }
    m_watchers[slot]->setFuture(
        QtConcurrent::run(&Convert, id, path.toLocal8Bit().toStdString(), twoColor));
}

}  // namespace kestrel::gui
