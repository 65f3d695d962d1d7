#pragma once
// Which part of the console picture the window shows.  Only the user moves it
// (scroll bars and scrolling keys): the view never follows the cursor.

namespace dialogue_window {

enum class scroll_key { left, right, up, down, page_up, page_down, home, end };

struct view_offset {
    int x = 0;
    int y = 0;
    friend bool operator==(const view_offset&, const view_offset&) = default;
};

class console_viewport {
public:
    console_viewport(int cell_width, int cell_height) noexcept;

    // The picture and the visible part, in pixels; the offset is kept in range.
    void set_sizes(int picture_width, int picture_height, int view_width, int view_height) noexcept;
    view_offset offset() const noexcept { return offset_; }
    int max_x() const noexcept;
    int max_y() const noexcept;
    void scroll_to(view_offset wanted) noexcept;

    // Arrows move one cell, Page Up and Page Down one view height (with
    // Control one view width to the left or right), Home and End go to the left
    // or right edge (with Control to the top-left or bottom-right corner).
    // Returns whether the offset changed.
    bool apply_key(scroll_key key, bool control) noexcept;

private:
    int cell_width_;
    int cell_height_;
    int picture_width_ = 0;
    int picture_height_ = 0;
    int view_width_ = 0;
    int view_height_ = 0;
    view_offset offset_;
};

}  // namespace dialogue_window
