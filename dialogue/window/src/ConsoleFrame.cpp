#include "dialogue_window/ConsoleFrame.hpp"

#include "dialogue_window/ConsoleView.hpp"
#include "records/cp1252.hpp"
#include "records/units.hpp"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>

#include <chrono>
#include <future>
#include <thread>

namespace dialogue_window {

namespace {

const QString running_text = QStringLiteral("Running");
const QString paused_text = QStringLiteral("Paused");
const QString finished_text = QStringLiteral("Finished");
const QString input_pending_text = QStringLiteral("Input pending in ") + QLatin1String(console_title);
const QString paste_pending_text = QStringLiteral("Paste input pending");

// Runs the function on the window thread and waits for its result; the
// worker holds no lock meanwhile.  If the window goes away first, the
// abandoned promise makes get() throw instead of waiting for ever.
template <class Result, class Function>
Result call_on_window_thread(QObject* context, Function function)
{
    auto promise = std::make_shared<std::promise<Result>>();
    auto result = promise->get_future();
    QMetaObject::invokeMethod(
        context, [promise, function]() mutable { promise->set_value(function()); }, Qt::QueuedConnection);
    return result.get();
}

// Message boxes show line breaks as "\n" alone.
QString box_text(std::string_view cp1252_text)
{
    QString text = cp1252_to_qstring(cp1252_text);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

QString without_mnemonic_shortcut(const QString& text)
{
    return text.section(QLatin1Char('\t'), 0, 0);
}

}  // namespace

// Echo and beeps of typed and pasted input.
class ConsoleFrame::typed_feedback : public input_feedback {
public:
    explicit typed_feedback(ConsoleFrame& frame) noexcept : frame_(frame) {}

    void echo_typed(std::string_view text) override
    {
        // Typing is refused while paused, so the lock is never held up by a pause.
        std::lock_guard drawing(frame_.drawing_lock_);
        frame_.grid_.write(text, frame_.picture_);
        frame_.post_damage();
    }
    void echo_pasted(std::string_view text) override
    {
        if (text.empty())
            return;
        auto drawing = frame_.run_.lock_for_drawing();
        frame_.grid_.write(text, frame_.picture_);
        frame_.post_damage();
    }
    bool erase_back() override
    {
        std::lock_guard drawing(frame_.drawing_lock_);
        const bool erased = frame_.grid_.erase_back(frame_.picture_);
        frame_.post_damage();
        return erased;
    }
    void beep() override { frame_.beep(); }
    void input_state_changed() override
    {
        QMetaObject::invokeMethod(&frame_, [frame = &frame_] { frame->refresh_status(); }, Qt::QueuedConnection);
    }

private:
    ConsoleFrame& frame_;
};

// The console operations as the dialogue calls them, on its worker thread.
class ConsoleFrame::worker_console : public dialogue::console_window {
public:
    explicit worker_console(ConsoleFrame& frame) noexcept : frame_(frame) {}

