// The companion tool as a teacher runs it: its output line, its reports on
// standard error and its exit status.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <memory>
#include <ostream>
#include <string>

namespace {

struct tool_run {
    std::string output;  // standard output and standard error together
    int exit_status = -1;
};

tool_run run_tool(const std::string& arguments)
{
    const std::string command = std::string("'") + CRITICAL_TAU_TOOL + "' " + arguments + " 2>&1";
    tool_run run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot run " << command;
        return run;
    }
    std::array<char, 256> buffer{};
    while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe) != nullptr) {
        run.output += buffer.data();
    }
    const int status = pclose(pipe);
    run.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

struct tool_case {
    const char* name;
    const char* arguments;
    const char* output;
    int exit_status;
};

std::ostream& operator<<(std::ostream& out, const tool_case& row)
{
    return out << row.arguments;
}

class critical_tau_tool : public ::testing::TestWithParam<tool_case> {};

TEST_P(critical_tau_tool, prints_and_exits_as_documented)
{
    const tool_case& row = GetParam();
    const tool_run run = run_tool(row.arguments);
    EXPECT_EQ(run.output, row.output);
    EXPECT_EQ(run.exit_status, row.exit_status);
}

INSTANTIATE_TEST_SUITE_P(
    critical_tau, critical_tau_tool,
    ::testing::Values(
        tool_case{"search", "0.05 10 5", "5.5624996030400506\t2.1041894209847913\t8358\n", 0},
        tool_case{"tangent", "0.05 1 2", "12.706704736198445\t1.4098543554292189\t0\n", 0},
        tool_case{"zero_alpha", "0 10 5", "5.5624996030400506\t2.1041894209847913\t8358\n", 0},
        tool_case{"no_degrees_of_freedom", "0.05 10 1",
                  "\n  =====> GRAU DE LIBERDADE = 1, TAU NAO SERA CALCULADO\n", 0},
        tool_case{"division_by_zero", "0.05 0 5",
                  "run-time error \nM6103: MATH\n- floating-point error: divide by zero\n", 1},
        tool_case{"square_root_domain", "-0.1 1 4", "run-time error \nM6201: MATH\n- sqrt: DOMAIN error\n", 1}),
    [](const ::testing::TestParamInfo<tool_case>& info) { return std::string(info.param.name); });

class critical_tau_tool_usage : public ::testing::TestWithParam<const char*> {};

TEST_P(critical_tau_tool_usage, is_explained_with_status_2)
{
    const tool_run run = run_tool(GetParam());
    EXPECT_EQ(run.output.rfind("usage: critical-tau ALPHA N R\n", 0), 0U) << run.output;
    EXPECT_EQ(run.exit_status, 2);
}

INSTANTIATE_TEST_SUITE_P(critical_tau, critical_tau_tool_usage,
                         ::testing::Values("", "0.05 10", "0.05 10 5 6", "x 10 5", "0.05 1.5 5",
                                           "0.05 10 99999999999", "0.05 10 5x"));

}  // namespace
