#pragma once

#include "convert/Converter.h"
#include "convert/plaintext/PlainTextWriter.h"

#include <gtest/gtest.h>

#include <string>

namespace corvanel::convert {

// The text Corvanel writes for an RTF document held in a string.
inline std::string RtfText(const std::string& rtf) {
    PlainTextWriter writer;
    const ConversionResult result = ReadDocumentBytes("test.rtf", rtf, writer);
    EXPECT_TRUE(result.Ok()) << result.description;
    return writer.TakeText();
}

// The text of a body wrapped in a minimal document with a font table.
inline std::string RtfBodyText(const std::string& body) {
    return RtfText(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}"
        "{\\f1\\fnil\\fcharset2 Symbol;}{\\f2\\fnil\\fcharset204 Arial Cyr;}"
        "{\\f3\\fnil\\fcharset128 MS Mincho;}}" +
        body + "}");
}

}  // namespace corvanel::convert
