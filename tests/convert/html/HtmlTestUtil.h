#pragma once

#include "convert/Converter.h"
#include "convert/plaintext/PlainTextWriter.h"
#include "convert/html/HtmlStreaming.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace corvanel::convert {

struct PageReading {
    ConversionResult result;
    std::string text;
};

// A page (HTML or MHT) read with pages larger than `streamBytes` streamed in pieces that size;
// SIZE_MAX parses it whole.
inline PageReading ReadPage(const std::string& bytes, const std::string& label,
                            std::size_t streamBytes) {
    html::SetPageStreamBytesForTesting(streamBytes);
    PlainTextWriter writer;
    PageReading reading;
    reading.result = ReadDocumentBytes(label, bytes, writer);
    reading.text = writer.TakeText();
    html::SetPageStreamBytesForTesting(0);
    return reading;
}

// The text Corvanel writes for a document (HTML or MHT) held in a string. The page is also
// streamed, in the smallest pieces, which must give the same text.
inline std::string DocumentText(const std::string& bytes, const std::string& label = "page.htm") {
    const PageReading whole = ReadPage(bytes, label, SIZE_MAX);
    EXPECT_TRUE(whole.result.Ok()) << whole.result.description;
    const PageReading streamed = ReadPage(bytes, label, 1);
    EXPECT_EQ(streamed.result.description, whole.result.description);
    EXPECT_EQ(streamed.text, whole.text) << "streamed";
    return whole.text;
}

inline std::string BodyText(const std::string& body) {
    return DocumentText("<html><head><title>Title</title></head><body>" + body + "</body></html>");
}

}  // namespace corvanel::convert
