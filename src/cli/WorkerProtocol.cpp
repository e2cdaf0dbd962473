#include "cli/WorkerProtocol.h"

#include "cli/JobRunner.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

#include <unistd.h>

namespace corvanel::cli {

namespace {

constexpr std::uint32_t kMaxFrameBytes = 64u << 20;

void PutNumber(std::string& out, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

// The number PutNumber wrote at `bytes` (eight of them, least significant first).
std::uint64_t GetNumber(const char* bytes) {
    std::uint64_t value = 0;
    for (int i = 0; i < 8; ++i) {
        value |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    }
    return value;
}

void PutField(std::string& out, const std::string& field) {
    PutNumber(out, field.size());
    out += field;
}

class FieldReader {
public:
    explicit FieldReader(const std::string& frame) : frame_(frame) {}

    bool Number(std::uint64_t& value) {
        if (frame_.size() - at_ < 8) {
            return false;
        }
        value = GetNumber(frame_.data() + at_);
        at_ += 8;
        return true;
    }
    bool Field(std::string& field) {
        std::uint64_t size = 0;
        if (!Number(size) || frame_.size() - at_ < size) {
            return false;
        }
        field = frame_.substr(at_, size);
        at_ += size;
        return true;
    }
    bool AtEnd() const { return at_ == frame_.size(); }

private:
    const std::string& frame_;
    std::size_t at_ = 0;
};

}  // namespace

std::string EncodeJob(const DocumentJob& job, const RunSettings& settings) {
    std::string out;
    PutField(out, job.source);
    PutField(out, job.target);
    PutField(out, settings.targets.outputFolder);
    PutNumber(out, (settings.update ? 1 : 0) | (settings.collectFacts ? 2 : 0) |
                       (settings.targets.keepTree ? 4 : 0) | (settings.include.headers ? 8 : 0) |
                       (settings.include.footers ? 16 : 0) | (settings.include.comments ? 32 : 0));
    return out;
}

bool DecodeJob(const std::string& frame, DocumentJob& job, RunSettings& settings) {
    FieldReader in(frame);
    std::uint64_t flags = 0;
    if (!in.Field(job.source) || !in.Field(job.target) ||
        !in.Field(settings.targets.outputFolder) || !in.Number(flags) || !in.AtEnd()) {
        return false;
    }
    settings.update = (flags & 1) != 0;
    settings.collectFacts = (flags & 2) != 0;
    settings.targets.keepTree = (flags & 4) != 0;
    settings.include = {(flags & 8) != 0, (flags & 16) != 0, (flags & 32) != 0};
    return true;
}

std::string EncodeRecordFrame(const DocumentRecord& record) {
    std::string out;
    PutField(out, record.source);
    PutNumber(out, static_cast<std::uint64_t>(record.status));
    PutNumber(out, record.output ? 1 : 0);
    PutField(out, record.output.value_or(std::string()));
    PutField(out, record.errorCode);
    PutField(out, record.errorMessage);
    PutNumber(out, record.bytes ? 1 : 0);
    PutNumber(out, record.bytes.value_or(0));
    PutNumber(out, record.hasText ? 1 : 0);
    PutField(out, record.facts.format);
    PutNumber(out, record.facts.chars);
    PutNumber(out, record.facts.words);
    std::uint64_t microseconds = static_cast<std::uint64_t>(record.milliseconds * 1000);
    PutNumber(out, microseconds);
    PutNumber(out, record.facts.properties.size());
    for (const auto& [property, value] : record.facts.properties) {
        PutNumber(out, static_cast<std::uint64_t>(property));
        PutField(out, value);
    }
    return out;
}

bool DecodeRecordFrame(const std::string& frame, DocumentRecord& record) {
    FieldReader in(frame);
    std::uint64_t status = 0, hasOutput = 0, hasBytes = 0, bytes = 0, hasText = 0;
    std::uint64_t microseconds = 0, properties = 0;
    std::string output;
    if (!in.Field(record.source) || !in.Number(status) || status > 2 || !in.Number(hasOutput) ||
        !in.Field(output) || !in.Field(record.errorCode) || !in.Field(record.errorMessage) ||
        !in.Number(hasBytes) || !in.Number(bytes) || !in.Number(hasText) ||
        !in.Field(record.facts.format) || !in.Number(record.facts.chars) ||
        !in.Number(record.facts.words) || !in.Number(microseconds) || !in.Number(properties)) {
        return false;
    }
    record.status = static_cast<DocumentRecord::Status>(status);
    record.output = hasOutput != 0 ? std::optional<std::string>(output) : std::nullopt;
    record.bytes = hasBytes != 0 ? std::optional<std::uint64_t>(bytes) : std::nullopt;
    record.hasText = hasText != 0;
    record.milliseconds = static_cast<double>(microseconds) / 1000;
    for (std::uint64_t i = 0; i < properties; ++i) {
        std::uint64_t property = 0;
        std::string value;
        if (!in.Number(property) || property > 5 || !in.Field(value)) {
            return false;
        }
        record.facts.properties[static_cast<convert::DocumentProperty>(property)] = value;
    }
    return in.AtEnd();
}

bool WriteFrame(int descriptor, const std::string& frame) {
    std::string out;
    PutNumber(out, frame.size());
    out += frame;
    for (std::size_t done = 0; done < out.size();) {
        const ssize_t wrote = ::write(descriptor, out.data() + done, out.size() - done);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

bool FrameReader::Fill() {
    if (start_ > 0) {
        buffer_.erase(0, start_);
        start_ = 0;
    }
    constexpr std::size_t kReadBytes = 64 * 1024;
    const std::size_t had = buffer_.size();
    buffer_.resize(had + kReadBytes);
    ssize_t got;
    do {
        got = ::read(descriptor_, buffer_.data() + had, kReadBytes);
    } while (got < 0 && errno == EINTR);
    buffer_.resize(had + static_cast<std::size_t>(got > 0 ? got : 0));
    return got > 0;
}

std::optional<std::string> FrameReader::Take(bool& damaged) {
    damaged = false;
    if (buffer_.size() - start_ < 8) {
        return std::nullopt;
    }
    const std::uint64_t size = GetNumber(buffer_.data() + start_);
    if (size > kMaxFrameBytes) {
        damaged = true;
        return std::nullopt;
    }
    if (buffer_.size() - start_ - 8 < size) {
        return std::nullopt;
    }
    std::string frame = buffer_.substr(start_ + 8, size);
    start_ += 8 + size;
    return frame;
}

std::optional<std::string> FrameReader::Next() {
    while (true) {
        bool damaged = false;
        if (std::optional<std::string> frame = Take(damaged)) {
            return frame;
        }
        if (damaged || !Fill()) {
            return std::nullopt;
        }
    }
}

}  // namespace corvanel::cli
