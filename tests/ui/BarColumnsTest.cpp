// The position up to which a message changes no column: never short (a column moved without a
// redraw) and never long (a redraw for nothing), for cutting, rounding and undecided bars.
#include <gtest/gtest.h>

#include <climits>

#include "ui/BarColumns.h"

namespace {
constexpr BarCounting C = BarCounting::kCuts;
constexpr BarCounting R = BarCounting::kRounds;
constexpr BarCounting U = BarCounting::kUnknown;
}  // namespace

TEST(BarColumnsTest, TheLastPositionFilledAlikeIsExactlyWhereTheColumnsMove) {
  const BarScale scales[] = {
      {0, 100, 536, C},   {0, 100, 536, R},  {0, 100, 536, U},
      {0, 1000, 7, C},    {0, 1000, 7, R},   {0, 1000, 7, U},
      {5, 1999, 533, C},  {5, 1999, 533, R}, {-40, 60, 3, U},
      {0, 1, 536, U},
  };
  for (const BarScale& scale : scales) {
    SCOPED_TRACE(::testing::Message() << scale.low << ".." << scale.high << " width " << scale.width
                                      << " counting " << static_cast<int>(scale.counting));
    for (int position = scale.low; position < scale.high; ++position) {
      const int last = LastPositionFilledAlike(scale, position);
      ASSERT_GE(last, position);
      ASSERT_LT(last, scale.high) << position;  // the end is always drawn
      ASSERT_EQ(FilledColumns(scale, last), FilledColumns(scale, position)) << position;
      if (last + 1 < scale.high) {
        ASSERT_NE(FilledColumns(scale, last + 1), FilledColumns(scale, position)) << position;
      }
    }
    EXPECT_EQ(LastPositionFilledAlike(scale, scale.high), INT_MAX);
  }
}

TEST(BarColumnsTest, TheWholeIntRangeNeitherOverflowsNorStopsShort) {
  const BarScale scale = {0, INT_MAX, 536, U};
  for (const int position : {0, 1, 4006, INT_MAX / 2, INT_MAX - 4007, INT_MAX - 1}) {
    const int last = LastPositionFilledAlike(scale, position);
    ASSERT_GE(last, position);
    ASSERT_LT(last, INT_MAX);
    EXPECT_EQ(FilledColumns(scale, last), FilledColumns(scale, position)) << position;
    if (last + 1 < INT_MAX) {
      EXPECT_NE(FilledColumns(scale, last + 1), FilledColumns(scale, position)) << position;
    }
  }
  EXPECT_EQ(LastPositionFilledAlike(scale, INT_MAX), INT_MAX);
}
