#include "ports/testing/fake_print_system.h"

#include <algorithm>

namespace kestrel::testing {
namespace {

class FakeOpenQueue final : public OpenQueue {
public:
    FakeOpenQueue(FakePrintSystem& system, std::string name)
        : m_system(system), m_name(std::move(name)) {
        ++m_system.openCount;
    }
    ~FakeOpenQueue() override { ++m_system.closeCount; }

    bool startDocument(std::string_view documentName) override {
        if (m_system.failAt == FailStep::StartDocument) {
            return false;
        }
        ++m_system.documentsStarted;
        m_system.jobs.push_back({m_name, std::string(documentName), {}, false});
        return true;
    }

    std::optional<std::size_t> write(std::span<const std::uint8_t> bytes) override {
        ++m_system.writeCalls;
        if (m_system.failAt == FailStep::Write) {
            return std::nullopt;
        }
        auto& job = m_system.jobs.back();
        job.bytes.insert(job.bytes.end(), bytes.begin(), bytes.end());
        return m_system.shortWrite.value_or(bytes.size());
    }

    bool endDocument() override {
        ++m_system.documentsEnded;
        if (m_system.failAt == FailStep::EndDocument) {
            return false;
        }
        m_system.jobs.back().ended = true;
        return true;
    }

    int jobId() const override { return static_cast<int>(m_system.jobs.size()); }

private:
    FakePrintSystem& m_system;
    std::string m_name;
};

}  // namespace

std::unique_ptr<OpenQueue> FakePrintSystem::openQueue(const std::string& name) {
    if (failAt == FailStep::Open) {
        return nullptr;
    }
    if (!queues.empty() &&
        std::ranges::none_of(queues, [&](const QueueInfo& q) { return q.name == name; })) {
        return nullptr;
    }
    return std::make_unique<FakeOpenQueue>(*this, name);
}

}  // namespace kestrel::testing
