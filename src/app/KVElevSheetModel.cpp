#include "app/KVElevSheetModel.h"

namespace kv {

TElevSheetModel::TElevSheetModel(TElevationSheet& sheet, QObject* parent) : QAbstractTableModel(parent), Sheet_(sheet)
{
}

int TElevSheetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : SheetRows;
}

int TElevSheetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : SheetCols;
}

QVariant TElevSheetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return QString::fromStdString(Sheet_.CellText(index.column(), index.row()));
}

bool TElevSheetModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    Sheet_.SetCellText(index.column(), index.row(), value.toString().toStdString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    emit CellEdited(index.column(), index.row());
    return true;
}

QVariant TElevSheetModel::headerData(int section, Qt::Orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    return section + 1;
}

Qt::ItemFlags TElevSheetModel::flags(const QModelIndex& index) const
{
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

void TElevSheetModel::SheetReplaced()
{
    beginResetModel();
    endResetModel();
}

} // namespace kv
