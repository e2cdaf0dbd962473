#include "convert/core/Ascii.h"
#include "convert/core/ConvertError.h"
#include "convert/Readers.h"
#include "convert/core/SourceFile.h"
#include "convert/msword/CompoundFile.h"
#include "convert/msword/BinaryDocumentReader.h"

namespace corvanel::convert {

namespace {

// Why a compound file without a Word document cannot be read, by what it holds instead.
[[noreturn]] void ThrowNotAWordDocument(const msword::CompoundFile& file) {
    for (const std::string& name : file.RootNames()) {
        if (name == "Workbook" || name == "Book") {
            ThrowNotReadable("it is an Excel workbook, not a word-processing document");
        }
        if (name == "PowerPoint Document") {
            ThrowNotReadable("it is a PowerPoint presentation, not a word-processing document");
        }
        if (ascii::StartsWith(name, "__substg1.0_") || name == "__properties_version1.0") {
            ThrowNotReadable("it is an Outlook message, not a word-processing document");
        }
        if (name == "VisioDocument") {
            ThrowNotReadable("it is a Visio drawing, not a word-processing document");
        }
    }
    ThrowNotReadable("it is an Office container that holds no Word document");
}

}  // namespace

namespace msword {

void ReadCompoundDocument(const CompoundFile& file, DocumentSink& sink) {
    // An encrypted OOXML package (and an encrypted Office 2007+ document of any kind) keeps its
    // real content in an encrypted stream described by this one.
    if (file.HasStream("EncryptionInfo") || file.HasStream("EncryptedPackage")) {
        ThrowPasswordProtected();
    }
    const std::optional<CompoundStream> wordDocument = file.OpenStream("WordDocument");
    if (!wordDocument) {
        ThrowNotAWordDocument(file);
    }
    ReadWordDocument(file, *wordDocument, sink);
}

}  // namespace msword

void ReadCompoundFile(SourceFile& source, DocumentSink& sink) {
    const msword::CompoundFile file(source);
    msword::ReadCompoundDocument(file, sink);
}

}  // namespace corvanel::convert
