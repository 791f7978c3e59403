#include "info/HoverLabel.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPalette>

HoverLabel::HoverLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setCursor(Qt::PointingHandCursor);
}

HoverLabel::HoverLabel(const QString& text, const LabelLook& hover, const LabelLook& leave,
                       QWidget* parent)
    : HoverLabel(text, parent) {
    SetLooks(hover, leave);
}

void HoverLabel::SetLooks(const LabelLook& hover, const LabelLook& leave) {
    hoverLook = hover;
    leaveLook = leave;
    Apply(leave);
}

void HoverLabel::ShowHoverLook() {
    if (hoverLook) {
        Apply(*hoverLook);
    }
}

void HoverLabel::ShowLeaveLook() {
    if (leaveLook) {
        Apply(*leaveLook);
    }
}

void HoverLabel::Apply(const LabelLook& look) {
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, look.Color);
    setPalette(colours);
    QFont textFont = font();
    textFont.setBold(look.Bold);
    textFont.setUnderline(look.Underline);
    setFont(textFont);
}

void HoverLabel::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    ShowHoverLook();
    emit entered();
}

void HoverLabel::leaveEvent(QEvent* event) {
    QLabel::leaveEvent(event);
    ShowLeaveLook();
    emit left();
}

void HoverLabel::mousePressEvent(QMouseEvent* event) {
    pressed = event->button() == Qt::LeftButton;
    event->accept();
}

// A click is a left press and release on the label, as with a button.
void HoverLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed = false;
    event->accept();
    if (click) {
        emit clicked();
    }
}
