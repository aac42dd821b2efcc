#include "DatasetGrid.h"

#include "platform/ui/EventGuard.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace Cli_Mvt04215 {

DatasetGrid::DatasetGrid(platform::Dataset& dataset, QList<GridColumn> columns, QWidget* parent)
    : QTableView(parent), model_(dataset, std::move(columns)) {
    setModel(&model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setShowGrid(true);
    setTabKeyNavigation(false);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(22);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    for (int i = 0; i < model_.columns().size(); ++i)
        if (model_.columns()[i].width > 0)
            setColumnWidth(i, model_.columns()[i].width);
    horizontalHeader()->setStretchLastSection(true);

    connect(&dataset, &platform::Dataset::currentChanged, this, &DatasetGrid::showCurrent);
    connect(&model_, &QAbstractItemModel::modelReset, this,
            [this] { showCurrent(model_.hasDataset() ? model_.dataset().recNo() : -1); });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) {
                if (following_ || !current.isValid() || !model_.hasDataset())
                    return;
                platform::ui::guarded([&] {
                    platform::Dataset& ds = model_.dataset();
                    if (ds.active() && ds.state() == platform::Dataset::State::Browse &&
                        ds.recNo() != current.row())
                        ds.setRecNo(current.row());
                });
            });
}

void DatasetGrid::showCurrent(int row) {
    following_ = true;
    if (row >= 0 && row < model_.rowCount()) {
        const int column = currentIndex().isValid() ? currentIndex().column() : 0;
        const QModelIndex index = model_.index(row, column);
        selectionModel()->setCurrentIndex(index,
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(index);
    } else {
        selectionModel()->clearSelection();
    }
    following_ = false;
}

void DatasetGrid::focusColumn(const QString& field) {
    setFocus(Qt::OtherFocusReason);
    for (int i = 0; i < model_.columns().size(); ++i) {
        if (model_.columns()[i].field == field) {
            const int row = model_.dataset().recNo();
            if (row >= 0) {
                following_ = true;
                selectionModel()->setCurrentIndex(model_.index(row, i), QItemSelectionModel::ClearAndSelect |
                                                                            QItemSelectionModel::Rows);
                following_ = false;
            }
            return;
        }
    }
}

void DatasetGrid::keyPressEvent(QKeyEvent* event) {
    if (keyDown_) {
        int key = event->key();
        platform::ui::guarded([&] { keyDown_(key, event->modifiers()); });
        if (key == 0) {
            event->accept();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

} // namespace Cli_Mvt04215
