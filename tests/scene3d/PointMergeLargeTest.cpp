#include "scene3d/KX_OBJECTS.h"

#include <gtest/gtest.h>

namespace vorlan {
namespace {

// Too many points for the scan oracle, so the answer comes from the layout: lattice points 0.05 apart,
// farther than the tolerance, never merge with each other, and each one added again later, moved by
// less than the tolerance (often into the next cell), is its first copy. On the way the merge grid's
// lists grow past the size that puts them on large pages.
TEST(AddPoint, FindsEveryPointOfALargeLatticeAgainAfterTheGridHasGrown) {
  constexpr int kSide = 60, kCount = kSide * kSide * kSide;
  const double nudges[] = {0.0, 0.0099, -0.0099, 0.004};
  TEntity entity;
  TFace& face = TFace::Create(entity);
  for (int pass = 0; pass < 2; ++pass)
    for (int n = kCount - 1; n >= 0; --n) {
      const double nudge = pass == 0 ? 0.0 : nudges[n % 4];
      face.AddPoint(nullptr, n / (kSide * kSide) * 0.05 + nudge, n / kSide % kSide * 0.05 - nudge,
                    n % kSide * 0.05 + nudge, 1);
      ASSERT_EQ(face.Refs.back().Index, kCount - 1 - n) << "pass " << pass << ", point " << n;
    }
  EXPECT_EQ(entity.Points.size(), std::size_t{kCount});
}

} // namespace
} // namespace vorlan
