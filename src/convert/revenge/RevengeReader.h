#pragma once

// The older formats' reader as the module (and the fuzz targets) call it: the bytes of a whole
// document, recognised by the libraries' own detection.

#include "convert/core/DocumentSink.h"

#include <string_view>

namespace corvanel::convert::revenge {

// Reads `bytes` into `sink` when one of the libraries recognises them. `recognised` is set to the
// format's name (a string literal, also sent to the sink) as soon as a library claims the
// document, and stays nullptr when none does. Throws ConvertError when a claimed document cannot
// be read.
void ReadDocument(std::string_view bytes, DocumentSink& sink, const char*& recognised);

}  // namespace corvanel::convert::revenge
