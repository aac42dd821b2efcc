#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>

class QLabel;

namespace platform::ui {

class TBlendedBitBtn;

// The colours and type of the shared dialogs.
namespace style {

inline QColor accent() {
    return {204, 91, 44};
}
inline QColor confirm() {
    return {34, 221, 100};
}
inline QColor disabled() {
    return {204, 204, 204};
}
inline QColor error() {
    return {200, 40, 40};
}
inline QColor ink() {
    return {51, 51, 51};
}

// The smallest side of anything a finger has to hit.
constexpr int FingerSize = 56;

// Bold Arial of the given pixel size.
QFont font(int pixels);

// A styled button sized for a finger. Buttons never take the keyboard focus: each dialog reads the
// keyboard itself, so Enter and Escape mean the same wherever the operator last touched.
TBlendedBitBtn* button(const QString& caption, const QString& objectName, const QColor& face, QWidget* parent,
                       int textPixels = 20);

QLabel* label(const QString& text, const QString& objectName, int pixels, const QColor& colour,
              QWidget* parent);

} // namespace style

// The frame every shared dialog shares: modal, frameless, white with a border in the accent colour,
// centred on the window the operator is working in.
class StyledDialog : public QDialog {
    Q_OBJECT
public:
    explicit StyledDialog(QWidget* parent = nullptr);

    void setBorderColor(const QColor& colour);
    QColor borderColor() const { return border_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void centre();

    QColor border_ = style::accent();
};

} // namespace platform::ui
