#pragma once
#include "support/PrivateCups.h"

#include <gtest/gtest.h>

#include <memory>

namespace report_tests {

// A private scheduler for the whole test program, started before any test
// so that Qt's print support meets it first, and stopped after the last.
class CupsEnvironment : public testing::Environment {
public:
    explicit CupsEnvironment(testing_support::PrivateCups::Queue queue) : queue_(queue) {}
    void SetUp() override {
        cups_ = std::make_unique<testing_support::PrivateCups>(queue_);
        ASSERT_TRUE(cups_->Ready()) << cups_->Error().toStdString();
    }
    void TearDown() override { cups_.reset(); }
    testing_support::PrivateCups& Cups() { return *cups_; }

private:
    testing_support::PrivateCups::Queue queue_;
    std::unique_ptr<testing_support::PrivateCups> cups_;
};

}  // namespace report_tests
