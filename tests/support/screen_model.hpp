#pragma once
// Rows of text laid out the way the console window lays out what is written
// to it (carriage return, line feed, one blank for an empty text), without
// wrapping; the tests compare these rows with what the user should see.

#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

class screen_model {
public:
    void write(std::string_view text)
    {
        log.append(text.empty() ? std::string_view(" ") : text);
        if (text.empty())
            put(' ');
        for (char c : text) {
            if (c == '\r')
                column = 0;
            else if (c == '\n')
                ++row;
            else
                put(c);
        }
    }

    // The rows with their trailing blanks dropped, as Copy would give them.
    std::vector<std::string> trimmed_rows() const
    {
        std::vector<std::string> out;
        for (const auto& r : rows) {
            const auto end = r.find_last_not_of(' ');
            out.push_back(end == std::string::npos ? std::string() : r.substr(0, end + 1));
        }
        return out;
    }

    std::string log;                // every text written, in order
    std::vector<std::string> rows;  // what the window shows
    std::size_t row = 0;
    std::size_t column = 0;

private:
    void put(char c)
    {
        if (rows.size() <= row)
            rows.resize(row + 1);
        std::string& r = rows[row];
        if (r.size() <= column)
            r.resize(column + 1, ' ');
        r[column++] = c;
    }
};

}  // namespace testing_support
