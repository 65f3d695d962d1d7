// The cost of the records of one run: the field texts of the result record,
// a whole formatted write and the read of one answer.

#include "records/console_connection.hpp"
#include "records/read.hpp"
#include "records/write.hpp"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// A console that shows nothing and types the same answer every time.
class quiet_console : public records::console_port {
public:
    explicit quiet_console(std::string answer) : answer_(std::move(answer)) {}
    int write_console_text(std::string_view text) override
    {
        benchmark::DoNotOptimize(text.data());
        return static_cast<int>(text.size());
    }
    std::optional<std::string> read_console_line(int) override { return answer_; }

private:
    std::string answer_;
};

void real_field(benchmark::State& state)
{
    const double values[] = {2.1041894209847913, 0.05000000074505806, 1e-300, 1e300};
    const double v = values[state.range(0)];
    for (auto _ : state)
        benchmark::DoNotOptimize(records::real_field_text(v, 6, 2));
}
BENCHMARK(real_field)->DenseRange(0, 3);

void result_record(benchmark::State& state)
{
    quiet_console console("");
    records::console().attach(&console);
    for (auto _ : state)
        records::write_formatted(0,
                                 "(/,/,20X,'valor de critico de tau',F6.2,' para',I4,' observacoes,',/,20X,I3,"
                                 "' graus de liberdade e alfa igual a 0',F4.3,/,/)",
                                 {2.1041894209847913, std::int32_t{10}, std::int32_t{5}, 0.05});
    records::console().attach(nullptr);
}
BENCHMARK(result_record);

void read_answer(benchmark::State& state)
{
    quiet_console console("   0.05   e o resto da linha, descartado");
    records::console().attach(&console);
    double alpha = 0;
    for (auto _ : state) {
        records::read_double(alpha);
        benchmark::DoNotOptimize(alpha);
    }
    records::console().attach(nullptr);
}
BENCHMARK(read_answer);

}  // namespace
