#include "app/ui/TrackTableModel.h"

#include "app/commands/ColumnNames.h"
#include "app/ui/Text.h"

namespace wvr {

TrackTableModel::TrackTableModel(RowList& rows, QObject* parent) : QAbstractTableModel(parent), rows_(rows) {
    rows_.SetObserver(this);
}

TrackTableModel::~TrackTableModel() {
    if (rows_.observer() == this) rows_.SetObserver(nullptr);
}

QString TrackTableModel::ColumnCaption(int column) { return QString::fromUtf8(ColumnName(column)); }

int TrackTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_.size(); }

int TrackTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant TrackTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_.size()) return {};
    const TrackInfo& row = rows_[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return FromSjis(row.Column(index.column()));
    case Qt::CheckStateRole:
        if (index.column() == 0) return row.Checked ? Qt::Checked : Qt::Unchecked;
        return {};
    default: return {};
    }
}

bool TrackTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != 0) return false;
    if (role == Qt::CheckStateRole) {
        rows_.Edit(index.row(), [&](TrackInfo& r) { r.Checked = value.toInt() == Qt::Checked; });
        emit CheckToggled(index.row());
        return true;
    }
    if (role == Qt::EditRole) {
        emit FileNameEdited(index.row(), value.toString());
        return true;
    }
    return false;
}

QVariant TrackTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kColumnCount)
        return ColumnCaption(section);
    return {};
}

Qt::ItemFlags TrackTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == 0) {
        f |= Qt::ItemIsUserCheckable;
        if (fileNameEditable_) f |= Qt::ItemIsEditable;
    }
    return f;
}

void TrackTableModel::RowsAboutToBeInserted(int first, int count) { beginInsertRows({}, first, first + count - 1); }
void TrackTableModel::RowsInserted() { endInsertRows(); }
void TrackTableModel::RowsAboutToBeRemoved(int first, int count) { beginRemoveRows({}, first, first + count - 1); }
void TrackTableModel::RowsRemoved() { endRemoveRows(); }
void TrackTableModel::RowsChanged(int first, int last) {
    emit dataChanged(index(first, 0), index(last, kColumnCount - 1));
}
void TrackTableModel::AboutToReset() { beginResetModel(); }
void TrackTableModel::Reset() { endResetModel(); }
void TrackTableModel::AboutToReorder() { emit layoutAboutToBeChanged(); }

void TrackTableModel::Reordered(const std::vector<int>& order) {
    // Persistent indexes (focus, selection) follow their rows to the new places.
    std::vector<int> newPlace(order.size());
    for (size_t k = 0; k < order.size(); ++k) newPlace[order[k]] = static_cast<int>(k);
    const QModelIndexList old = persistentIndexList();
    QModelIndexList moved;
    moved.reserve(old.size());
    for (const QModelIndex& i : old) moved.append(index(newPlace[i.row()], i.column()));
    changePersistentIndexList(old, moved);
    emit layoutChanged();
}

}  // namespace wvr
