#pragma once

// The entry point of each reader. Each reads one document and emits its events to the sink; it
// throws ConvertError for a document it cannot read. The dispatcher (Converter.cpp) picks the
// reader from the file's content.

#include <string_view>

namespace corvanel::convert {

class DocumentSink;
class SourceFile;
class ZipPackage;

// ZIP packages: true when the package was one the reader knows (it then read it).
bool ReadOoxmlPackage(ZipPackage& package, DocumentSink& sink);  // .docx .docm .dotx .dotm
bool ReadOdfPackage(ZipPackage& package, DocumentSink& sink);    // .odt .ott

void ReadFlatOpc(SourceFile& source, DocumentSink& sink);
void ReadFlatOdt(SourceFile& source, DocumentSink& sink);
void ReadWordml2003(SourceFile& source, DocumentSink& sink);
// Binary Word (97-2003, 6, 95) and encrypted OOXML packages, which are compound files too.
void ReadCompoundFile(SourceFile& source, DocumentSink& sink);
// True for Word for Windows 1 and 2 and Word for DOS files, which are not compound files.
bool IsOldWordFormat(std::string_view head);
void ReadRtf(SourceFile& source, DocumentSink& sink);
void ReadHtml(SourceFile& source, DocumentSink& sink);
void ReadMht(SourceFile& source, DocumentSink& sink);
void ReadPlainText(SourceFile& source, DocumentSink& sink);
// WordPerfect, Works, Windows Write, Word for DOS and old Mac documents, recognised by their
// libraries from the content: true when one of them knew the document (it was then read). The
// reader is the module corvanel-revenge.so, opened on the first call; when it cannot be loaded,
// every call fails with an internal error that says so.
bool ReadRevengeDocument(SourceFile& source, DocumentSink& sink);
// Whether the older formats' module loads (opening it now if not yet); why not in `reason`.
bool OlderFormatsAvailable(std::string& reason);

}  // namespace corvanel::convert
