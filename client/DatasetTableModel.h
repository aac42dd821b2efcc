#pragma once

#include "platform/Dataset.h"

#include <QAbstractTableModel>
#include <QPointer>

namespace Cli_Mvt04215 {

// One grid column: the dataset field it shows, its title and its width in pixels.
struct GridColumn {
    QString field;
    QString title;
    int width = 0;
};

// Shows a dataset's visible records in a grid through the dataset's own display texts. A dataset that
// goes before its grid leaves the grid empty: a grid being hidden still asks for its rows.
class DatasetTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    DatasetTableModel(platform::Dataset& dataset, QList<GridColumn> columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    const QList<GridColumn>& columns() const { return columns_; }
    bool hasDataset() const { return !dataset_.isNull(); }
    platform::Dataset& dataset() { return *dataset_; }

private:
    QPointer<platform::Dataset> dataset_;
    QList<GridColumn> columns_;
};

} // namespace Cli_Mvt04215
