#include "windows/access/PasswordBoxes.h"

#include "core/folder/TextRules.h"
#include "ui/Gradient.h"

#include <QEvent>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

PasswordBoxes::PasswordBoxes(QPushButton* ok, QObject* parent) : QObject(parent), ok_(ok) {
    ok_->setEnabled(false);
}

QLineEdit* PasswordBoxes::Add(const QString& name, const QString& effName, QRect geometry, QWidget* parent,
                              QWidget*& eff) {
    eff = new ui::Gradient(effName, ui::colour::kYellow, ui::colour::kYellow, parent);
    eff->setGeometry(geometry.adjusted(-6, -6, 6, 6));
    eff->hide();

    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setEchoMode(QLineEdit::Password);
    box->setFont(QFont(QStringLiteral("Verdana"), 14, QFont::Bold));
    box->setGeometry(geometry);
    box->installEventFilter(this);
    connect(box, &QLineEdit::textChanged, this, &PasswordBoxes::UpdateOK);
    boxes_.push_back(box);
    effects_.insert(box, eff);
    return box;
}

bool PasswordBoxes::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusIn:
        effects_.value(watched)->show();
        break;
    case QEvent::FocusOut:
        effects_.value(watched)->hide();
        break;
    case QEvent::KeyRelease:
        UpdateOK();
        break;
    default:
        break;
    }
    return false;
}

void PasswordBoxes::UpdateOK() {
    ok_->setEnabled(std::none_of(boxes_.begin(), boxes_.end(), [](QLineEdit* box) { return IsBlank(box->text()); }));
}
