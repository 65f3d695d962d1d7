#include "records/console_connection.hpp"

namespace records {

void console_connection::attach(console_port* port)
{
    std::scoped_lock hold(lock);
    port_ = port;
    line_open = false;
    line_end_written = false;
    continue_line = false;
}

int console_connection::write_text(std::string_view text)
{
    return port_ ? port_->write_console_text(text) : -1;
}

console_connection& console()
{
    static console_connection connection;
    return connection;
}

}  // namespace records
