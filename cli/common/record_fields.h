// The text fields of the library's settings and status records, by their
// JSON keys: to show a record as properties and to fill one from
// key=value arguments.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/table.h"

namespace talvoctl {

struct RecordField {
    const char *key;
    std::size_t offset;
    std::size_t width; // bytes, terminator included
    bool writable;
};

// A text member of `Record` under its own name.
#define TALVOCTL_FIELD(Record, member, writable) \
    ::talvoctl::RecordField { #member, offsetof(Record, member), sizeof(Record::member), writable }

// Every field of the record, as UTF-8 text.
Properties RecordProperties(const void *record, const std::vector<RecordField> &fields);

// Writes `key=value` arguments into the record. Refuses (as a parameter
// failure, before anything is sent) an argument without '=', an unknown or
// read-only key, an empty value, a key given twice and a value that does
// not fit its field.
void FillRecord(void *record, const std::vector<RecordField> &fields, const std::vector<std::string> &assignments);

} // namespace talvoctl