    int write_console_text(std::string_view text) override
    {
        auto drawing = frame_.run_.lock_for_drawing();
        frame_.grid_.write(text, frame_.picture_);
        frame_.post_damage();
        return static_cast<int>(text.size());
    }
    std::optional<std::string> read_console_line(int max_length) override
    {
        return frame_.input_.read_line(max_length);
    }
    std::int32_t set_window_state(std::int32_t unit, const dialogue::window_request& request) override
    {
        if (request.type < 1 || request.type > 4)
            return -1;
        if (unit == dialogue::frame_unit) {
            QMetaObject::invokeMethod(
                &frame_, [frame = &frame_, request] { frame->apply_frame_request(request); }, Qt::QueuedConnection);
            return 0;
        }
        if (dialogue::names_console_window(unit)) {
            QMetaObject::invokeMethod(
                &frame_, [frame = &frame_, request] { frame->apply_console_request(request); },
                Qt::QueuedConnection);
            return 0;
        }
        return -1;
    }
    std::int32_t set_background_rgb(std::uint32_t rgb) override
    {
        auto drawing = frame_.run_.lock_for_drawing();
        return static_cast<std::int32_t>(frame_.grid_.set_background_rgb(rgb));
    }
    void clear_console(int area) override
    {
        // Only area 0, the whole console, is used by the program.
        if (area != 0)
            return;
        auto drawing = frame_.run_.lock_for_drawing();
        frame_.grid_.clear(frame_.picture_);
        frame_.post_damage();
    }
    dialogue::closing_answer ask_closing_question(std::string_view text) override
    {
        return call_on_window_thread<dialogue::closing_answer>(
            &frame_, [frame = &frame_, question = box_text(text)] {
                QMessageBox box(QMessageBox::Warning, frame->title_, question,
                                QMessageBox::Yes | QMessageBox::No, frame);
                box.setDefaultButton(QMessageBox::No);
                return box.exec() == QMessageBox::Yes ? dialogue::closing_answer::yes
                                                      : dialogue::closing_answer::no;
            });
    }
    void show_run_time_error(std::string_view caption, std::string_view text) override
    {
        call_on_window_thread<bool>(&frame_, [frame = &frame_, title = box_text(caption), report = box_text(text)] {
            QMessageBox box(QMessageBox::Critical, title, report, QMessageBox::Ok, frame);
            box.setWindowModality(Qt::ApplicationModal);
            box.exec();
            return true;
        });
    }
    void set_exit_code_on_close(int exit_code) override { frame_.close_exit_code_ = exit_code; }
    void close_window(int) override
    {
        QMetaObject::invokeMethod(
            &frame_,
            [frame = &frame_] {
                frame->closing_for_good_ = true;
                frame->close();
            },
            Qt::QueuedConnection);
    }
    [[noreturn]] void wait_until_closed() override
    {
        // The process ends when the user closes the frame; this thread is
        // never joined then.
        for (;;)
            std::this_thread::sleep_for(std::chrono::hours(1));
    }

private:
    ConsoleFrame& frame_;
};

ConsoleFrame::ConsoleFrame(QString title, QSize screen_size, std::function<void(int)> end_process)
    : title_(std::move(title)), end_process_(std::move(end_process)),
      grid_(screen_size.width() / cell_width, screen_size.height() / cell_height), picture_(screen_size),
      run_(drawing_lock_), feedback_(std::make_unique<typed_feedback>(*this)), input_(*feedback_),
      worker_console_(std::make_unique<worker_console>(*this))
{
    setWindowTitle(title_);
    build_console_window();
    build_menus();
    build_status_bar();
    refresh_status();
}

ConsoleFrame::~ConsoleFrame()
{
    input_.shut_down();
    // The widgets paint from the picture, which goes with the members.
    delete takeCentralWidget();
}

dialogue::console_window& ConsoleFrame::console() noexcept
{
    return *worker_console_;
}

void ConsoleFrame::build_console_window()
{
    area_ = new QMdiArea(this);
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(area_);

    view_ = new ConsoleView({&drawing_lock_, &picture_.image(), grid_.columns(), grid_.rows()});
    child_ = area_->addSubWindow(view_, Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                            Qt::WindowMinMaxButtonsHint);
    child_->setWindowTitle(QString::fromLatin1(console_title));
    // The console window cannot be closed on its own.
    for (QAction* entry : child_->systemMenu()->actions())
        if (entry->shortcut() == QKeySequence::Close || entry->text().contains(QStringLiteral("Close")))
            child_->systemMenu()->removeAction(entry);
    child_->installEventFilter(this);
    child_->resize(640, 480);
    child_->show();
    area_->setActiveSubWindow(child_);
    view_->setFocus();

    connect(view_, &ConsoleView::character_typed, this,
            [this](char character) { input_.type_character(character, run_.paused()); });
    connect(view_, &ConsoleView::character_refused, this, &ConsoleFrame::beep);
    connect(view_, &ConsoleView::escape_pressed, this, &ConsoleFrame::resume_run);
    connect(view_, &ConsoleView::pause_key_pressed, this, &ConsoleFrame::pause_run);
    connect(view_, &ConsoleView::resume_key_pressed, this, &ConsoleFrame::resume_run);
    connect(view_, &ConsoleView::exit_key_pressed, this, &ConsoleFrame::exit_program);
}

QAction* ConsoleFrame::add_entry(QMenu* menu, const QString& menu_title, const QString& entry)
{
    QAction* added = menu->addAction(entry);
    actions_[{menu_title, without_mnemonic_shortcut(entry)}] = added;
    return added;
}

QAction* ConsoleFrame::action(const QString& menu, const QString& entry) const
{
    const auto found = actions_.find({menu, entry});
    return found == actions_.end() ? nullptr : found->second;
}

void ConsoleFrame::build_menus()
{
    const QString file = QStringLiteral("&File");
    QMenu* menu = menuBar()->addMenu(file);
    connect(add_entry(menu, file, QStringLiteral("&Print...")), &QAction::triggered, this,
            &ConsoleFrame::print_picture);
    connect(add_entry(menu, file, QStringLiteral("&Save...")), &QAction::triggered, this,
            &ConsoleFrame::save_picture);
    menu->addSeparator();
    QAction* exit = add_entry(menu, file, QStringLiteral("E&xit"));
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    connect(exit, &QAction::triggered, this, &ConsoleFrame::exit_program);

    const QString edit = QStringLiteral("&Edit");
    menu = menuBar()->addMenu(edit);
    connect(add_entry(menu, edit, QStringLiteral("Select &Text")), &QAction::triggered, this,
            &ConsoleFrame::select_text);
    connect(add_entry(menu, edit, QStringLiteral("Select &Graphics")), &QAction::triggered, this,
            &ConsoleFrame::select_graphics);
    connect(add_entry(menu, edit, QStringLiteral("Select &All")), &QAction::triggered, this,
            &ConsoleFrame::select_all);
    menu->addSeparator();
    QAction* copy = add_entry(menu, edit, QStringLiteral("&Copy"));
    copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Insert));
    connect(copy, &QAction::triggered, this, &ConsoleFrame::copy_selection);
    connect(add_entry(menu, edit, QStringLiteral("&Paste")), &QAction::triggered, this,
            &ConsoleFrame::paste_input);
    auto* paste_key = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Insert), this);
    connect(paste_key, &QShortcut::activated, this, &ConsoleFrame::paste_input);

    const QString view = QStringLiteral("&View");
    menu = menuBar()->addMenu(view);
    QAction* fit = add_entry(menu, view, QStringLiteral("&Size To Fit"));
    fit->setCheckable(true);
    connect(fit, &QAction::toggled, this, &ConsoleFrame::toggle_size_to_fit);
    QAction* full = add_entry(menu, view, QStringLiteral("&Full Screen"));
    full->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Return));
    connect(full, &QAction::triggered, this, &ConsoleFrame::toggle_full_screen);

    const QString state = QStringLiteral("&State");
    menu = menuBar()->addMenu(state);
    state_action_ = add_entry(menu, state, QStringLiteral("&Pause"));
    actions_[{state, QStringLiteral("&Resume")}] = state_action_;
    state_action_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(state_action_, &QAction::triggered, this, [this] {
        if (run_.paused())
            resume_run();
        else
            pause_run();
    });

    const QString window = QStringLiteral("&Window");
    menu = menuBar()->addMenu(window);
    connect(add_entry(menu, window, QStringLiteral("&Cascade")), &QAction::triggered, area_,
            &QMdiArea::cascadeSubWindows);
    connect(add_entry(menu, window, QStringLiteral("&Tile")), &QAction::triggered, area_,
            &QMdiArea::tileSubWindows);
    connect(add_entry(menu, window, QStringLiteral("&Arrange Icons")), &QAction::triggered, area_,
            &QMdiArea::tileSubWindows);
    menu->addSeparator();
    input_action_ = add_entry(menu, window, QStringLiteral("&Input"));
    connect(input_action_, &QAction::triggered, this, &ConsoleFrame::activate_input);
    connect(add_entry(menu, window, QStringLiteral("C&lear Paste")), &QAction::triggered, this,
            &ConsoleFrame::clear_paste);
    QAction* status = add_entry(menu, window, QStringLiteral("&Status Bar"));
    status->setCheckable(true);
    status->setChecked(true);
    connect(status, &QAction::toggled, this, &ConsoleFrame::toggle_status_bar);
    menu->addSeparator();
    QAction* child_entry = add_entry(menu, window, QStringLiteral("&1 ") + QLatin1String(console_title));
    connect(child_entry, &QAction::triggered, this, &ConsoleFrame::activate_input);

    const QString help = QStringLiteral("&Help");
    menu = menuBar()->addMenu(help);
    connect(add_entry(menu, help, QStringLiteral("&Contents")), &QAction::triggered, this,
            &ConsoleFrame::show_help);
    connect(add_entry(menu, help, QStringLiteral("Using &Help")), &QAction::triggered, this,
            &ConsoleFrame::show_help);
    menu->addSeparator();
    connect(add_entry(menu, help, QStringLiteral("&About")), &QAction::triggered, this,
            &ConsoleFrame::show_about);
}

