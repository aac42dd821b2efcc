#include "BlendedButton.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionButton>

namespace platform::ui {
namespace {

const QColor DisabledFace(204, 204, 204);

void drawGlyph(QPainter& p, TBlendedBitBtn::Glyph glyph, const QRectF& r, const QColor& ink) {
    p.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(ink);
    const QPointF c = r.center();
    const qreal s = r.width() * 0.22;
    auto triangle = [&](qreal dy, bool up) {
        QPolygonF t;
        const qreal sign = up ? -1 : 1;
        t << QPointF(c.x() - s, c.y() + dy - sign * s / 2) << QPointF(c.x() + s, c.y() + dy - sign * s / 2)
          << QPointF(c.x(), c.y() + dy + sign * s / 2);
        p.drawPolygon(t);
    };
    switch (glyph) {
    case TBlendedBitBtn::Glyph::First:
        p.drawLine(QPointF(c.x() - s, c.y() - s), QPointF(c.x() + s, c.y() - s));
        triangle(s * 0.3, true);
        break;
    case TBlendedBitBtn::Glyph::Up:
        triangle(0, true);
        break;
    case TBlendedBitBtn::Glyph::Down:
        triangle(0, false);
        break;
    case TBlendedBitBtn::Glyph::Last:
        p.drawLine(QPointF(c.x() - s, c.y() + s), QPointF(c.x() + s, c.y() + s));
        triangle(-s * 0.3, false);
        break;
    case TBlendedBitBtn::Glyph::Exit:
        p.drawLine(QPointF(c.x() - s * 0.7, c.y() - s * 0.7), QPointF(c.x() + s * 0.7, c.y() + s * 0.7));
        p.drawLine(QPointF(c.x() + s * 0.7, c.y() - s * 0.7), QPointF(c.x() - s * 0.7, c.y() + s * 0.7));
        break;
    case TBlendedBitBtn::Glyph::Confirm:
    case TBlendedBitBtn::Glyph::None:
        break;
    }
}

} // namespace

TBlendedBitBtn::TBlendedBitBtn(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void TBlendedBitBtn::setFaceColor(const QColor& face) {
    face_ = face;
    update();
}

void TBlendedBitBtn::setTextPixelSize(int pixels) {
    textPixels_ = pixels;
    update();
}

void TBlendedBitBtn::setCircular(bool circular) {
    circular_ = circular;
    update();
}

void TBlendedBitBtn::SetGlyph(Glyph glyph) {
    glyph_ = glyph;
    update();
}

void TBlendedBitBtn::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QColor face = isEnabled() ? face_ : DisabledFace;
    if (isDown())
        face = face.darker(120);
    // A toggle that is off shows only its outline, so the chosen one stands out at a glance.
    const bool outlined = isCheckable() && !isChecked();
    const QRectF r = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    p.setPen(outlined ? QPen(face, 3) : Qt::NoPen);
    p.setBrush(outlined ? QColor(Qt::white) : face);
    if (circular_)
        p.drawEllipse(r);
    else
        p.drawRoundedRect(r, 10, 10);
    const QColor ink = outlined ? face : QColor(Qt::white);
    if (isDefault() && isEnabled()) {
        // The button Enter presses carries an inner ring.
        p.setPen(QPen(ink, 2));
        p.setBrush(Qt::NoBrush);
        const QRectF ring = r.adjusted(4, 4, -4, -4);
        if (circular_)
            p.drawEllipse(ring);
        else
            p.drawRoundedRect(ring, 7, 7);
    }
    if (glyph_ != Glyph::None && glyph_ != Glyph::Confirm) {
        drawGlyph(p, glyph_, r, ink);
        return;
    }
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(textPixels_);
    f.setBold(true);
    p.setFont(f);
    p.setPen(ink);
    QString caption = text();
    caption.remove(u'&');
    p.drawText(r, Qt::AlignCenter | Qt::TextWordWrap, caption);
}

TBlendedShape::TBlendedShape(const QColor& fill, int radius, QWidget* parent)
    : QWidget(parent), fill_(fill), radius_(radius) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TBlendedShape::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(fill_);
    p.drawRoundedRect(QRectF(rect()), radius_, radius_);
}

} // namespace platform::ui
