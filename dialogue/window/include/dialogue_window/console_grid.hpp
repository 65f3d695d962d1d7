#pragma once
// The text grid of the console window, without any toolkit: the cursor, the
// wrap and scroll rules of write_console_text, the background colour of every
// drawn cell and the text segments the Copy command reads.  The pixels are
// drawn by a grid_painter, so the same rules serve the window and the tests.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dialogue_window {

// A colour as the window operations take it: bit 31 set means an RGB value in
// bits 0..23 (red in the low byte), bit 31 clear an index into the palette.
using colour_value = std::uint32_t;
inline constexpr colour_value rgb_flag = 0x8000'0000u;
inline constexpr int palette_size = 16;
inline constexpr colour_value white_index = 15;
inline constexpr colour_value black_index = 0;

// RGB (red in the low byte) of a palette index 0..15; out-of-range indices wrap.
std::uint32_t palette_rgb(colour_value index) noexcept;
// RGB of a colour value, RGB values as stored and indices through the palette.
std::uint32_t colour_rgb(colour_value colour) noexcept;

inline constexpr int rgb_red(std::uint32_t rgb) noexcept { return static_cast<int>(rgb & 0xFFu); }
inline constexpr int rgb_green(std::uint32_t rgb) noexcept { return static_cast<int>((rgb >> 8) & 0xFFu); }
inline constexpr int rgb_blue(std::uint32_t rgb) noexcept { return static_cast<int>((rgb >> 16) & 0xFFu); }

// Row and column, both counted from 1.
struct cell_position {
    int row = 1;
    int column = 1;
    friend bool operator==(const cell_position&, const cell_position&) = default;
};

// One run of text as drawn, kept for Copy.
struct text_segment {
    int row = 1;
    int first_column = 1;
    std::string characters;
    int last_column() const noexcept { return first_column + static_cast<int>(characters.size()) - 1; }
};

// Where the grid's drawing goes.  Colours are RGB with red in the low byte.
class grid_painter {
public:
    virtual ~grid_painter() = default;
    // Draws the characters in one piece from the cell `at` rightwards.
    virtual void draw_run(cell_position at, std::string_view characters, std::uint32_t text_rgb,
                          std::uint32_t background_rgb) = 0;
    // Moves every row up by one, losing the top row; the bottom row gets the colour.
    virtual void scroll_up(std::uint32_t background_rgb) = 0;
    // Fills the whole picture with the colour.
    virtual void fill(std::uint32_t background_rgb) = 0;
};

class console_grid {
public:
    console_grid(int columns, int rows);
    console_grid(const console_grid&) = delete;
    console_grid& operator=(const console_grid&) = delete;

    int columns() const noexcept { return columns_; }
    int rows() const noexcept { return rows_; }
    cell_position cursor() const noexcept { return cursor_; }

    std::uint32_t text_rgb() const noexcept { return colour_rgb(text_colour_); }
    std::uint32_t background_rgb() const noexcept { return colour_rgb(background_colour_); }
    // Sets an RGB background for what is drawn from now on; returns the
    // previous one as RGB.  Nothing already drawn changes.
    std::uint32_t set_background_rgb(std::uint32_t rgb) noexcept;

    // The rules of write_console_text: runs up to the next NUL, CR or LF,
    // wrapping at the right column and scrolling at the last row.  A NUL ends
    // the text; an empty text draws one blank.
    void write(std::string_view text, grid_painter& painter);
    // Fills everything with the background colour, homes the cursor and
    // forgets the text segments.
    void clear(grid_painter& painter);
    // Backspace of a typed line: the cursor steps back one cell (to the last
    // column of the row above from column 1) and a blank is drawn there.
    // False, with nothing changed, in row 1 column 1.
    bool erase_back(grid_painter& painter);

    std::uint32_t cell_background(cell_position cell) const;
    const std::vector<text_segment>& segments() const noexcept { return segments_; }
    // The characters of one row as the segments left them, trailing blanks dropped.
    std::string row_text(int row) const;
    // The text of a rectangle of cells, one line per row ended by "\n",
    // trailing blanks of each line dropped.  Bounds are clamped to the grid.
    std::string area_text(cell_position first, cell_position last) const;

private:
    void draw_run(std::string_view run, grid_painter& painter);
    void new_line(grid_painter& painter);
    std::size_t cell_index(cell_position cell) const;

    int columns_;
    int rows_;
    cell_position cursor_;
    colour_value text_colour_ = white_index;
    colour_value background_colour_ = black_index;
    std::vector<std::uint32_t> cell_backgrounds_;
    std::vector<text_segment> segments_;
};

}  // namespace dialogue_window
