/*
 * jsonmap: maps fixed-size records to and from JSON text and files, driven by
 * schema tables.
 *
 * A schema table is an array of field descriptors ended by an all-zero
 * descriptor. Texts are copied byte for byte (no UTF-8 validation or
 * re-encoding), so code page 936 text survives both directions.
 *
 * Reading rules:
 *   - only fields whose keys are present are written; the others keep what
 *     the caller put there (callers zero their records first);
 *   - a value of the wrong JSON type counts as missing;
 *   - a key of presence JSONMAP_REQUIRED that is missing fails the conversion;
 *   - a text longer than its field is cut to size - 1 bytes and terminated;
 *   - numbers are truncated to integers and clamped to the int32 range;
 *   - an array fills at most `count` elements; elements that are not objects
 *     are left as they were.
 * Writing rules:
 *   - keys come out in table order; JsonObj2String writes compact text,
 *     JsonObj2File indented text;
 *   - JsonObj2File replaces the file atomically (temporary file in the same
 *     folder, then rename) and creates it with owner-only permissions.
 */
#ifndef JSONMAP_H
#define JSONMAP_H

#include <stdint.h>

#if defined(_WIN32)
#  if defined(JSONMAP_BUILDING)
#    define JSONMAP_API __declspec(dllexport)
#  else
#    define JSONMAP_API __declspec(dllimport)
#  endif
#else
#  define JSONMAP_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

enum JsonFieldKind {
    JSONMAP_INT = 6,     /* int32, a JSON number */
    JSONMAP_TEXT = 9,    /* zero-terminated char array, a JSON string */
    JSONMAP_OBJECT = 10, /* nested record described by the sub-table */
    JSONMAP_ARRAY = 11   /* array of records, a JSON array of objects */
};

enum JsonFieldPresence {
    JSONMAP_REQUIRED = 0,
    JSONMAP_OPTIONAL = 1
};

/* One field descriptor: the nine words in their fixed order. */
typedef struct JsonFieldDesc {
    uint32_t record_size;              /* size of the described record */
    uint32_t kind;                     /* JsonFieldKind */
    const char *key;                   /* JSON key */
    uint32_t presence;                 /* JsonFieldPresence */
    uint32_t offset;                   /* offset of the field in the record */
    uint32_t size;                     /* field size; record or element size for 10, 11 */
    const struct JsonFieldDesc *sub;   /* sub-table for kinds 10 and 11 */
    uint32_t count;                    /* kind 11: elements written / most elements read */
    uint32_t element_kind;             /* kind 11: always JSONMAP_OBJECT */
} JsonFieldDesc;

/* Returns 0 on success, negative on failure. */
JSONMAP_API int JsonString2Obj(const JsonFieldDesc *table, const char *text, void *record);

/* Returns a malloc'd compact JSON text (release with free), or NULL. */
JSONMAP_API char *JsonObj2String(const JsonFieldDesc *table, const void *record);

/* Returns 0 on success, non-zero when the file is missing, unreadable or no JSON. */
JSONMAP_API int JsonFile2Obj(const char *path, const JsonFieldDesc *table, void *record);

/* Returns 0 on success, negative on failure; the old file stays whole on failure. */
JSONMAP_API int JsonObj2File(const char *path, const JsonFieldDesc *table, const void *record);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* JSONMAP_H */
