#include "dialogue_window/window_program.hpp"

#include "critical/critical_tau.hpp"
#include "dialogue/dialogue.hpp"
#include "dialogue_window/ConsoleFrame.hpp"

#include <QApplication>
#include <QFileInfo>
#include <QScreen>

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace dialogue_window {

namespace {

std::atomic<ConsoleFrame*> checkpoint_frame{nullptr};

// The long computation calls this now and then, so a paused run holds there.
void computation_checkpoint()
{
    if (ConsoleFrame* frame = checkpoint_frame.load())
        frame->checkpoint();
}

// The worker runs one step below the window thread, so that menus,
// scrolling and Pause stay responsive while it computes.
void lower_worker_priority()
{
    const auto thread_id = static_cast<id_t>(::gettid());
    ::setpriority(PRIO_PROCESS, thread_id, ::getpriority(PRIO_PROCESS, thread_id) + 1);
}

QString program_title(int argc, char** argv)
{
    const QString path = argc > 0 ? QString::fromLocal8Bit(argv[0]) : QCoreApplication::applicationFilePath();
    return QFileInfo(path).completeBaseName();
}

}  // namespace

int run_window_program(int argc, char** argv)
{
    QApplication application(argc, argv);
    // The frame hides on Yes before the dialogue has returned; the program
    // ends when the worker says so or when the user closes the frame.
    QApplication::setQuitOnLastWindowClosed(false);
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return 0;

    ConsoleFrame frame(program_title(argc, argv), screen->geometry().size(),
                       [](int exit_code) { QCoreApplication::exit(exit_code); });
    if (std::getenv("TESTETAU_WINDOW_DEBUG") != nullptr)
        std::fprintf(stderr, "console grid %dx%d\n", frame.columns(), frame.rows());
    frame.show();

    checkpoint_frame = &frame;
    critical::set_search_checkpoint(&computation_checkpoint);
    std::atomic<bool> worker_done{false};
    std::thread worker([&frame, &worker_done] {
        lower_worker_priority();
        critical::set_worker_floating_point_environment();
        const int exit_code = dialogue::run_dialogue(frame.console());
        worker_done = true;
        QMetaObject::invokeMethod(
            &frame,
            [&frame, exit_code] {
                frame.run_finished();
                QCoreApplication::exit(exit_code);
            },
            Qt::QueuedConnection);
    });

    const int exit_code = QApplication::exec();
    if (worker_done.load()) {
        worker.join();
        critical::set_search_checkpoint(nullptr);
        checkpoint_frame = nullptr;
        return exit_code;
    }
    // The user closed the frame while the worker reads, computes or waits
    // after No; it is not joined, the process ends here with the close code.
    std::fflush(nullptr);
    std::_Exit(exit_code);
}

}  // namespace dialogue_window
