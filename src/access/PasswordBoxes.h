#pragma once
#include <QHash>
#include <QObject>
#include <QRect>
#include <vector>

class QLineEdit;
class QPushButton;
class QWidget;

// What the password boxes of the access windows share: each box has a yellow
// rectangle behind it (eff...) shown only while the box has the focus, and the
// window's OK button is enabled exactly when every box holds a text that is
// not blank, checked at every change of a text and every key release.
// A push button of the access windows (Verdana, hand cursor).
QPushButton* NewAccessButton(const QString& name, const QString& text, QRect geometry, QWidget* parent);

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
