#pragma once

// Shared body of the fuzz targets: the input becomes an in-memory document, a reader reads it
// into the plain-text writer, and the reader's own failures (ConvertError) are expected.

#include "convert/core/ConvertError.h"
#include "convert/core/PlainTextWriter.h"
#include "convert/core/SourceFile.h"
#include "convert/core/ZipPackage.h"
#include "convert/html/HtmlStreaming.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace corvanel::convert::fuzz {

template <typename Read>
int ReadBytes(const std::uint8_t* data, std::size_t size, Read&& read) {
    SourceFile source =
        SourceFile::FromBytes("fuzz-input", std::string(reinterpret_cast<const char*>(data), size));
    PlainTextWriter writer;
    try {
        read(source, writer);
        writer.EndDocument();
    } catch (const ConvertError&) {
    }
    return 0;
}

template <typename Read>
int ReadPackageBytes(const std::uint8_t* data, std::size_t size, Read&& read) {
    return ReadBytes(data, size, [&](SourceFile& source, PlainTextWriter& writer) {
        ZipPackage package(source);
        read(package, writer);
    });
}

// Reads a web page streamed (every page, in the smallest pieces) and parsed whole; aborts when
// the two readings differ in their text or their failure.
template <typename Read>
int ReadPageBothWays(const std::uint8_t* data, std::size_t size, Read&& read) {
    struct Reading {
        ErrorCode code = ErrorCode::kNone;
        std::string description;
        std::string text;
    };
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto readWith = [&](std::size_t streamBytes) {
        html::SetPageStreamBytesForTesting(streamBytes);
        Reading reading;
        PlainTextWriter writer;
        try {
            SourceFile source = SourceFile::FromBytes("fuzz-input", bytes);
            read(source, writer);
            writer.EndDocument();
        } catch (const ConvertError& error) {
            reading.code = error.Code();
            reading.description = error.what();
        }
        reading.text = writer.TakeText();
        html::SetPageStreamBytesForTesting(0);
        return reading;
    };
    const Reading streamed = readWith(1);
    const Reading whole = readWith(SIZE_MAX);
    if (streamed.code != whole.code || streamed.description != whole.description ||
        (streamed.code == ErrorCode::kNone && streamed.text != whole.text)) {
        std::abort();
    }
    return 0;
}

}  // namespace corvanel::convert::fuzz
