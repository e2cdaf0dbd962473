#include "convert/core/Readers.h"
#include "convert/core/ConvertError.h"

namespace corvanel::convert {

// Placeholder until the reader lands.
void ReadRtf(SourceFile&, DocumentSink&) { ThrowNotReadable("RTF is not supported yet"); }

}  // namespace corvanel::convert
