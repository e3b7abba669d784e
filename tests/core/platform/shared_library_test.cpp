// SPDX-License-Identifier: MIT
#include "core/platform/shared_library.h"

#include <gtest/gtest.h>

namespace veyla::platform {
namespace {

using Strlen = std::size_t(const char*);

// libc is loaded in every process, so it can be opened and looked into.
TEST(SharedLibrary, BindsAFunctionOfALoadedLibrary)
{
    EXPECT_TRUE(isLoaded("libc.so.6"));
    auto libc = SharedLibrary::open("libc.so.6");
    ASSERT_TRUE(libc.ok()) << libc.error().detail;
    Strlen* length = nullptr;
    ASSERT_TRUE(libc->bind(length, "strlen").ok());
    EXPECT_EQ(length("西游记"), 9u);
}

TEST(SharedLibrary, MissingLibrariesAndSymbolsAreNamed)
{
    const auto missing = SharedLibrary::open("libveyla-no-such-library.so.7");
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().code, ErrorCode::FileUnavailable);
    EXPECT_NE(missing.error().detail.find("libveyla-no-such-library.so.7"), std::string::npos);
    EXPECT_FALSE(isLoaded("libveyla-no-such-library.so.7"));

    auto libc = SharedLibrary::open("libc.so.6");
    ASSERT_TRUE(libc.ok());
    Strlen* function = nullptr;
    const Status bound = libc->bind(function, "veyla_no_such_function");
    ASSERT_FALSE(bound.ok());
    EXPECT_NE(bound.error().detail.find("veyla_no_such_function"), std::string::npos);
    EXPECT_EQ(function, nullptr);
}

}  // namespace
}  // namespace veyla::platform
