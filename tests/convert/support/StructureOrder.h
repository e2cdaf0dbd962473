#pragma once

#include "StructureExpect.h"
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
    EXPECT_TRUE(HasLinesInOrder(log.Lines(), inOrder)) << path;
}

}  // namespace corvanel::convert::testing
