#include "MessageDialog.h"

#include "BlendedButton.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace platform::ui {
namespace {

// A red disc with an exclamation mark, drawn so that no icon theme is needed.
class ErrorSign : public QWidget {
public:
    explicit ErrorSign(QWidget* parent) : QWidget(parent) { setFixedSize(56, 56); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(style::error());
        const QRectF r = QRectF(rect()).adjusted(2, 2, -2, -2);
        p.drawEllipse(r);
        p.setPen(Qt::white);
        p.setFont(style::font(36));
        p.drawText(r, Qt::AlignCenter, QStringLiteral("!"));
    }
};

MessageDialog::Kind kindOf(int kind) {
    switch (kind) {
    case MessageDialog::Question:
        return MessageDialog::Question;
    case MessageDialog::Error:
        return MessageDialog::Error;
    default:
        return MessageDialog::Information;
    }
}

QString defaultCaption(MessageDialog::Kind kind) {
    switch (kind) {
    case MessageDialog::Question:
        return QStringLiteral("Confirmação");
    case MessageDialog::Error:
        return QStringLiteral("Erro");
    case MessageDialog::Information:
        break;
    }
    return QStringLiteral("Informação");
}

} // namespace

MessageDialog::MessageDialog(const MensagemCall& call, QWidget* parent)
    : StyledDialog(parent), kind_(kindOf(call.kind)) {
    setObjectName(QStringLiteral("messageDialog"));
    const QColor accent = kind_ == Error ? style::error() : style::accent();
    setBorderColor(accent);
    const QString caption = call.caption.trimmed().isEmpty() ? defaultCaption(kind_) : call.caption;
    setWindowTitle(caption);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 20, 28, 24);
    layout->setSpacing(18);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(style::label(caption, QStringLiteral("caption"), 22, accent, this));

    auto* body = new QHBoxLayout;
    body->setSpacing(18);
    if (kind_ == Error) {
        auto* sign = new ErrorSign(this);
        sign->setObjectName(QStringLiteral("errorSign"));
        body->addWidget(sign, 0, Qt::AlignTop);
    }
    QLabel* text = style::label(call.text, QStringLiteral("text"), 20, style::ink(), this);
    text->setTextFormat(Qt::PlainText); // a message may hold '<' and '&'
    text->setWordWrap(true);
    text->setFixedWidth(kind_ == Error ? 480 : 540);
    body->addWidget(text, 1);
    layout->addLayout(body);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(16);
    buttons->addStretch();
    auto add = [&](const QString& caption_, const QString& name, const QColor& face) {
        TBlendedBitBtn* b = style::button(caption_, name, face, this, 22);
        b->setFixedSize(150, 64);
        buttons->addWidget(b);
        return b;
    };
    if (kind_ == Question) {
        TBlendedBitBtn* yes = add(QStringLiteral("Sim"), QStringLiteral("yes"), style::confirm());
        TBlendedBitBtn* no = add(QStringLiteral("Não"), QStringLiteral("no"), style::accent());
        connect(yes, &QPushButton::clicked, this, &QDialog::accept);
        connect(no, &QPushButton::clicked, this, &QDialog::reject);
        const bool yesByDefault = call.defaultAnswer.trimmed().compare(u"S", Qt::CaseInsensitive) == 0;
        default_ = yesByDefault ? yes : no;
    } else {
        default_ = add(QStringLiteral("OK"), QStringLiteral("ok"),
                       kind_ == Error ? style::error() : style::confirm());
        connect(default_, &QPushButton::clicked, this, &QDialog::accept);
    }
    default_->setDefault(true);
    buttons->addStretch();
    layout->addLayout(buttons);
}

bool MessageDialog::answer() const {
    return kind_ != Question || result() == QDialog::Accepted;
}

void MessageDialog::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        default_->click();
        return;
    case Qt::Key_S:
        if (kind_ == Question) {
            accept();
            return;
        }
        break;
    case Qt::Key_N:
        if (kind_ == Question) {
            reject();
            return;
        }
        break;
    default:
        break;
    }
    StyledDialog::keyPressEvent(event); // Escape rejects
}

} // namespace platform::ui
