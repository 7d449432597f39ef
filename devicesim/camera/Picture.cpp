#include "camera/Picture.h"

namespace sim {

std::shared_ptr<Picture> PicturePool::acquire()
{
    std::unique_ptr<Picture> picture;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!free_.empty()) {
            picture = std::move(free_.back());
            free_.pop_back();
        }
    }
    if (!picture)
        picture.reset(new Picture);
    auto self = shared_from_this();
    return std::shared_ptr<Picture>(picture.release(), [self](Picture *p) { self->release(p); });
}

void PicturePool::release(Picture *picture)
{
    std::unique_ptr<Picture> owned(picture);
    std::lock_guard<std::mutex> lock(mutex_);
    if (free_.size() < keep_)
        free_.push_back(std::move(owned));
}

}  // namespace sim
