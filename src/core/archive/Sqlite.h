// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A thin owner of SQLite's C handles: statements bound by position, every
// failure a value naming what SQLite said.

#include "core/common/Result.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace km740::sql {

class Statement;

class Database {
public:
    // Opens or creates the file; never replaces one that is not a database.
    static Result<Database> open(const std::filesystem::path& file);

    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database();

    // Runs one or more statements that give no rows.
    Status exec(std::string_view sql);
    Result<Statement> prepare(std::string_view sql);
    std::int64_t lastInsertId() const;
    int changes() const;

    // A failure from the last call, with `what` in front.
    Failure failed(std::string_view what) const;
    // True when the last failure means the file is not a sound database.
    bool damaged() const;

private:
    explicit Database(sqlite3* db) : db_(db) {}
    sqlite3* db_ = nullptr;
};

class Statement {
public:
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    // Positions count from 1, as in SQL.
    Statement& bind(int at, std::string_view text);
    Statement& bind(int at, std::int64_t value);
    Statement& bind(int at, std::optional<double> value);
    Statement& bind(int at, std::optional<std::int64_t> value);

    // True while a row is there; a failure ends with the database's message.
    Result<bool> step();
    Status run(); // steps to the end
    void reset();

    std::string text(int column) const;
    std::int64_t integer(int column) const;
    std::optional<double> real(int column) const;
    std::optional<std::int64_t> optionalInteger(int column) const;

private:
    friend class Database;
    Statement(sqlite3* db, sqlite3_stmt* stmt) : db_(db), stmt_(stmt) {}
    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
};

} // namespace km740::sql
