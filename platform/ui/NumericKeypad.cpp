#include "NumericKeypad.h"

#include "BlendedButton.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <algorithm>

namespace platform::ui {

NumericKeypad::NumericKeypad(const TecladoCall& call, QWidget* parent, const QLocale& locale)
    : StyledDialog(parent), locale_(locale), decimals_(call.decimals == 1),
      emptyText_(call.emptyText.trimmed().isEmpty() ? QStringLiteral("Informe um valor.") : call.emptyText) {
    setObjectName(QStringLiteral("numericKeypad"));
    setWindowTitle(call.caption.isEmpty() ? call.prompt : call.caption);
    setLocale(locale_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 24);
    layout->setSpacing(10);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QLabel* prompt = style::label(call.prompt.isEmpty() ? call.caption : call.prompt,
                                  QStringLiteral("prompt"), 22, style::accent(), this);
    prompt->setTextFormat(Qt::PlainText);
    prompt->setWordWrap(true);
    layout->addWidget(prompt);

    // The display only shows: the keys and the dialog's own key handling type into it.
    display_ = new QLineEdit(this);
    display_->setObjectName(QStringLiteral("display"));
    display_->setReadOnly(true);
    display_->setFocusPolicy(Qt::NoFocus);
    display_->setAttribute(Qt::WA_TransparentForMouseEvents);
    display_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    display_->setFont(style::font(34));
    display_->setMinimumHeight(64);
    display_->setMaxLength(call.maxLength > 0 ? call.maxLength : 32767);
    display_->setStyleSheet(QStringLiteral("QLineEdit { border: 2px solid rgb(204,91,44); border-radius: 6px;"
                                           " background: white; color: rgb(51,51,51); padding: 0 10px; }"));
    const QString pattern =
        decimals_
            ? QStringLiteral("[0-9]*(%1[0-9]*)?").arg(QRegularExpression::escape(locale_.decimalPoint()))
            : QStringLiteral("[0-9]*");
    validator_ = new QRegularExpressionValidator(QRegularExpression(pattern), this);
    layout->addWidget(display_);

    emptyNotice_ = style::label(QString(), QStringLiteral("emptyText"), 16, style::error(), this);
    emptyNotice_->setTextFormat(Qt::PlainText);
    emptyNotice_->setWordWrap(true);
    emptyNotice_->setMinimumHeight(22);
    layout->addWidget(emptyNotice_);

    auto* keys = new QGridLayout;
    keys->setSpacing(10);
    auto key = [&](const QString& caption, const QString& name, const QColor& face) {
        TBlendedBitBtn* b = style::button(caption, name, face, this, 28);
        b->setMinimumSize(96, 64);
        return b;
    };
    for (int digit = 0; digit <= 9; ++digit) {
        TBlendedBitBtn* b = key(QString::number(digit), QStringLiteral("key%1").arg(digit), style::accent());
        connect(b, &QPushButton::clicked, this, [this, digit] { typeDigit(digit); });
        if (digit == 0)
            keys->addWidget(b, 3, 0, 1, decimals_ ? 1 : 2);
        else
            keys->addWidget(b, 2 - (digit - 1) / 3, (digit - 1) % 3);
    }
    if (decimals_) {
        TBlendedBitBtn* b = key(locale_.decimalPoint(), QStringLiteral("keyDecimal"), style::accent());
        connect(b, &QPushButton::clicked, this, &NumericKeypad::typeSeparator);
        keys->addWidget(b, 3, 1);
    }
    TBlendedBitBtn* erase = key(QStringLiteral("Apagar"), QStringLiteral("keyBackspace"), style::accent());
    erase->setTextPixelSize(18);
    connect(erase, &QPushButton::clicked, this, &NumericKeypad::backspace);
    keys->addWidget(erase, 3, 2);
    layout->addLayout(keys);

    auto* actions = new QHBoxLayout;
    actions->setSpacing(10);
    TBlendedBitBtn* clear =
        style::button(QStringLiteral("Limpar"), QStringLiteral("keyClear"), style::accent(), this);
    TBlendedBitBtn* cancel =
        style::button(QStringLiteral("Cancelar"), QStringLiteral("cancel"), style::accent(), this);
    TBlendedBitBtn* ok =
        style::button(QStringLiteral("Confirmar"), QStringLiteral("confirm"), style::confirm(), this);
    for (TBlendedBitBtn* b : {clear, cancel, ok}) {
        b->setMinimumHeight(64);
        actions->addWidget(b);
    }
    ok->setDefault(true);
    connect(clear, &QPushButton::clicked, this, &NumericKeypad::clearEntry);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ok, &QPushButton::clicked, this, &NumericKeypad::confirm);
    layout->addLayout(actions);
}

QString NumericKeypad::displayText() const {
    return display_->text();
}

QString NumericKeypad::typed() const {
    QString text = display_->text();
    if (decimals_ && text.endsWith(locale_.decimalPoint()))
        text.chop(locale_.decimalPoint().size());
    return text;
}

void NumericKeypad::insert(const QString& text) {
    // The validator and the length limit decide whether the longer entry stands.
    QString candidate = display_->text() + text;
    int position = int(candidate.size());
    if (candidate.size() > display_->maxLength() ||
        validator_->validate(candidate, position) != QValidator::Acceptable)
        return;
    display_->setText(candidate);
    emptyNotice_->clear();
}

void NumericKeypad::typeDigit(int digit) {
    if (digit >= 0 && digit <= 9)
        insert(QString::number(digit));
}

void NumericKeypad::typeSeparator() {
    if (!decimals_)
        return;
    // A separator typed first reads as "0," the way it is said.
    insert(display_->text().isEmpty() ? QStringLiteral("0") + locale_.decimalPoint()
                                      : locale_.decimalPoint());
}

void NumericKeypad::backspace() {
    display_->setText(display_->text().chopped(std::min<qsizetype>(1, display_->text().size())));
    emptyNotice_->clear();
}

void NumericKeypad::clearEntry() {
    display_->clear();
    emptyNotice_->clear();
}

void NumericKeypad::confirm() {
    if (typed().isEmpty()) {
        emptyNotice_->setText(emptyText_);
        return;
    }
    accept();
}

void NumericKeypad::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        typeDigit(key - Qt::Key_0);
        return;
    }
    switch (key) {
    case Qt::Key_Comma:
    case Qt::Key_Period:
        typeSeparator();
        return;
    case Qt::Key_Backspace:
        backspace();
        return;
    case Qt::Key_Delete:
        clearEntry();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        confirm();
        return;
    default:
        StyledDialog::keyPressEvent(event); // Escape cancels
    }
}

} // namespace platform::ui
