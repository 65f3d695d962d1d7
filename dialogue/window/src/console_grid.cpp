#include "dialogue_window/console_grid.hpp"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace dialogue_window {

namespace {

constexpr std::uint32_t rgb(int red, int green, int blue) noexcept
{
    return static_cast<std::uint32_t>(red) | (static_cast<std::uint32_t>(green) << 8) |
           (static_cast<std::uint32_t>(blue) << 16);
}

// The 16 colours of the console, in index order.
constexpr std::array<std::uint32_t, palette_size> palette = {
    rgb(0, 0, 0),       rgb(0, 0, 128),   rgb(0, 128, 0),   rgb(0, 128, 128),
    rgb(128, 0, 0),     rgb(128, 0, 128), rgb(128, 128, 0), rgb(192, 192, 192),
    rgb(128, 128, 128), rgb(0, 0, 255),   rgb(0, 255, 0),   rgb(0, 255, 255),
    rgb(255, 0, 0),     rgb(255, 0, 255), rgb(255, 255, 0), rgb(255, 255, 255),
};

void drop_trailing_blanks(std::string& line)
{
    const auto last = line.find_last_not_of(' ');
    line.erase(last == std::string::npos ? 0 : last + 1);
}

}  // namespace

std::uint32_t palette_rgb(colour_value index) noexcept
{
    return palette[index % palette_size];
}

std::uint32_t colour_rgb(colour_value colour) noexcept
{
    return (colour & rgb_flag) != 0 ? (colour & 0x00FF'FFFFu) : palette_rgb(colour);
}

console_grid::console_grid(int columns, int rows)
    : columns_(columns), rows_(rows),
      cell_backgrounds_(static_cast<std::size_t>(std::max(columns, 0) * std::max(rows, 0)),
                        palette_rgb(black_index))
{
    if (columns < 1 || rows < 1)
        throw std::invalid_argument("a console grid needs at least one row and one column");
}

std::uint32_t console_grid::set_background_rgb(std::uint32_t new_rgb) noexcept
{
    const auto previous = background_rgb();
    background_colour_ = rgb_flag | (new_rgb & 0x00FF'FFFFu);
    return previous;
}

void console_grid::write(std::string_view text, grid_painter& painter)
{
    if (text.empty())
        text = " ";
    std::size_t position = 0;
    while (position < text.size()) {
        // The run stops before NUL, CR and LF, and at the latest in the right column.
        const auto room = static_cast<std::size_t>(columns_ - cursor_.column + 1);
        std::size_t end = position;
        while (end < text.size() && end - position < room && text[end] != '\0' && text[end] != '\r' &&
               text[end] != '\n')
            ++end;
        const bool filled_row = end - position == room;
        draw_run(text.substr(position, end - position), painter);
        position = end;
        if (filled_row) {
            new_line(painter);
            continue;
        }
        if (position == text.size() || text[position] == '\0')
            return;
        if (text[position] == '\r')
            cursor_.column = 1;
        else
            new_line(painter);
        ++position;
    }
}

void console_grid::draw_run(std::string_view run, grid_painter& painter)
{
    if (run.empty())
        return;
    const auto background = background_rgb();
    painter.draw_run(cursor_, run, text_rgb(), background);
    segments_.push_back(text_segment{cursor_.row, cursor_.column, std::string(run)});
    for (std::size_t k = 0; k < run.size(); ++k)
        cell_backgrounds_[cell_index({cursor_.row, cursor_.column + static_cast<int>(k)})] = background;
    cursor_.column += static_cast<int>(run.size());
}

void console_grid::new_line(grid_painter& painter)
{
    cursor_.column = 1;
    if (cursor_.row < rows_) {
        ++cursor_.row;
        return;
    }
    // The last row: the grid scrolls up by one row instead.
    const auto background = background_rgb();
    painter.scroll_up(background);
    const auto row_cells = static_cast<std::ptrdiff_t>(columns_);
    std::move(cell_backgrounds_.begin() + row_cells, cell_backgrounds_.end(), cell_backgrounds_.begin());
    std::fill(cell_backgrounds_.end() - row_cells, cell_backgrounds_.end(), background);
    std::erase_if(segments_, [](const text_segment& segment) { return segment.row == 1; });
    for (auto& segment : segments_)
        --segment.row;
}

void console_grid::clear(grid_painter& painter)
{
    const auto background = background_rgb();
    painter.fill(background);
    std::fill(cell_backgrounds_.begin(), cell_backgrounds_.end(), background);
    segments_.clear();
    cursor_ = cell_position{};
}

bool console_grid::erase_back(grid_painter& painter)
{
    if (cursor_ == cell_position{1, 1})
        return false;
    if (cursor_.column > 1) {
        --cursor_.column;
    } else {
        --cursor_.row;
        cursor_.column = columns_;
    }
    const auto at = cursor_;
    draw_run(" ", painter);
    cursor_ = at;
    return true;
}

std::size_t console_grid::cell_index(cell_position cell) const
{
    return static_cast<std::size_t>((cell.row - 1) * columns_ + (cell.column - 1));
}

std::uint32_t console_grid::cell_background(cell_position cell) const
{
    if (cell.row < 1 || cell.row > rows_ || cell.column < 1 || cell.column > columns_)
        throw std::out_of_range("cell outside the console grid");
    return cell_backgrounds_[cell_index(cell)];
}

std::string console_grid::row_text(int row) const
{
    std::string line(static_cast<std::size_t>(columns_), ' ');
    for (const auto& segment : segments_) {
        if (segment.row == row)
            line.replace(static_cast<std::size_t>(segment.first_column - 1), segment.characters.size(),
                         segment.characters);
    }
    drop_trailing_blanks(line);
    return line;
}

std::string console_grid::area_text(cell_position first, cell_position last) const
{
    const int top = std::max(1, std::min(first.row, last.row));
    const int bottom = std::min(rows_, std::max(first.row, last.row));
    const int left = std::max(1, std::min(first.column, last.column));
    const int right = std::min(columns_, std::max(first.column, last.column));
    std::string text;
    for (int row = top; row <= bottom; ++row) {
        std::string line = row_text(row);
        line = left <= static_cast<int>(line.size())
                   ? line.substr(static_cast<std::size_t>(left - 1), static_cast<std::size_t>(right - left + 1))
                   : std::string{};
        drop_trailing_blanks(line);
        text += line;
        text += '\n';
    }
    return text;
}

}  // namespace dialogue_window
