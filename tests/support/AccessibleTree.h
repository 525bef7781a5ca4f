#pragma once
#include <QAccessible>
#include <QString>
#include <QStringList>

class QWidget;

namespace testing_support {

// What Qt's accessibility layer, the one the desktop's accessibility bus
// reads, shows of a window: every visible control a user can act on
// (buttons, boxes, lists, tables, choices), with its name and whether it
// offers its action.
struct AccessibleControl {
    QAccessible::Role role;
    QString name;
    QString object;  // the widget's object name, or its class
    bool acts;       // a button's press, a choice's toggle; true where the role has no action
};
QList<AccessibleControl> AccessibleControls(QWidget& window);

// The controls without a name or without their action, one line each.
QStringList Unusable(const QList<AccessibleControl>& controls);

}  // namespace testing_support
