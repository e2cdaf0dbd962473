#include "convert/core/Readers.h"
#include "convert/core/ConvertError.h"

namespace corvanel::convert {

// Placeholder until the reader lands.
void ReadHtml(SourceFile&, DocumentSink&) { ThrowNotReadable("HTML is not supported yet"); }
void ReadMht(SourceFile&, DocumentSink&) { ThrowNotReadable("MHTML is not supported yet"); }

}  // namespace corvanel::convert
