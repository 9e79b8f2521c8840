#pragma once

#include "support/FakeEngine.h"
#include "support/FakePlatform.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>
#include <memory>

class Form1;
class Scr;

// Both windows on offscreen Qt with the platform and engine doubles installed, and the shared
// state (settings, play state, shutdown) back at process start.
class AppFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    Form1& panel();
    Scr& screen();
    std::vector<QString> messageTexts() const;

    FakePlatform fakePlatform;
    FakeEngine fakeEngine;
};
