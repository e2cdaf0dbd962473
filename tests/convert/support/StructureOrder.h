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

// Checks that a reader sends the same text to a sink that wants no structure (readers skip
// work for such a sink) as to one that does, structure aside.
inline void ExpectSameTextWithoutStructure(const std::string& path) {
#ifdef CORVANEL_CORPUS_DIR
    if (path.rfind(CORVANEL_CORPUS_DIR, 0) == 0 && !std::filesystem::exists(path)) {
        GTEST_SKIP() << "no shared corpus at " << CORVANEL_CORPUS_DIR;
    }
#endif
    StructureLog with;
    StructureLog without(false);
    ASSERT_TRUE(ReadDocument(path, with).Ok()) << path;
    ASSERT_TRUE(ReadDocument(path, without).Ok()) << path;
    EXPECT_EQ(TextEvents(without.Lines()), TextEvents(with.Lines())) << path;
}

}  // namespace corvanel::convert::testing
