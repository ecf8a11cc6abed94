#pragma once

#include "GlTestContext.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <vector>

namespace vorlan::test {

// One item of a feedback buffer read as GL_3D_COLOR_TEXTURE.
struct FeedbackVertex {
  std::array<float, 3> P;
  std::array<float, 4> C;
  std::array<float, 4> T;
  friend bool operator==(const FeedbackVertex&, const FeedbackVertex&) = default;
};

struct FeedbackItem {
  GLenum Token; // GL_POLYGON_TOKEN, GL_LINE_TOKEN (either kind), GL_PASS_THROUGH_TOKEN, ...
  std::vector<FeedbackVertex> Vertices;
  friend bool operator==(const FeedbackItem&, const FeedbackItem&) = default;
};

// What `draw` sends down the pipeline, read through feedback mode.
inline std::vector<FeedbackItem> feedbackOf(const std::function<void()>& draw) {
  std::vector<GLfloat> buffer(4'000'000);
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
  glRenderMode(GL_FEEDBACK);
  draw();
  const GLint used = glRenderMode(GL_RENDER);
  EXPECT_GE(used, 0) << "feedback buffer overflow";
  std::vector<FeedbackItem> items;
  for (GLint i = 0; i < used;) {
    const auto token = static_cast<GLenum>(buffer[i++]);
    const auto take = [&](int count) {
      FeedbackItem item{token == GL_LINE_RESET_TOKEN ? GL_LINE_TOKEN : token, {}};
      for (int k = 0; k < count; ++k, i += 11) {
        const GLfloat* v = &buffer[i];
        item.Vertices.push_back({{v[0], v[1], v[2]}, {v[3], v[4], v[5], v[6]}, {v[7], v[8], v[9], v[10]}});
      }
      items.push_back(item);
    };
    if (token == GL_POLYGON_TOKEN)
      take(static_cast<int>(buffer[i++]));
    else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN)
      take(2);
    else if (token == GL_PASS_THROUGH_TOKEN)
      items.push_back({token, {{{buffer[i++], 0, 0}, {}, {}}}});
    else
      take(1);
  }
  return items;
}

} // namespace vorlan::test
