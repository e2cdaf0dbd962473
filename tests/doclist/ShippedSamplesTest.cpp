#include "convert/Converter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QString>

#include <cctype>
#include <string>
#include <vector>

namespace {

struct Sample {
    const char* file;
    std::vector<const char*> phrases;
};

// What each shipped sample must read as once converted: its title, a list item, table cells,
// accents and other scripts, as the sample's author wrote them.
const std::vector<Sample> kSamples = {
    {"Welcome to Corvanel.docx",
     {"Welcome to Corvanel", "Rich Text Format (RTF)", "Choose the folder for the text files.",
      "with the extension txt."}},
    {"Garden Planner.odt",
     {"Garden Planner", "Tomatoes", "July to September", "Every three weeks",
      "Water in the evening"}},
    {"Tarte aux pommes.rtf",
     {"Tarte aux pommes de grand-mère", "crème fraîche", "Préchauffez le four à 180 °C.",
      "Épluchez", "Bon appétit !"}},
    {"Greetings.doc",
     {"Greetings in three alphabets", "Καλημέρα", "Доброе утро", "Ευχαριστώ", "Спокойной ночи",
      "Καλή αρχή! Удачи!"}},
    {"Reading Notes.txt", {"Reading Notes", "café, naïve, Ωμέγα, Привет."}},
};

class ShippedSamplesTest : public ::testing::TestWithParam<Sample> {};

TEST_P(ShippedSamplesTest, ConvertsToTheIntendedText) {
    const std::string path = std::string(CORVANEL_RESOURCE_DIR) + "/Samples/" + GetParam().file;
    std::string text;
    const auto result = corvanel::convert::ExtractText(path, text);
    ASSERT_TRUE(result.Ok()) << result.description;
    for (const char* phrase : GetParam().phrases) {
        EXPECT_NE(text.find(phrase), std::string::npos) << "missing: " << phrase << "\n" << text;
    }
}

INSTANTIATE_TEST_SUITE_P(Samples, ShippedSamplesTest, ::testing::ValuesIn(kSamples),
                         [](const auto& sample) {
                             std::string name = sample.param.file;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) {
                                     c = '_';
                                 }
                             }
                             return name;
                         });

TEST(ShippedSamplesFolderTest, HoldsExactlyTheDocumentedSamples) {
    const QStringList files = QDir(QStringLiteral(CORVANEL_RESOURCE_DIR "/Samples"))
                                  .entryList(QDir::Files | QDir::Hidden, QDir::Name);
    QStringList expected;
    for (const Sample& sample : kSamples) {
        expected.append(QString::fromUtf8(sample.file));
    }
    expected.sort();
    EXPECT_EQ(files, expected);
}

}  // namespace
