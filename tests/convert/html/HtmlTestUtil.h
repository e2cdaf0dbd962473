#pragma once

#include "convert/Converter.h"
#include "convert/core/PlainTextWriter.h"

#include <gtest/gtest.h>

#include <string>

namespace corvanel::convert {

// The text Corvanel writes for a document (HTML or MHT) held in a string.
inline std::string DocumentText(const std::string& bytes, const std::string& label = "page.htm") {
    PlainTextWriter writer;
    const ConversionResult result = ReadDocumentBytes(label, bytes, writer);
    EXPECT_TRUE(result.Ok()) << result.description;
    return writer.TakeText();
}

inline std::string BodyText(const std::string& body) {
    return DocumentText("<html><head><title>Title</title></head><body>" + body + "</body></html>");
}

}  // namespace corvanel::convert
