#pragma once

#include <string_view>

namespace corvanel::convert {
class DocumentSink;
}

namespace corvanel::convert::msword {

class CompoundFile;

// Sends the title, author, dates and counts the compound file's summary information property
// set states. A missing or damaged set sends nothing and never fails the document.
void ReadSummaryInformation(const CompoundFile& file, DocumentSink& sink);
// The same from the stream's bytes.
void ReadSummaryInformation(std::string_view stream, DocumentSink& sink);

}  // namespace corvanel::convert::msword
