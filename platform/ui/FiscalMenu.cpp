#include "FiscalMenu.h"

#include "BlendedButton.h"

#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace platform::ui {

FiscalMenu::FiscalMenu(QWidget* parent) : StyledDialog(parent) {
    setObjectName(QStringLiteral("fiscalMenu"));
    setWindowTitle(QStringLiteral("Menu Fiscal"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 24);
    layout->setSpacing(10);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(
        style::label(QStringLiteral("Menu Fiscal"), QStringLiteral("title"), 24, style::accent(), this));

    const QList<QPair<QString, QString>> reports{
        {QStringLiteral("Leitura X"), QStringLiteral("reportX")},
        {QStringLiteral("Leitura da Memória Fiscal"), QStringLiteral("reportMemory")},
        {QStringLiteral("Espelho MFD"), QStringLiteral("reportMirror")},
    };
    for (const auto& [caption, name] : reports) {
        TBlendedBitBtn* b = style::button(caption, name, style::accent(), this, 20);
        b->setFixedSize(340, 60);
        b->setEnabled(false);
        layout->addWidget(b);
    }
    layout->addSpacing(8);
    close_ = style::button(QStringLiteral("Fechar"), QStringLiteral("close"), style::accent(), this, 22);
    close_->setFixedSize(340, 64);
    close_->setDefault(true);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(close_);
}

void FiscalMenu::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        close_->click();
        return;
    }
    StyledDialog::keyPressEvent(event); // Escape closes
}

} // namespace platform::ui
