#include "support/AccessibleTree.h"

#include <QAccessibleActionInterface>
#include <QWidget>

namespace testing_support {
namespace {

// The roles a user acts on, and the action each must offer (empty: none).
QString ActionOf(QAccessible::Role role, bool* control) {
    *control = true;
    switch (role) {
    case QAccessible::Button:
    case QAccessible::ComboBox:
        return QAccessibleActionInterface::pressAction();
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
        return QAccessibleActionInterface::toggleAction();
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::List:
    case QAccessible::Table:
    case QAccessible::PageTab:
        return {};
    default:
        *control = false;
        return {};
    }
}

void Walk(QAccessibleInterface* node, QList<AccessibleControl>& controls) {
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        if (!child || child->state().invisible) continue;
        bool control = false;
        const QString action = ActionOf(child->role(), &control);
        if (control) {
            bool acts = action.isEmpty() || child->state().disabled;
            if (QAccessibleActionInterface* actions = child->actionInterface())
                acts = acts || actions->actionNames().contains(action);
            const QObject* object = child->object();
            controls.push_back({child->role(), child->text(QAccessible::Name),
                                object && !object->objectName().isEmpty()
                                    ? object->objectName()
                                    : QString::fromLatin1(object ? object->metaObject()->className() : "?"),
                                acts});
        }
        // The items of lists and tables are the list's own.
        if (child->role() != QAccessible::List && child->role() != QAccessible::Table &&
            child->role() != QAccessible::ComboBox)
            Walk(child, controls);
    }
}

}  // namespace

QList<AccessibleControl> AccessibleControls(QWidget& window) {
    QList<AccessibleControl> controls;
    if (QAccessibleInterface* root = QAccessible::queryAccessibleInterface(&window)) Walk(root, controls);
    return controls;
}

QStringList Unusable(const QList<AccessibleControl>& controls) {
    QStringList lines;
    for (const AccessibleControl& c : controls) {
        if (c.name.trimmed().isEmpty()) lines << c.object + QStringLiteral(" has no name");
        if (!c.acts) lines << c.object + QStringLiteral(" (") + c.name + QStringLiteral(") offers no action");
    }
    return lines;
}

}  // namespace testing_support
