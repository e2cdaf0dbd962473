#pragma once

#include "convert/Converter.h"

#include <map>
#include <string>

namespace corvanel::convert::testing {

using Properties = std::map<DocumentProperty, std::string>;

// Saves `bytes` as a file named `name` and converts it with the facts asked for, failing the
// calling test when it does not convert. Converted again without them, the same file must give
// the same text and format, and no properties.
DocumentFacts FactsOf(const std::string& name, const std::string& bytes);

}  // namespace corvanel::convert::testing
