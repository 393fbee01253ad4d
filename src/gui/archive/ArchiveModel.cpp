#include "gui/archive/ArchiveModel.h"

#include "base/Text.h"
#include "gui/archive/ThumbnailSource.h"
#include "gui/base/QtText.h"

#include <QColor>
#include <QPixmap>

#include <algorithm>

namespace vantrel {

namespace {

constexpr const char* kCaptions[] = {"Levelset", "No.",      "Title", "Author",   "Size",     "Layout",
                                     "Version",  "Time",     "Emeralds", "CEs", "Findings", "Path"};
static_assert(std::size(kCaptions) == static_cast<std::size_t>(ArchiveColumn::Count));

std::size_t FindingCount(const IndexEntry& e)
{
    return static_cast<std::size_t>(
        std::count_if(e.Findings.begin(), e.Findings.end(), [](const IndexedFinding& f) { return !f.Note; }));
}

QString Cell(const IndexEntry& e, ArchiveColumn column)
{
    switch (column) {
    case ArchiveColumn::Levelset: return FromBytes(e.Levelset);  // a levelinfo.conf's name, or the folder's
    case ArchiveColumn::Number: return e.Number >= 0 ? QString::number(e.Number) : QString();
    case ArchiveColumn::Path: return FromPath(e.Path);
    default: break;
    }
    if (!e.IsLevel()) {
        if (column == ArchiveColumn::Title) return QString::fromLatin1(StateName(e.State));
        if (column == ArchiveColumn::Findings) return FromBytes(e.Problem);  // our words, with a UTF-8 path
        if (column == ArchiveColumn::Layout) return QString::fromLatin1(LayoutName(e.Layout));
        if (column == ArchiveColumn::Version) return FromLatin1(e.Version);
        return {};
    }
    switch (column) {
    case ArchiveColumn::Title: return FromLatin1(e.Title);
    case ArchiveColumn::Author: return FromLatin1(e.Author);
    case ArchiveColumn::Size: return QStringLiteral("%1x%2").arg(e.Width).arg(e.Height);
    case ArchiveColumn::Layout: return QString::fromLatin1(LayoutName(e.Layout));
    case ArchiveColumn::Version: return FromLatin1(e.Version);
    case ArchiveColumn::Time: return QString::number(e.Time);
    case ArchiveColumn::Emeralds: return QString::number(e.Emeralds);
    case ArchiveColumn::Ces: return QString::number(e.Ces.size());
    case ArchiveColumn::Findings: {
        const std::size_t n = FindingCount(e);
        return n == 0 ? QStringLiteral("clean") : QString::number(n);
    }
    default: return {};
    }
}

// What the hint of a row says: the path, and what is wrong with the file.
QString Hint(const IndexEntry& e)
{
    QString hint = FromPath(e.Path);
    if (!e.IsLevel()) return hint + QLatin1Char('\n') + QString::fromLatin1(StateName(e.State)) + QStringLiteral(": ") +
                              FromBytes(e.Problem);
    for (const IndexedFinding& f : e.Findings)
        hint += QStringLiteral("\n%1: %2%3").arg(f.Offset).arg(f.Note ? QStringLiteral("note: ") : QString(), FromLatin1(f.Text));
    return hint;
}

}  // namespace

void ArchiveModel::SetIndex(std::vector<IndexEntry> entries)
{
    entries_ = std::move(entries);
    Refill();
}

void ArchiveModel::SetQuery(const ArchiveQuery& query)
{
    query_ = query;
    Refill();
}

void ArchiveModel::Refill()
{
    beginResetModel();
    shown_ = Search(entries_, query_);
    SortResults(shown_, entries_, sortColumn_, descending_);
    rows_.clear();
    for (std::size_t r = 0; r < shown_.size(); ++r) rows_.emplace(entries_[shown_[r]].Path, static_cast<int>(r));
    endResetModel();
}

const IndexEntry* ArchiveModel::EntryAt(int row) const
{
    return row >= 0 && static_cast<std::size_t>(row) < shown_.size() ? &entries_[shown_[static_cast<std::size_t>(row)]]
                                                                      : nullptr;
}

int ArchiveModel::RowOf(const std::string& path) const
{
    const auto it = rows_.find(path);
    return it == rows_.end() ? -1 : it->second;
}

int ArchiveModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int ArchiveModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(ArchiveColumn::Count);
}

