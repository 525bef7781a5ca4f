// The windows' conventions as assistive technology and the keyboard meet
// them: picture commands are push buttons with names and a press action,
// reached from the keyboard without taking a stop of the Tab cycle.
#include "ui/Accessibility.h"
#include "ui/PictureButton.h"
#include "ui/StatusLine.h"
#include "ui/WindowFrame.h"
#include "support/TestSupport.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// A window of two boxes and four commands: three in a row, one below.
struct CommandWindow {
    CommandWindow() : window(QStringLiteral(" Prova"), ui::Window::Frame::Fixed, QSize(400, 300)) {
        box1 = new QLineEdit(&window);
        box1->setObjectName(QStringLiteral("box1"));
        box2 = new QLineEdit(&window);
        box2->setObjectName(QStringLiteral("box2"));
        box2->move(0, 40);
        const char* names[] = {"cmdNuovo", "cmdSalva", "cmdEsci", "cmdGuida"};
        const QPoint places[] = {{200, 10}, {100, 12}, {300, 8}, {100, 200}};
        auto* status = new ui::StatusLine(new QLabel(&window), &window);
        for (int i = 0; i < 4; ++i) {
            commands[i] = new ui::PictureButton(QString::fromLatin1(names[i]), QStringLiteral("nuovo"), QSize(48, 48),
                                                &window);
            commands[i]->move(places[i]);
            QObject::connect(commands[i], &ui::PictureButton::clicked, [this, i] { clicks << i; });
            status->AddCommand(commands[i], QStringLiteral("Frase %1.").arg(i));
        }
        window.show();
        QApplication::setActiveWindow(&window);
        box1->setFocus();
        QCoreApplication::processEvents();
    }
    QString Focus() const {
        QWidget* focus = QApplication::focusWidget();
        return focus ? focus->objectName() : QStringLiteral("(nessuno)");
    }
    ui::Window window;
    QLineEdit *box1, *box2;
    ui::PictureButton* commands[4];
    QList<int> clicks;
};

TEST(CommandKeys, F6ReachesTheCommandsInReadingOrderAndBack) {
    EnsureApplication();
    CommandWindow w;
    EXPECT_EQ(ui::CommandsOf(&w.window).size(), 4u);
    // Each key, and where the focus is after it.
    const std::pair<QKeySequence, const char*> steps[] = {
        {QKeySequence(Qt::Key_Tab), "box2"},          {QKeySequence(Qt::Key_Tab), "box1"},
        {QKeySequence(Qt::Key_F6), "cmdSalva"},       {QKeySequence(Qt::Key_Right), "cmdNuovo"},
        {QKeySequence(Qt::Key_Tab), "cmdEsci"},       {QKeySequence(Qt::Key_Down), "cmdGuida"},
        {QKeySequence(Qt::Key_Right), "cmdSalva"},    {QKeySequence(Qt::Key_Left), "cmdGuida"},
        {QKeySequence(Qt::SHIFT | Qt::Key_Tab), "cmdEsci"}, {QKeySequence(Qt::Key_F6), "box1"},
    };
    for (const auto& [key, focus] : steps) {
        SCOPED_TRACE(key.toString().toStdString());
        QTest::keySequence(QApplication::focusWidget(), key);
        EXPECT_EQ(w.Focus().toStdString(), focus);
    }
    EXPECT_TRUE(w.clicks.isEmpty());
}

TEST(CommandKeys, SpaceAndEnterPressTheFocusedCommandAndAClickLeavesTheFocus) {
    EnsureApplication();
    CommandWindow w;
    QTest::mouseClick(w.commands[2], Qt::LeftButton);
    EXPECT_EQ(w.Focus(), QStringLiteral("box1")) << "a click takes no focus";
    QTest::keyClick(w.box1, Qt::Key_F6);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(w.clicks, QList<int>({2, 1, 0}));
    // Disabled or hidden commands are left out.
    w.commands[0]->setEnabled(false);
    w.commands[3]->hide();
    EXPECT_EQ(ui::CommandsOf(&w.window), (std::vector<ui::PictureButton*>{w.commands[1], w.commands[2]}));
}

TEST(CommandKeys, TabReachesTheCommandsOfAWindowWithoutOtherControls) {
    EnsureApplication();
    ui::Window window(QStringLiteral(" Prova"), ui::Window::Frame::Fixed, QSize(300, 100));
    auto* only = new ui::PictureButton(QStringLiteral("imgEsci"), QStringLiteral("esci"), QSize(40, 40), &window);
    window.show();
    QApplication::setActiveWindow(&window);
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), nullptr);
    QTest::keyClick(&window, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), only);
}

