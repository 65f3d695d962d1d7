// The one fixed dialogue of the tau test: banner, instruction, three
// questions, the critical value, the note and the stop.

#include "dialogue/dialogue.hpp"

#include "critical/critical_tau.hpp"
#include "records/console_connection.hpp"
#include "records/read.hpp"
#include "records/run_time_error.hpp"
#include "records/units.hpp"
#include "records/write.hpp"
#include "report_file/report_file.hpp"

#include <mutex>
#include <string>

namespace dialogue {

namespace {

using records::console_unit;
using records::write_formatted;

// The window the running dialogue talks to; set for the length of a run.
console_window* active_window = nullptr;

console_window& window()
{
    return *active_window;
}

// The answers and the result, zero at the start of every run.
struct dialogue_values {
    double alpha = 0;
    std::int32_t n_observations = 0;
    std::int32_t degrees_of_freedom = 0;
    double tau = 0;
};
dialogue_values values;

// The steel blue of the console: red 84, green 118, blue 153.
constexpr std::uint32_t console_background_rgb = 0x997654;

// Maximise, for the frame and for the console window alike.
constexpr window_request maximise_request{2, 0, 0, 0, 0};

// The banner: a box 77 characters wide after 7 blanks; the first of them is
// taken as carriage control, so the box starts in column 7 of the window.
constexpr std::string_view banner_formats[] = {
    "(7X,'*',76('*'))",
    "(7X,'*',75X,'*')",
    "(7X,'*',26X,'Universidade Federal de Quelmo',19X,'*',/,7X,'*',25X,"
    "'CURSO DE ENGENHARIA DE AGRIMENSURA',16X,'*')",
    "(7X,'*',14X,'KOVESA - Nucleo Kovesa de Levantamentos e Redes Geodesicas',3X,'*')",
    "(7X,'*',9X,' Pos Graduacao em Engenharia Civil - Area: TRIANGULACAO DE REDES',2X,'*')",
    "(7X,'*',75X,'*')",
    "(7X,'* Versao 23 jul 2008',15X,'- - TESTE TAU  -',25X,'*')",
    "(7X,'*',35X,'   Prof. Olmero',25X,'*')",
    "(7X,'*',75X,'*',/,7X,'*',75('*'),'*',/,/,1X)",
};

constexpr std::string_view instruction_format =
    "(/,7X,'Entre com alfa na forma decimal. Ex.: se alfa for 5%, use 0.05',/)";

// Each question leaves its line open, so the answer is typed after the arrow.
constexpr std::string_view question_format = "(a\\)";
constexpr std::string_view alpha_question = "    Entre com o valor de alfa  --> ";
constexpr std::string_view observations_question = "    Entre com o num de observacoes  --> ";
constexpr std::string_view freedom_question = "    Entre com o grau de liberdade  --> ";

// The literal "0" stands before F4.3, which shows no zero before the point:
// 0.05 reads "0.050".
constexpr std::string_view result_format =
    "(/,/,20X,'valor de critico de tau',F6.2,' para',I4,' observacoes,',/,20X,I3,"
    "' graus de liberdade e alfa igual a 0',F4.3,/,/)";

// The explanatory note; its two accented letters are the cp1252 bytes 0xE9
// (e-acute) and 0xE7 (c-cedilla).
constexpr std::string_view note_format =
    "(7X,76('-'),/,7X,'O teste TAU \xE9 usado para testar se um residuo',/,7X,"
    "' provem de um ERRO GROSSEIRO. Mais detalhe na apostila de',/,7X,"
    "'Ajustamento de Observacoes ou no endere\xE7o  http://www.ufq.br/agrimensura/ajustamento',"
    "/,7X,76('-'))";

constexpr std::string_view stop_message = "Stop - Program terminated.\r\n";
constexpr std::string_view error_caption = "run-time error ";

// Shows a failed statement or operation and ends the run: the closing
// question follows with exit code 1.
void report_run_time_error(const records::run_time_error& error)
{
    // Once a failure has been shown, closing the window must not report success.
    window().set_exit_code_on_close(1);
    window().show_run_time_error(error_caption, error.report_text());
    finish_run(1);
}

}  // namespace

std::int32_t set_window_state(std::int32_t unit, const window_request& request)
{
    // A unit connected to a file has no window.
    if (unit != frame_unit && records::find_explicit_connection(unit))
        return -1;
    return window().set_window_state(unit, request);
}

std::int32_t set_background_rgb(std::uint32_t rgb)
{
    return window().set_background_rgb(rgb);
}

void clear_window(int area)
{
    auto& con = records::console();
    std::scoped_lock hold(con.lock);
    // An open line is ended now, so that the next record starts on the row
    // where the cursor then stands (row 1) instead of below it.
    if (area == 0 && con.line_is_open() && !con.continue_line) {
        con.write_text("\r\n");
        con.line_end_written = true;
    }
    window().clear_console(area);
}

void prepare_run()
{
    set_window_state(frame_unit, maximise_request);
    set_background_rgb(console_background_rgb);
    clear_window(0);
    set_window_state(0, maximise_request);
    for (std::string_view format : banner_formats)
        write_formatted(0, format);
    report_file::connect_program_report_file();
}

void main_program()
{
    prepare_run();
    write_formatted(0, instruction_format);
    write_formatted(console_unit, question_format, {alpha_question});
    records::read_double(values.alpha);
    write_formatted(console_unit, question_format, {observations_question});
    records::read_integer(values.n_observations);
    write_formatted(console_unit, question_format, {freedom_question});
    records::read_integer(values.degrees_of_freedom);
    critical::critical_tau(values.alpha, values.n_observations, values.degrees_of_freedom, values.tau);
    write_formatted(0, result_format,
                    {values.tau, values.n_observations, values.degrees_of_freedom, values.alpha});
    write_formatted(0, note_format);
    stop_run();
}

void stop_run()
{
    {
        auto& con = records::console();
        std::scoped_lock hold(con.lock);
        // The note's last record leaves its line open; the message stands
        // alone on the next row, in column 1.
        if (con.line_open)
            con.write_text("\r\n");
        con.write_text(stop_message);
    }
    finish_run(0);
}

void finish_run(int exit_code)
{
    const std::string question =
        "Program Terminated with exit code " + std::to_string(exit_code) + "\nExit Window?";
    if (window().ask_closing_question(question) == closing_answer::no)
        window().wait_until_closed();
    window().close_window(exit_code);
}

int run_dialogue(console_window& window_to_use)
{
    active_window = &window_to_use;
    values = dialogue_values{};
    records::console().attach(&window_to_use);
    critical::set_worker_floating_point_environment();
    int exit_code = 0;
    try {
        main_program();
    } catch (const records::run_time_error& error) {
        report_run_time_error(error);
        exit_code = 1;
    }
    records::close_all_units();
    records::console().attach(nullptr);
    active_window = nullptr;
    return exit_code;
}

}  // namespace dialogue