QVariant ArchiveModel::data(const QModelIndex& index, int role) const
{
    const IndexEntry* e = EntryAt(index.row());
    if (!e) return {};
    const auto column = static_cast<ArchiveColumn>(index.column());
    switch (role) {
    case Qt::DisplayRole: return Cell(*e, column);
    case Qt::ToolTipRole: return Hint(*e);
    case Qt::ForegroundRole:
        if (!e->IsLevel() || (column == ArchiveColumn::Findings && !e->Clean)) return QColor(Qt::darkRed);
        return {};
    case Qt::TextAlignmentRole:
        switch (column) {
        case ArchiveColumn::Number:
        case ArchiveColumn::Time:
        case ArchiveColumn::Emeralds:
        case ArchiveColumn::Ces: return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        default: return {};
        }
    default: return {};
    }
}

QVariant ArchiveModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= static_cast<int>(ArchiveColumn::Count))
        return {};
    return tr(kCaptions[section]);
}

void ArchiveModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= static_cast<int>(ArchiveColumn::Count)) return;
    sortColumn_ = static_cast<ArchiveColumn>(column);
    descending_ = order == Qt::DescendingOrder;
    emit layoutAboutToBeChanged();
    SortResults(shown_, entries_, sortColumn_, descending_);
    rows_.clear();
    for (std::size_t r = 0; r < shown_.size(); ++r) rows_.emplace(entries_[shown_[r]].Path, static_cast<int>(r));
    // No index is kept across the change: the views take it as a new layout.
    const QModelIndexList persistent = persistentIndexList();
    changePersistentIndexList(persistent, QModelIndexList(persistent.size()));
    emit layoutChanged();
}

ThumbnailGridModel::ThumbnailGridModel(ArchiveModel& source, ThumbnailSource& thumbnails, QObject* parent)
    : QIdentityProxyModel(parent), source_(source), thumbnails_(thumbnails)
{
    setSourceModel(&source);
    connect(&thumbnails_, &ThumbnailSource::ready, this, &ThumbnailGridModel::ThumbnailReady);
}

QVariant ThumbnailGridModel::data(const QModelIndex& index, int role) const
{
    const IndexEntry* e = source_.EntryAt(index.row());
    if (!e || index.column() != static_cast<int>(ArchiveColumn::Title)) return QIdentityProxyModel::data(index, role);
    if (role == Qt::DisplayRole) {
        const QString title = e->IsLevel() ? FromLatin1(e->Title) : QString::fromLatin1(StateName(e->State));
        return e->Number >= 0 ? QStringLiteral("%1 %2").arg(FromLatin1(ZeroPadInt(e->Number, 3)), title) : title;
    }
    if (role == Qt::DecorationRole) {
        // Every item takes a thumbnail's room, also while its picture is made.
        const QImage image = e->IsLevel() ? thumbnails_.Thumbnail(e->Path, e->ModTime) : QImage();
        if (image.isNull()) {
            static const QPixmap room = [] {
                QPixmap empty(kThumbnailBox, kThumbnailBox);
                empty.fill(Qt::transparent);
                return empty;
            }();
            return room;
        }
        return QPixmap::fromImage(image);
    }
    return QIdentityProxyModel::data(index, role);
}

void ThumbnailGridModel::ThumbnailReady(const QString& path)
{
    const int row = source_.RowOf(ToPath(path));
    if (row < 0) return;
    const QModelIndex at = index(row, static_cast<int>(ArchiveColumn::Title));
    emit dataChanged(at, at, {Qt::DecorationRole});
}

}  // namespace vantrel
