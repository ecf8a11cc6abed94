#pragma once

#include <QString>

#include <GL/gl.h>

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace vorlan {

// One object found under the cursor: the name stack the host loaded while drawing it.
class TObjectSelect {
public:
  static constexpr int MaxNames = 30;
  using TNames = std::array<std::int32_t, MaxNames>;

  TObjectSelect(QString NameCount, const TNames& Names) : NameCount(std::move(NameCount)), Names(Names) {}

  // The hit's depth as decimal text, "1" to "30".
  QString NameCount;
  // Bottom of the stack first; -1 past the hit's depth.
  TNames Names;

  // Records of the same object have the same names; NameCount plays no part.
  bool SameObject(const TObjectSelect& other) const { return Names == other.Names; }
};

using TObjectSelectList = std::vector<TObjectSelect>;

// Selection buffer size of a pick, in words.
constexpr std::size_t SelectionBufferSize = 100001;

// Appends one record to `list` for each of the first `hitCount` hit records of `buffer` that has 1 to
// 30 names; a hit with no names is stepped over. A hit with more names than a record holds ends the
// walk: it and every later hit are dropped. `afterEachRecord` runs once per hit walked, dropped
// or not, so that the host can reorder the list as it grows.
void WalkHitRecords(std::span<const GLuint> buffer, int hitCount, TObjectSelectList& list,
                    const std::function<void()>& afterEachRecord);

} // namespace vorlan
