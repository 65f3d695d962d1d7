// The frame and console window on the offscreen platform, driven by a worker
// thread that calls the console operations as the dialogue does.

#include "dialogue_window/ConsoleFrame.hpp"
#include "dialogue_window/ConsoleView.hpp"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <ostream>

#include <future>
#include <optional>
#include <thread>
#include <vector>

namespace dialogue_window {
namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t steel_blue = 0x997654;

template <class Predicate>
bool spin_until(Predicate predicate)
{
    return QTest::qWaitFor(predicate, 10000);
}

// Runs a worker call on its own thread while the test keeps the window
// thread's events going.
template <class Function>
auto on_worker(Function function)
{
    return std::async(std::launch::async, std::move(function));
}

template <class Result>
Result finish(std::future<Result>& worker)
{
    EXPECT_TRUE(spin_until([&] { return worker.wait_for(0s) == std::future_status::ready; }));
    return worker.get();
}

class console_frame : public ::testing::Test {
protected:
    console_frame()
        : frame_("testetau", QSize(1024, 768), [this](int exit_code) { exit_codes_.push_back(exit_code); })
    {
        frame_.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame_));
        frame_.activateWindow();
        frame_.console_view()->setFocus();
    }
    ~console_frame() override { QApplication::processEvents(); }

    QLabel* status_label(int index) const
    {
        return frame_.statusBar()->findChildren<QLabel*>().value(index);
    }
    void write(std::string_view text)
    {
        auto worker = on_worker([this, text] { return frame_.console().write_console_text(text); });
        finish(worker);
        QApplication::processEvents();
    }
    std::future<std::optional<std::string>> start_read()
    {
        auto reader = on_worker([this] { return frame_.console().read_console_line(130); });
        EXPECT_TRUE(spin_until([this] { return frame_.input_waiting(); }));
        return reader;
    }
    ConsoleView* view() const { return frame_.console_view(); }
    // A key that carries a character but no key code of its own.
    void type_text(const QString& text)
    {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
        QApplication::sendEvent(view(), &press);
    }

    std::vector<int> exit_codes_;
    ConsoleFrame frame_;
};

struct screen_case {
    QSize screen;
    int columns;
    int rows;
};

void PrintTo(const screen_case& c, std::ostream* os)
{
    *os << c.screen.width() << "x" << c.screen.height();
}

class grid_size : public ::testing::TestWithParam<screen_case> {};

TEST_P(grid_size, follows_the_screen_and_the_8_by_16_cell)
{
    ConsoleFrame frame("testetau", GetParam().screen, [](int) {});
    EXPECT_EQ(frame.columns(), GetParam().columns);
    EXPECT_EQ(frame.rows(), GetParam().rows);
    EXPECT_EQ(frame.picture().size(), GetParam().screen);
}

INSTANTIATE_TEST_SUITE_P(console_frame, grid_size,
                         ::testing::Values(screen_case{{1024, 768}, 128, 48}, screen_case{{640, 480}, 80, 30},
                                           screen_case{{1366, 770}, 170, 48}));

TEST(console_frame_screen, primary_screen_gives_the_grid)
{
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    ConsoleFrame frame("testetau", screen, [](int) {});
    EXPECT_EQ(frame.columns(), screen.width() / 8);
    EXPECT_EQ(frame.rows(), screen.height() / 16);
}

TEST_F(console_frame, window_set_up_paints_steel_blue_with_white_text)
{
    auto worker = on_worker([this] {
        auto& console = frame_.console();
        const auto previous = console.set_background_rgb(steel_blue);
        console.clear_console(0);
        console.write_console_text("\xDB\xDB HHHH");
        return previous;
    });
    EXPECT_EQ(finish(worker), 0);
    const QImage picture = frame_.picture();
    EXPECT_EQ(picture.pixelColor(500, 300), QColor(84, 118, 153));  // a cell never written
    EXPECT_EQ(picture.pixelColor(2 * 8 + 4, 8), QColor(84, 118, 153));  // the drawn blank
    int white = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 3 * 8; x < 7 * 8; ++x) {
            const QColor pixel = picture.pixelColor(x, y);
            EXPECT_TRUE(pixel == QColor(255, 255, 255) || pixel == QColor(84, 118, 153)) << x << "," << y;
            white += pixel == QColor(255, 255, 255);
        }
    }
    EXPECT_GT(white, 20);
}