TEST(Dialog, EscLeavesAsTheLeavingButtonDoes) {
    EnsureApplication();
    ui::Dialog dialog(nullptr, QStringLiteral(" Prova"), QSize(200, 100), ui::Centre::Screen);
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST(Accessible, CommandsArePushButtonsNamedDescribedAndPressable) {
    EnsureApplication();
    CommandWindow w;
    w.commands[1]->setAccessibleName(QStringLiteral("Salva"));
    auto* words = new ui::PictureButton(QStringLiteral("cmdStampa"), QStringLiteral("stampa"), QSize(48, 48),
                                        &w.window);
    words->setToolTip(QStringLiteral("Stampa la pagina."));
    // The name: the accessible name, else the picture's words, else the sentence.
    const std::pair<QWidget*, const char*> names[] = {
        {w.commands[0], "Frase 0."}, {w.commands[1], "Salva"}, {words, "Stampa"}};
    for (const auto& [command, name] : names) {
        QAccessibleInterface* button = QAccessible::queryAccessibleInterface(command);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->role(), QAccessible::Button);
        EXPECT_EQ(button->text(QAccessible::Name).toStdString(), name);
        EXPECT_EQ(button->text(QAccessible::Description), command->toolTip());
        EXPECT_TRUE(button->state().focusable);
        EXPECT_TRUE(button->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    }
    EXPECT_EQ(w.commands[0]->toolTip(), QStringLiteral("Frase 0.")) << "the status sentence as tooltip";
    QAccessibleInterface* salva = QAccessible::queryAccessibleInterface(w.commands[1]);
    salva->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents();
    EXPECT_EQ(w.clicks, QList<int>({1}));
    w.commands[1]->setEnabled(false);
    EXPECT_TRUE(salva->state().disabled);
    salva->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents();
    EXPECT_EQ(w.clicks, QList<int>({1})) << "a disabled command does nothing";
}

TEST(Accessible, WindowsAreFramesAndPicturesReadAsTheirWordsOrNotAtAll) {
    EnsureApplication();
    ui::Window window(QStringLiteral(" Velmora - Prova"), ui::Window::Frame::Fixed, QSize(600, 300));
    auto* decoration = new ui::Picture(QStringLiteral("imgArchivio"), QStringLiteral("archivio"), QSize(50, 50), &window);
    auto* heading = new ui::Picture(QStringLiteral("imgTitolo"), QStringLiteral("dati_etichetta"), QSize(50, 50),
                                    &window);
    auto* holder = new ui::Picture(QStringLiteral("imgEtichetta"), QStringLiteral("etichetta"), QSize(50, 50), &window);
    auto* box = new QLineEdit(holder);
    window.show();
    QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(&window);
    EXPECT_EQ(frame->role(), QAccessible::Window);
    EXPECT_EQ(frame->text(QAccessible::Name), window.windowTitle());
    QList<QObject*> children;
    for (int i = 0; i < frame->childCount(); ++i) children << frame->child(i)->object();
    EXPECT_EQ(children, QList<QObject*>({heading, holder})) << "the picture without words is left out";
    EXPECT_EQ(frame->child(0)->role(), QAccessible::StaticText);
    EXPECT_EQ(frame->child(0)->text(QAccessible::Name), QStringLiteral("DATI ETICHETTA"));
    EXPECT_EQ(frame->child(1)->child(0)->object(), box) << "a picture holding controls keeps them";
    EXPECT_EQ(frame->indexOfChild(QAccessible::queryAccessibleInterface(holder)), 1);
    (void)decoration;
}

}  // namespace

namespace {

// The accessible children of a window with this role.
std::vector<QAccessibleInterface*> ChildrenWithRole(QWidget& window, QAccessible::Role role) {
    std::vector<QAccessibleInterface*> found;
    QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(&window);
    for (int i = 0; i < frame->childCount(); ++i)
        if (QAccessibleInterface* child = frame->child(i); child && child->role() == role) found.push_back(child);
    return found;
}

}  // namespace

// What a window tells a screen reader without moving the focus appears as a
// notification of the active window, one for each window, holding the last
// thing said.
TEST(Accessible, AnnouncementsAppearAsTheActiveWindowsNotification) {
    EnsureApplication();
    CommandWindow w;
    EXPECT_TRUE(ChildrenWithRole(w.window, QAccessible::Notification).empty());
    for (const QString text : {QStringLiteral("Scheda 2 di 5"), QStringLiteral("Stampa inviata.")}) {
        ui::Announce(text);
        QTest::qWait(20);  // the announcement waits for the events in hand
        const auto notifications = ChildrenWithRole(w.window, QAccessible::Notification);
        ASSERT_EQ(notifications.size(), 1u);
        EXPECT_EQ(notifications[0]->text(QAccessible::Name), text);
        EXPECT_FALSE(notifications[0]->state().invisible);
    }
    EXPECT_EQ(w.Focus(), QStringLiteral("box1")) << "the focus stays where it was";
}

// A picture that repeats a command for the mouse is met neither by the
// keyboard nor by a screen reader; the mouse still clicks it.
TEST(Accessible, AMouseOnlyPictureIsLeftOutOfTheKeysAndTheTree) {
    EnsureApplication();
    CommandWindow w;
    ui::MouseOnly(w.commands[3]);
    EXPECT_EQ(ui::CommandsOf(&w.window).size(), 3u);
    EXPECT_EQ(ChildrenWithRole(w.window, QAccessible::Button).size(), 3u);
    QTest::mouseClick(w.commands[3], Qt::LeftButton);
    EXPECT_EQ(w.clicks, QList<int>({3}));
}
