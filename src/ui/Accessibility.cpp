#include "ui/Accessibility.h"

#include "ui/PictureButton.h"
#include "ui/WindowFrame.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QHash>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

#include <algorithm>

namespace ui {
namespace {

const Picture* AsPicture(const QObject* object) { return dynamic_cast<const Picture*>(object); }

// The property that marks a picture command repeated for the mouse alone.
constexpr char kMouseOnly[] = "velmoraMouseOnly";
bool IsMouseOnly(const QObject* object) { return object->property(kMouseOnly).toBool(); }

// A notification of the window that shows it for a moment: what Announce
// says, read by a screen reader as it appears.
class Announcer : public QWidget {
public:
    explicit Announcer(QWidget* window) : QWidget(window) {
        setObjectName(QStringLiteral("announcer"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(0, 0, 1, 1);
        // The interface made while QWidget's constructor ran knew a plain
        // widget; the next one is the notification.
        if (QAccessibleInterface* early = QAccessible::queryAccessibleInterface(this))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(early));
    }
};

class Notification : public QAccessibleWidget {
public:
    explicit Notification(QWidget* announcer) : QAccessibleWidget(announcer, QAccessible::Notification) {}

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? widget()->accessibleName() : QString();
    }
};

// A picture without words that holds no controls either.
bool IsDecoration(const QObject* object) {
    const Picture* picture = AsPicture(object);
    return picture && picture->Words().isEmpty() && !picture->findChild<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
}

// A widget whose children are read without the decorative pictures.
class Container : public QAccessibleWidget {
public:
    Container(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    int childCount() const override { return int(Children().size()); }

    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> children = Children();
        if (index < 0 || index >= children.size()) return nullptr;
        return QAccessible::queryAccessibleInterface(children[index]);
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child) return -1;
        return int(Children().indexOf(qobject_cast<QWidget*>(child->object())));
    }

private:
    QList<QWidget*> Children() const {
        QList<QWidget*> children;
        for (QObject* object : widget()->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            if (child && !child->isWindow() && !IsDecoration(child) && !IsMouseOnly(child)) children << child;
        }
        return children;
    }
};

// A picture with words: a text that reads them.
class Words : public QAccessibleWidget {
public:
    explicit Words(QWidget* picture) : QAccessibleWidget(picture, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? AsPicture(widget())->Words() : QAccessibleWidget::text(t);
    }
};

// A picture command: a push button named by its accessible name, else by the
// words on its picture, else by the sentence of its tooltip; described by
// that sentence.
class Command : public QAccessibleWidget {
public:
    explicit Command(PictureButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override {
        const auto* button = static_cast<const PictureButton*>(widget());
        if (t != QAccessible::Name || !button->accessibleName().isEmpty()) return QAccessibleWidget::text(t);
        return button->Words().isEmpty() ? button->toolTip() : button->Words();
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.focusable = true;
        return state;
    }

    QStringList actionNames() const override { return {pressAction(), setFocusAction()}; }

    void doAction(const QString& action) override {
        auto* button = static_cast<PictureButton*>(widget());
        if (action == setFocusAction()) {
            button->setFocus(Qt::OtherFocusReason);
        } else if (action == pressAction() && button->isEnabled()) {
            // After the caller is answered: a command may open a modal window.
            QTimer::singleShot(0, button, [button] { button->click(); });
        }
    }

    QStringList keyBindingsForAction(const QString& action) const override {
        return action == pressAction() ? QStringList{QStringLiteral("Space")} : QStringList{};
    }
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget) return nullptr;
    if (auto* button = qobject_cast<PictureButton*>(widget)) return new Command(button);
    if (dynamic_cast<Announcer*>(widget)) return new Notification(widget);
    if (dynamic_cast<Window*>(widget)) return new Container(widget, QAccessible::Window);
    if (dynamic_cast<Dialog*>(widget)) return new Container(widget, QAccessible::Dialog);
    if (const Picture* picture = AsPicture(widget); picture && !picture->Words().isEmpty()) return new Words(widget);
    if (className == QLatin1String("QWidget") && widget->metaObject() == &QWidget::staticMetaObject)
        return new Container(widget, QAccessible::Client);
    return nullptr;
}

// F6 into the commands and back; Tab into them where nothing else takes
// the focus.
class CommandKeys : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        QWidget* focus = QApplication::focusWidget();
        // The key's first receiver only: the focus widget, or the active
        // window when nothing has the focus.
        if (!widget || (focus ? widget != focus : !widget->isWindow())) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        const bool back = key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
        if (key->key() != Qt::Key_F6 && !(tab && !focus)) return false;
        QWidget* window = widget->window();
        const std::vector<PictureButton*> commands = CommandsOf(window);
        if (commands.empty()) return false;
        if (auto* command = qobject_cast<PictureButton*>(focus)) {
            QWidget* from = left_.value(window);
            if (from && from->isVisible() && from->isEnabled() && from->window() == window)
                from->setFocus(Qt::ShortcutFocusReason);
            else
                command->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
        left_.insert(window, focus);
        PictureButton* first = back ? commands.back() : commands.front();
        first->FocusByKey(back ? Qt::BacktabFocusReason : Qt::TabFocusReason);
        return true;
    }

private:
    // The control each window's focus left for its commands.
    QHash<const QWidget*, QPointer<QWidget>> left_;
};

