// Jobs and answers through their frames: everything a program sends comes back as it was, and
// a frame that does not hold exactly a job or an answer (cut short, extended, with unknown bits
// or codes) is refused.

#include "isolation/Frames.h"
#include "isolation/JobCodec.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace corvanel::isolation {
namespace {

using convert::DocumentProperty;
using convert::ErrorCode;
using convert::OutputKind;

Job MakeJob(std::string source, std::optional<std::string> document, std::string target,
            convert::MarginTexts include, OutputKind output, bool facts, bool update,
            bool makeFolders) {
    Job job;
    job.source = std::move(source);
    job.document = std::move(document);
    job.target = std::move(target);
    job.options.newline = "\r\n";
    job.options.include = include;
    job.options.output = output;
    job.options.collectFacts = facts;
    job.update = update;
    job.makeFolders = makeFolders;
    return job;
}

std::vector<Job> Jobs() {
    return {
        MakeJob("in/a.docx", std::nullopt, "out/a.txt", {}, OutputKind::kText, false, false, false),
        MakeJob("h\xC3\xA9.odt", std::nullopt, "", {true, false, true}, OutputKind::kMarkdown, true,
                true, true),
        // Uploaded bytes, any byte included, the text back.
        MakeJob("upload", std::string("PK\x03\x04\0\xFF rest", 11), "", {false, true, false},
                OutputKind::kText, true, false, false),
        MakeJob("empty upload", std::string(), "out/e.md", {true, true, true},
                OutputKind::kMarkdown, false, false, false),
    };
}

JobAnswer MakeAnswer(ErrorCode code, std::string description, bool skipped,
                     std::optional<std::uint64_t> bytes, std::string text, std::string format,
                     std::uint64_t chars, std::map<DocumentProperty, std::string> properties) {
    JobAnswer answer;
    answer.outcome.code = code;
    answer.outcome.description = std::move(description);
    answer.outcome.facts.format = std::move(format);
    answer.outcome.facts.chars = chars;
    answer.outcome.facts.words = chars / 5;
    answer.outcome.facts.properties = std::move(properties);
    answer.skipped = skipped;
    answer.sourceBytes = bytes;
    answer.text = std::move(text);
    answer.milliseconds = 12.345;
    return answer;
}

std::vector<JobAnswer> Answers() {
    return {
        MakeAnswer(ErrorCode::kNone, "", false, 4096, "Hello\nworld\n", "docx", 12,
                   {{DocumentProperty::kTitle, "T\xC3\xAFtle"}, {DocumentProperty::kWords, "2"}}),
        MakeAnswer(ErrorCode::kDamaged, "a.doc is damaged: no text", false, std::nullopt, "", "doc",
                   0, {}),
        MakeAnswer(ErrorCode::kNone, "", true, 0, "", "", 0, {}),
        MakeAnswer(ErrorCode::kCrashed, "", false, 1, std::string("\0x", 2), "rtf", 1,
                   {{DocumentProperty::kModified, "2024-03-05T14:30:00Z"}}),
    };
}

// Everything a job or an answer holds, to be compared at once.
auto Fields(const Job& job) {
    const convert::ConvertOptions& options = job.options;
    return std::make_tuple(job.source, job.document, job.target, options.newline,
                           options.include.headers, options.include.footers,
                           options.include.comments, options.output, options.collectFacts,
                           job.update, job.makeFolders);
}
auto Fields(const JobAnswer& answer) {
    const convert::ConversionResult& outcome = answer.outcome;
    return std::make_tuple(outcome.code, outcome.description, outcome.facts.format,
                           outcome.facts.chars, outcome.facts.words, outcome.facts.properties,
                           answer.skipped, answer.sourceBytes, answer.text, answer.milliseconds);
}

TEST(JobCodec, JobsAndAnswersComeBackAsTheyWereSent) {
    for (const Job& sent : Jobs()) {
        Job got;
        got.document = "left from an earlier job";
        ASSERT_TRUE(DecodeJob(EncodeJob(sent), got)) << sent.source;
        EXPECT_EQ(Fields(got), Fields(sent));
    }
    for (const JobAnswer& sent : Answers()) {
        JobAnswer got;
        got.outcome.facts.properties[DocumentProperty::kAuthor] = "left from an earlier answer";
        ASSERT_TRUE(DecodeAnswer(EncodeAnswer(sent), got)) << sent.outcome.description;
        EXPECT_EQ(Fields(got), Fields(sent));
    }
}

TEST(JobCodec, EveryFrameCutShortOrExtendedIsRefused) {
    std::vector<std::string> jobs, answers;
    for (const Job& job : Jobs()) {
        jobs.push_back(EncodeJob(job));
    }
    for (const JobAnswer& answer : Answers()) {
        answers.push_back(EncodeAnswer(answer));
    }
    for (const std::string& frame : jobs) {
        Job job;
        for (std::size_t size = 0; size < frame.size(); ++size) {
            EXPECT_FALSE(DecodeJob(frame.substr(0, size), job)) << size;
        }
        EXPECT_FALSE(DecodeJob(frame + '\0', job));
    }
    for (const std::string& frame : answers) {
        JobAnswer answer;
        for (std::size_t size = 0; size < frame.size(); ++size) {
            EXPECT_FALSE(DecodeAnswer(frame.substr(0, size), answer)) << size;
        }
        EXPECT_FALSE(DecodeAnswer(frame + '\0', answer));
    }
}

// A frame whose first number (a job's options, an answer's code) is replaced.
std::string WithFirstNumber(const std::string& frame, std::uint64_t number) {
    std::string out;
    PutNumber(out, number);
    return out + frame.substr(8);
}

TEST(JobCodec, UnknownOptionsCodesAndPropertiesAreRefused) {
    Job job;
    const std::string jobFrame = EncodeJob(Jobs()[0]);
    EXPECT_FALSE(DecodeJob(WithFirstNumber(jobFrame, 256), job));
    EXPECT_FALSE(DecodeJob(WithFirstNumber(jobFrame, 1ull << 63), job));

    JobAnswer answer;
    const std::string answerFrame = EncodeAnswer(Answers()[1]);
    for (const std::uint64_t code : {1ull, 8000ull, 8011ull, 8101ull, 1ull << 40}) {
        EXPECT_FALSE(DecodeAnswer(WithFirstNumber(answerFrame, code), answer)) << code;
    }
    EXPECT_TRUE(DecodeAnswer(WithFirstNumber(answerFrame, 8010), answer));

    JobAnswer unknownProperty = Answers()[0];
    unknownProperty.outcome.facts.properties = {
        {static_cast<DocumentProperty>(static_cast<int>(DocumentProperty::kWords) + 1), "x"}};
    EXPECT_FALSE(DecodeAnswer(EncodeAnswer(unknownProperty), answer));
}

}  // namespace
}  // namespace corvanel::isolation
