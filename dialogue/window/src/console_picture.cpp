#include "dialogue_window/console_picture.hpp"

#include "records/cp1252.hpp"

#include <QFontMetricsF>
#include <QPainter>

#include <cstring>

namespace dialogue_window {

namespace {

QColor to_qcolor(std::uint32_t rgb)
{
    return QColor(rgb_red(rgb), rgb_green(rgb), rgb_blue(rgb));
}

// "Courier New" (fontconfig maps it to a metric-compatible face), without
// anti-aliasing so that every text pixel has the text colour.  The pixel size
// is the largest whose line fits the cell height; the width is then scaled
// so that one advance is exactly one cell.
QFont console_font()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter, QFont::NoAntialias);
    font.setFixedPitch(true);
    font.setHintingPreference(QFont::PreferNoHinting);
    int pixel_size = cell_height;
    for (; pixel_size > 6; --pixel_size) {
        font.setPixelSize(pixel_size);
        const QFontMetricsF metrics(font);
        if (metrics.ascent() + metrics.descent() <= cell_height)
            break;
    }
    font.setPixelSize(pixel_size);
    return font;
}

}  // namespace

QString cp1252_to_qstring(std::string_view bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char byte : bytes)
        text.append(QChar(static_cast<char16_t>(records::cp1252_to_unicode(static_cast<unsigned char>(byte)))));
    return text;
}

console_picture::console_picture(QSize screen_size)
    : image_(screen_size, QImage::Format_RGB32), font_(console_font())
{
    image_.fill(Qt::black);
    const QFontMetricsF metrics(font_);
    const qreal advance = metrics.horizontalAdvance(QLatin1Char('M'));
    if (advance > 0)
        horizontal_scale_ = cell_width / advance;
    // The line is centred in the cell height, the baseline below its ascent.
    baseline_ = (cell_height - (metrics.ascent() + metrics.descent())) / 2 + metrics.ascent();
}

QRect console_picture::cell_rect(cell_position first, int cell_count)
{
    return QRect((first.column - 1) * cell_width, (first.row - 1) * cell_height, cell_count * cell_width,
                 cell_height);
}

QRect console_picture::take_damage()
{
    const QRect damage = damage_;
    damage_ = QRect();
    return damage;
}

void console_picture::draw_run(cell_position at, std::string_view characters, std::uint32_t text_rgb,
                               std::uint32_t background_rgb)
{
    const QRect area = cell_rect(at, static_cast<int>(characters.size()));
    QPainter painter(&image_);
    painter.fillRect(area, to_qcolor(background_rgb));
    painter.setClipRect(area);
    painter.setPen(to_qcolor(text_rgb));
    painter.setFont(font_);
    painter.scale(horizontal_scale_, 1.0);
    painter.drawText(QPointF(area.left() / horizontal_scale_, area.top() + baseline_),
                     cp1252_to_qstring(characters));
    damage_ |= area;
}

void console_picture::scroll_up(std::uint32_t background_rgb)
{
    // Only the whole rows of the grid move; a strip below them stays as it is.
    const int grid_height = rows() * cell_height;
    const auto line_bytes = static_cast<std::size_t>(image_.bytesPerLine());
    std::memmove(image_.scanLine(0), image_.scanLine(cell_height),
                 line_bytes * static_cast<std::size_t>(grid_height - cell_height));
    QPainter painter(&image_);
    painter.fillRect(QRect(0, grid_height - cell_height, columns() * cell_width, cell_height),
                     to_qcolor(background_rgb));
    damage_ = image_.rect();
}

void console_picture::fill(std::uint32_t background_rgb)
{
    image_.fill(to_qcolor(background_rgb));
    damage_ = image_.rect();
}

}  // namespace dialogue_window
