#pragma once
// The console window's content: paints the visible part of the picture and
// turns keys into scrolling, window commands and typed characters.

#include "dialogue_window/console_grid.hpp"
#include "dialogue_window/console_viewport.hpp"

#include <QAbstractScrollArea>
#include <QImage>
#include <QPoint>
#include <QRect>

#include <functional>
#include <mutex>
#include <optional>

namespace dialogue_window {

class ConsoleView : public QAbstractScrollArea {
    Q_OBJECT
public:
    struct picture_access {
        std::mutex* drawing_lock;
        const QImage* image;
        int columns;
        int rows;
    };
    explicit ConsoleView(picture_access picture, QWidget* parent = nullptr);

    view_offset offset() const noexcept { return viewport_model_.offset(); }
    void scroll_view_to(view_offset offset);

    bool size_to_fit() const noexcept { return size_to_fit_; }
    void set_size_to_fit(bool on);

    // A selection of whole cells, shown inverted.
    void set_selection(std::optional<QRect> cells);
    std::optional<QRect> selection() const { return selection_; }
    void set_selecting(bool selecting) noexcept { selecting_ = selecting; }
    bool selecting() const noexcept { return selecting_; }

public slots:
    // Part of the picture, in picture pixels, has been drawn anew.
    void picture_changed(QRect area);

signals:
    // A key with a character (cp1252 byte), to be typed into a waiting line.
    void character_typed(char character);
    // A character the code page cannot hold.
    void character_refused();
    // Esc: the Resume command comes first.
    void escape_pressed();
    // Ctrl+S, Ctrl+Q and Ctrl+C when no menu shortcut took them: window
    // commands, never characters of the line.
    void pause_key_pressed();
    void resume_key_pressed();
    void exit_key_pressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void update_scroll_bars();
    QRect to_view(QRect picture_area) const;
    cell_position cell_at(QPoint view_point) const;
    std::optional<char> character_of(const QKeyEvent& event, bool& refused) const;

    picture_access picture_;
    console_viewport viewport_model_;
    bool size_to_fit_ = false;
    bool selecting_ = false;
    std::optional<QRect> selection_;
    cell_position selection_anchor_;
};

}  // namespace dialogue_window
