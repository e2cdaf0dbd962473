#include "convert/core/Readers.h"
#include "convert/core/ConvertError.h"

namespace corvanel::convert {

// Placeholder until the reader lands.
void ReadWordml2003(SourceFile&, DocumentSink&) { ThrowNotReadable("Word 2003 XML is not supported yet"); }

}  // namespace corvanel::convert
