#include "export/NativeDocumentConverter.h"

#include "convert/Converter.h"
#include "platform/RuntimeError.h"

#include <QFile>

#include <string>
#include <utility>

namespace {

// Paths reach the converter in the file system's own encoding.
std::string FileSystemName(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

[[noreturn]] void ThrowFailure(const corvanel::convert::ConversionResult& result) {
    throw RuntimeError(result.Number(), QString::fromStdString(result.description));
}

// An opened document: its text, extracted once at Open.
class NativeDocument : public ConverterDocument {
public:
    explicit NativeDocument(std::string text) : text_(std::move(text)) {}

    void SaveAs(const SaveAsArguments& arguments) override {
        if (arguments.FileFormat != SaveAsArguments{}.FileFormat) {
            throw RuntimeError(ErrorNumbers::kInvalidProcedureCall,
                               QStringLiteral("Corvanel saves documents as plain text only "
                                              "(format %1 was asked for %2).")
                                   .arg(arguments.FileFormat)
                                   .arg(arguments.FileName));
        }
        const auto result =
            corvanel::convert::WriteTextFile(FileSystemName(arguments.FileName), text_);
        if (!result.Ok()) {
            ThrowFailure(result);
        }
    }

    void Close() override { std::string().swap(text_); }

private:
    std::string text_;
};

class NativeDocuments : public ConverterDocuments {
public:
    std::unique_ptr<ConverterDocument> Open(const QString& sourcePath) override {
        std::string text;
        const auto result = corvanel::convert::ExtractText(FileSystemName(sourcePath), text);
        if (!result.Ok()) {
            ThrowFailure(result);
        }
        return std::make_unique<NativeDocument>(std::move(text));
    }
};

class NativeApplication : public ConverterApplication {
public:
    QString Name() override { return kNativeConverterName; }
    ConverterDocuments& Documents() override { return documents_; }
    void Quit() override {}

private:
    NativeDocuments documents_;
};

}  // namespace

std::unique_ptr<ConverterApplication> NativeDocumentConverter::CreateInstance() {
    return std::make_unique<NativeApplication>();
}

std::unique_ptr<ConverterApplication> NativeDocumentConverter::AttachToRunningInstance() {
    throw RuntimeError(ErrorNumbers::kInvalidProcedureCall,
                       QStringLiteral("No other converter instance is running."));
}
