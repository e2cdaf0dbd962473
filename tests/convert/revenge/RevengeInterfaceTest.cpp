// A module of the older formats built for another interface is refused by name, never called.

#include "convert/Converter.h"
#include "convert/Readers.h"
#include "convert/plaintext/PlainTextWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace corvanel::convert {
namespace {

TEST(OlderFormatsModule, OfAnotherInterfaceIsRefusedWithTheReason) {
    // The first use in this process opens the module the variable names.
#ifdef _WIN32
    ASSERT_EQ(_putenv_s("CORVANEL_REVENGE_MODULE", CORVANEL_OLD_MODULE), 0);
#else
    ASSERT_EQ(setenv("CORVANEL_REVENGE_MODULE", CORVANEL_OLD_MODULE, 1), 0);
#endif
    const std::string reason = std::string(CORVANEL_OLD_MODULE) +
                               " was built for another version of Corvanel (it has no "
                               "corvanel_revenge_read_2)";
    std::string why;
    EXPECT_FALSE(OlderFormatsAvailable(why));
    EXPECT_NE(why.find(reason), std::string::npos) << why;

    // A WordPerfect document fails with that reason, again without calling the module.
    PlainTextWriter writer;
    const ConversionResult result =
        ReadDocumentBytes("old.wpd", std::string("\xFFWPC\x10\0\0\0\x01\x0A", 10), writer);
    EXPECT_EQ(result.code, ErrorCode::kInternal);
    EXPECT_NE(result.description.find(reason), std::string::npos) << result.description;
}

}  // namespace
}  // namespace corvanel::convert
