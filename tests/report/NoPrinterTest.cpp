#include "support/CupsEnvironment.h"
#include "Templates.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

// This program talks to a private scheduler that has no queue.
namespace report_tests {
namespace {

auto* const kCups = testing::AddGlobalTestEnvironment(new CupsEnvironment(testing_support::PrivateCups::Queue::None));

TEST(NoPrinter, PrintSaysSoAndPrintsNothing) {
    testing_support::EnsureApplication();
    testing_support::MessageLog log;
    testing_support::ModalScript script;  // any dialog would fail the test
    EXPECT_TRUE(Printers().Printers().isEmpty());
    EXPECT_TRUE(SelectedPrinter().isEmpty());
    auto report = LabelSheet();
    ASSERT_TRUE(report->PrepareReport(true));
    EXPECT_FALSE(report->Print());
    EXPECT_EQ(log.Only(), QStringLiteral("You have no printers installed"));
    EXPECT_EQ(log.messages[0].kind, ui::Kind::Error);
}

}  // namespace
}  // namespace report_tests
