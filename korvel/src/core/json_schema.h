// Builders for schema tables of the JSON mapping component.
#pragma once

#include <cstddef>

#include "jsonmap.h"

namespace korvel::schema {

#define KORVEL_FIELD_SIZE(Record, field) static_cast<uint32_t>(sizeof(static_cast<Record *>(nullptr)->field))

// A text field of `Record`.
#define JM_TEXT(Record, field, key, presence)                                                             \
    JsonFieldDesc {                                                                                       \
        static_cast<uint32_t>(sizeof(Record)), JSONMAP_TEXT, key, presence,                               \
            static_cast<uint32_t>(offsetof(Record, field)), KORVEL_FIELD_SIZE(Record, field), nullptr, 0, 0 \
    }

// An int32 field of `Record`.
#define JM_INT(Record, field, key, presence)                                                                   \
    JsonFieldDesc {                                                                                            \
        static_cast<uint32_t>(sizeof(Record)), JSONMAP_INT, key, presence,                                     \
            static_cast<uint32_t>(offsetof(Record, field)), static_cast<uint32_t>(sizeof(int32_t)), nullptr, 0, 0 \
    }

// A nested record `field` described by `subtable`.
#define JM_OBJECT(Record, field, key, presence, subtable)                                                  \
    JsonFieldDesc {                                                                                        \
        static_cast<uint32_t>(sizeof(Record)), JSONMAP_OBJECT, key, presence,                              \
            static_cast<uint32_t>(offsetof(Record, field)), KORVEL_FIELD_SIZE(Record, field), subtable, 0, 0 \
    }

// An array of `Element` records starting at `field`, at most `count` of them.
#define JM_ARRAY(Record, field, Element, key, presence, subtable, count)                                   \
    JsonFieldDesc {                                                                                        \
        static_cast<uint32_t>(sizeof(Record)), JSONMAP_ARRAY, key, presence,                               \
            static_cast<uint32_t>(offsetof(Record, field)), static_cast<uint32_t>(sizeof(Element)), subtable, \
            static_cast<uint32_t>(count), JSONMAP_OBJECT                                                   \
    }

#define JM_END \
    JsonFieldDesc { 0, 0, nullptr, 0, 0, 0, nullptr, 0, 0 }

} // namespace korvel::schema
