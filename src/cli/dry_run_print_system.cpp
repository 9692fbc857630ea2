#include "cli/dry_run_print_system.h"

#include <fstream>

namespace kestrel::cli {
namespace {

class FileQueue final : public OpenQueue {
public:
    FileQueue(std::filesystem::path path, bool append)
        : m_path(std::move(path)), m_append(append) {}

    bool startDocument(std::string_view) override {
        m_file.open(m_path, std::ios::binary | (m_append ? std::ios::app : std::ios::trunc));
        return m_file.is_open();
    }
    std::optional<std::size_t> write(std::span<const std::uint8_t> bytes) override {
        m_file.write(reinterpret_cast<const char*>(bytes.data()),
                     static_cast<std::streamsize>(bytes.size()));
        if (!m_file) {
            return std::nullopt;
        }
        return bytes.size();
    }
    bool endDocument() override {
        m_file.close();
        return !m_file.fail();
    }

private:
    std::filesystem::path m_path;
    bool m_append;
    std::ofstream m_file;
};

}  // namespace

std::vector<QueueInfo> DryRunPrintSystem::listQueues() {
    return m_lister ? m_lister->listQueues() : std::vector<QueueInfo>{};
}

std::unique_ptr<OpenQueue> DryRunPrintSystem::openQueue(const std::string&) {
    const bool append = m_append && m_jobs > 0;
    ++m_jobs;
    return std::make_unique<FileQueue>(m_output, append);
}

}  // namespace kestrel::cli
