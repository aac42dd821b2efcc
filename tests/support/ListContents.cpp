#include "ListContents.h"

#include <gtest/gtest.h>

namespace testsupport {

QList<int> itemRows(const platform::Dataset& list, const QString& tab, const QString& item) {
    const int tabField = list.hasField(QStringLiteral("NRCOMANDAORIG"))
                             ? list.fieldIndex(QStringLiteral("NRCOMANDAORIG"))
                             : list.fieldIndex(QStringLiteral("NRCOMANDA"));
    const int itemField = list.fieldIndex(QStringLiteral("NRPRODCOMVEN"));
    QList<int> rows;
    for (int row = 0; row < list.recordCount(); ++row)
        if (list.valueAt(row, tabField).toString() == tab && list.valueAt(row, itemField).toString() == item)
            rows << row;
    return rows;
}

QString textAt(const platform::Dataset& list, int row, const QString& field) {
    const QVariant v = list.valueAt(row, list.fieldIndex(field));
    return v.typeId() == QMetaType::Double ? QString::number(v.toDouble(), 'g', 15) : v.toString();
}

double quantityAt(const platform::Dataset& list, int row) {
    return list.valueAt(row, list.fieldIndex(QStringLiteral("QTPRODCOMVEN"))).toDouble();
}

void selectItem(platform::Dataset& list, const QString& tab, const QString& item) {
    const QList<int> rows = itemRows(list, tab, item);
    ASSERT_EQ(rows.size(), 1) << list.name().toStdString() << " holds item " << tab.toStdString() << "/"
                              << item.toStdString() << " " << rows.size() << " times";
    list.setRecNo(rows.first());
}

QStringList listContents(const platform::Dataset& list) {
    const QString tab = list.hasField(QStringLiteral("NRCOMANDAORIG")) ? QStringLiteral("NRCOMANDAORIG")
                                                                       : QStringLiteral("NRCOMANDA");
    QStringList out;
    for (int r = 0; r < list.recordCount(); ++r)
        out << textAt(list, r, tab) + u'/' + textAt(list, r, QStringLiteral("NRPRODCOMVEN")) + u'=' +
                   textAt(list, r, QStringLiteral("QTPRODCOMVEN")) + u'@' +
                   textAt(list, r, QStringLiteral("NRLUGARMESA"));
    out.sort();
    return out;
}

QVariantMap columns(std::initializer_list<std::pair<const char*, QVariant>> values) {
    QVariantMap m;
    for (const auto& [name, value] : values)
        m.insert(QString::fromLatin1(name), value);
    return m;
}

} // namespace testsupport
