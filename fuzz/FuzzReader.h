#pragma once

// Shared body of the fuzz targets: the input becomes an in-memory document, a reader reads it
// into the plain-text writer through the check of the events' order, and the reader's own
// failures (ConvertError) are expected. The writer asks for the stated properties and every
// margin text, so the readers' property parsing and margin texts are fuzzed too.

#include "convert/core/ContractCheck.h"
#include "convert/core/ConvertError.h"
#include "convert/core/SourceFile.h"
#include "convert/core/ZipPackage.h"
#include "convert/html/HtmlStreaming.h"
#include "convert/plaintext/PlainTextWriter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace corvanel::convert::fuzz {

// What one reading of an input gave: its text, or its failure.
struct Reading {
    ErrorCode code = ErrorCode::kNone;
    std::string description;
    std::string text;
};

// The plain-text writer asking for all a reader may send, and the check in front of it that
// aborts on the first event out of order.
struct CheckedWriter {
    CheckedWriter() {
        writer.WantProperties(true);
        writer.WantMarginTexts({true, true, true});
    }

    PlainTextWriter writer;
    ContractCheck sink{writer};
};

// Reads with `read(sink)`, keeping a failure instead of throwing it.
template <typename Read>
Reading ReadCapturing(Read&& read) {
    Reading reading;
    CheckedWriter out;
    try {
        read(static_cast<DocumentSink&>(out.sink));
        out.sink.EndDocument();
    } catch (const ConvertError& error) {
        reading.code = error.Code();
        reading.description = error.what();
    }
    reading.text = out.writer.TakeText();
    return reading;
}

// Aborts unless two readings of the same input agree: the same failure, or the same text.
inline void RequireSameReading(const Reading& one, const Reading& other) {
    if (one.code != other.code || one.description != other.description ||
        (one.code == ErrorCode::kNone && one.text != other.text)) {
        std::abort();
    }
}

template <typename Read>
int ReadBytes(const std::uint8_t* data, std::size_t size, Read&& read) {
    SourceFile source =
        SourceFile::FromBytes("fuzz-input", std::string(reinterpret_cast<const char*>(data), size));
    CheckedWriter out;
    try {
        read(source, static_cast<DocumentSink&>(out.sink));
        out.sink.EndDocument();
    } catch (const ConvertError&) {
    }
    return 0;
}

template <typename Read>
int ReadPackageBytes(const std::uint8_t* data, std::size_t size, Read&& read) {
    return ReadBytes(data, size, [&](SourceFile& source, DocumentSink& sink) {
        ZipPackage package(source);
        read(package, sink);
    });
}

// Reads a web page streamed (every page, in the smallest pieces) and parsed whole; aborts when
// the two readings differ in their text or their failure.
template <typename Read>
int ReadPageBothWays(const std::uint8_t* data, std::size_t size, Read&& read) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto readWith = [&](std::size_t streamBytes) {
        html::SetPageStreamBytesForTesting(streamBytes);
        const Reading reading = ReadCapturing([&](DocumentSink& sink) {
            SourceFile source = SourceFile::FromBytes("fuzz-input", bytes);
            read(source, sink);
        });
        html::SetPageStreamBytesForTesting(0);
        return reading;
    };
    RequireSameReading(readWith(1), readWith(SIZE_MAX));
    return 0;
}

}  // namespace corvanel::convert::fuzz
