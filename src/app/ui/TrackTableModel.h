// The list on screen: a table model over the session's rows. It keeps no copy of the rows;
// texts are decoded from CP932 only for the cells the view asks for.
#pragma once

#include <QAbstractTableModel>

#include "app/commands/RowList.h"

namespace wvr {

class TrackTableModel : public QAbstractTableModel, public RowListObserver {
    Q_OBJECT
public:
    explicit TrackTableModel(RowList& rows, QObject* parent = nullptr);
    ~TrackTableModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Column 0 may be edited in place only while this is on.
    void SetFileNameEditable(bool editable) { fileNameEditable_ = editable; }

    // The caption of list column n.
    static QString ColumnCaption(int column);

signals:
    // A row's check mark was flipped by the user in the list.
    void CheckToggled(int row);
    // In-place editing of column 0 ended with a new text (not yet stored).
    void FileNameEdited(int row, const QString& text);

private:
    void RowsAboutToBeInserted(int first, int count) override;
    void RowsInserted() override;
    void RowsAboutToBeRemoved(int first, int count) override;
    void RowsRemoved() override;
    void RowsChanged(int first, int last) override;
    void AboutToReset() override;
    void Reset() override;
    void AboutToReorder() override;
    void Reordered(const std::vector<int>& order) override;

    RowList& rows_;
    bool fileNameEditable_ = false;
};

}  // namespace wvr
