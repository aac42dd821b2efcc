#include "DatasetTableModel.h"

namespace Cli_Mvt04215 {

DatasetTableModel::DatasetTableModel(platform::Dataset& dataset, QList<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), dataset_(&dataset), columns_(std::move(columns)) {
    // Lists are small (one table's items); a reset per change keeps the grid exactly the dataset.
    auto reset = [this] {
        beginResetModel();
        endResetModel();
    };
    connect(&dataset, &platform::Dataset::structureChanged, this, reset);
    connect(&dataset, &platform::Dataset::recordsChanged, this, reset);
    connect(&dataset, &QObject::destroyed, this, reset);
}

int DatasetTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !dataset_ || !dataset_->active() ? 0 : dataset_->recordCount();
}

int DatasetTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant DatasetTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const int field = dataset_->fieldIndex(columns_[index.column()].field);
    if (field < 0)
        return {};
    if (role == Qt::DisplayRole)
        return dataset_->displayTextAt(index.row(), field);
    if (role == Qt::TextAlignmentRole) {
        const platform::FieldType type = dataset_->fields()[field].type;
        const bool number = type == platform::FieldType::Float || type == platform::FieldType::Integer;
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    return {};
}

QVariant DatasetTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < columns_.size())
        return columns_[section].title;
    return {};
}

Qt::ItemFlags DatasetTableModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace Cli_Mvt04215
