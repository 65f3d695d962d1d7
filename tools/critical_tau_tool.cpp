// critical-tau ALPHA N R: the values behind the window's result, for
// teachers and for exactness checks, from the same critical_tau code.

#include "critical/critical_tau.hpp"

#include "records/run_time_error.hpp"

#include <charconv>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace {

constexpr int exit_run_time_error = 1;
constexpr int exit_usage = 2;

constexpr const char* usage_text =
    "usage: critical-tau ALPHA N R\n"
    "  ALPHA  overall significance level as a decimal fraction (0.05 for 5 %;\n"
    "         0 is replaced by 0.05, widened from single precision)\n"
    "  N      number of observations (integer)\n"
    "  R      degrees of freedom (integer)\n"
    "Prints one line: t (the Student t quantile with its offset of 0.0005) and\n"
    "tau, each with 17 significant digits, and the number of search points,\n"
    "separated by tabs.  For R of 1 or less nothing is computed: it prints an\n"
    "empty line and the warning the dialogue shows, tau stays 0, exit status 0.\n"
    "A failed computation prints the run-time error report to standard error\n"
    "(exit status 1); a bad command line prints this text (exit status 2).\n";

template <typename Number>
std::optional<Number> parse_whole(std::string_view text)
{
    Number value{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || stop != end) {
        return std::nullopt;
    }
    return value;
}

// The report as the terminal shows it: the caption on its own line, then the
// report text with its line break.
void print_run_time_error(const records::run_time_error& error)
{
    std::string text = error.report_text();
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
        text.erase(at, 1);
    }
    std::fprintf(stderr, "run-time error \n%s\n", text.c_str());
}

int print_critical_value(double alpha, std::int32_t n_observations, std::int32_t degrees_of_freedom)
{
    critical::set_worker_floating_point_environment();
    try {
        const std::optional<critical::critical_value> value =
            critical::compute_critical_value(alpha, n_observations, degrees_of_freedom);
        if (!value) {
            std::printf("\n%.*s\n", static_cast<int>(critical::degrees_of_freedom_warning.size()),
                        critical::degrees_of_freedom_warning.data());
            return 0;
        }
        std::printf("%.17g\t%.17g\t%" PRId64 "\n", value->t, value->tau, value->search_steps);
        return 0;
    } catch (const records::run_time_error& error) {
        print_run_time_error(error);
        return exit_run_time_error;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fputs(usage_text, stderr);
        return exit_usage;
    }
    const std::optional<double> alpha = parse_whole<double>(argv[1]);
    const std::optional<std::int32_t> n_observations = parse_whole<std::int32_t>(argv[2]);
    const std::optional<std::int32_t> degrees_of_freedom = parse_whole<std::int32_t>(argv[3]);
    if (!alpha || !n_observations || !degrees_of_freedom) {
        std::fputs(usage_text, stderr);
        return exit_usage;
    }
    return print_critical_value(*alpha, *n_observations, *degrees_of_freedom);
}
