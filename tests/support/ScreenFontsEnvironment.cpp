#include "screen/ScreenFonts.h"

#include <gtest/gtest.h>

namespace {

// A font is resolved once and cached, so the substitution has to be in place before any test
// draws a window, as the program installs it before its first window.
class ScreenFontsEnvironment : public ::testing::Environment {
public:
    void SetUp() override { installFontSubstitutions(); }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new ScreenFontsEnvironment);

} // namespace
