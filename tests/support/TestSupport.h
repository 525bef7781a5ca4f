#pragma once
#include "support/TempFolder.h"
#include "ui/Messages.h"
#include "ui/ModalRunner.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

class QDialog;
class Velmora;

namespace testing_support {

// The program's application object for the test process, on the offscreen platform.
void EnsureApplication();

// Records every message the program shows and answers it: with the queued
// answers first, then OK for OK/Cancel boxes and Yes for questions.
class MessageLog {
public:
    MessageLog();
    ~MessageLog();
    std::vector<ui::Message> messages;
    std::deque<ui::Answer> answers;

    QStringList Texts() const;
    // The text of the only message shown since the last Clear; fails otherwise.
    QString Only() const;
    void Clear() { messages.clear(); }

private:
    ui::MessageHandler previous_;
};

// Acts on the dialogs the program runs modally, one scripted step per dialog
// in the order they open. A dialog with no step left fails the test.
class ModalScript {
public:
    using Step = std::function<void(QDialog&)>;
    ModalScript();
    ~ModalScript();
    ModalScript& Then(Step step);
    // Captions of the dialogs run so far.
    std::vector<QString> opened;
    bool Done() const { return steps_.empty(); }

private:
    std::deque<Step> steps_;
    ui::ModalHandler previous_;
};

// The application object on a temporary program folder.
class AppFixture {
public:
    AppFixture();
    ~AppFixture();
    TempFolder folder;
    std::unique_ptr<Velmora> app;
};

}  // namespace testing_support
