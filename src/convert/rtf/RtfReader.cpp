#include "convert/core/DocumentSink.h"
#include "convert/core/Readers.h"
#include "convert/core/SourceFile.h"
#include "convert/rtf/RtfParser.h"

namespace corvanel::convert {

void ReadRtf(SourceFile& source, DocumentSink& sink) {
    sink.Format("rtf");
    rtf::RtfParser parser(source.Bytes(), sink);
    parser.Run();
}

}  // namespace corvanel::convert
