// The index as the Files Archive page shows it: the levels that match the
// search, one row a level and one column a field (archive/ArchiveSearch.h),
// sorted by any column; and beside it, for the grid, the same rows as
// thumbnails with their number and title.
#pragma once

#include "archive/ArchiveSearch.h"
#include "archive/LevelIndex.h"

#include <QAbstractTableModel>
#include <QIdentityProxyModel>

#include <string>
#include <unordered_map>
#include <vector>

namespace vantrel {

class ThumbnailSource;

class ArchiveModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ArchiveModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // A new index; the query and the order stay.
    void SetIndex(std::vector<IndexEntry> entries);
    void SetQuery(const ArchiveQuery& query);
    const std::vector<IndexEntry>& Entries() const { return entries_; }
    // The entry shown in row.
    const IndexEntry* EntryAt(int row) const;
    // The row that shows path, or -1.
    int RowOf(const std::string& path) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    void Refill();

    std::vector<IndexEntry> entries_;
    ArchiveQuery query_;
    std::vector<std::size_t> shown_;  // into entries_, in the order shown
    std::unordered_map<std::string, int> rows_;
    ArchiveColumn sortColumn_ = ArchiveColumn::Path;
    bool descending_ = false;
};

// The rows as the grid shows them: the title column with the level's
// thumbnail and "number title" under it.
class ThumbnailGridModel : public QIdentityProxyModel {
    Q_OBJECT
public:
    ThumbnailGridModel(ArchiveModel& source, ThumbnailSource& thumbnails, QObject* parent = nullptr);
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    void ThumbnailReady(const QString& path);

    ArchiveModel& source_;
    ThumbnailSource& thumbnails_;
};

}  // namespace vantrel