// Qt 6.4 tells assistive technology each letter typed into a password box:
// the box's text events carry the letters, and a screen reader speaks them.
// Every event goes out through here, a password box's text events with each
// letter as "*", so the typing is heard and the password is not.
void MaskPasswords(QAccessibleEvent* event);

void Send(QAccessibleEvent* event) {
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(MaskPasswords);
}

QString Masked(const QString& text) { return QString(text.size(), u'*'); }

void MaskPasswords(QAccessibleEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(event->object());
    if (!box || box->echoMode() == QLineEdit::Normal) return Send(event);
    switch (event->type()) {
    case QAccessible::TextInserted: {
        const auto* inserted = static_cast<QAccessibleTextInsertEvent*>(event);
        QAccessibleTextInsertEvent masked(box, inserted->changePosition(), Masked(inserted->textInserted()));
        return Send(&masked);
    }
    case QAccessible::TextRemoved: {
        const auto* removed = static_cast<QAccessibleTextRemoveEvent*>(event);
        QAccessibleTextRemoveEvent masked(box, removed->changePosition(), Masked(removed->textRemoved()));
        return Send(&masked);
    }
    case QAccessible::TextUpdated: {
        const auto* updated = static_cast<QAccessibleTextUpdateEvent*>(event);
        QAccessibleTextUpdateEvent masked(box, updated->changePosition(), Masked(updated->textRemoved()),
                                          Masked(updated->textInserted()));
        return Send(&masked);
    }
    default: return Send(event);
    }
}

}  // namespace

void InstallAccessibility() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(Factory);
    QAccessible::installUpdateHandler(MaskPasswords);
    qApp->installEventFilter(new CommandKeys(qApp));
}

std::vector<PictureButton*> CommandsOf(const QWidget* window) {
    struct Placed {
        PictureButton* button;
        QRect rect;
    };
    std::vector<Placed> placed;
    for (PictureButton* button : window->findChildren<PictureButton*>()) {
        if (button->window() != window || !button->isVisible() || !button->isEnabled() || IsMouseOnly(button))
            continue;
        placed.push_back({button, QRect(button->mapTo(window, QPoint(0, 0)), button->size())});
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const Placed& a, const Placed& b) { return a.rect.center().y() < b.rect.center().y(); });
    // Rows: commands whose centres lie within half a small command's height
    // of the row's first one.
    std::vector<PictureButton*> commands;
    for (std::size_t start = 0; start < placed.size();) {
        std::size_t end = start + 1;
        while (end < placed.size() && placed[end].rect.center().y() - placed[start].rect.center().y() < 16) ++end;
        std::stable_sort(placed.begin() + start, placed.begin() + end,
                         [](const Placed& a, const Placed& b) { return a.rect.x() < b.rect.x(); });
        for (std::size_t i = start; i < end; ++i) commands.push_back(placed[i].button);
        start = end;
    }
    return commands;
}

void MouseOnly(PictureButton* twin) { twin->setProperty(kMouseOnly, true); }

namespace {

constexpr int kAnnounceTries = 20;

// Shows the announcement in the active window once there is a visible one:
// a dialog that closes after its work leaves its owner to be activated.
void AnnounceWhenActive(const QString& text, int triesLeft) {
    QTimer::singleShot(triesLeft == kAnnounceTries ? 0 : 50, qApp, [text, triesLeft] {
        QWidget* window = QApplication::activeWindow();
        if (!window || !window->isVisible()) {
            if (triesLeft > 1) AnnounceWhenActive(text, triesLeft - 1);
            return;
        }
        auto* announcer = dynamic_cast<Announcer*>(
            window->findChild<QWidget*>(QStringLiteral("announcer"), Qt::FindDirectChildrenOnly));
        if (!announcer) announcer = new Announcer(window);
        announcer->hide();
        announcer->setAccessibleName(text);
        announcer->show();
    });
}

}  // namespace

void Announce(const QString& text) { AnnounceWhenActive(text, kAnnounceTries); }

}  // namespace ui
