#include "convert/Converter.h"

#include "convert/Readers.h"
#include "convert/core/ContractCheck.h"
#include "convert/core/ConvertError.h"
#include "convert/core/FormatDetection.h"
#include "convert/core/SourceFile.h"
#include "convert/core/TextFileOutput.h"
#include "convert/core/ZipPackage.h"
#include "convert/markdown/MarkdownWriter.h"
#include "convert/plaintext/PlainTextWriter.h"

#include <new>

namespace corvanel::convert {

namespace {

// How much text a conversion holds before it starts writing it out.
constexpr std::size_t kHeldTextBytes = 4u << 20;

void Dispatch(SourceFile& source, DocumentSink& sink) {
    const ContainerFormat format = DetectFormat(source.Head());
    switch (format) {
        case ContainerFormat::kZip: {
            ZipPackage package(source);
            if (ReadOoxmlPackage(package, sink) || ReadOdfPackage(package, sink)) {
                return;
            }
            ThrowNotReadable("it is a ZIP archive that holds no word-processing document");
        }
        case ContainerFormat::kCompoundFile:
            try {
                ReadCompoundFile(source, sink);
            } catch (const ConvertError& error) {
                // Works keeps its documents in compound files too.
                if (error.Code() != ErrorCode::kNotReadable || !ReadRevengeDocument(source, sink)) {
                    throw;
                }
            }
            return;
        case ContainerFormat::kRtf:
            ReadRtf(source, sink);
            return;
        case ContainerFormat::kFlatOpc:
            ReadFlatOpc(source, sink);
            return;
        case ContainerFormat::kFlatOdt:
            ReadFlatOdt(source, sink);
            return;
        case ContainerFormat::kWordml2003:
            ReadWordml2003(source, sink);
            return;
        case ContainerFormat::kHtml:
            ReadHtml(source, sink);
            return;
        case ContainerFormat::kMht:
            ReadMht(source, sink);
            return;
        case ContainerFormat::kPlainText:
            ReadPlainText(source, sink);
            return;
        case ContainerFormat::kBinary:
            if (ReadRevengeDocument(source, sink)) {
                return;
            }
            if (IsOldWordFormat(source.Head())) {
                ThrowNotReadable("it is in an old Word format Corvanel does not read");
            }
            ThrowNotReadable("its content is neither text nor a known document format");
    }
}

template <typename Body>
ConversionResult Guarded(const std::string& path, Body&& body) {
    ConversionResult result;
    try {
        body();
    } catch (const ConvertError& e) {
        result.code = e.Code();
        result.description = DescribeError(e.Code(), path, e.Detail());
    } catch (const std::bad_alloc&) {
        result.code = ErrorCode::kTooLarge;
        result.description = DescribeError(result.code, path, "it needs more memory than is free");
    } catch (const std::exception& e) {
        result.code = ErrorCode::kInternal;
        result.description = DescribeError(result.code, path, e.what());
    }
    return result;
}

}  // namespace

ConversionResult ReadDocument(const std::string& sourcePath, DocumentSink& sink) {
    std::optional<std::uint64_t> opened;
    ConversionResult result = Guarded(sourcePath, [&] {
        SourceFile source = SourceFile::Open(sourcePath);
        opened = source.Size();
        Dispatch(source, sink);
        sink.EndDocument();
    });
    result.sourceBytes = opened;
    return result;
}

ConversionResult ReadDocumentBytes(const std::string& label, std::string bytes,
                                   DocumentSink& sink) {
    return Guarded(label, [&] {
        SourceFile source = SourceFile::FromBytes(label, std::move(bytes));
        Dispatch(source, sink);
        sink.EndDocument();
    });
}

namespace {

// Runs `body(writer, sink)` with the writer the options ask for, set up as they say, and the sink
// the reader is to send its events to: the writer itself, or in sanitizer and fuzz builds a check
// of their order in front of it.
template <typename Writer, typename Body>
ConversionResult WithSink(Writer& writer, const ConvertOptions& options, Body&& body) {
    writer.WantProperties(options.collectFacts);
    writer.WantMarginTexts(options.include);
#ifdef CORVANEL_CHECK_EVENTS
    ContractCheck checked(writer);
    return body(writer, static_cast<DocumentSink&>(checked));
#else
    return body(writer, static_cast<DocumentSink&>(writer));
#endif
}

template <typename Body>
ConversionResult WithWriter(const ConvertOptions& options, Body&& body) {
    if (options.output == OutputKind::kMarkdown) {
        MarkdownWriter writer;
        return WithSink(writer, options, body);
    }
    PlainTextWriter writer(options.newline);
    return WithSink(writer, options, body);
}

}  // namespace

ConversionResult ExtractText(const std::string& sourcePath, std::string& text,
                             const ConvertOptions& options) {
    return WithWriter(options, [&](auto& writer, DocumentSink& sink) {
        ConversionResult result = ReadDocument(sourcePath, sink);
        result.facts = std::move(writer.Facts());
        if (result.Ok()) {
            text = writer.TakeText();
            if (options.collectFacts) {
                TextCounter counter;
                counter.Add(text);
                result.facts.chars = counter.Chars();
                result.facts.words = counter.Words();
            }
        }
        return result;
    });
}

ConversionResult StreamText(const std::function<ConversionResult(DocumentSink&)>& read,
                            const std::function<void(std::string_view)>& write,
                            const ConvertOptions& options) {
    return WithWriter(options, [&](auto& writer, DocumentSink& sink) {
        TextCounter counter;
        auto counted = [&](std::string_view piece) {
            if (options.collectFacts) {
                counter.Add(piece);
            }
            write(piece);
        };
        writer.DrainWhenOver(kHeldTextBytes, counted);
        ConversionResult result = read(sink);
        result.facts = std::move(writer.Facts());
        if (result.Ok()) {
            counted(writer.Text());
            result.facts.chars = counter.Chars();
            result.facts.words = counter.Words();
        }
        return result;
    });
}

ConversionResult ConvertFile(const std::string& sourcePath, const std::string& targetPath,
                             const ConvertOptions& options) {
    // A document that cannot be read never touches the output folder.
    TextFileOutput output(targetPath);
    ConversionResult result =
        StreamText([&](DocumentSink& sink) { return ReadDocument(sourcePath, sink); },
                   [&](std::string_view piece) { output.Write(piece); }, options);
    if (!result.Ok()) {
        output.Abandon();
        return result;
    }
    ConversionResult written = output.Commit();
    written.facts = std::move(result.facts);
    written.sourceBytes = result.sourceBytes;
    return written;
}

}  // namespace corvanel::convert
