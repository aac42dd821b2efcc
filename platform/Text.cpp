#include "Text.h"

#include "Errors.h"

namespace platform {

QString Ajusta(const QString& number, int width) {
    const QString digits = number.trimmed();
    bool ok = false;
    const qulonglong value = digits.toULongLong(&ok);
    if (!ok || digits.startsWith(u'+'))
        throw Error(
            QStringLiteral("Número inválido para código de %1 posições: \"%2\".").arg(width).arg(number));
    const QString text = QString::number(value);
    if (text.size() > width)
        throw Error(QStringLiteral("O número %1 não cabe em %2 posições.").arg(text).arg(width));
    return text.rightJustified(width, u'0');
}

bool EmptyString(const QString& text) {
    return text.trimmed().isEmpty();
}

} // namespace platform
