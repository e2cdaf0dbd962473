#include "convert/core/Readers.h"
#include "convert/core/ConvertError.h"

namespace corvanel::convert {

// Placeholder until the reader lands.
void ReadPlainText(SourceFile&, DocumentSink&) { ThrowNotReadable("text is not supported yet"); }

}  // namespace corvanel::convert
