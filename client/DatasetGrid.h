#pragma once

#include "DatasetTableModel.h"

#include <QTableView>
#include <functional>

namespace Cli_Mvt04215 {

// A read-only grid that follows its dataset's cursor both ways: the selected row is the dataset's
// current record, and selecting a row moves the dataset's cursor.
class DatasetGrid : public QTableView {
    Q_OBJECT
public:
    // Sees every key before the grid does; clearing the key (setting it to 0) swallows it.
    using KeyDown = std::function<void(int& key, Qt::KeyboardModifiers modifiers)>;

    DatasetGrid(platform::Dataset& dataset, QList<GridColumn> columns, QWidget* parent = nullptr);

    void setKeyDown(KeyDown handler) { keyDown_ = std::move(handler); }
    platform::Dataset& dataset() { return model_.dataset(); }
    // Puts the keyboard focus on the grid at the given column of the current record.
    void focusColumn(const QString& field);

    // Letters are the screen's commands (A, D, E, R); a grid that jumped to a matching row on them would
    // make the next command act on an item nobody chose.
    void keyboardSearch(const QString&) override {}

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showCurrent(int row);

    DatasetTableModel model_;
    KeyDown keyDown_;
    bool following_ = false;
};

} // namespace Cli_Mvt04215
