#include "common/record_fields.h"

#include <cstring>
#include <set>

#include "common/encoding.h"
#include "common/failure.h"

namespace talvoctl {
namespace {

const char *At(const void *record, const RecordField &field) {
    return static_cast<const char *>(record) + field.offset;
}

std::string KeyList(const std::vector<RecordField> &fields) {
    std::string list;
    for (const RecordField &field : fields) {
        if (field.writable) list += (list.empty() ? "" : ", ") + std::string(field.key);
    }
    return list;
}

} // namespace

Properties RecordProperties(const void *record, const std::vector<RecordField> &fields) {
    Properties properties;
    for (const RecordField &field : fields) properties.Add(field.key, FieldToUtf8(At(record, field), field.width));
    return properties;
}

void FillRecord(void *record, const std::vector<RecordField> &fields, const std::vector<std::string> &assignments) {
    std::set<std::string> given;
    for (const std::string &assignment : assignments) {
        std::size_t equals = assignment.find('=');
        if (equals == std::string::npos) {
            throw ParameterFailure("\"" + assignment + "\" is no key=value pair; keys: " + KeyList(fields));
        }
        std::string key = assignment.substr(0, equals), value = assignment.substr(equals + 1);
        const RecordField *field = nullptr;
        for (const RecordField &candidate : fields) {
            if (key == candidate.key) field = &candidate;
        }
        if (field == nullptr || !field->writable) {
            throw ParameterFailure((field ? "\"" + key + "\" is read only" : "unknown key \"" + key + "\"") +
                                   "; keys: " + KeyList(fields));
        }
        if (value.empty()) {
            throw ParameterFailure("\"" + key + "\" has no value; leave a key out to keep the receiver's setting");
        }
        if (!given.insert(key).second) throw ParameterFailure("\"" + key + "\" is given twice");
        ArgumentToField(static_cast<char *>(record) + field->offset, field->width, value, key);
    }
}

} // namespace talvoctl
