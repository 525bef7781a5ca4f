#pragma once
#include <QHash>
#include <QObject>
#include <QRect>
#include <vector>

class QLineEdit;
class QPushButton;
class QWidget;


class PasswordBoxes : public QObject {
public:
    PasswordBoxes(QPushButton* ok, QObject* parent);

    // A masked box with its focus rectangle, both children of parent; the
    // rectangle is created first so that it lies behind the box.
    QLineEdit* Add(const QString& name, const QString& effName, QRect geometry, QWidget* parent, QWidget*& eff);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateOK();

    QPushButton* ok_;
    std::vector<QLineEdit*> boxes_;
    QHash<const QObject*, QWidget*> effects_;
};
