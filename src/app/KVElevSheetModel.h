#pragma once
// The elevation table as a Qt table model: the sheet's texts, with the header column and row
// numbered from 1. The view asks only for the cells it shows, so a sheet as large as the whole
// topo grid costs no widget per cell.

#include "mapview/ElevationSheet.h"

#include <QAbstractTableModel>

namespace kv {

class TElevSheetModel : public QAbstractTableModel {
    Q_OBJECT

public:
    TElevSheetModel(TElevationSheet& sheet, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // After the sheet changed behind the model's back (filled, cleared, pasted, loaded).
    void SheetReplaced();

signals:
    // After the user changed one cell's text.
    void CellEdited(int col, int row);

private:
    TElevationSheet& Sheet_;
};

} // namespace kv
