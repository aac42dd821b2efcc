#pragma once

#include "DialogStyle.h"
#include "Dialogs.h"

#include <QLocale>

class QLabel;
class QLineEdit;
class QValidator;

namespace platform::ui {

class TBlendedBitBtn;

// The touch keypad for a number: keys 0-9, the locale's decimal separator when decimals are allowed,
// "Apagar", "Limpar", "Cancelar" and "Confirmar"; the physical keyboard types the same. It starts
// empty, holds at most maxLength characters and refuses to confirm an empty entry.
class NumericKeypad : public StyledDialog {
    Q_OBJECT
public:
    explicit NumericKeypad(const TecladoCall& call, QWidget* parent = nullptr,
                           const QLocale& locale = QLocale());

    // The entry in the locale's format; a trailing separator is dropped ("1," reads "1").
    QString typed() const;
    // The raw text on the display.
    QString displayText() const;
    bool allowsDecimals() const { return decimals_; }
    QLineEdit* display() const { return display_; }
    QLabel* emptyNotice() const { return emptyNotice_; }

public slots:
    void typeDigit(int digit);
    void typeSeparator();
    void backspace();
    void clearEntry();
    // Accepts a non-empty entry; an empty one shows the empty text and the keypad stays open.
    void confirm();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void insert(const QString& text);

    QLocale locale_;
    bool decimals_;
    QString emptyText_;
    QValidator* validator_ = nullptr;
    QLineEdit* display_ = nullptr;
    QLabel* emptyNotice_ = nullptr;
};

} // namespace platform::ui
