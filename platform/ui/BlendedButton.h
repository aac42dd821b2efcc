#pragma once

#include <QColor>
#include <QPushButton>

namespace platform::ui {

// The suite's styled button: rounded corners in the screen's colour, bold white text, grey when
// disabled; or a circular button that shows a drawn glyph. Big enough to hit with a finger.
class TBlendedBitBtn : public QPushButton {
    Q_OBJECT
public:
    enum class Glyph { None, First, Up, Down, Last, Exit, Confirm };

    explicit TBlendedBitBtn(const QString& caption, QWidget* parent = nullptr);

    void setFaceColor(const QColor& face);
    void setTextPixelSize(int pixels);
    void setCircular(bool circular);
    void SetGlyph(Glyph glyph);
    Glyph glyph() const { return glyph_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor face_{204, 91, 44};
    int textPixels_ = 13;
    bool circular_ = false;
    Glyph glyph_ = Glyph::None;
};

// A filled rectangle with curved corners, used for the screen's border.
class TBlendedShape : public QWidget {
    Q_OBJECT
public:
    explicit TBlendedShape(const QColor& fill, int radius, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor fill_;
    int radius_;
};

} // namespace platform::ui
