#pragma once

// Shared body of the fuzz targets: the input becomes an in-memory document, a reader reads it
// into the plain-text writer, and the reader's own failures (ConvertError) are expected.

#include "convert/core/ConvertError.h"
#include "convert/core/PlainTextWriter.h"
#include "convert/core/SourceFile.h"
#include "convert/core/ZipPackage.h"

#include <cstddef>
#include <cstdint>
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

}  // namespace corvanel::convert::fuzz
