#pragma once

#include "StructureLog.h"

#include "convert/Converter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace corvanel::convert::testing {

// Checks that a document's structure log has `inOrder` as whole lines in that order (other lines
// may come between them). A document of the shared corpus is skipped when the corpus is absent.
inline void ExpectStructureInOrder(const std::string& path,
                                   const std::vector<std::string>& inOrder) {
#ifdef CORVANEL_CORPUS_DIR
    if (path.rfind(CORVANEL_CORPUS_DIR, 0) == 0 && !std::filesystem::exists(path)) {
        GTEST_SKIP() << "no shared corpus at " << CORVANEL_CORPUS_DIR;
    }
#endif
    StructureLog log;
    const ConversionResult result = ReadDocument(path, log);
    ASSERT_TRUE(result.Ok()) << result.description;
    const std::string lines = "\n" + log.Lines();
    std::size_t at = 0;
    for (const std::string& expected : inOrder) {
        const std::size_t found = lines.find("\n" + expected + "\n", at);
        ASSERT_NE(found, std::string::npos)
            << path << ": missing after " << at << ": " << expected << lines;
        at = found + expected.size() + 1;
    }
}

}  // namespace corvanel::convert::testing
