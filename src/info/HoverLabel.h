#pragma once

#include <QColor>
#include <QLabel>

#include <optional>

class QEnterEvent;
class QEvent;
class QMouseEvent;

// How a label's text looks: its colour and whether it is bold and underlined.
struct LabelLook {
    QColor Color;
    bool Bold = false;
    bool Underline = false;
};

// The looks of the program's clickable texts.
namespace LabelLooks {
inline LabelLook LinkHover() {
    return {QColor(0, 0, 255), true, true};
} // blue, bold, underlined
inline LabelLook LinkLeave() {
    return {QColor(0, 0, 0), true, false};
} // black, bold
inline LabelLook PurpleLeave() {
    return {QColor(128, 0, 128), true, false};
} // purple, bold
inline LabelLook StatusHover() {
    return {QColor(255, 0, 255), true, true};
} // magenta, bold, underlined
inline LabelLook StatusLeave() {
    return {QColor(0, 0, 0), true, false};
} // black, bold
inline LabelLook NameHover() {
    return {QColor(255, 0, 255), false, false};
} // magenta text
inline LabelLook NameLeave() {
    return {QColor(0, 0, 0), false, false};
} // black text
} // namespace LabelLooks

// A text that reacts to the mouse: it takes its hover look while the mouse is
// over it and its leave look when the mouse leaves (and from the start), and it
// emits clicked() on a left click. A label without looks keeps its own look and
// only reports entered()/left(), so that it can drive another label's effect.
class HoverLabel : public QLabel {
    Q_OBJECT
public:
    explicit HoverLabel(const QString& text, QWidget* parent = nullptr);
    HoverLabel(const QString& text, const LabelLook& hover, const LabelLook& leave,
               QWidget* parent = nullptr);

    // Sets both looks and shows the leave look.
    void SetLooks(const LabelLook& hover, const LabelLook& leave);

    // Shows the hover or the leave look (nothing for a label without looks).
    void ShowHoverLook();
    void ShowLeaveLook();

signals:
    void clicked();
    void entered();
    void left();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Apply(const LabelLook& look);

    std::optional<LabelLook> hoverLook;
    std::optional<LabelLook> leaveLook;
    bool pressed = false;
};
