#include "cli/StdoutConversion.h"

#include "cli/DocumentRecord.h"
#include "convert/Converter.h"
#include "convert/core/Limits.h"
#include "system/FileSystem.h"

#include <cerrno>
#include <chrono>
#include <cstring>

namespace corvanel::cli {

namespace {

// Reads standard input whole, up to one byte past the size limit so an excess is noticed.
bool ReadStandardInput(std::string& bytes, std::string& error) {
    char buffer[64 * 1024];
    while (true) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, stdin);
        bytes.append(buffer, got);
        if (bytes.size() > convert::limits::kMaxSourceFileBytes) {
            error = "standard input is too large to convert: it holds more than 1 GiB";
            return false;
        }
        if (got < sizeof buffer) {
            if (std::ferror(stdin)) {
                error = std::string("standard input cannot be read: ") + std::strerror(errno);
                return false;
            }
            return true;
        }
    }
}

}  // namespace

int ConvertToStdout(const std::string& source, const convert::MarginTexts& include,
                    convert::OutputKind output, std::FILE* out, std::FILE* err,
                    std::FILE* records) {
    const auto start = std::chrono::steady_clock::now();
    DocumentRecord record;
    record.source = source;
    convert::ConvertOptions options;
    options.collectFacts = records != nullptr;
    options.include = include;
    options.output = output;
    bool writeFailed = false;
    const auto write = [&](std::string_view piece) {
        writeFailed =
            writeFailed || std::fwrite(piece.data(), 1, piece.size(), out) != piece.size();
    };

    convert::ConversionResult result;
    std::string bytes, error;
    if (source == "-" && !ReadStandardInput(bytes, error)) {
        result.code = convert::ErrorCode::kCannotOpen;
        result.description = error;
    } else if (source == "-") {
        record.bytes = bytes.size();
        result = convert::StreamText(
            [&](convert::DocumentSink& sink) {
                return convert::ReadDocumentBytes("standard input", std::move(bytes), sink);
            },
            write, options);
    } else {
        const system::FileState state = system::StateOf(source);
        if (state.kind == system::FileKind::kFile) {
            record.bytes = state.size;
        }
        result = convert::StreamText(
            [&](convert::DocumentSink& sink) { return convert::ReadDocument(source, sink); }, write,
            options);
    }
    record.facts = std::move(result.facts);
    if (result.Ok()) {
        if (writeFailed || std::fflush(out) != 0) {
            result.code = convert::ErrorCode::kCannotWrite;
            result.description = "standard output cannot be written: " +
                                 std::string(std::strerror(errno != 0 ? errno : EIO));
        }
    }
    if (result.Ok()) {
        record.status = DocumentRecord::Status::kConverted;
        record.output = "-";
        record.hasText = true;
    } else {
        record.errorCode = convert::ErrorCodeName(result.code);
        record.errorMessage = result.description;
        std::fprintf(err, "corvanel-convert: %s\n", result.description.c_str());
    }
    record.milliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (records != nullptr) {
        const std::string line = EncodeRecord(record);
        std::fwrite(line.data(), 1, line.size(), records);
        std::fflush(records);
    }
    return result.Ok() ? 0 : 1;
}

}  // namespace corvanel::cli
