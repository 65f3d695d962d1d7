// Connecting the report unit in a fresh working directory: creation, opening
// without change, the access attempts, and the failures with their numbers.

#include "report_file/report_file.hpp"

#include "records/run_time_error.hpp"
#include "records/units.hpp"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::literals;

// The sanitizers' own memory checks need free descriptors (a pipe), so a
// sanitized child with no descriptor left aborts before it can report.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool sanitized_build = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(undefined_behavior_sanitizer)
constexpr bool sanitized_build = true;
#else
constexpr bool sanitized_build = false;
#endif
#else
constexpr bool sanitized_build = false;
#endif

// The unprivileged account a root test run switches to, so that permission
// bits refuse access as they would for an ordinary user.
constexpr uid_t unprivileged_id = 65534;

std::string content_of(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_file(const fs::path& file, std::string_view content) {
    std::ofstream out(file, std::ios::binary);
    out << content;
}

struct stat status_of(const fs::path& file) {
    struct stat status {};
    EXPECT_EQ(::lstat(file.c_str(), &status), 0) << file;
    return status;
}

bool same_time(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// The descriptors of this process that refer to target.
std::vector<int> descriptors_on(const fs::path& target) {
    std::vector<int> found;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        const fs::path link = fs::read_symlink(entry.path(), error);
        if (!error && link == target) {
            found.push_back(std::stoi(entry.path().filename().string()));
        }
    }
    return found;
}

std::string access_mode_of(int fd) {
    switch (::fcntl(fd, F_GETFL) & O_ACCMODE) {
    case O_RDWR: return "read-write";
    case O_RDONLY: return "read-only";
    case O_WRONLY: return "write-only";
    default: return "unknown";
    }
}

// The report text of the run-time error the step raises, "" when it raises none.
std::string report_text_of(const std::function<void()>& step) {
    try {
        step();
    } catch (const records::run_time_error& error) {
        return error.report_text();
    }
    return {};
}

// Restores the umask of the process on leaving the scope.
class umask_setting {
public:
    explicit umask_setting(mode_t mask) : old_(::umask(mask)) {}
    ~umask_setting() { ::umask(old_); }
    umask_setting(const umask_setting&) = delete;
    umask_setting& operator=(const umask_setting&) = delete;

private:
    mode_t old_;
};

bool drop_root() {
    if (::geteuid() != 0) {
        return true;
    }
    return ::setgroups(0, nullptr) == 0 && ::setgid(unprivileged_id) == 0 &&
           ::setuid(unprivileged_id) == 0 && ::geteuid() == unprivileged_id;
}

struct child_outcome {
    bool skipped = false;
    std::string text;
};

// Runs step in a child process, under an unprivileged account when the tests
// run as root (root's permission override would open everything), and returns
// the text the step gives back, or the report text of its run-time error.
child_outcome run_unprivileged(const std::function<std::string()>& step) {
    int ends[2];
    if (::pipe(ends) != 0) {
        return {true, "no pipe to the child process"};
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ends[0]);
        std::string text = "skip";
        if (drop_root()) {
            try {
                text = "done " + step();
            } catch (const records::run_time_error& error) {
                text = "error " + error.report_text();
            } catch (...) {
                text = "error of another kind";
            }
        }
        [[maybe_unused]] const auto written = ::write(ends[1], text.data(), text.size());
        ::_exit(0);
    }
    ::close(ends[1]);
    std::string text;
    char buffer[256];
    for (ssize_t count; (count = ::read(ends[0], buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(ends[0]);
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    if (text == "skip") {
        return {true, "cannot switch from root to an unprivileged account"};
    }
    return {false, text};
}

// Each test runs in a fresh working directory, searchable by everyone so that
// an unprivileged child can work in it, with no unit connected.
class report_connection_test : public ::testing::Test {
protected:
    void SetUp() override {
        records::close_all_units();
        old_directory_ = fs::current_path();
        std::string pattern = (fs::temp_directory_path() / "report_file_XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        directory_ = fs::canonical(pattern);
        fs::permissions(directory_, fs::perms(0755));
        fs::current_path(directory_);
    }

    void TearDown() override {
        records::close_all_units();
        fs::current_path(old_directory_);
        fs::permissions(directory_, fs::perms(0755));
        fs::remove_all(directory_);
    }

    fs::path report_path() const { return directory_ / ".txt"; }

    fs::path old_directory_;
    fs::path directory_;
};

TEST_F(report_connection_test, missing_file_is_created_empty_and_stays_after_the_close) {
    const umask_setting no_mask(0);
    ASSERT_FALSE(fs::exists(fs::symlink_status(report_path())));
    report_file::connect_program_report_file();

    const report_file::fixed_name expected_name{'.', 't', 'x', 't'};  // then 12 codes 0
    EXPECT_EQ(report_file::program_report_file_name(), expected_name);
    const struct stat created = status_of(report_path());
    EXPECT_TRUE(S_ISREG(created.st_mode));
    EXPECT_EQ(created.st_size, 0);
    EXPECT_EQ(created.st_mode & 07777, 0666u);
    const std::vector<int> descriptors = descriptors_on(report_path());
    ASSERT_EQ(descriptors.size(), 1u);
    EXPECT_EQ(access_mode_of(descriptors.front()), "read-write");

    records::close_all_units();
    EXPECT_TRUE(descriptors_on(report_path()).empty());
    EXPECT_EQ(::fcntl(descriptors.front(), F_GETFD), -1);  // the descriptor is released
    EXPECT_EQ(status_of(report_path()).st_size, 0);
}

TEST_F(report_connection_test, umask_applies_to_the_created_file) {
    const umask_setting group_mask(027);
    report_file::connect_program_report_file();
    EXPECT_EQ(status_of(report_path()).st_mode & 07777, 0640u);
}

TEST_F(report_connection_test, existing_file_keeps_bytes_and_times) {
    const std::string content = "linha 1\r\nlinha 2\r\n\0\xe9 fim"s;
    write_file(report_path(), content);
    const timespec old_times[2] = {{1'000'000'000, 0}, {1'000'000'000, 123'456'789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, ".txt", old_times, 0), 0);
    const struct stat before = status_of(report_path());

    report_file::connect_program_report_file();
    const std::vector<int> descriptors = descriptors_on(report_path());
    ASSERT_EQ(descriptors.size(), 1u);
    EXPECT_EQ(access_mode_of(descriptors.front()), "read-write");
    EXPECT_EQ(::lseek(descriptors.front(), 0, SEEK_CUR), 0);  // positioned at the beginning

    for (const bool connected : {true, false}) {
        SCOPED_TRACE(connected ? "connected" : "closed");
        const struct stat now = status_of(report_path());
        EXPECT_EQ(content_of(report_path()), content);
        EXPECT_EQ(now.st_size, before.st_size);
        EXPECT_TRUE(same_time(now.st_mtim, before.st_mtim));
        EXPECT_TRUE(same_time(now.st_ctim, before.st_ctim));
        records::close_all_units();
    }
    EXPECT_TRUE(descriptors_on(report_path()).empty());
}

TEST_F(report_connection_test, unit_6_alone_is_connected) {
    EXPECT_EQ(records::find_explicit_connection(records::report_unit), nullptr);
    report_file::connect_program_report_file();
    EXPECT_NE(records::find_explicit_connection(records::report_unit), nullptr);
    EXPECT_EQ(records::find_explicit_connection(0), nullptr);
    EXPECT_EQ(records::find_explicit_connection(records::console_unit), nullptr);
    EXPECT_EQ(records::find_explicit_connection(5), nullptr);
}

TEST_F(report_connection_test, written_records_follow_each_other_with_line_ends) {
    report_file::connect_program_report_file();
    auto* connection = records::find_explicit_connection(records::report_unit);
    ASSERT_NE(connection, nullptr);
    connection->write_record("abc");
    connection->write_record("");
    connection->write_record("d e");
    EXPECT_EQ(content_of(report_path()), "abc\r\n\r\nd e\r\n");
}

struct access_case {
    fs::perms mode;
    std::string expected;  // the access of the connection, or the start of the report text
};

void PrintTo(const access_case& c, std::ostream* os) { *os << "mode " << std::oct << static_cast<int>(c.mode); }

class report_access_test : public report_connection_test,
                           public ::testing::WithParamInterface<access_case> {};

// Read-write is tried first, then read-only, then write-only.
TEST_P(report_access_test, first_attempt_the_file_allows_wins) {
    write_file(report_path(), "kept");
    fs::permissions(report_path(), GetParam().mode);
    const child_outcome outcome = run_unprivileged([this] {
        report_file::connect_program_report_file();
        const std::vector<int> descriptors = descriptors_on(report_path());
        return descriptors.size() == 1 ? access_mode_of(descriptors.front())
                                       : std::to_string(descriptors.size()) + " descriptors";
    });
    if (outcome.skipped) {
        GTEST_SKIP() << outcome.text;
    }
    EXPECT_EQ(outcome.text.substr(0, GetParam().expected.size()), GetParam().expected)
        << outcome.text;
    EXPECT_EQ(content_of(report_path()), "kept");
}

INSTANTIATE_TEST_SUITE_P(
    file_modes, report_access_test,
    ::testing::Values(access_case{fs::perms(0666), "done read-write"},
                      access_case{fs::perms(0444), "done read-only"},
                      access_case{fs::perms(0222), "done write-only"},
                      access_case{fs::perms(0000), "error F6414: OPEN(6) - access denied: \".txt\""}));

TEST_F(report_connection_test, read_only_connection_refuses_a_record) {
    write_file(report_path(), "kept");
    fs::permissions(report_path(), fs::perms(0444));
    const child_outcome outcome = run_unprivileged([] {
        report_file::connect_program_report_file();
        records::find_explicit_connection(records::report_unit)->write_record("x");
        return std::string{"written"};
    });
    if (outcome.skipped) {
        GTEST_SKIP() << outcome.text;
    }
    EXPECT_EQ(outcome.text.rfind("error F6414: WRITE(6)", 0), 0u) << outcome.text;
    EXPECT_EQ(content_of(report_path()), "kept");
}

// Root writes into any directory, so the refusal is shown by an unprivileged child.
TEST_F(report_connection_test, non_writable_directory_without_the_file_gives_6414) {
    fs::permissions(directory_, fs::perms(0555));
    const child_outcome outcome = run_unprivileged([] {
        report_file::connect_program_report_file();
        return std::string{"connected"};
    });
    if (outcome.skipped) {
        GTEST_SKIP() << outcome.text;
    }
    EXPECT_EQ(outcome.text.rfind("error F6414: OPEN(", 0), 0u) << outcome.text;
    EXPECT_FALSE(fs::exists(fs::symlink_status(report_path())));
}

TEST_F(report_connection_test, exhausted_descriptors_give_6417) {
    if (sanitized_build) {
        GTEST_SKIP() << "the sanitizers need free descriptors to check the error's object";
    }
    const child_outcome outcome = run_unprivileged([] {
        const rlimit few{64, 64};
        if (::setrlimit(RLIMIT_NOFILE, &few) != 0) {
            return std::string{"no limit"};
        }
        while (::open("/dev/null", O_RDONLY) >= 0) {
        }
        report_file::connect_program_report_file();
        return std::string{"connected"};
    });
    if (outcome.skipped) {
        GTEST_SKIP() << outcome.text;
    }
    EXPECT_EQ(outcome.text.rfind("error F6417: OPEN(", 0), 0u) << outcome.text;
    EXPECT_FALSE(fs::exists(fs::symlink_status(report_path())));
}

struct failure_case {
    std::string_view name;
    std::function<void(const fs::path& directory)> prepare;
    std::function<void()> connect;
    std::string expected_start;
};

void PrintTo(const failure_case& row, std::ostream* out) { *out << row.name; }

void connect_program_file() { report_file::connect_program_report_file(); }

void connect_fixed(std::string_view text) {
    report_file::fixed_name report;
    report.fill(' ');
    text.copy(report.data(), report.size());
    report_file::connect_report_unit(report);
}

std::string test_name(const ::testing::TestParamInfo<failure_case>& info) {
    return std::string{info.param.name};
}

class report_failure_test : public report_connection_test,
                            public ::testing::WithParamInterface<failure_case> {};

// A failure leaves no descriptor open, no unit connected and nothing new in
// the working directory.
TEST_P(report_failure_test, raises_the_open_error) {
    GetParam().prepare(directory_);
    std::vector<fs::path> entries_before;
    for (const auto& entry : fs::directory_iterator(directory_)) {
        entries_before.push_back(entry.path());
    }

    const std::string text = report_text_of(GetParam().connect);
    EXPECT_EQ(text.substr(0, GetParam().expected_start.size()), GetParam().expected_start) << text;
    EXPECT_EQ(records::find_explicit_connection(records::report_unit), nullptr);
    EXPECT_TRUE(descriptors_on(report_path()).empty());

    std::vector<fs::path> entries_after;
    for (const auto& entry : fs::directory_iterator(directory_)) {
        entries_after.push_back(entry.path());
    }
    EXPECT_EQ(entries_after.size(), entries_before.size());
}

INSTANTIATE_TEST_SUITE_P(
    causes, report_failure_test,
    ::testing::Values(
        failure_case{"directory", [](const fs::path& d) { fs::create_directory(d / ".txt"); },
                     connect_program_file,
                     "F6414: OPEN(6) - access denied: \".txt\" (Is a directory)"},
        failure_case{"pipe", [](const fs::path& d) { ::mkfifo((d / ".txt").c_str(), 0666); },
                     connect_program_file,
                     "F6414: OPEN(6) - access denied: \".txt\" (not a regular file)"},
        failure_case{"dangling_link",
                     [](const fs::path& d) { fs::create_symlink(d / "missing", d / ".txt"); },
                     connect_program_file, "F6416: OPEN(6) - file not found: \".txt\""},
        failure_case{"missing_directory", [](const fs::path&) {},
                     [] { connect_fixed("nowhere/a.txt"); },
                     "F6416: OPEN(6) - file not found: \"nowhere/a.txt\""},
        failure_case{"file_as_directory", [](const fs::path& d) { write_file(d / "plain", "x"); },
                     [] { connect_fixed("plain/a.txt"); },
                     "F6416: OPEN(6) - file not found: \"plain/a.txt\""},
        failure_case{"empty_name", [](const fs::path&) {},
                     [] { connect_fixed("\0abc.txt"sv); },
                     "F6412: OPEN(6) - invalid file name: \"\" (the name is empty)"},
        failure_case{"blank_name", [](const fs::path&) {}, [] { connect_fixed(""); },
                     "F6412: OPEN(6) - invalid file name"},
        failure_case{"too_long_name", [](const fs::path&) {},
                     [] { report_file::connect_report_file(std::string(300, 'a')); },
                     "F6412: OPEN(6) - invalid file name"},
        failure_case{"code_0_inside", [](const fs::path&) {},
                     [] { report_file::connect_report_file("a\0b"sv); },
                     "F6412: OPEN(6) - invalid file name"}),
    test_name);

}  // namespace
