#pragma once
// The off-screen picture of the console window: a screen-sized image into
// which the grid draws its runs of text.  The worker draws into it under the
// drawing lock; the window paints from it.

#include "dialogue_window/console_grid.hpp"

#include <QFont>
#include <QImage>
#include <QRect>
#include <QSize>

namespace dialogue_window {

inline constexpr int cell_width = 8;
inline constexpr int cell_height = 16;

class console_picture : public grid_painter {
public:
    // A picture as large as the screen, black, for a grid of whole cells.
    explicit console_picture(QSize screen_size);
    console_picture(const console_picture&) = delete;
    console_picture& operator=(const console_picture&) = delete;

    int columns() const noexcept { return image_.width() / cell_width; }
    int rows() const noexcept { return image_.height() / cell_height; }
    const QImage& image() const noexcept { return image_; }
    static QRect cell_rect(cell_position first, int cell_count);

    // The part of the picture drawn since the last call, in picture pixels.
    QRect take_damage();

    void draw_run(cell_position at, std::string_view characters, std::uint32_t text_rgb,
                  std::uint32_t background_rgb) override;
    void scroll_up(std::uint32_t background_rgb) override;
    void fill(std::uint32_t background_rgb) override;

private:
    QImage image_;
    QFont font_;
    qreal horizontal_scale_ = 1.0;
    qreal baseline_ = 0.0;
    QRect damage_;
};

// The Unicode text of cp1252 bytes.
QString cp1252_to_qstring(std::string_view bytes);

}  // namespace dialogue_window
