#pragma once
// The line a read waits for: at most 128 characters, Backspace the only
// editing key, Tab expanded to blanks.  The window and the terminal both edit
// their typed lines with it; echo and beeps are theirs.

#include <array>
#include <string_view>

namespace dialogue {

class input_line {
public:
    static constexpr int capacity = 128;
    static constexpr int tab_width = 8;
    // Tab only adds blanks while the line holds fewer than this many characters.
    static constexpr int tab_room = 126;

    input_line() { reset(); }

    // A new request for a line: 128 blanks, length 0.
    void reset() noexcept;
    // Appends one character; false (a beep) when the line is full.
    bool append(char c) noexcept;
    struct tab_result {
        int blanks_appended;
        bool refused;  // a blank could not be appended: beep
    };
    // Appends up to tab_width blanks, one at a time, while there is room.
    tab_result append_tab() noexcept;
    // Removes the last character; false when the line is empty.
    bool remove_last() noexcept;

    int length() const noexcept { return length_; }
    bool full() const noexcept { return length_ >= capacity; }
    std::string_view text() const noexcept { return {chars_.data(), static_cast<std::size_t>(length_)}; }

private:
    std::array<char, capacity> chars_{};
    int length_ = 0;
};

}  // namespace dialogue
