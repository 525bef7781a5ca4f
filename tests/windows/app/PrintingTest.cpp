#include "windows/app/Printing.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

using report::PrintOutcome;
using Status = report::PrintOutcome::Status;

// What the windows tell the user of each outcome of the report layer.
TEST(Printing, EachOutcomeIsToldInTheProgramsWords) {
    testing_support::EnsureApplication();
    struct Case {
        PrintOutcome outcome;
        const char* text;  // null: nothing is shown
        ui::Buttons buttons;
    };
    const Case cases[] = {
        {PrintOutcome::Of(Status::Printed), nullptr, {}},
        {PrintOutcome::Of(Status::Cancelled), nullptr, {}},
        {PrintOutcome::Of(Status::NoPrinters), "You have no printers installed", ui::Buttons::OkCancel},
        {PrintOutcome::Of(Status::InvalidPrinter), "Printer selected is not valid", ui::Buttons::OkCancel},
        {PrintOutcome::Of(Status::Failed, QStringLiteral("spooler failed")), "spooler failed", ui::Buttons::Ok},
    };
    for (const Case& c : cases) {
        testing_support::MessageLog log;
        printing::Tell(nullptr, c.outcome);
        if (!c.text) {
            EXPECT_TRUE(log.messages.empty()) << int(c.outcome.status);
            continue;
        }
        ASSERT_EQ(log.messages.size(), 1u) << c.text;
        EXPECT_EQ(log.messages[0].text, QString::fromLatin1(c.text));
        EXPECT_EQ(log.messages[0].kind, ui::Kind::Error);
        EXPECT_EQ(log.messages[0].buttons, c.buttons);
    }
}

TEST(Printing, PreparationErrorsAreListedInOneBox) {
    testing_support::EnsureApplication();
    testing_support::MessageLog log;
    printing::Tell(nullptr, report::PrepareResult{});
    EXPECT_TRUE(log.messages.empty());
    printing::Tell(nullptr, report::PrepareResult{{QStringLiteral("Page1: uno"), QStringLiteral("Page1: due")}});
    EXPECT_EQ(log.Only(), QStringLiteral("The following error(s) have occured:\nPage1: uno\nPage1: due"));
    EXPECT_EQ(log.messages[0].kind, ui::Kind::Error);
}

}  // namespace
