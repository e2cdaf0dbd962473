#pragma once

#include "convert/Converter.h"

#include <cstdio>
#include <string>

namespace corvanel::cli {

// Converts one document ("-": read from standard input) and writes its text to `out`, as `cat`
// would. A failure is reported on `err`; a record goes to `records` when it is set. Returns
// the exit status: 0 converted, 1 failed. `include` adds headers, footers or comments;
// `output` chooses text or Markdown.
int ConvertToStdout(const std::string& source, const convert::MarginTexts& include,
                    convert::OutputKind output, std::FILE* out, std::FILE* err, std::FILE* records);

}  // namespace corvanel::cli
