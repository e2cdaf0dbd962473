// The older formats of the shared corpus (WordPerfect, Works, a Word for DOS file named .wri)
// against LibreOffice's reading of them, recognised by content whatever their names.

#include "convert/Converter.h"
#include "convert/plaintext/PlainTextWriter.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <filesystem>
#include <fstream>
#include <sstream>

namespace corvanel::convert {
namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = CORVANEL_CORPUS_DIR;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Whether the older formats' module has been loaded into this process.
bool ModuleIsLoaded() {
#ifdef _WIN32
    return ::GetModuleHandleW(L"corvanel-revenge.dll") != nullptr;
#else
    return Slurp("/proc/self/maps").find("/corvanel-revenge.so") != std::string::npos;
#endif
}

struct Reading {
    ConversionResult result;
    std::string format;
    std::string text;
};

Reading Read(const std::string& name, std::string bytes, MarginTexts include = {}) {
    PlainTextWriter writer("\n");
    writer.WantMarginTexts(include);
    Reading reading;
    reading.result = ReadDocumentBytes(name, std::move(bytes), writer);
    reading.format = writer.Facts().format;
    reading.text = writer.TakeText();
    return reading;
}

class OlderFormats : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::is_directory(kCorpus / "documents/tika-legacy")) {
            GTEST_SKIP() << "no corpus at " << kCorpus;
        }
    }
    static std::string Document(const char* name) {
        return Slurp(kCorpus / "documents/tika-legacy" / name);
    }
};

TEST_F(OlderFormats, GiveLibreOfficesTextUnderAnyName) {
    const struct {
        const char* name;
        const char* format;
    } cases[] = {
        {"testWordPerfect.wpd", "wordperfect"},
        {"testWORKS.wps", "works"},
        {"testMSWriteFile.wri", "word-dos"},  // Word for DOS content (its style sheet, printer)
    };
    for (const auto& c : cases) {
        std::string expected =
            Slurp(kCorpus / "reference/tika-legacy" / (c.name + std::string(".txt")));
        if (expected.rfind("\xEF\xBB\xBF", 0) == 0) {
            expected.erase(0, 3);
        }
        for (const std::string& name : {std::string(c.name), std::string("renamed.doc")}) {
            const Reading reading = Read(name, Document(c.name));
            ASSERT_TRUE(reading.result.Ok()) << reading.result.description;
            EXPECT_EQ(reading.format, c.format) << c.name;
            EXPECT_EQ(reading.text, expected) << c.name;
        }
    }
}

// The converter does not link the libraries: its public calls read these formats through the
// module (corvanel-revenge.so or .dll), which the first such document brings into the process.
TEST_F(OlderFormats, AreReadByTheModuleOpenedOnFirstUse) {
    ConvertOptions options;
    options.collectFacts = true;
    std::string text;
    const ConversionResult result =
        ExtractText((kCorpus / "documents/tika-legacy/testWORKS.wps").string(), text, options);
    ASSERT_TRUE(result.Ok()) << result.description;
    EXPECT_EQ(result.facts.format, "works");
    EXPECT_NE(text.find_first_not_of(" \n"), std::string::npos);
    EXPECT_TRUE(ModuleIsLoaded());
}

// Asked for through the module, the header comes before the text.
TEST_F(OlderFormats, GiveTheirHeadersWhenAsked) {
    const std::string header = "Document\tDate of\n\t\t\t\tTitle\tRequestor\nNumber\tRequest\t\n";
    const Reading plain = Read("write.wri", Document("testMSWriteFile.wri"));
    const Reading with = Read("write.wri", Document("testMSWriteFile.wri"), {true, true, true});
    ASSERT_TRUE(with.result.Ok()) << with.result.description;
    EXPECT_EQ(with.text, header + "\n" + plain.text);
}

TEST_F(OlderFormats, EncryptedWordPerfectIsPasswordProtected) {
    // The header's encryption key, set in a WordPerfect 5 and a WordPerfect 6 header.
    for (const char majorVersion : {'\x00', '\x02'}) {
        std::string bytes = Document("testWordPerfect.wpd");
        bytes[10] = majorVersion;
        bytes[12] = '\x12';
        bytes[13] = '\x34';
        const Reading reading = Read("locked.wpd", bytes);
        EXPECT_EQ(reading.result.code, ErrorCode::kPasswordProtected)
            << int(majorVersion) << ": " << reading.result.description;
        EXPECT_EQ(reading.format, "wordperfect");
    }
}

TEST_F(OlderFormats, CutShortTheyFailClearlyOrGiveWhatTheyHold) {
    for (const char* name : {"testWordPerfect.wpd", "testWORKS.wps", "testMSWriteFile.wri"}) {
        const std::string whole = Document(name);
        for (const std::size_t size : {whole.size() / 4, whole.size() / 2, whole.size() - 1}) {
            const Reading reading = Read(name, whole.substr(0, size));
            EXPECT_NE(reading.result.code, ErrorCode::kInternal) << reading.result.description;
            EXPECT_EQ(reading.result.Ok(), reading.result.description.empty()) << name << size;
        }
    }
}

}  // namespace
}  // namespace corvanel::convert