TEST_F(console_frame, text_drawn_before_the_colour_change_keeps_its_background)
{
    write("a");
    auto worker = on_worker([this] { return frame_.console().set_background_rgb(steel_blue); });
    EXPECT_EQ(finish(worker), 0);
    write("b");
    const QImage picture = frame_.picture();
    EXPECT_EQ(picture.pixelColor(0, 0), QColor(0, 0, 0));
    EXPECT_EQ(picture.pixelColor(8, 0), QColor(84, 118, 153));
}

TEST_F(console_frame, last_row_scrolls_the_picture)
{
    auto worker = on_worker([this] {
        frame_.console().set_background_rgb(steel_blue);
        for (int row = 1; row <= 48; ++row)
            frame_.console().write_console_text("row " + std::to_string(row) + "\r\n");
        return 0;
    });
    finish(worker);
    EXPECT_EQ(frame_.grid_text({1, 1}, {1, 128}), "row 2\n");
    EXPECT_EQ(frame_.grid_text({47, 1}, {48, 128}), "row 48\n\n");
    EXPECT_EQ(frame_.cursor(), (cell_position{48, 1}));
    EXPECT_EQ(frame_.picture().pixelColor(4, 47 * 16 + 8), QColor(84, 118, 153));
}

TEST_F(console_frame, pause_and_resume_change_the_state_field)
{
    ASSERT_NE(status_label(0), nullptr);
    EXPECT_EQ(status_label(0)->text(), "Running");
    QTest::keyClick(view(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(frame_.state(), run_state::paused);
    EXPECT_EQ(status_label(0)->text(), "Paused");
    EXPECT_EQ(frame_.action("&State", "&Resume")->text(), "&Resume");
    QTest::keyClick(view(), Qt::Key_S, Qt::ControlModifier);  // remembered
    QTest::keyClick(view(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(status_label(0)->text(), "Paused");
    QTest::keyClick(view(), Qt::Key_Escape);
    EXPECT_EQ(status_label(0)->text(), "Running");
    EXPECT_EQ(frame_.action("&State", "&Pause")->text(), "&Pause");
}

TEST_F(console_frame, pause_holds_the_worker_before_its_next_drawing)
{
    frame_.pause_run();
    auto worker = on_worker([this] { return frame_.console().write_console_text("late"); });
    EXPECT_EQ(worker.wait_for(50ms), std::future_status::timeout);
    EXPECT_EQ(frame_.grid_text({1, 1}, {1, 128}), "\n");
    frame_.resume_run();
    EXPECT_EQ(finish(worker), 4);
    EXPECT_EQ(frame_.grid_text({1, 1}, {1, 128}), "late\n");
}

TEST_F(console_frame, paused_computation_makes_no_progress_until_resume)
{
    std::atomic<long> steps{0};
    std::atomic<bool> stop{false};
    std::thread computation([&] {
        while (!stop) {
            frame_.checkpoint();
            ++steps;
        }
    });
    ASSERT_TRUE(spin_until([&] { return steps > 0; }));
    frame_.pause_run();
    // One step may be between its checkpoint and its count when Pause comes.
    ASSERT_TRUE(spin_until([&] {
        const long before = steps;
        std::this_thread::sleep_for(5ms);
        return steps == before;
    }));
    const long frozen = steps;
    QTest::qWait(50);
    EXPECT_EQ(steps, frozen);
    frame_.resume_run();
    EXPECT_TRUE(spin_until([&] { return steps > frozen; }));
    stop = true;
    computation.join();
}

struct menu_entry {
    QString menu;
    QString entry;
    QString shortcut;
};

TEST_F(console_frame, menus_entries_and_shortcuts_in_order)
{
    const std::vector<menu_entry> expected = {
        {"&File", "&Print...", ""},       {"&File", "&Save...", ""},
        {"&File", "E&xit", "Ctrl+C"},     {"&Edit", "Select &Text", ""},
        {"&Edit", "Select &Graphics", ""}, {"&Edit", "Select &All", ""},
        {"&Edit", "&Copy", "Ctrl+Ins"},   {"&Edit", "&Paste", ""},
        {"&View", "&Size To Fit", ""},    {"&View", "&Full Screen", "Alt+Return"},
        {"&State", "&Pause", "Ctrl+S"},   {"&Window", "&Cascade", ""},
        {"&Window", "&Tile", ""},         {"&Window", "&Arrange Icons", ""},
        {"&Window", "&Input", ""},        {"&Window", "C&lear Paste", ""},
        {"&Window", "&Status Bar", ""},   {"&Window", "&1 Graphic1", ""},
        {"&Help", "&Contents", ""},       {"&Help", "Using &Help", ""},
        {"&Help", "&About", ""},
    };
    std::vector<menu_entry> found;
    for (QAction* menu : frame_.menuBar()->actions()) {
        if (menu->menu() == nullptr)
            continue;  // the maximised child's own buttons
        for (QAction* entry : menu->menu()->actions())
            if (!entry->isSeparator())
                found.push_back({menu->text(), entry->text(), entry->shortcut().toString()});
    }
    ASSERT_EQ(found.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(found[k].menu, expected[k].menu) << k;
        EXPECT_EQ(found[k].entry, expected[k].entry) << k;
        EXPECT_EQ(found[k].shortcut, expected[k].shortcut) << k;
    }
}

TEST_F(console_frame, select_all_and_copy_give_the_written_rows)
{
    write("      *****\r\n      * x *\r\n\r\n endere\xE7o \r\n");
    frame_.action("&Edit", "Select &All")->trigger();
    EXPECT_EQ(frame_.state(), run_state::paused);
    EXPECT_EQ(frame_.console_window()->windowTitle(), "Mark Text - Graphic1");
    QTest::keyClick(view(), Qt::Key_Insert, Qt::ControlModifier);
    const QStringList lines = QGuiApplication::clipboard()->text().split('\n');
    ASSERT_EQ(lines.size(), 49);  // 48 rows, each ended by a line feed
    EXPECT_EQ(lines[0], "      *****");
    EXPECT_EQ(lines[1], "      * x *");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], QString::fromUtf8(" endereço"));
    QTest::keyClick(view(), Qt::Key_Escape);
    EXPECT_EQ(frame_.state(), run_state::running);
    EXPECT_EQ(frame_.console_window()->windowTitle(), "Graphic1");
}

TEST_F(console_frame, typed_keys_are_echoed_at_the_cursor_and_end_the_read)
{
    write("    Entre com o valor de alfa  --> ");
    auto reader = start_read();
    EXPECT_TRUE(spin_until([&] { return status_label(1)->text() == "Input pending in Graphic1"; }));
    EXPECT_TRUE(frame_.action("&Window", "&Input")->isEnabled());
    QTest::keyClicks(view(), "0.07");
    QTest::keyClick(view(), Qt::Key_Backspace);
    QTest::keyClicks(view(), "5");
    QTest::keyClick(view(), Qt::Key_Return);
    EXPECT_EQ(finish(reader), "0.05");
    EXPECT_EQ(frame_.grid_text({1, 1}, {1, 128}), "    Entre com o valor de alfa  --> 0.05\n");
    EXPECT_TRUE(spin_until([&] { return status_label(1)->text().isEmpty(); }));
    EXPECT_FALSE(frame_.action("&Window", "&Input")->isEnabled());
}

TEST_F(console_frame, backspace_after_wrap_steps_back_to_the_last_column)
{
    write(std::string(127, '.'));
    auto reader = start_read();
    QTest::keyClicks(view(), "ab");
    EXPECT_EQ(frame_.cursor(), (cell_position{2, 2}));
    QTest::keyClick(view(), Qt::Key_Backspace);
    QTest::keyClick(view(), Qt::Key_Backspace);
    EXPECT_EQ(frame_.cursor(), (cell_position{1, 128}));
    EXPECT_EQ(frame_.grid_text({1, 120}, {2, 128}), "........\n\n");
    QTest::keyClick(view(), Qt::Key_Return);
    EXPECT_EQ(finish(reader), "");
}

TEST_F(console_frame, refused_keys_beep)
{
    const int at_start = frame_.beep_count();
    QTest::keyClicks(view(), "12");  // no read waits
    EXPECT_EQ(frame_.beep_count(), at_start + 2);
    auto reader = start_read();
    QTest::keyClick(view(), Qt::Key_S, Qt::ControlModifier);
    QTest::keyClicks(view(), "3");  // paused
    EXPECT_EQ(frame_.beep_count(), at_start + 3);
    QTest::keyClick(view(), Qt::Key_Q, Qt::ControlModifier);
    type_text(QString::fromUtf8("€"));  // in the code page
    type_text(QString::fromUtf8("ω"));  // not in the code page
    EXPECT_EQ(frame_.beep_count(), at_start + 4);
    QTest::keyClicks(view(), QString(128, 'x'));
    EXPECT_EQ(frame_.beep_count(), at_start + 5);
    QTest::keyClick(view(), Qt::Key_Return);
    const auto line = finish(reader);
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->size(), 128u);
    EXPECT_EQ(line->substr(0, 2), "\x80x");
}

TEST_F(console_frame, tab_echoes_blanks_and_stops_at_126)
{
    auto reader = start_read();
    QTest::keyClicks(view(), "a");
    QTest::keyClick(view(), Qt::Key_Tab);
    EXPECT_EQ(frame_.cursor(), (cell_position{1, 10}));
    QTest::keyClicks(view(), QString(116, 'y'));
    const int before = frame_.beep_count();
    QTest::keyClick(view(), Qt::Key_Tab);
    EXPECT_EQ(frame_.beep_count(), before + 1);
    QTest::keyClick(view(), Qt::Key_Return);
    const auto line = finish(reader);
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(*line, "a" + std::string(8, ' ') + std::string(116, 'y') + " ");
}

TEST_F(console_frame, control_z_reaches_the_line)
{
    auto reader = start_read();
    QTest::keyClick(view(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(view(), Qt::Key_Return);
    EXPECT_EQ(finish(reader), "\x1a");
}

TEST_F(console_frame, three_pasted_lines_answer_three_reads)
{
    QGuiApplication::clipboard()->setText("0.05\n10\n3\n");
    write("Q1 --> ");
    auto reader = start_read();
    QTest::keyClick(view(), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(finish(reader), "0.05");
    EXPECT_TRUE(spin_until([&] { return status_label(1)->text() == "Paste input pending"; }));
    write("\r\nQ2 --> ");
    auto second = on_worker([this] { return frame_.console().read_console_line(130); });
    EXPECT_EQ(finish(second), "10");
    write("\r\nQ3 --> ");
    auto third = on_worker([this] { return frame_.console().read_console_line(130); });
    EXPECT_EQ(finish(third), "3");
    EXPECT_EQ(frame_.grid_text({1, 1}, {3, 128}), "Q1 --> 0.05\nQ2 --> 10\nQ3 --> 3\n");
    EXPECT_TRUE(spin_until([&] { return status_label(1)->text().isEmpty(); }));
}

TEST_F(console_frame, scrolling_keys_move_only_the_view)
{
    view()->parentWidget()->resize(400, 300);
    QApplication::processEvents();
    QTest::keyClick(view(), Qt::Key_Down);
    QTest::keyClick(view(), Qt::Key_Right);
    EXPECT_EQ(view()->offset(), (view_offset{8, 16}));
    write("text\r\n");
    EXPECT_EQ(view()->offset(), (view_offset{8, 16}));
    QTest::keyClick(view(), Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(view()->offset(), (view_offset{0, 0}));
}

// Watches for the modal box the worker asked for, notes it and answers it.
struct box_seen {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::WindowModality modality = Qt::NonModal;
    QMessageBox::StandardButton default_button = QMessageBox::NoButton;
};

void answer_box_when_shown(box_seen& seen, QMessageBox::StandardButton answer, bool press_enter = false)
{
    auto* watcher = new QTimer(qApp);
    QObject::connect(watcher, &QTimer::timeout, watcher, [watcher, &seen, answer, press_enter] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        watcher->stop();
        watcher->deleteLater();
        seen.caption = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.modality = box->windowModality();
        seen.default_button = box->defaultButton() ? box->standardButton(box->defaultButton())
                                                   : QMessageBox::NoButton;
        if (press_enter)
            QTest::keyClick(box, Qt::Key_Return);
        else
            box->button(answer)->click();
    });
    watcher->start(10);
}

struct closing_case {
    const char* name;
    QMessageBox::StandardButton click;
    bool press_enter;
    dialogue::closing_answer expected;
};

void PrintTo(const closing_case& c, std::ostream* os) { *os << c.name; }

class closing_question : public console_frame, public ::testing::WithParamInterface<closing_case> {};

TEST_P(closing_question, box_texts_and_answer)
{
    box_seen seen;
    answer_box_when_shown(seen, GetParam().click, GetParam().press_enter);
    auto worker = on_worker([this] {
        return frame_.console().ask_closing_question("Program Terminated with exit code 0\nExit Window?");
    });
    EXPECT_EQ(finish(worker), GetParam().expected);
    EXPECT_EQ(seen.caption, "testetau");
    EXPECT_EQ(seen.text, "Program Terminated with exit code 0\nExit Window?");
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.default_button, QMessageBox::No);
    EXPECT_EQ(frame_.state_text(), "Running");
}

INSTANTIATE_TEST_SUITE_P(
    console_frame, closing_question,
    ::testing::Values(closing_case{"yes", QMessageBox::Yes, false, dialogue::closing_answer::yes},
                      closing_case{"no", QMessageBox::No, false, dialogue::closing_answer::no},
                      closing_case{"enter_is_no", QMessageBox::NoButton, true, dialogue::closing_answer::no}),
    [](const ::testing::TestParamInfo<closing_case>& info) { return std::string(info.param.name); });

TEST_F(console_frame, run_time_error_box)
{
    box_seen seen;
    answer_box_when_shown(seen, QMessageBox::Ok);
    auto worker = on_worker([this] {
        frame_.console().show_run_time_error("run-time error ", "M6103: MATH\r\n- floating-point error: divide by zero");
        return true;
    });
    EXPECT_TRUE(finish(worker));
    EXPECT_EQ(seen.caption, "run-time error ");
    EXPECT_EQ(seen.text, "M6103: MATH\n- floating-point error: divide by zero");
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.modality, Qt::ApplicationModal);
}

TEST_F(console_frame, yes_closes_the_window_without_ending_the_process_itself)
{
    frame_.console().close_window(0);
    EXPECT_TRUE(spin_until([this] { return !frame_.isVisible(); }));
    EXPECT_TRUE(exit_codes_.empty());
}

struct close_case {
    const char* name;
    int exit_code_on_close;
    int expected;
};

void PrintTo(const close_case& c, std::ostream* os) { *os << c.name; }

class closing_by_the_user : public console_frame, public ::testing::WithParamInterface<close_case> {};

TEST_P(closing_by_the_user, ends_the_process_with_the_close_code_also_during_a_read)
{
    if (GetParam().exit_code_on_close != 0)
        frame_.console().set_exit_code_on_close(GetParam().exit_code_on_close);
    auto reader = start_read();
    QTest::keyClick(view(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(exit_codes_, std::vector<int>{GetParam().expected});
    EXPECT_FALSE(frame_.isVisible());
    EXPECT_EQ(finish(reader), std::nullopt);  // the read is let go, not left hanging
}

INSTANTIATE_TEST_SUITE_P(console_frame, closing_by_the_user,
                         ::testing::Values(close_case{"before_any_error", 0, 0},
                                           close_case{"after_a_run_time_error", 1, 1}),
                         [](const ::testing::TestParamInfo<close_case>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(console_frame, set_window_state_requests)
{
    auto worker = on_worker([this] {
        auto& console = frame_.console();
        return std::vector<int>{console.set_window_state(dialogue::frame_unit, {2, 0, 0, 0, 0}),
                                console.set_window_state(0, {2, 0, 0, 0, 0}),
                                console.set_window_state(0, {5, 0, 0, 0, 0}),
                                console.set_window_state(6, {2, 0, 0, 0, 0})};
    });
    EXPECT_EQ(finish(worker), (std::vector<int>{0, 0, -1, -1}));
    EXPECT_TRUE(spin_until([this] { return frame_.console_window()->isMaximized(); }));
}

TEST_F(console_frame, console_window_cannot_be_closed_alone)
{
    frame_.console_window()->close();
    QApplication::processEvents();
    EXPECT_TRUE(frame_.console_window()->isVisible());
    EXPECT_TRUE(exit_codes_.empty());
}

}  // namespace
}  // namespace dialogue_window
