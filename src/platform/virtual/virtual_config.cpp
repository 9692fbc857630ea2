#include "platform/virtual/virtual_config.h"

#include <fstream>
#include <sstream>

#include "printer/device_uri.h"
#include "settings/text.h"
#include "storage/regular_file.h"

namespace kestrel {
namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

bool IsComment(std::string_view line) {
    return line.starts_with(';') || line.starts_with('#');
}

bool Truthy(std::string_view value) {
    const std::string v = Lower(value);
    return v == "yes" || v == "true" || v == "1" || v == "on";
}

std::optional<PortKind> KindFromName(std::string_view name) {
    const std::string n = Lower(name);
    if (n == "parallel")
        return PortKind::Parallel;
    if (n == "serial")
        return PortKind::Serial;
    if (n == "usb")
        return PortKind::Usb;
    if (n == "file")
        return PortKind::File;
    if (n == "network")
        return PortKind::Network;
    if (n == "port-router")
        return PortKind::PortRouter;
    if (n == "other")
        return PortKind::NotCorresponded;
    return std::nullopt;
}

VirtualFailStep FailStepFromName(std::string_view name) {
    const std::string n = Lower(name);
    if (n == "open")
        return VirtualFailStep::Open;
    if (n == "start")
        return VirtualFailStep::Start;
    if (n == "write")
        return VirtualFailStep::Write;
    if (n == "end")
        return VirtualFailStep::End;
    return VirtualFailStep::None;
}

std::uint32_t Count(std::string_view value) {
    std::uint32_t n = 0;
    for (const char c : value) {
        if (c < '0' || c > '9' || n > 100000000) {
            return n;
        }
        n = n * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return n;
}

std::optional<std::pair<std::string_view, std::string_view>> KeyValue(std::string_view line) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
        return std::nullopt;
    }
    return std::pair{Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))};
}

std::optional<std::string_view> SectionName(std::string_view line) {
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
        return Trim(line.substr(1, line.size() - 2));
    }
    return std::nullopt;
}

struct PendingQueue {
    VirtualQueue queue;
    std::optional<PortKind> kind;
};

void Finish(std::optional<PendingQueue>& pending, VirtualConfig& config) {
    if (!pending) {
        return;
    }
    QueueInfo& info = pending->queue.info;
    if (pending->kind) {
        info.portKind = *pending->kind;
    } else {
        info.portKind = PortKindFromDeviceUri(info.port);
    }
    if (!info.name.empty()) {
        config.queues.push_back(std::move(pending->queue));
    }
    pending.reset();
}

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    std::istringstream in{std::string(text)};
    for (std::string line; std::getline(in, line);) {
        lines.push_back(std::move(line));
    }
    return lines;
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& file) {
    int error = 0;
    const auto opened = RegularFile::open(file, error);
    if (!opened) {
        return std::nullopt;
    }
    std::string text(static_cast<std::size_t>(opened->size()), '\0');
    const auto got =
        opened->readAt(0, std::span(reinterpret_cast<std::uint8_t*>(text.data()), text.size()));
    if (!got) {
        return std::nullopt;
    }
    text.resize(*got);
    return text;
}

}  // namespace

VirtualConfig ParseVirtualConfig(std::string_view text) {
    VirtualConfig config;
    std::optional<PendingQueue> pending;
    for (const std::string& raw : Lines(text)) {
        const std::string_view line = Trim(raw);
        if (line.empty() || IsComment(line)) {
            continue;
        }
        if (const auto section = SectionName(line)) {
            Finish(pending, config);
            pending.emplace();
            pending->queue.info.name = std::string(*section);
            continue;
        }
        const auto kv = KeyValue(line);
        if (!kv) {
            continue;
        }
        const std::string key = Lower(kv->first);
        const std::string_view value = kv->second;
        if (!pending) {
            if (key == "capture") {
                config.captureFolder = std::string(value);
            }
            continue;
        }
        VirtualQueue& q = pending->queue;
        if (key == "name") {
            q.info.name = std::string(value);
        } else if (key == "driver") {
            q.info.driverName = std::string(value);
        } else if (key == "port") {
            q.info.port = std::string(value);
        } else if (key == "kind") {
            pending->kind = KindFromName(value).value_or(PortKind::NotCorresponded);
        } else if (key == "serial") {
            q.serialLineValue = std::string(value);
        } else if (key == "paused") {
            q.info.paused = Truthy(value);
        } else if (key == "offline") {
            q.info.offline = Truthy(value);
        } else if (key == "separator") {
            q.info.separatorPage = Truthy(value);
        } else if (key == "jobs") {
            q.info.jobCount = Count(value);
        } else if (key == "hold") {
            q.holdJobs = Truthy(value);
        } else if (key == "fail") {
            q.failAt = FailStepFromName(value);
        }
    }
    Finish(pending, config);
    return config;
}

std::optional<VirtualConfig> ReadVirtualConfig(const std::filesystem::path& file) {
    const auto text = ReadWholeFile(file);
    if (!text) {
        return std::nullopt;
    }
    return ParseVirtualConfig(*text);
}

bool WriteVirtualSerialLineValue(const std::filesystem::path& file, std::string_view queueName,
                                 std::string_view value) {
    const auto text = ReadWholeFile(file);
    if (!text) {
        return false;
    }
    std::vector<std::string> lines = Lines(*text);

    // Find the queue's section: its header, the line after its last key, its serial line.
    struct Section {
        std::string name;
        std::size_t afterLastKey = 0;
        std::optional<std::size_t> serialLine;
    };
    std::optional<Section> current;
    std::optional<Section> found;
    const auto close = [&] {
        if (current && current->name == queueName && !found) {
            found = current;
        }
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = Trim(lines[i]);
        if (const auto section = SectionName(line)) {
            close();
            current = Section{std::string(*section), i + 1, std::nullopt};
            continue;
        }
        if (!current || line.empty() || IsComment(line)) {
            continue;
        }
        if (const auto kv = KeyValue(line)) {
            const std::string key = Lower(kv->first);
            if (key == "name") {
                current->name = std::string(kv->second);
            } else if (key == "serial") {
                current->serialLine = i;
            }
            current->afterLastKey = i + 1;
        }
    }
    close();
    if (!found) {
        return false;
    }
    const std::string setting = "serial = " + std::string(value);
    if (found->serialLine) {
        lines[*found->serialLine] = setting;
    } else {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(found->afterLastKey), setting);
    }

    // Write beside the file and rename over it, so a failed write leaves the old file whole.
    std::filesystem::path temp = file;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        for (const std::string& line : lines) {
            out << line << '\n';
        }
        out.flush();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, file, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        return false;
    }
    return true;
}

}  // namespace kestrel
