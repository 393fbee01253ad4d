// Thumbnails of level files for the window: made off the window's thread on
// every core (archive/Thumbnails.h), kept in memory (at most kCacheBytes of
// pictures, the least recently used dropped first) and handed back to the
// window's thread, which hears of each through ready().
#pragma once

#include "archive/Thumbnails.h"

#include <QCache>
#include <QImage>
#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

namespace vantrel {

class ThumbnailSource : public QObject {
    Q_OBJECT
public:
    explicit ThumbnailSource(QObject* parent = nullptr);
    ~ThumbnailSource() override;

    // The thumbnail of the level file at path as it was when stamp (its time
    // of change, or any number that changes with the file) was taken. A null
    // image while it is being made (it is asked for once) and for a file
    // that has no picture (no level, no map).
    QImage Thumbnail(const std::string& path, std::int64_t stamp);
    // Whether the thumbnail is made (also when the file has no picture).
    bool Has(const std::string& path, std::int64_t stamp) const;
    // Drops the requests not begun (what was asked for is no longer shown).
    void DropPending();
    // Waits until every request is done and its picture taken in (tests, start-up).
    void WaitForAll();

    static QImage ToImage(const Picture& picture);

signals:
    void ready(const QString& path);

private:
    struct Made {
        std::int64_t Stamp = 0;
        QImage Image;  // null: no picture
    };
    void Take(const std::string& path, Picture picture);

    std::unique_ptr<ThumbnailMaker> maker_;
    QCache<QString, Made> made_;
    std::unordered_map<std::string, std::int64_t> asked_;  // path: the stamp asked for
};

}  // namespace vantrel