void ConsoleFrame::build_status_bar()
{
    state_label_ = new QLabel(this);
    state_label_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    state_label_->setMinimumWidth(10 * fontMetrics().averageCharWidth());
    message_label_ = new QLabel(this);
    message_label_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar()->addWidget(state_label_);
    statusBar()->addWidget(message_label_, 1);
    statusBar()->setSizeGripEnabled(false);
}

void ConsoleFrame::refresh_status()
{
    state_label_->setText(state_text());
    const bool waiting = input_.waiting();
    const bool pasted = input_.paste_pending();
    message_label_->setText(pasted ? paste_pending_text : waiting ? input_pending_text : QString());
    input_action_->setEnabled(waiting);
    if (run_.paused()) {
        state_action_->setText(QStringLiteral("&Resume"));
        state_action_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    } else {
        state_action_->setText(QStringLiteral("&Pause"));
        state_action_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    }
}

QString ConsoleFrame::state_text() const
{
    switch (run_.state()) {
    case run_state::running: return running_text;
    case run_state::paused: return paused_text;
    case run_state::finished: return finished_text;
    }
    return {};
}

QString ConsoleFrame::message_text() const
{
    return message_label_->text();
}

QImage ConsoleFrame::picture() const
{
    std::lock_guard drawing(drawing_lock_);
    return picture_.image().copy();
}

