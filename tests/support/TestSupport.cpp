#include "support/TestSupport.h"

#include "windows/app/Velmora.h"
#include "ui/Application.h"

#include <QApplication>
#include <QDialog>
#include <QFile>

#include <gtest/gtest.h>

namespace testing_support {

void EnsureApplication() {
    if (QApplication::instance()) return;
    // Offscreen, on a screen of its own where a test gives one.
    if (!qEnvironmentVariable("QT_QPA_PLATFORM").startsWith(QLatin1String("offscreen")))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "velmora-tests";
    static char* argv[] = {name, nullptr};
    new ui::Application(argc, argv);
}

MessageLog::MessageLog() {
    previous_ = ui::SetMessageHandler([this](const ui::Message& message) {
        messages.push_back(message);
        if (!answers.empty()) {
            const ui::Answer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return message.buttons == ui::Buttons::YesNo ? ui::Answer::Yes : ui::Answer::Ok;
    });
}

MessageLog::~MessageLog() { ui::SetMessageHandler(previous_); }

QStringList MessageLog::Texts() const {
    QStringList texts;
    for (const ui::Message& m : messages) texts << m.text;
    return texts;
}

QString MessageLog::Only() const {
    EXPECT_EQ(messages.size(), 1u) << Texts().join(QStringLiteral(" | ")).toStdString();
    return messages.empty() ? QString() : messages.back().text;
}

ModalScript::ModalScript() {
    previous_ = ui::SetModalHandler([this](QDialog& dialog) {
        opened.push_back(dialog.windowTitle());
        if (steps_.empty()) {
            ADD_FAILURE() << "unexpected dialog " << dialog.windowTitle().toStdString();
            return;
        }
        Step step = std::move(steps_.front());
        steps_.pop_front();
        step(dialog);
    });
}

ModalScript::~ModalScript() { ui::SetModalHandler(previous_); }

ModalScript& ModalScript::Then(Step step) {
    steps_.push_back(std::move(step));
    return *this;
}

AppFixture::AppFixture() {
    EnsureApplication();
    app = std::make_unique<Velmora>(folder.Folder());
}

AppFixture::~AppFixture() = default;

}  // namespace testing_support
