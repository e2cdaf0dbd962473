// A real conversion worker given a document's bytes, as a server hands on an upload: the text
// comes back in the answer or goes to a text file, and bytes that are no document fail alone.

#include "TestZip.h"
#include "isolation/JobCodec.h"
#include "isolation/SingleWorker.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace corvanel::isolation {
namespace {

using convert::testing::MakeZip;
using convert::testing::TemporaryFolder;

std::string Docx(const std::string& text) {
    return MakeZip(convert::testing::DocxParts(
        "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
        "<w:body><w:p><w:r><w:t>" +
        text + "</w:t></w:r></w:p></w:body></w:document>"));
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(JobWorker, ConvertsADocumentSentAsBytes) {
    struct Case {
        const char* name;
        std::string document;
        bool toFile;
        convert::ErrorCode code;
        const char* text;
    };
    TemporaryFolder scratch;
    SingleWorker worker(CORVANEL_ISOLATION_JOB_SERVER, "worker", "", IsolationLimits());
    for (const Case& c : {
             Case{"text back", Docx("From memory"), false, convert::ErrorCode::kNone,
                  "From memory\n"},
             Case{"into a file", Docx("Into a file"), true, convert::ErrorCode::kNone,
                  "Into a file\n"},
             Case{"no document", "PK\x03\x04 cut short", true, convert::ErrorCode::kDamaged, ""},
         }) {
        Job job;
        job.source = c.name;
        job.document = c.document;
        job.target = c.toFile ? scratch.File(std::string(c.name) + ".txt") : "";
        job.options.newline = "\n";
        job.options.collectFacts = true;
        JobAnswer answer;
        const SingleWorker::Reply reply =
            worker.Ask(EncodeJob(job), job.target,
                       [&](const std::string& frame) { return DecodeAnswer(frame, answer); });
        ASSERT_EQ(reply.ending, SingleWorker::Ending::kAnswered) << c.name << ": " << reply.reason;
        EXPECT_EQ(answer.outcome.code, c.code) << c.name << ": " << answer.outcome.description;
        EXPECT_EQ(answer.sourceBytes, c.document.size()) << c.name;
        if (c.code != convert::ErrorCode::kNone) {
            EXPECT_NE(answer.outcome.description.find(c.name), std::string::npos)
                << answer.outcome.description;
        } else {
            EXPECT_EQ(answer.outcome.facts.format, "docx") << c.name;
        }
        EXPECT_EQ(c.toFile ? ReadAll(job.target) : answer.text, c.text) << c.name;
    }
}

}  // namespace
}  // namespace corvanel::isolation
