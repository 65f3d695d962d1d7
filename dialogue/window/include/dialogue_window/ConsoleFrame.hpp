#pragma once
// The frame window of the program: menus, the child-window area with the
// console window Graphic1, the status bar, and the console operations the
// dialogue calls from its worker thread.  The worker never touches a widget:
// it draws into the picture under the drawing lock and hands everything else
// to the window thread through queued calls.

#include "dialogue/console_window.hpp"
#include "dialogue_window/console_grid.hpp"
#include "dialogue_window/console_input.hpp"
#include "dialogue_window/console_picture.hpp"
#include "dialogue_window/run_control.hpp"

#include <QMainWindow>
#include <QString>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;

namespace dialogue_window {

class ConsoleView;

inline constexpr const char* console_title = "Graphic1";

class ConsoleFrame : public QMainWindow {
    Q_OBJECT
public:
    // end_process ends the program with the exit code when the user closes
    // the frame (Exit, Ctrl+C, the close box); it must not return to a
    // worker that may be blocked.
    ConsoleFrame(QString title, QSize screen_size, std::function<void(int)> end_process);
    ~ConsoleFrame() override;

    // The console operations, for the worker thread.
    dialogue::console_window& console() noexcept;

    const QString& title() const noexcept { return title_; }
    QMdiSubWindow* console_window() const noexcept { return child_; }
    ConsoleView* console_view() const noexcept { return view_; }
    // The menu entry with this text (mnemonic included, shortcut label left off).
    QAction* action(const QString& menu, const QString& entry) const;

    // Read-only views for the window thread.
    int columns() const noexcept { return grid_.columns(); }
    int rows() const noexcept { return grid_.rows(); }
    run_state state() const noexcept { return run_.state(); }
    QString state_text() const;
    QString message_text() const;
    QImage picture() const;
    std::string grid_text(cell_position first, cell_position last) const;
    cell_position cursor() const;
    bool input_waiting() const { return input_.waiting(); }
    int beep_count() const noexcept { return beeps_.load(); }
    int close_exit_code() const noexcept { return close_exit_code_.load(); }

    // The worker's checkpoint, also used by the long computation.
    void checkpoint() { run_.checkpoint(); }
    // The dialogue has returned.
    void run_finished();

public slots:
    void exit_program();
    void pause_run();
    void resume_run();
    void select_text();
    void select_graphics();
    void select_all();
    void copy_selection();
    void paste_input();
    void clear_paste();
    void save_picture();
    void print_picture();
    void toggle_size_to_fit(bool on);
    void toggle_full_screen();
    void activate_input();
    void toggle_status_bar(bool shown);
    void show_about();
    void show_help();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class worker_console;
    class typed_feedback;
    friend class worker_console;
    friend class typed_feedback;

    void build_menus();
    void build_status_bar();
    void build_console_window();
    QAction* add_entry(QMenu* menu, const QString& menu_title, const QString& entry);
    void refresh_status();
    void end_selection();
    void post_damage();
    int apply_frame_request(const dialogue::window_request& request);
    int apply_console_request(const dialogue::window_request& request);
    void beep();

    QString title_;
    std::function<void(int)> end_process_;
    mutable std::mutex drawing_lock_;
    console_grid grid_;
    console_picture picture_;
    run_control run_;
    std::unique_ptr<typed_feedback> feedback_;
    console_input input_;
    std::unique_ptr<worker_console> worker_console_;
    std::atomic<int> close_exit_code_{0};
    std::atomic<int> beeps_{0};
    bool closing_for_good_ = false;
    bool picture_selection_ = false;

    QMdiArea* area_ = nullptr;
    QMdiSubWindow* child_ = nullptr;
    ConsoleView* view_ = nullptr;
    QLabel* state_label_ = nullptr;
    QLabel* message_label_ = nullptr;
    QAction* state_action_ = nullptr;
    QAction* input_action_ = nullptr;
    std::map<std::pair<QString, QString>, QAction*> actions_;
};

}  // namespace dialogue_window
