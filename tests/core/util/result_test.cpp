// SPDX-License-Identifier: MIT
#include "core/util/result.h"

#include <gtest/gtest.h>

#include <memory>

namespace veyla {
namespace {

Result<int> half(int n)
{
    if (n % 2 != 0)
        return Error{ErrorCode::InvalidArgument, "odd"};
    return n / 2;
}

TEST(Result, CarriesAValueOrAnError)
{
    const auto good = half(8);
    ASSERT_TRUE(good.ok());
    EXPECT_EQ(*good, 4);

    const auto bad = half(7);
    ASSERT_FALSE(bad);
    EXPECT_EQ(bad.code(), ErrorCode::InvalidArgument);
    EXPECT_EQ(bad.error().detail, "odd");
}

TEST(Result, MovesOutMoveOnlyValues)
{
    Result<std::unique_ptr<int>> result(std::make_unique<int>(5));
    std::unique_ptr<int> taken = std::move(result).value();
    EXPECT_EQ(*taken, 5);
}

TEST(Result, StatusIsOkByDefault)
{
    Status fine;
    EXPECT_TRUE(fine.ok());
    Status failed = Error{ErrorCode::WriteFailed, "disk full"};
    EXPECT_EQ(failed.code(), ErrorCode::WriteFailed);
    EXPECT_EQ(errorCodeName(ErrorCode::WriteFailed), "write failed");
}

}  // namespace
}  // namespace veyla