std::string ConsoleFrame::grid_text(cell_position first, cell_position last) const
{
    std::lock_guard drawing(drawing_lock_);
    return grid_.area_text(first, last);
}

cell_position ConsoleFrame::cursor() const
{
    std::lock_guard drawing(drawing_lock_);
    return grid_.cursor();
}

void ConsoleFrame::post_damage()
{
    // Called with the drawing lock held; the view repaints the area later.
    const QRect damage = picture_.take_damage();
    if (damage.isEmpty())
        return;
    QMetaObject::invokeMethod(view_, [view = view_, damage] { view->picture_changed(damage); },
                              Qt::QueuedConnection);
}

void ConsoleFrame::beep()
{
    ++beeps_;
    QApplication::beep();
}

int ConsoleFrame::apply_frame_request(const dialogue::window_request& request)
{
    if (isMinimized() || isMaximized())
        showNormal();
    switch (request.type) {
    case 1: showMinimized(); return 0;
    case 2:
        // Without a window manager to honour the request the frame is given
        // the screen's room itself.
        if (const QScreen* shown_on = screen())
            setGeometry(shown_on->availableGeometry());
        showMaximized();
        return 0;
    case 3: showNormal(); return 0;
    case 4: {
        move(request.x, request.y);
        const int bars = menuBar()->height() + (statusBar()->isVisible() ? statusBar()->height() : 0);
        resize(request.width, request.height + bars);
        area_->cascadeSubWindows();
        return 0;
    }
    default: return -1;
    }
}

int ConsoleFrame::apply_console_request(const dialogue::window_request& request)
{
    switch (request.type) {
    case 1: child_->showMinimized(); return 0;
    case 2: child_->showMaximized(); return 0;
    case 3: child_->showNormal(); return 0;
    case 4: {
        // Room for width columns and height rows besides the window's own border.
        const QSize border = child_->size() - view_->viewport()->size();
        child_->showNormal();
        child_->setGeometry(request.x * cell_width, request.y * cell_height,
                            request.width * cell_width + border.width(),
                            request.height * cell_height + border.height());
        return 0;
    }
    default: return -1;
    }
}

