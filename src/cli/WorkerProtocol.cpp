#include "cli/WorkerProtocol.h"

#include "cli/JobRunner.h"

#include "isolation/Frames.h"

#include <cstdint>

namespace corvanel::cli {

using isolation::FieldReader;
using isolation::PutField;
using isolation::PutNumber;

std::string EncodeJob(const DocumentJob& job, const RunSettings& settings) {
    std::string out;
    PutField(out, job.source);
    PutField(out, job.target);
    PutField(out, settings.targets.outputFolder);
    PutNumber(out, (settings.update ? 1 : 0) | (settings.collectFacts ? 2 : 0) |
                       (settings.targets.keepTree ? 4 : 0) | (settings.include.headers ? 8 : 0) |
                       (settings.include.footers ? 16 : 0) | (settings.include.comments ? 32 : 0) |
                       (settings.output == convert::OutputKind::kMarkdown ? 64 : 0));
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
    settings.output =
        (flags & 64) != 0 ? convert::OutputKind::kMarkdown : convert::OutputKind::kText;
    settings.targets.extension = (flags & 64) != 0 ? "md" : "txt";
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

}  // namespace corvanel::cli
