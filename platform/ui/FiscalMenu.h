#pragma once

#include "DialogStyle.h"

namespace platform::ui {

class TBlendedBitBtn;

// The fiscal-reports menu. This suite's terminals print no fiscal reports, so every report is shown
// but disabled; "Fechar", Enter or Escape close the menu.
class FiscalMenu : public StyledDialog {
    Q_OBJECT
public:
    explicit FiscalMenu(QWidget* parent = nullptr);

    TBlendedBitBtn* closeButton() const { return close_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    TBlendedBitBtn* close_ = nullptr;
};

} // namespace platform::ui
