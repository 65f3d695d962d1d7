// Assorted inputs against an independent re-computation of the same
// arithmetic (reference_values.py, which wrote reference_values.txt): the
// 64-bit patterns of t and tau must agree, as must the search points.

#include "critical/critical_tau.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct reference_value {
    std::string line;
    std::uint64_t alpha_bits = 0;
    std::int32_t n = 0;
    std::int32_t r = 0;
    std::uint64_t t_bits = 0;
    std::uint64_t tau_bits = 0;
    std::int64_t steps = 0;
};

std::vector<reference_value> read_reference_values()
{
    std::vector<reference_value> rows;
    std::ifstream file(CRITICAL_REFERENCE_VALUES);
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line.front() == '#') {
            continue;
        }
        reference_value row;
        row.line = line;
        std::istringstream fields(line);
        fields >> std::hex >> row.alpha_bits >> std::dec >> row.n >> row.r >> std::hex >> row.t_bits >>
            row.tau_bits >> std::dec >> row.steps;
        if (!fields) {
            ADD_FAILURE() << "unreadable line: " << line;
            continue;
        }
        rows.push_back(row);
    }
    return rows;
}

TEST(bit_exact, matches_the_independent_recomputation)
{
    const std::vector<reference_value> rows = read_reference_values();
    ASSERT_GE(rows.size(), 40U) << CRITICAL_REFERENCE_VALUES;
    for (const reference_value& row : rows) {
        SCOPED_TRACE(row.line);
        double alpha = std::bit_cast<double>(row.alpha_bits);
        const std::optional<critical::critical_value> value =
            critical::compute_critical_value(alpha, row.n, row.r);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(std::bit_cast<std::uint64_t>(value->t), row.t_bits) << value->t;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(value->tau), row.tau_bits) << value->tau;
        EXPECT_EQ(value->search_steps, row.steps);
    }
}

}  // namespace
