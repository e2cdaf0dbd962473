#include "HtmlTestUtil.h"

#include "convert/html/MimeMessage.h"

#include <gtest/gtest.h>

namespace corvanel::convert {
namespace {

const std::string kWordMht =
    "MIME-Version: 1.0\r\n"
    "Content-Type: multipart/related; boundary=\"----=_NextPart_01D0.X\"\r\n"
    "\r\n"
    "This document is a Single File Web Page.\r\n"
    "\r\n"
    "------=_NextPart_01D0.X\r\n"
    "Content-Location: file:///C:/doc.htm\r\n"
    "Content-Transfer-Encoding: quoted-printable\r\n"
    "Content-Type: text/html; charset=\"windows-1252\"\r\n"
    "\r\n"
    "<html><head><meta http-equiv=3DContent-Type content=3D\"text/html; charset=3Dwindo=\r\n"
    "ws-1252\"></head><body><p class=3DMsoNormal>Caf=E9 au lait, a long line that is=\r\n"
    " split.</p></body></html>\r\n"
    "\r\n"
    "------=_NextPart_01D0.X\r\n"
    "Content-Location: file:///C:/doc_files/image001.png\r\n"
    "Content-Transfer-Encoding: base64\r\n"
    "Content-Type: image/png\r\n"
    "\r\n"
    "iVBORw0KGgo=\r\n"
    "\r\n"
    "------=_NextPart_01D0.X--\r\n";

TEST(MhtReader, ReadsWordsSingleFileWebPage) {
    EXPECT_EQ(DocumentText(kWordMht, "doc.mht"),
              "Caf\xC3\xA9 au lait, a long line that is split.\n");
}

TEST(MhtReader, TakesThePartTheStartParameterNames) {
    const std::string mht =
        "MIME-Version: 1.0\n"
        "Content-Type: multipart/related;\n"
        "\tboundary=b1; start=\"<page@x>\"; type=\"text/html\"\n"
        "\n"
        "--b1\n"
        "Content-Type: text/html\n"
        "\n"
        "<p>not this one</p>\n"
        "--b1\n"
        "Content-Type: text/html; charset=utf-8\n"
        "Content-ID: <page@x>\n"
        "Content-Transfer-Encoding: base64\n"
        "\n"
        "PHA+VGhpcyBvbmUg4oKsPC9wPg==\n"
        "--b1--\n";
    EXPECT_EQ(DocumentText(mht, "page.mht"), "This one \xE2\x82\xAC\n");
}

TEST(MhtReader, MessageWithoutAPageFailsAsDamaged) {
    PlainTextWriter writer;
    const ConversionResult result =
        ReadDocumentBytes("x.mht",
                          "MIME-Version: 1.0\nContent-Type: multipart/related; boundary=q\n\n--q\n"
                          "Content-Type: image/png\n\nabc\n--q--\n",
                          writer);
    EXPECT_EQ(result.code, ErrorCode::kDamaged) << result.description;
    const ConversionResult truncated =
        ReadDocumentBytes("y.mht", "MIME-Version: 1.0\nContent-Type: multipart/related", writer);
    EXPECT_EQ(truncated.code, ErrorCode::kDamaged) << truncated.description;
}

TEST(MhtReader, DamagedMessagesReadWhatIsThere) {
    // No closing delimiter, a truncated base64 body: the page is what could be decoded.
    EXPECT_EQ(DocumentText("MIME-Version: 1.0\nContent-Type: multipart/related; boundary=z\n\n"
                           "--z\nContent-Type: text/html\nContent-Transfer-Encoding: base64\n\n"
                           "PHA+b2s8L3A+PHA+dHJ1bmNh",
                           "cut.mht"),
              "ok\ntrunca\n");
    // A page that is the whole message, and a quoted-printable escape cut off at the end.
    EXPECT_EQ(DocumentText("MIME-Version: 1.0\r\nContent-Type: text/html; charset=utf-8\r\n"
                           "Content-Transfer-Encoding: quoted-printable\r\n\r\n<p>caf=C3=A9=",
                           "single.mht"),
              "caf\xC3\xA9=\n");
}

TEST(MimeDecoding, QuotedPrintableAndBase64) {
    EXPECT_EQ(html::DecodeQuotedPrintable("a=3Db=\r\nc=\nd =ZZ e=4"), "a=bcd =ZZ e=4");
    EXPECT_EQ(html::DecodeBase64("SGVs\r\nbG8=trailing"), "Hello");
    EXPECT_EQ(html::DecodeBase64("!!@@"), "");
}

}  // namespace
}  // namespace corvanel::convert
