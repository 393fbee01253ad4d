#include "gui/archive/ThumbnailSource.h"

#include "gui/base/QtText.h"

#include <QCoreApplication>
#include <cstring>

namespace vantrel {

namespace {

constexpr int kCacheKilobytes = 64 * 1024;  // 64 MB of pictures

}  // namespace

ThumbnailSource::ThumbnailSource(QObject* parent) : QObject(parent), made_(kCacheKilobytes)
{
    maker_ = std::make_unique<ThumbnailMaker>([this](const std::string& path, Picture picture) {
        // Handed to the window's thread; dropped there if this is gone by then.
        QMetaObject::invokeMethod(
            this, [this, path, picture = std::move(picture)]() mutable { Take(path, std::move(picture)); },
            Qt::QueuedConnection);
    });
}

ThumbnailSource::~ThumbnailSource()
{
    maker_.reset();  // the workers end before what they hand back to is gone
}

QImage ThumbnailSource::ToImage(const Picture& picture)
{
    if (picture.Empty()) return {};
    QImage image(picture.Width(), picture.Height(), QImage::Format_RGB32);
    for (int y = 0; y < picture.Height(); ++y)
        std::memcpy(image.scanLine(y), picture.Line(y), static_cast<std::size_t>(picture.Width()) * sizeof(Rgb));
    return image;
}

bool ThumbnailSource::Has(const std::string& path, std::int64_t stamp) const
{
    const Made* made = made_.object(FromPath(path));
    return made && made->Stamp == stamp;
}

QImage ThumbnailSource::Thumbnail(const std::string& path, std::int64_t stamp)
{
    if (const Made* made = made_.object(FromPath(path)); made && made->Stamp == stamp) return made->Image;
    const auto asked = asked_.find(path);
    if (asked == asked_.end() || asked->second != stamp) {
        asked_[path] = stamp;
        maker_->Request(path);
    }
    return {};
}

void ThumbnailSource::Take(const std::string& path, Picture picture)
{
    const auto asked = asked_.find(path);
    if (asked == asked_.end()) return;  // dropped meanwhile
    auto* made = new Made{asked->second, ToImage(picture)};
    asked_.erase(asked);
    const int kilobytes = 1 + static_cast<int>(made->Image.sizeInBytes() / 1024);
    made_.insert(FromPath(path), made, kilobytes);
    emit ready(FromPath(path));
}

void ThumbnailSource::DropPending()
{
    maker_->DropPending();
    asked_.clear();
}

void ThumbnailSource::WaitForAll()
{
    maker_->Wait();
    QCoreApplication::sendPostedEvents(this);
}

}  // namespace vantrel
