#include "ui/PictureButton.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>

namespace ui {
namespace {
QSvgRenderer* Load(const QString& picture, QObject* owner) {
    return new QSvgRenderer(QStringLiteral(":/images/%1.svg").arg(picture), owner);
}
}  // namespace

PictureButton::PictureButton(const QString& name, const QString& picture, QSize size, QWidget* parent)
    : QWidget(parent), renderer_(Load(picture, this)) {
    setObjectName(name);
    setFixedSize(size);
    setCursor(Qt::PointingHandCursor);
}

void PictureButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    renderer_->render(&painter, pressed_ ? QRectF(rect()).translated(1, 1) : QRectF(rect()));
}

void PictureButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    pressed_ = true;
    update();
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) return;
    pressed_ = false;
    update();
    if (rect().contains(event->position().toPoint())) emit clicked();
}

PictureButton* AddCommand(const Command& command, QWidget* parent, QPoint at) {
    command.member = new PictureButton(QString::fromLatin1(command.name), QString::fromLatin1(command.picture),
                                       command.size, parent);
    command.member->move(at);
    QObject::connect(command.member, &PictureButton::clicked, parent, command.click);
    return command.member;
}

QPushButton* NewButton(const QString& name, const QString& text, QRect geometry, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setFont(QFont(QStringLiteral("Verdana"), 10, QFont::Bold));
    button->setCursor(Qt::PointingHandCursor);
    button->setGeometry(geometry);
    return button;
}

QLabel* NewCaption(const QString& text, QWidget* parent, QPoint at) {
    auto* label = new QLabel(text, parent);
    label->setFont(QFont(QStringLiteral("Verdana"), 10, QFont::Bold));
    label->setStyleSheet(QStringLiteral("color: #1d3f63;"));
    label->move(at);
    label->adjustSize();
    return label;
}

Picture::Picture(const QString& name, const QString& picture, QSize size, QWidget* parent)
    : QWidget(parent), renderer_(Load(picture, this)) {
    setObjectName(name);
    setFixedSize(size);
}

void Picture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    renderer_->render(&painter, QRectF(rect()));
}

}  // namespace ui
