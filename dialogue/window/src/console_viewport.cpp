#include "dialogue_window/console_viewport.hpp"

#include <algorithm>

namespace dialogue_window {

console_viewport::console_viewport(int cell_width, int cell_height) noexcept
    : cell_width_(cell_width), cell_height_(cell_height)
{
}

void console_viewport::set_sizes(int picture_width, int picture_height, int view_width, int view_height) noexcept
{
    picture_width_ = std::max(picture_width, 0);
    picture_height_ = std::max(picture_height, 0);
    view_width_ = std::max(view_width, 0);
    view_height_ = std::max(view_height, 0);
    scroll_to(offset_);
}

int console_viewport::max_x() const noexcept
{
    return std::max(picture_width_ - view_width_, 0);
}

int console_viewport::max_y() const noexcept
{
    return std::max(picture_height_ - view_height_, 0);
}

void console_viewport::scroll_to(view_offset wanted) noexcept
{
    offset_.x = std::clamp(wanted.x, 0, max_x());
    offset_.y = std::clamp(wanted.y, 0, max_y());
}

bool console_viewport::apply_key(scroll_key key, bool control) noexcept
{
    const auto before = offset_;
    auto wanted = offset_;
    switch (key) {
    case scroll_key::left: wanted.x -= cell_width_; break;
    case scroll_key::right: wanted.x += cell_width_; break;
    case scroll_key::up: wanted.y -= cell_height_; break;
    case scroll_key::down: wanted.y += cell_height_; break;
    case scroll_key::page_up:
        if (control)
            wanted.x -= view_width_;
        else
            wanted.y -= view_height_;
        break;
    case scroll_key::page_down:
        if (control)
            wanted.x += view_width_;
        else
            wanted.y += view_height_;
        break;
    case scroll_key::home:
        wanted.x = 0;
        if (control)
            wanted.y = 0;
        break;
    case scroll_key::end:
        wanted.x = max_x();
        if (control)
            wanted.y = max_y();
        break;
    }
    scroll_to(wanted);
    return offset_ != before;
}

}  // namespace dialogue_window
