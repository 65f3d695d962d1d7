#include "records/units.hpp"

#include <map>
#include <mutex>

namespace records {

namespace {

struct unit_table {
    std::mutex lock;
    std::map<std::int32_t, std::unique_ptr<explicit_connection>> connections;
};

unit_table& units()
{
    static unit_table table;
    return table;
}

}  // namespace

void connect_unit(std::int32_t unit, std::unique_ptr<explicit_connection> connection)
{
    auto& table = units();
    std::scoped_lock hold(table.lock);
    table.connections[unit] = std::move(connection);
}

explicit_connection* find_explicit_connection(std::int32_t unit)
{
    auto& table = units();
    std::scoped_lock hold(table.lock);
    auto found = table.connections.find(unit);
    return found == table.connections.end() ? nullptr : found->second.get();
}

void close_all_units()
{
    auto& table = units();
    std::scoped_lock hold(table.lock);
    table.connections.clear();  // each connection closes its file and keeps it
}

}  // namespace records
