#include "dialogue/input_line.hpp"

namespace dialogue {

void input_line::reset() noexcept
{
    chars_.fill(' ');
    length_ = 0;
}

bool input_line::append(char c) noexcept
{
    if (full())
        return false;
    chars_[static_cast<std::size_t>(length_++)] = c;
    return true;
}

input_line::tab_result input_line::append_tab() noexcept
{
    tab_result result{0, false};
    while (result.blanks_appended < tab_width) {
        if (length_ >= tab_room) {
            result.refused = true;
            break;
        }
        chars_[static_cast<std::size_t>(length_++)] = ' ';
        ++result.blanks_appended;
    }
    return result;
}

bool input_line::remove_last() noexcept
{
    if (length_ == 0)
        return false;
    chars_[static_cast<std::size_t>(--length_)] = ' ';
    return true;
}

}  // namespace dialogue
