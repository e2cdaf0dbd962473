#include "isolation/JobCodec.h"

#include "isolation/Frames.h"

#include <cmath>

namespace corvanel::isolation {

namespace {

// The bits of a job's options number above the include bits, and of an answer's.
enum JobBits : std::uint64_t {
    kCollectFacts = kIncludeComments << 1,
    kUpdate = kCollectFacts << 1,
    kMakeFolders = kUpdate << 1,
    kMarkdown = kMakeFolders << 1,
    kCarriesDocument = kMarkdown << 1,
    kJobBits = (kCarriesDocument << 1) - 1,
};
enum AnswerBits : std::uint64_t { kSkipped = 1, kHasSourceBytes = 2, kAnswerBits = 3 };

// Longer than twelve days is no conversion's; below it a count of microseconds survives
// the milliseconds of a double.
constexpr std::uint64_t kMaxMicroseconds = 1ull << 40;

std::uint64_t Bit(bool on, std::uint64_t bit) {
    return on ? bit : 0;
}

bool KnownCode(std::uint64_t number) {
    using convert::ErrorCode;
    return number == static_cast<std::uint64_t>(ErrorCode::kNone) ||
           (number >= static_cast<std::uint64_t>(ErrorCode::kCannotOpen) &&
            number <= static_cast<std::uint64_t>(ErrorCode::kCrashed));
}

}  // namespace

std::string EncodeJob(const Job& job) {
    const convert::ConvertOptions& options = job.options;
    std::string out;
    PutNumber(out, Bit(options.include.headers, kIncludeHeaders) |
                       Bit(options.include.footers, kIncludeFooters) |
                       Bit(options.include.comments, kIncludeComments) |
                       Bit(options.collectFacts, kCollectFacts) | Bit(job.update, kUpdate) |
                       Bit(job.makeFolders, kMakeFolders) |
                       Bit(options.output == convert::OutputKind::kMarkdown, kMarkdown) |
                       Bit(job.document.has_value(), kCarriesDocument));
    PutField(out, job.source);
    PutField(out, job.target);
    PutField(out, options.newline);
    if (job.document) {
        PutField(out, *job.document);
    }
    return out;
}

bool DecodeJob(const std::string& frame, Job& job) {
    FieldReader in(frame);
    std::uint64_t flags = 0;
    if (!in.Number(flags) || (flags & ~kJobBits) != 0 || !in.Field(job.source) ||
        !in.Field(job.target) || !in.Field(job.options.newline)) {
        return false;
    }
    job.document.reset();
    if ((flags & kCarriesDocument) != 0 && !in.Field(job.document.emplace())) {
        return false;
    }
    job.options.include = {(flags & kIncludeHeaders) != 0, (flags & kIncludeFooters) != 0,
                           (flags & kIncludeComments) != 0};
    job.options.collectFacts = (flags & kCollectFacts) != 0;
    job.options.output =
        (flags & kMarkdown) != 0 ? convert::OutputKind::kMarkdown : convert::OutputKind::kText;
    job.update = (flags & kUpdate) != 0;
    job.makeFolders = (flags & kMakeFolders) != 0;
    return in.AtEnd();
}

std::string EncodeAnswer(const JobAnswer& answer) {
    const convert::ConversionResult& outcome = answer.outcome;
    std::string out;
    PutNumber(out, static_cast<std::uint64_t>(outcome.code));
    PutNumber(out,
              Bit(answer.skipped, kSkipped) | Bit(answer.sourceBytes.has_value(), kHasSourceBytes));
    PutNumber(out, answer.sourceBytes.value_or(0));
    PutNumber(out, static_cast<std::uint64_t>(std::llround(answer.milliseconds * 1000)));
    PutField(out, outcome.description);
    PutField(out, answer.text);
    PutField(out, outcome.facts.format);
    PutNumber(out, outcome.facts.chars);
    PutNumber(out, outcome.facts.words);
    PutNumber(out, outcome.facts.properties.size());
    for (const auto& [property, value] : outcome.facts.properties) {
        PutNumber(out, static_cast<std::uint64_t>(property));
        PutField(out, value);
    }
    return out;
}

bool DecodeAnswer(const std::string& frame, JobAnswer& answer) {
    FieldReader in(frame);
    convert::ConversionResult& outcome = answer.outcome;
    std::uint64_t code = 0, flags = 0, sourceBytes = 0, microseconds = 0, properties = 0;
    if (!in.Number(code) || !KnownCode(code) || !in.Number(flags) || (flags & ~kAnswerBits) != 0 ||
        !in.Number(sourceBytes) || ((flags & kHasSourceBytes) == 0 && sourceBytes != 0) ||
        !in.Number(microseconds) || microseconds > kMaxMicroseconds ||
        !in.Field(outcome.description) || !in.Field(answer.text) ||
        !in.Field(outcome.facts.format) || !in.Number(outcome.facts.chars) ||
        !in.Number(outcome.facts.words) || !in.Number(properties)) {
        return false;
    }
    outcome.code = static_cast<convert::ErrorCode>(code);
    answer.skipped = (flags & kSkipped) != 0;
    answer.sourceBytes =
        (flags & kHasSourceBytes) != 0 ? std::optional<std::uint64_t>(sourceBytes) : std::nullopt;
    answer.milliseconds = static_cast<double>(microseconds) / 1000;
    outcome.facts.properties.clear();
    // Each property once, in their order, as they are sent.
    for (std::uint64_t i = 0, next = 0; i < properties; ++i) {
        std::uint64_t property = 0;
        std::string value;
        if (!in.Number(property) || property < next ||
            property > static_cast<std::uint64_t>(convert::DocumentProperty::kWords) ||
            !in.Field(value)) {
            return false;
        }
        next = property + 1;
        outcome.facts.properties[static_cast<convert::DocumentProperty>(property)] =
            std::move(value);
    }
    return in.AtEnd();
}

}  // namespace corvanel::isolation
