#include "convert/core/DocumentSink.h"
#include "convert/core/HeaderPass.h"
#include "convert/Readers.h"
#include "convert/core/SourceFile.h"
#include "convert/rtf/RtfParser.h"

namespace corvanel::convert {

void ReadRtf(SourceFile& source, DocumentSink& sink) {
    sink.Format("rtf");
    // Each section's headers come where the section starts.
    ReadHeadersFirst(sink, [&](DocumentSink& pass) {
        rtf::RtfParser parser(source.Bytes(), pass);
        parser.Run();
    });
}

}  // namespace corvanel::convert
