#include "convert/core/Readers.h"
#include "convert/core/ConvertError.h"

namespace corvanel::convert {

// Placeholder until the reader lands.
bool ReadOdfPackage(ZipPackage&, DocumentSink&) { return false; }
void ReadFlatOdt(SourceFile&, DocumentSink&) { ThrowNotReadable("Flat ODT is not supported yet"); }

}  // namespace corvanel::convert
