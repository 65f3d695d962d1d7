#include "dialogue_window/ConsoleView.hpp"

#include "dialogue_window/console_picture.hpp"
#include "records/cp1252.hpp"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace dialogue_window {

namespace {

std::optional<scroll_key> scroll_key_of(int key)
{
    switch (key) {
    case Qt::Key_Left: return scroll_key::left;
    case Qt::Key_Right: return scroll_key::right;
    case Qt::Key_Up: return scroll_key::up;
    case Qt::Key_Down: return scroll_key::down;
    case Qt::Key_PageUp: return scroll_key::page_up;
    case Qt::Key_PageDown: return scroll_key::page_down;
    case Qt::Key_Home: return scroll_key::home;
    case Qt::Key_End: return scroll_key::end;
    default: return std::nullopt;
    }
}

}  // namespace

ConsoleView::ConsoleView(picture_access picture, QWidget* parent)
    : QAbstractScrollArea(parent), picture_(picture), viewport_model_(cell_width, cell_height)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    horizontalScrollBar()->setSingleStep(cell_width);
    verticalScrollBar()->setSingleStep(cell_height);
    update_scroll_bars();
}

void ConsoleView::update_scroll_bars()
{
    const QSize view = viewport()->size();
    const QSize picture = size_to_fit_ ? view : picture_.image->size();
    viewport_model_.set_sizes(picture.width(), picture.height(), view.width(), view.height());
    horizontalScrollBar()->setRange(0, viewport_model_.max_x());
    horizontalScrollBar()->setPageStep(view.width());
    verticalScrollBar()->setRange(0, viewport_model_.max_y());
    verticalScrollBar()->setPageStep(view.height());
    const view_offset wanted = viewport_model_.offset();
    horizontalScrollBar()->setValue(wanted.x);
    verticalScrollBar()->setValue(wanted.y);
}

void ConsoleView::scroll_view_to(view_offset offset)
{
    viewport_model_.scroll_to(offset);
    // Each scroll bar reports back through scrollContentsBy: set both from a copy.
    const view_offset wanted = viewport_model_.offset();
    horizontalScrollBar()->setValue(wanted.x);
    verticalScrollBar()->setValue(wanted.y);
    viewport()->update();
}

void ConsoleView::set_size_to_fit(bool on)
{
    size_to_fit_ = on;
    update_scroll_bars();
    viewport()->update();
}

void ConsoleView::set_selection(std::optional<QRect> cells)
{
    selection_ = cells;
    viewport()->update();
}

QRect ConsoleView::to_view(QRect picture_area) const
{
    if (size_to_fit_)
        return viewport()->rect();
    return picture_area.translated(-viewport_model_.offset().x, -viewport_model_.offset().y);
}

void ConsoleView::picture_changed(QRect area)
{
    viewport()->update(to_view(area));
}

void ConsoleView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    {
        std::lock_guard drawing(*picture_.drawing_lock);
        if (size_to_fit_) {
            painter.drawImage(viewport()->rect(), *picture_.image);
        } else {
            const QRect wanted = event->rect();
            const QRect source = wanted.translated(viewport_model_.offset().x, viewport_model_.offset().y);
            painter.fillRect(wanted, palette().color(QPalette::Dark));
            painter.drawImage(wanted.topLeft(), *picture_.image, source);
        }
    }
    if (selection_ && !size_to_fit_) {
        const QRect cells = selection_->normalized();
        const QRect area = console_picture::cell_rect({cells.top(), cells.left()}, cells.width())
                               .united(console_picture::cell_rect({cells.bottom(), cells.left()}, cells.width()));
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.fillRect(to_view(area), Qt::white);
    }
}

void ConsoleView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    update_scroll_bars();
}

void ConsoleView::scrollContentsBy(int, int)
{
    viewport_model_.scroll_to({horizontalScrollBar()->value(), verticalScrollBar()->value()});
    viewport()->update();
}

bool ConsoleView::focusNextPrevChild(bool)
{
    // Tab is a character of the typed line, not a focus move.
    return false;
}

std::optional<char> ConsoleView::character_of(const QKeyEvent& event, bool& refused) const
{
    refused = false;
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return '\r';
    case Qt::Key_Backspace: return '\b';
    case Qt::Key_Tab: return '\t';
    default: break;
    }
    // Control with a letter gives its control code (Ctrl+Z is code 26).
    if ((event.modifiers() & Qt::ControlModifier) != 0 && event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z)
        return static_cast<char>(event.key() - Qt::Key_A + 1);
    const QString text = event.text();
    if (text.isEmpty())
        return std::nullopt;
    const auto code_point = text.toUcs4();
    if (code_point.size() != 1) {
        refused = true;
        return std::nullopt;
    }
    const auto byte = records::unicode_to_cp1252(code_point.front());
    if (!byte) {
        refused = true;
        return std::nullopt;
    }
    return static_cast<char>(*byte);
}

void ConsoleView::keyPressEvent(QKeyEvent* event)
{
    if (const auto key = scroll_key_of(event->key())) {
        if (viewport_model_.apply_key(*key, (event->modifiers() & Qt::ControlModifier) != 0))
            scroll_view_to(viewport_model_.offset());
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        const bool was_selecting = selecting_;
        emit escape_pressed();
        if (!was_selecting)
            emit character_typed('\x1b');
        event->accept();
        return;
    }
    if ((event->modifiers() & Qt::ControlModifier) != 0) {
        switch (event->key()) {
        case Qt::Key_S: emit pause_key_pressed(); return;
        case Qt::Key_Q: emit resume_key_pressed(); return;
        case Qt::Key_C: emit exit_key_pressed(); return;
        default: break;
        }
    }
    bool refused = false;
    const auto character = character_of(*event, refused);
    if (character)
        emit character_typed(*character);
    else if (refused)
        emit character_refused();
    event->accept();
}

cell_position ConsoleView::cell_at(QPoint view_point) const
{
    const int x = view_point.x() + viewport_model_.offset().x;
    const int y = view_point.y() + viewport_model_.offset().y;
    return {std::clamp(y / cell_height + 1, 1, picture_.rows), std::clamp(x / cell_width + 1, 1, picture_.columns)};
}

void ConsoleView::mousePressEvent(QMouseEvent* event)
{
    if (!selecting_ || event->button() != Qt::LeftButton || size_to_fit_)
        return;
    selection_anchor_ = cell_at(event->position().toPoint());
    set_selection(QRect(QPoint(selection_anchor_.column, selection_anchor_.row),
                        QPoint(selection_anchor_.column, selection_anchor_.row)));
}

void ConsoleView::mouseMoveEvent(QMouseEvent* event)
{
    if (!selecting_ || (event->buttons() & Qt::LeftButton) == 0 || size_to_fit_)
        return;
    const auto cell = cell_at(event->position().toPoint());
    set_selection(QRect(QPoint(selection_anchor_.column, selection_anchor_.row), QPoint(cell.column, cell.row))
                      .normalized());
}

}  // namespace dialogue_window
