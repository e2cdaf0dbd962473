#include "cli/DocumentRecord.h"

#include <gtest/gtest.h>

namespace corvanel::cli {
namespace {

TEST(DocumentRecord, StringsAreValidJsonAndBytesBeyondUtf8SurviveAsEscapes) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain/path.docx", R"("plain/path.docx")"},
        {"quote\" back\\ tab\t nl\n del\x7f", R"("quote\" back\\ tab\t nl\n del\u007f")"},
        {"caf\xC3\xA9 \xF0\x9F\x93\x84", "\"caf\xC3\xA9 \xF0\x9F\x93\x84\""},
        {"latin1 caf\xE9", R"("latin1 caf\udce9")"},
        {"cut \xC3", R"("cut \udcc3")"},
        {"overlong \xC0\xAF", R"("overlong \udcc0\udcaf")"},
        {"surrogate \xED\xA0\x80", R"("surrogate \udced\udca0\udc80")"},
    };
    for (const auto& [text, json] : cases) {
        std::string out;
        AppendJsonString(out, text);
        EXPECT_EQ(out, json);
    }
}

TEST(DocumentRecord, FieldsFollowTheStatus) {
    DocumentRecord converted;
    converted.source = "a.docx";
    converted.output = "a.txt";
    converted.status = DocumentRecord::Status::kConverted;
    converted.bytes = 1234;
    converted.hasText = true;
    converted.facts.format = "docx";
    converted.facts.chars = 10;
    converted.facts.words = 2;
    converted.facts.properties[convert::DocumentProperty::kTitle] = "Report";
    converted.facts.properties[convert::DocumentProperty::kPages] = "3";
    converted.facts.properties[convert::DocumentProperty::kWords] = "many";  // not a count
    converted.milliseconds = 0.25;
    EXPECT_EQ(EncodeRecord(converted),
              R"({"source":"a.docx","output":"a.txt","status":"converted","format":"docx",)"
              R"("bytes":1234,"chars":10,"words":2,"ms":0.250,)"
              R"("metadata":{"title":"Report","pages":3}})"
              "\n");

    DocumentRecord failed;
    failed.source = "b.doc";
    failed.errorCode = "damaged";
    failed.errorMessage = "b.doc is damaged";
    EXPECT_EQ(EncodeRecord(failed),
              R"({"source":"b.doc","output":null,"status":"failed",)"
              R"("error":{"code":"damaged","message":"b.doc is damaged"},"format":null,)"
              R"("bytes":null,"chars":null,"words":null,"ms":0.000,"metadata":{}})"
              "\n");
}

}  // namespace
}  // namespace corvanel::cli
