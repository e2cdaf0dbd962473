#include "convert/core/Readers.h"
#include "convert/core/ConvertError.h"

namespace corvanel::convert {

// Placeholder until the reader lands.
void ReadCompoundFile(SourceFile&, DocumentSink&) { ThrowNotReadable("binary Word is not supported yet"); }

}  // namespace corvanel::convert
