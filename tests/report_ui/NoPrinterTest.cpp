#include "support/CupsEnvironment.h"
#include "support/Templates.h"

#include "report_ui/Print.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

// The CUPS printer adapter against a private scheduler that has no queue.
namespace report_tests {
namespace {

auto* const kCups = testing::AddGlobalTestEnvironment(new CupsEnvironment(testing_support::PrivateCups::Queue::None));

TEST(CupsPrinterAdapter, ASchedulerWithoutQueuesHasNoPrintersAndPrintsNothing) {
    testing_support::EnsureApplication();
    testing_support::ModalScript script;  // any dialog would fail the test
    const testing_support::TempFolder folder;
    EXPECT_TRUE(Printers().Names().isEmpty());
    EXPECT_TRUE(Printers().DefaultPrinter().isEmpty());
    EXPECT_TRUE(SelectedPrinter().isEmpty());
    EXPECT_FALSE(Printers().IsUsable(QStringLiteral("VelmoraPDF")));
    auto report = LabelSheet();
    ASSERT_TRUE(report->PrepareReport(true));
    EXPECT_EQ(Print(*report, folder.Folder()).status, PrintOutcome::Status::NoPrinters);
}

}  // namespace
}  // namespace report_tests
