#pragma once

#include <gtest/gtest.h>

#include "Session.h"

// A test of spinora on the X display, skipped where there is none.
class DisplayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("DISPLAY")) {
            GTEST_SKIP() << "needs an X display (make test runs it under xvfb-run)";
        }
    }
};
