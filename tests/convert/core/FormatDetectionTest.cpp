#include "convert/core/FormatDetection.h"

#include <gtest/gtest.h>

#include <string>

namespace corvanel::convert {
namespace {

using namespace std::string_literals;

TEST(DetectFormat, RecognisesContainersFromTheirFirstBytes) {
    EXPECT_EQ(DetectFormat("PK\x03\x04rest"s), ContainerFormat::kZip);
    EXPECT_EQ(DetectFormat("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0"s),
              ContainerFormat::kCompoundFile);
    EXPECT_EQ(DetectFormat("{\\rtf1\\ansi hello}"), ContainerFormat::kRtf);
    EXPECT_EQ(DetectFormat("\xEF\xBB\xBF  {\\rtf1}"), ContainerFormat::kRtf);
}

TEST(DetectFormat, TellsXmlDocumentsApartByTheirRootElement) {
    EXPECT_EQ(DetectFormat("<?xml version=\"1.0\"?>\n<?mso-application progid=\"Word.Document\"?>"
                           "<pkg:package xmlns:pkg=\"x\">"),
              ContainerFormat::kFlatOpc);
    EXPECT_EQ(DetectFormat("<?xml version=\"1.0\"?><office:document office:mimetype=\"x\">"),
              ContainerFormat::kFlatOdt);
    EXPECT_EQ(DetectFormat("<?xml version=\"1.0\"?><!-- c --><w:wordDocument xmlns:w=\"x\">"),
              ContainerFormat::kWordml2003);
    EXPECT_EQ(DetectFormat("<!DOCTYPE html><html><body>x</body></html>"), ContainerFormat::kHtml);
    EXPECT_EQ(DetectFormat("  <HTML xmlns:o=\"urn:schemas-microsoft-com:office:office\">"),
              ContainerFormat::kHtml);
    EXPECT_EQ(DetectFormat("<?xml version=\"1.0\"?><catalog/>"), ContainerFormat::kPlainText);
}

TEST(DetectFormat, MimeWebArchive) {
    EXPECT_EQ(DetectFormat("MIME-Version: 1.0\r\nContent-Type: multipart/related; boundary=x"),
              ContainerFormat::kMht);
}

TEST(DetectFormat, TextAndBinary) {
    EXPECT_EQ(DetectFormat("plain words\r\nand more"), ContainerFormat::kPlainText);
    EXPECT_EQ(DetectFormat("\xFF\xFEh\0i\0"s), ContainerFormat::kPlainText);
    EXPECT_EQ(DetectFormat(""), ContainerFormat::kPlainText);
    EXPECT_EQ(DetectFormat("\x7F"
                           "ELF\x02\x01\x01\0\0\0"s),
              ContainerFormat::kBinary);
    EXPECT_EQ(DetectFormat("%PDF-1.4\n\x01\x02\x03\x04\x05\x06\x07\x08"), ContainerFormat::kBinary);
}

}  // namespace
}  // namespace corvanel::convert
