#pragma once

#include <string_view>

namespace corvanel::convert {
class DocumentSink;
}

namespace corvanel::convert::msword {

class CompoundFile;
class CompoundStream;

// Reads the Word document in a compound file and sends its text to the sink. Throws
// ConvertError: password-protected for an encrypted package, not readable for a container of
// another kind (naming it where it is known), and as ReadWordDocument.
void ReadCompoundDocument(const CompoundFile& file, DocumentSink& sink);

// Reads a binary Word document (Word 6, 95, 97 to 2003) held in a compound file, given its
// WordDocument stream, and sends its text to the sink. Throws ConvertError: password-protected
// for an encrypted document, not readable for Word 2 and older, damaged for broken tables.
void ReadWordDocument(const CompoundFile& file, const CompoundStream& wordDocument,
                      DocumentSink& sink);

// The Windows code page of 8-bit text in a language (a Windows language id).
int CodePageForLanguage(unsigned lid);

}  // namespace corvanel::convert::msword
