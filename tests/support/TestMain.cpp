#include "platform/Application.h"

#include <gtest/gtest.h>

// Every test program runs inside the application object, as the viewer does, so that fonts,
// widgets, OpenGL contexts and the locale are set up the same way.
int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  vorlan::VorlanApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
