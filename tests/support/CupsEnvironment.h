#pragma once
#include "support/PrivateCups.h"

#include <gtest/gtest.h>

#include <memory>

namespace testing_support {

// A private scheduler for the whole test program, started before any test
// so that Qt's print support meets it first, and stopped after the last.
class CupsEnvironment : public testing::Environment {
public:
    explicit CupsEnvironment(PrivateCups::Queue queue) : queue_(queue) {}
    void SetUp() override {
        cups_ = std::make_unique<PrivateCups>(queue_);
        ASSERT_TRUE(cups_->Ready()) << cups_->Error().toStdString();
    }
    void TearDown() override { cups_.reset(); }
    PrivateCups& Cups() { return *cups_; }

private:
    PrivateCups::Queue queue_;
    std::unique_ptr<PrivateCups> cups_;
};

}  // namespace testing_support
