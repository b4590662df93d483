// Fuzzes the JSON mapping with a schema that uses every field kind: whatever
// the input, reading must not crash or write past a field, and what was read
// must write out and read back the same.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/json_schema.h"
#include "jsonmap.h"

namespace {

struct Item {
    char name[5];
    int32_t value;
};

struct Record {
    char text[7];
    int32_t number;
    Item single;
    Item items[4];
    char tail[3];
};

const JsonFieldDesc kItem[] = {
    JM_TEXT(Item, name, "n", JSONMAP_REQUIRED),
    JM_INT(Item, value, "v", JSONMAP_OPTIONAL),
    JM_END,
};

const JsonFieldDesc kRecord[] = {
    JM_TEXT(Record, text, "t", JSONMAP_OPTIONAL),
    JM_INT(Record, number, "i", JSONMAP_OPTIONAL),
    JM_OBJECT(Record, single, "o", JSONMAP_OPTIONAL, kItem),
    JM_ARRAY(Record, items, Item, "a", JSONMAP_OPTIONAL, kItem, 4),
    JM_TEXT(Record, tail, "z", JSONMAP_OPTIONAL),
    JM_END,
};

// Guard bytes around the record catch writes past its end.
struct Guarded {
    unsigned char before[16];
    Record record;
    unsigned char after[16];
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string text(reinterpret_cast<const char *>(data), size);
    Guarded g;
    std::memset(&g, 0xA5, sizeof g);
    std::memset(&g.record, 0, sizeof g.record);
    int result = JsonString2Obj(kRecord, text.c_str(), &g.record);
    for (unsigned char b : g.before)
        if (b != 0xA5) std::abort();
    for (unsigned char b : g.after)
        if (b != 0xA5) std::abort();
    if (result != 0) return 0;
    if (g.record.text[sizeof g.record.text - 1] != '\0' || g.record.tail[sizeof g.record.tail - 1] != '\0') std::abort();

    char *written = JsonObj2String(kRecord, &g.record);
    if (written == nullptr) std::abort();
    Record again;
    std::memset(&again, 0, sizeof again);
    if (JsonString2Obj(kRecord, written, &again) != 0) std::abort();
    std::free(written);
    if (std::memcmp(&again.number, &g.record.number, sizeof again.number) != 0) std::abort();
    if (std::strcmp(again.text, g.record.text) != 0) std::abort();
    return 0;
}
