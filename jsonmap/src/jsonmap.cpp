// Record <-> JSON mapping on top of cJSON. cJSON copies string bytes as they
// are (only escapes are decoded), so texts in any 8-bit code page pass through.
#include "jsonmap.h"

#include <cjson/cJSON.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "file_io.h"

namespace {

struct JsonDeleter {
    void operator()(cJSON *json) const { cJSON_Delete(json); }
};
using JsonPtr = std::unique_ptr<cJSON, JsonDeleter>;

bool IsEnd(const JsonFieldDesc &d) {
    return d.record_size == 0 && d.kind == 0 && d.key == nullptr && d.offset == 0 && d.size == 0 &&
           d.sub == nullptr && d.count == 0;
}

char *FieldPtr(void *record, const JsonFieldDesc &d) {
    return static_cast<char *>(record) + d.offset;
}

const char *FieldPtr(const void *record, const JsonFieldDesc &d) {
    return static_cast<const char *>(record) + d.offset;
}

int32_t ClampToInt32(double value) {
    if (std::isnan(value)) return 0;
    double t = std::trunc(value);
    if (t <= static_cast<double>(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
    if (t >= static_cast<double>(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(t);
}

void CopyText(char *field, uint32_t size, const char *text) {
    if (size == 0) return;
    size_t len = std::strlen(text);
    if (len > size - 1) len = size - 1;
    std::memcpy(field, text, len);
    field[len] = '\0';
}

bool ReadObject(const JsonFieldDesc *table, const cJSON *object, void *record, int depth);

// Reads one member; returns false only when the conversion must fail.
// Sets `present` when the value had the descriptor's type.
bool ReadMember(const JsonFieldDesc &d, const cJSON *value, void *record, int depth, bool &present) {
    present = false;
    if (value == nullptr) return true;
    switch (d.kind) {
    case JSONMAP_INT:
        if (!cJSON_IsNumber(value) || d.size < sizeof(int32_t)) return true;
        {
            int32_t v = ClampToInt32(value->valuedouble);
            std::memcpy(FieldPtr(record, d), &v, sizeof v);
        }
        present = true;
        return true;
    case JSONMAP_TEXT:
        if (!cJSON_IsString(value) || value->valuestring == nullptr) return true;
        CopyText(FieldPtr(record, d), d.size, value->valuestring);
        present = true;
        return true;
    case JSONMAP_OBJECT:
        if (!cJSON_IsObject(value) || d.sub == nullptr) return true;
        present = true;
        return ReadObject(d.sub, value, FieldPtr(record, d), depth + 1);
    case JSONMAP_ARRAY: {
        if (!cJSON_IsArray(value) || d.sub == nullptr) return true;
        present = true;
        uint32_t index = 0;
        for (const cJSON *item = value->child; item != nullptr && index < d.count; item = item->next, ++index) {
            if (!cJSON_IsObject(item)) continue;
            char *element = FieldPtr(record, d) + static_cast<size_t>(index) * d.size;
            if (!ReadObject(d.sub, item, element, depth + 1)) return false;
        }
        return true;
    }
    default:
        return true; // unknown kinds are ignored
    }
}

constexpr int kMaxDepth = 64;

bool ReadObject(const JsonFieldDesc *table, const cJSON *object, void *record, int depth) {
    if (table == nullptr || !cJSON_IsObject(object) || depth > kMaxDepth) return false;
    for (const JsonFieldDesc *d = table; !IsEnd(*d); ++d) {
        if (d->key == nullptr) continue;
        const cJSON *value = cJSON_GetObjectItemCaseSensitive(object, d->key);
        bool present = false;
        if (!ReadMember(*d, value, record, depth, present)) return false;
        if (!present && d->presence == JSONMAP_REQUIRED) return false;
    }
    return true;
}

cJSON *WriteObject(const JsonFieldDesc *table, const void *record, int depth);

cJSON *WriteMember(const JsonFieldDesc &d, const void *record, int depth) {
    switch (d.kind) {
    case JSONMAP_INT: {
        int32_t v = 0;
        if (d.size >= sizeof v) std::memcpy(&v, FieldPtr(record, d), sizeof v);
        return cJSON_CreateNumber(v);
    }
    case JSONMAP_TEXT: {
        const char *field = FieldPtr(record, d);
        std::string text(field, strnlen(field, d.size));
        return cJSON_CreateString(text.c_str());
    }
    case JSONMAP_OBJECT:
        return WriteObject(d.sub, FieldPtr(record, d), depth + 1);
    case JSONMAP_ARRAY: {
        if (d.sub == nullptr) return nullptr;
        JsonPtr array(cJSON_CreateArray());
        if (!array) return nullptr;
        for (uint32_t i = 0; i < d.count; ++i) {
            const char *element = FieldPtr(record, d) + static_cast<size_t>(i) * d.size;
            cJSON *item = WriteObject(d.sub, element, depth + 1);
            if (item == nullptr || !cJSON_AddItemToArray(array.get(), item)) {
                cJSON_Delete(item);
                return nullptr;
            }
        }
        return array.release();
    }
    default:
        return nullptr;
    }
}

cJSON *WriteObject(const JsonFieldDesc *table, const void *record, int depth) {
    if (table == nullptr || record == nullptr || depth > kMaxDepth) return nullptr;
    JsonPtr object(cJSON_CreateObject());
    if (!object) return nullptr;
    for (const JsonFieldDesc *d = table; !IsEnd(*d); ++d) {
        if (d->key == nullptr) continue;
        cJSON *value = WriteMember(*d, record, depth);
        if (value == nullptr || !cJSON_AddItemToObject(object.get(), d->key, value)) {
            cJSON_Delete(value);
            return nullptr;
        }
    }
    return object.release();
}

JsonPtr Parse(const char *text, size_t length) {
    const char *end = nullptr;
    return JsonPtr(cJSON_ParseWithLengthOpts(text, length, &end, 1));
}

} // namespace

extern "C" {

int JsonString2Obj(const JsonFieldDesc *table, const char *text, void *record) {
    if (table == nullptr || text == nullptr || record == nullptr) return -1;
    JsonPtr root = Parse(text, std::strlen(text) + 1);
    if (!root) return -2;
    return ReadObject(table, root.get(), record, 0) ? 0 : -3;
}

char *JsonObj2String(const JsonFieldDesc *table, const void *record) {
    JsonPtr root(WriteObject(table, record, 0));
    if (!root) return nullptr;
    return cJSON_PrintUnformatted(root.get());
}

int JsonFile2Obj(const char *path, const JsonFieldDesc *table, void *record) {
    if (path == nullptr || table == nullptr || record == nullptr) return -1;
    std::string content;
    if (!jsonmap::ReadWholeFile(path, content)) return -2;
    // Embedded NUL bytes end the text; what follows makes the file no JSON.
    if (content.find('\0') != std::string::npos) return -3;
    JsonPtr root = Parse(content.c_str(), content.size() + 1);
    if (!root) return -3;
    return ReadObject(table, root.get(), record, 0) ? 0 : -4;
}

int JsonObj2File(const char *path, const JsonFieldDesc *table, const void *record) {
    if (path == nullptr || table == nullptr || record == nullptr) return -1;
    JsonPtr root(WriteObject(table, record, 0));
    if (!root) return -2;
    char *text = cJSON_Print(root.get());
    if (text == nullptr) return -3;
    std::string content(text);
    cJSON_free(text);
    content.push_back('\n');
    return jsonmap::ReplaceFileAtomically(path, content) ? 0 : -4;
}

} // extern "C"
