// What a command shows: a table of records. On a terminal it is printed as
// aligned columns under a header line; with --json as a JSON array of objects
// keyed by the columns' keys. Texts are UTF-8 (record fields are converted
// when the rows are built, encoding.h).
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

struct cJSON;

namespace talvoctl {

// One cell: a text, a number, a truth value or nothing (JSON null, an empty
// cell on the terminal).
class Value {
public:
    Value() = default;
    Value(std::string text) : value_(std::move(text)) {}
    Value(const char *text) : value_(std::string(text)) {}
    Value(long long number) : value_(number) {}
    Value(int number) : value_(static_cast<long long>(number)) {}
    Value(unsigned number) : value_(static_cast<long long>(number)) {}
    Value(bool flag) : value_(flag) {}

    // How the cell reads on the terminal.
    std::string Text() const;
    // A new JSON item for it.
    cJSON *Json() const;
    bool IsNumber() const { return std::holds_alternative<long long>(value_); }

private:
    std::variant<std::monostate, std::string, long long, bool> value_;
};

struct Column {
    std::string key;    // JSON key
    std::string header; // terminal header; empty: the column is in the JSON only
};

class Table {
public:
    explicit Table(std::vector<Column> columns) : columns_(std::move(columns)) {}

    // A row holds one value per column, in column order.
    void Add(std::vector<Value> row);

    const std::vector<Column> &Columns() const { return columns_; }
    const std::vector<std::vector<Value>> &Rows() const { return rows_; }
    bool Empty() const { return rows_.empty(); }

    // Aligned columns, two blanks apart, numbers to the right; the header first.
    std::string Render() const;
    // An array with one object per row.
    cJSON *Json() const;

private:
    std::vector<Column> columns_;
    std::vector<std::vector<Value>> rows_;
};

// A list of named values of one record (a device's status, a settings
// section): "KEY  VALUE" lines on the terminal, one JSON object.
class Properties {
public:
    void Add(std::string key, Value value) { items_.emplace_back(std::move(key), std::move(value)); }

    std::string Render() const;
    cJSON *Json() const;

private:
    std::vector<std::pair<std::string, Value>> items_;
};

// Pads `text` with blanks to `width` terminal columns, on the left when
// `right` is set.
std::string Pad(const std::string &text, std::size_t width, bool right);

} // namespace talvoctl
