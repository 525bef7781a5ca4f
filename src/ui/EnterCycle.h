#pragma once
#include <QHash>
#include <QObject>
#include <QWidget>

#include <initializer_list>
#include <vector>

namespace ui {

// Enter (key code 13) in a box moves the focus to the next widget of a fixed
// chain; with wrap, from the last back to the first. Other keys reach the box.
class EnterCycle : public QObject {
public:
    EnterCycle(const std::vector<QWidget*>& chain, bool wrap, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QHash<const QObject*, QWidget*> next_;
};

}  // namespace ui
