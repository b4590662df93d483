#include "common/table.h"

#include <cjson/cJSON.h>

#include <algorithm>

#include "common/encoding.h"

namespace talvoctl {

std::string Value::Text() const {
    if (const auto *text = std::get_if<std::string>(&value_)) return *text;
    if (const auto *number = std::get_if<long long>(&value_)) return std::to_string(*number);
    if (const auto *flag = std::get_if<bool>(&value_)) return *flag ? "yes" : "no";
    return "";
}

cJSON *Value::Json() const {
    if (const auto *text = std::get_if<std::string>(&value_)) return cJSON_CreateString(text->c_str());
    if (const auto *number = std::get_if<long long>(&value_)) {
        return cJSON_CreateNumber(static_cast<double>(*number));
    }
    if (const auto *flag = std::get_if<bool>(&value_)) return cJSON_CreateBool(*flag);
    return cJSON_CreateNull();
}

void Table::Add(std::vector<Value> row) {
    row.resize(columns_.size());
    rows_.push_back(std::move(row));
}

std::string Pad(const std::string &text, std::size_t width, bool right) {
    std::size_t used = DisplayWidth(text);
    std::string blanks(width > used ? width - used : 0, ' ');
    return right ? blanks + text : text + blanks;
}

std::string Table::Render() const {
    std::vector<std::size_t> widths;
    std::vector<bool> numeric;
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        std::size_t width = DisplayWidth(columns_[c].header);
        bool all_numbers = !rows_.empty();
        for (const auto &row : rows_) {
            width = std::max(width, DisplayWidth(row[c].Text()));
            all_numbers = all_numbers && row[c].IsNumber();
        }
        widths.push_back(width);
        numeric.push_back(all_numbers);
    }
    std::vector<std::size_t> shown;
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        if (!columns_[c].header.empty()) shown.push_back(c);
    }
    auto line = [&](auto cell_text) {
        std::string out;
        for (std::size_t c : shown) {
            bool last = c == shown.back();
            std::string cell = cell_text(c);
            out += last && !numeric[c] ? cell : Pad(cell, widths[c], numeric[c]);
            if (!last) out += "  ";
        }
        while (!out.empty() && out.back() == ' ') out.pop_back();
        return out + "\n";
    };
    std::string out = line([&](std::size_t c) { return columns_[c].header; });
    for (const auto &row : rows_) out += line([&](std::size_t c) { return row[c].Text(); });
    return out;
}

cJSON *Table::Json() const {
    cJSON *array = cJSON_CreateArray();
    for (const auto &row : rows_) {
        cJSON *object = cJSON_CreateObject();
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            cJSON_AddItemToObject(object, columns_[c].key.c_str(), row[c].Json());
        }
        cJSON_AddItemToArray(array, object);
    }
    return array;
}

std::string Properties::Render() const {
    std::size_t width = 0;
    for (const auto &[key, value] : items_) width = std::max(width, DisplayWidth(key));
    std::string out;
    for (const auto &[key, value] : items_) {
        std::string text = value.Text();
        out += text.empty() ? key + "\n" : Pad(key, width, false) + "  " + text + "\n";
    }
    return out;
}

cJSON *Properties::Json() const {
    cJSON *object = cJSON_CreateObject();
    for (const auto &[key, value] : items_) cJSON_AddItemToObject(object, key.c_str(), value.Json());
    return object;
}

} // namespace talvoctl
