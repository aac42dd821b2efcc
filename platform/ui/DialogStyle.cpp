#include "DialogStyle.h"

#include "BlendedButton.h"

#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace platform::ui {

namespace style {

QFont font(int pixels) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    f.setBold(true);
    return f;
}

TBlendedBitBtn* button(const QString& caption, const QString& objectName, const QColor& face, QWidget* parent,
                       int textPixels) {
    auto* b = new TBlendedBitBtn(caption, parent);
    b->setObjectName(objectName);
    b->setFaceColor(face);
    b->setTextPixelSize(textPixels);
    b->setFont(font(textPixels));
    b->setAutoDefault(false);
    b->setMinimumSize(FingerSize, FingerSize);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return b;
}

QLabel* label(const QString& text, const QString& objectName, int pixels, const QColor& colour,
              QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(objectName);
    l->setFont(font(pixels));
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, colour);
    l->setPalette(p);
    return l;
}

} // namespace style

StyledDialog::StyledDialog(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setModal(true);
    setFont(style::font(16));
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::WindowText, style::ink());
    p.setColor(QPalette::Text, style::ink());
    setPalette(p);
}

void StyledDialog::setBorderColor(const QColor& colour) {
    border_ = colour;
    update();
}

void StyledDialog::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const int width = 4;
    p.setPen(QPen(border_, width));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(rect()).adjusted(width / 2.0, width / 2.0, -width / 2.0, -width / 2.0));
}

void StyledDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    centre();
    // the layout settles on its final size only once the event loop has run: centre on that size too
    QTimer::singleShot(0, this, &StyledDialog::centre);
}

void StyledDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (isVisible())
        centre(); // a dialog that grows after it showed stays centred
}

void StyledDialog::centre() {
    // A frameless dialog gets no placement from a window manager: centre it on the operator's window.
    QWidget* over = parentWidget() ? parentWidget()->window() : QApplication::activeWindow();
    QRect area;
    if (over && over != this && over->isVisible())
        area = over->frameGeometry();
    else if (const QScreen* screen = this->screen())
        area = screen->availableGeometry();
    if (!area.isValid())
        return;
    if (layout())
        layout()->activate();
    QRect r = frameGeometry();
    r.moveCenter(area.center());
    move(r.topLeft());
}

} // namespace platform::ui
