// The connection of the report unit to its file: opened if it exists, created
// empty and exclusively if not, never written by the program.

#include "report_file/report_file.hpp"

#include "records/run_time_error.hpp"
#include "records/units.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>

namespace report_file {
namespace {

constexpr std::int32_t invalid_name = 6412;
constexpr std::int32_t access_denied = 6414;
constexpr std::int32_t already_exists = 6415;
constexpr std::int32_t not_found = 6416;
constexpr std::int32_t too_many_open_files = 6417;
// Every cause not told apart above (a full disk, an I/O error, a name that
// loops through symbolic links, ...) ends the run under one number of the range.
constexpr std::int32_t other_open_failure = 6400;

constexpr std::string_view open_statement = "OPEN(6)";
constexpr std::string_view write_statement = "WRITE(6)";

// A created report file is readable and writable by everyone the umask allows.
constexpr mode_t new_file_mode = 0666;

// Owns one file descriptor; -1 owns nothing.
class unique_fd {
public:
    explicit unique_fd(int fd = -1) noexcept : fd_(fd) {}
    unique_fd(unique_fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    unique_fd& operator=(unique_fd&& other) noexcept {
        unique_fd old{std::exchange(fd_, std::exchange(other.fd_, -1))};
        return *this;
    }
    unique_fd(const unique_fd&) = delete;
    unique_fd& operator=(const unique_fd&) = delete;
    ~unique_fd() {
        if (fd_ >= 0) {
            ::close(fd_);  // nothing was written, so nothing can be lost at close
        }
    }
    int get() const noexcept { return fd_; }
    explicit operator bool() const noexcept { return fd_ >= 0; }

private:
    int fd_;
};

// The report unit's explicit connection.  Closing it (destruction, as
// close_all_units does) keeps the file.
class report_connection final : public records::explicit_connection {
public:
    report_connection(unique_fd file, std::string name)
        : file_(std::move(file)), name_(std::move(name)) {}

    // Records follow one another from the start of the file, each ended by
    // carriage return and line feed like every record of the program.
    void write_record(std::string_view text) override {
        std::string record{text};
        record += "\r\n";
        write_all(record);
    }

private:
    void write_all(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t written = ::write(file_.get(), bytes.data(), bytes.size());
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written < 0) {
                raise_write_error(errno);
            }
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
    }

    [[noreturn]] void raise_write_error(int error) const {
        // A connection the file only allowed for reading refuses the write.
        const std::int32_t number = error == EBADF ? access_denied : open_error_number(error);
        records::raise_statement_error(
            number, write_statement,
            "cannot write to file \"" + name_ + "\" (" + std::strerror(error) + ")");
    }

    unique_fd file_;
    std::string name_;
};

// Why an attempt was refused: the system error code, and a detail that replaces
// the system's message when the refusal is the program's own.
struct refusal {
    int error = 0;
    std::string_view detail;
};

struct attempt_result {
    unique_fd file;
    refusal refused;
};

std::string_view cause_of(std::int32_t number) {
    switch (number) {
    case invalid_name: return "invalid file name";
    case access_denied: return "access denied";
    case already_exists: return "file already exists";
    case not_found: return "file not found";
    case too_many_open_files: return "too many open files";
    default: return "cannot open file";
    }
}

// "F6414: OPEN(6) - access denied: ".txt" (Is a directory)"
[[noreturn]] void raise_open_error(std::int32_t number, const std::string& name,
                                   std::string_view detail) {
    std::string description{cause_of(number)};
    description += ": \"" + name + "\" (";
    description += detail;
    description += ")";
    records::raise_statement_error(number, open_statement, description);
}

[[noreturn]] void raise_open_error(const refusal& refused, const std::string& name) {
    const std::string_view detail =
        refused.detail.empty() ? std::string_view{std::strerror(refused.error)} : refused.detail;
    raise_open_error(open_error_number(refused.error), name, detail);
}

// Any kind of entry counts, a dangling symbolic link included: it is then
// opened, not replaced.  When the name cannot even be looked up, the creation
// attempts report why.
bool entry_exists(const std::string& name) {
    struct stat entry {};
    return ::lstat(name.c_str(), &entry) == 0;
}

// Only a regular file can be the report file.  A directory opens for reading
// on this system, so it is refused here, as every other attempt refuses it.
refusal check_regular_file(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        return {errno, {}};
    }
    if (S_ISDIR(status.st_mode)) {
        return {EISDIR, {}};
    }
    if (!S_ISREG(status.st_mode)) {
        return {EACCES, "not a regular file"};
    }
    return {};
}

// One access attempt.  An existing entry is opened without creating or
// truncating it; otherwise the file is created only if it still does not exist.
// O_NONBLOCK keeps a pipe or a leased file from stalling the start of the run
// (it changes nothing for a regular file); no lock is ever taken.
attempt_result attempt_open(const std::string& name, int access, bool exists) {
    int flags = access | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    if (!exists) {
        flags |= O_CREAT | O_EXCL;
    }
    int fd = -1;
    do {
        fd = ::open(name.c_str(), flags, new_file_mode);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return {unique_fd{}, {errno, {}}};
    }
    unique_fd file{fd};
    if (const refusal refused = check_regular_file(file.get()); refused.error != 0) {
        return {unique_fd{}, refused};
    }
    return {std::move(file), {}};
}

}  // namespace

std::int32_t open_error_number(int error) {
    switch (error) {
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ:  // a file system that refuses the bytes of the name
        return invalid_name;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
    case EWOULDBLOCK:  // another process holds a lease on the file
        return access_denied;
    case EEXIST:
        return already_exists;
    case ENOENT:
    case ENOTDIR:
        return not_found;
    case EMFILE:
    case ENFILE:
        return too_many_open_files;
    default:
        return other_open_failure;
    }
}

// The name's bytes go to the file system as they are, relative to the working
// directory.  Read-write is tried first, then read-only, then write-only; the
// refusal of the first attempt is the one reported, since read-write is the
// access the connection asks for (a pipe, for one, opens for reading and is
// refused as no regular file, but fails for writing only for want of a reader).
void connect_report_file(std::string_view file_name) {
    const std::string name{file_name};
    if (name.empty()) {
        raise_open_error(invalid_name, name, "the name is empty");
    }
    if (name.find('\0') != std::string::npos) {
        raise_open_error(invalid_name, name, "the name holds a character of code 0");
    }
    const bool exists = entry_exists(name);
    refusal first_refusal;
    for (const int access : {O_RDWR, O_RDONLY, O_WRONLY}) {
        attempt_result attempt = attempt_open(name, access, exists);
        if (attempt.file) {
            records::connect_unit(records::report_unit,
                                  std::make_unique<report_connection>(std::move(attempt.file), name));
            return;
        }
        if (first_refusal.error == 0) {
            first_refusal = attempt.refused;
        }
    }
    raise_open_error(first_refusal, name);
}

void connect_report_unit(const fixed_name& report) { connect_report_file(report_file_path(report)); }

namespace {
// The program's two file names, statically allocated for the whole run.
// base_name is never assigned: it stays 16 codes 0, so the report file is ".txt".
fixed_name base_name{};
fixed_name report_file_name{};
}  // namespace

void connect_program_report_file() {
    derive_report_file_name(base_name, report_file_name);
    connect_report_unit(report_file_name);
}

const fixed_name& program_report_file_name() { return report_file_name; }

}  // namespace report_file
