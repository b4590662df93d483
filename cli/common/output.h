// Where a command's results go: tables and properties on standard output,
// as aligned text or, with --json, as JSON; notes and failures on standard
// error, and with --json a failure also as a JSON object on standard output,
// so a script always reads one JSON document.
#pragma once

#include <string>

#include "common/failure.h"
#include "common/table.h"

struct cJSON;

namespace talvoctl {

class Output {
public:
    explicit Output(bool json) : json_(json) {}

    bool Json() const { return json_; }

    void Show(const Table &table) const;
    void Show(const Properties &properties) const;
    // Prints a JSON document (in JSON mode only) and releases it.
    void ShowJson(cJSON *document) const;
    // A line for a person, on standard error.
    void Note(const std::string &text) const;
    void ShowFailure(const Failure &failure) const;

private:
    bool json_;
};

} // namespace talvoctl