void ConsoleFrame::run_finished()
{
    run_.finish();
    refresh_status();
}

void ConsoleFrame::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (closing_for_good_)
        return;
    closing_for_good_ = true;
    input_.shut_down();
    end_process_(close_exit_code_.load());
}

bool ConsoleFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == child_ && event->type() == QEvent::Close) {
        event->ignore();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void ConsoleFrame::exit_program()
{
    close();
}

void ConsoleFrame::pause_run()
{
    run_.pause();
    refresh_status();
}

void ConsoleFrame::resume_run()
{
    end_selection();
    run_.resume();
    refresh_status();
}

void ConsoleFrame::end_selection()
{
    if (!view_->selecting())
        return;
    view_->set_selecting(false);
    view_->set_selection(std::nullopt);
    child_->setWindowTitle(QString::fromLatin1(console_title));
}

void ConsoleFrame::select_text()
{
    pause_run();
    picture_selection_ = false;
    view_->set_selecting(true);
    view_->set_selection(std::nullopt);
    child_->setWindowTitle(QStringLiteral("Select Text - ") + QLatin1String(console_title));
}

void ConsoleFrame::select_graphics()
{
    select_text();
    picture_selection_ = true;
}

void ConsoleFrame::select_all()
{
    pause_run();
    picture_selection_ = false;
    view_->set_selecting(true);
    view_->set_selection(QRect(QPoint(1, 1), QPoint(grid_.columns(), grid_.rows())));
    child_->setWindowTitle(QStringLiteral("Mark Text - ") + QLatin1String(console_title));
}

void ConsoleFrame::copy_selection()
{
    const auto cells = view_->selection();
    if (!cells)
        return;
    if (picture_selection_) {
        const QRect area = console_picture::cell_rect({cells->top(), cells->left()}, cells->width())
                               .united(console_picture::cell_rect({cells->bottom(), cells->left()}, cells->width()));
        QGuiApplication::clipboard()->setImage(picture().copy(area));
        return;
    }
    const auto text = grid_text({cells->top(), cells->left()}, {cells->bottom(), cells->right()});
    QGuiApplication::clipboard()->setText(cp1252_to_qstring(text));
}

void ConsoleFrame::paste_input()
{
    const QString text = QGuiApplication::clipboard()->text();
    input_.paste(records::utf8_to_cp1252(text.toStdString()));
}

void ConsoleFrame::clear_paste()
{
    input_.clear_paste();
}

void ConsoleFrame::save_picture()
{
    const QString name = QFileDialog::getSaveFileName(this, QStringLiteral("Save"), QString(),
                                                      QStringLiteral("Bitmap Files(*.bmp)"));
    if (!name.isEmpty())
        picture().save(name, "BMP");
}

void ConsoleFrame::print_picture()
{
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QImage image = picture();
    QPainter painter(&printer);
    const QRect page = painter.viewport();
    QSize size = image.size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    painter.drawImage(QRect(page.topLeft(), size), image);
}

void ConsoleFrame::toggle_size_to_fit(bool on)
{
    view_->set_size_to_fit(on);
}

void ConsoleFrame::toggle_full_screen()
{
    if (isFullScreen()) {
        showMaximized();
        return;
    }
    child_->showMaximized();
    showFullScreen();
}

void ConsoleFrame::activate_input()
{
    area_->setActiveSubWindow(child_);
    view_->setFocus();
}

void ConsoleFrame::toggle_status_bar(bool shown)
{
    statusBar()->setVisible(shown);
}

void ConsoleFrame::show_about()
{
    QMessageBox::about(this, title_,
                       title_ + QStringLiteral("\nConsole window for the dialogue of the program."));
}

void ConsoleFrame::show_help()
{
    QMessageBox::information(this, title_, QStringLiteral("Help not available for menu item"));
}

}  // namespace dialogue_window
