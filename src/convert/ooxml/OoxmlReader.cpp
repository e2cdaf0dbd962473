#include "convert/core/Readers.h"
#include "convert/core/ConvertError.h"

namespace corvanel::convert {

// Placeholder until the reader lands.
bool ReadOoxmlPackage(ZipPackage&, DocumentSink&) { return false; }
void ReadFlatOpc(SourceFile&, DocumentSink&) { ThrowNotReadable("Flat OPC is not supported yet"); }

}  // namespace corvanel::convert
