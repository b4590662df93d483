// What the three store files share: one file's save serialisation and the
// copy kept of a file that did not load whole, the record image the mapping
// component reads and writes, and the two passes of a load.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <cstring>
#include <string>
#include <vector>

#include "jsonmap.h"
#include "korvel.h"

namespace korvel {

// One store file in the current directory.
//
// Saves run one at a time (a save lists what it writes and writes it under the
// file's own mutex, so a slower save can never write older contents over a
// newer one) and may come from any thread. The caller must not hold a
// registry lock while saving.
//
// A file that did not load whole (no JSON, a failed second read, a refused or
// skipped record) is marked; before it is first rewritten it is copied to
// "<name>.bad-<date-time>" beside it, and that is logged. When the copy cannot
// be made the file is not rewritten.
class StoreFile {
public:
    explicit StoreFile(const char *name) : name_(name) {}
    StoreFile(const StoreFile &) = delete;
    StoreFile &operator=(const StoreFile &) = delete;

    const char *Name() const { return name_; }

    void MarkNotWhole();
    // Marks the file when it exists: a first read that failed on a file that is there.
    void MarkIfPresent();
    bool Marked() const;

    // Runs `write(name)` under the save mutex, after keeping the copy of a
    // marked file. Returns write's result, or -1 when the copy failed.
    template <class Write>
    int Save(Write &&write) {
        std::lock_guard<std::mutex> lock(save_);
        if (!KeepBadCopyLocked()) return -1;
        return write(name_);
    }

    // The number of array elements to make room for: `count`, or less when the
    // file is too small to hold that many (an element takes at least two
    // bytes), so a broken count cannot exhaust memory. A cut count marks the file.
    size_t PlausibleCount(int32_t count);

    // Logs and marks the file when `missing` of its counted entries were not
    // there; true then.
    bool NoteMissingEntries(size_t missing);

private:
    bool KeepBadCopyLocked();

    const char *name_;
    mutable std::mutex save_;
    bool keep_copy_ = false;
};

// A store record as the mapping component sees it: the scalar head and then
// `count` elements, in one zeroed allocation.
template <class Head, class Element>
class StoreImage {
public:
    static constexpr uint32_t kArrayOffset =
        static_cast<uint32_t>((sizeof(Head) + alignof(Element) - 1) / alignof(Element) * alignof(Element));

    explicit StoreImage(size_t count)
        : count_(count), data_(count > (SIZE_MAX - kArrayOffset) / sizeof(Element)
                                   ? nullptr
                                   : std::calloc(1, kArrayOffset + count * sizeof(Element))) {}
    ~StoreImage() { std::free(data_); }
    StoreImage(const StoreImage &) = delete;
    StoreImage &operator=(const StoreImage &) = delete;

    bool Ok() const { return data_ != nullptr; }
    size_t Count() const { return count_; }
    void *Data() { return data_; }
    Head &HeadRecord() { return *static_cast<Head *>(data_); }
    Element *Elements() { return reinterpret_cast<Element *>(static_cast<char *>(data_) + kArrayOffset); }

    // Entries the file does not hold (its count is larger than its array, or
    // an entry lacks its key field) must not become records. Before the read
    // the key field of every element is filled with 0xFF bytes; a key the
    // read found is written terminated within its field.
    template <size_t N>
    void MarkKeysAbsent(char (Element::*key)[N]) {
        for (size_t i = 0; i < count_; ++i) std::memset(Elements()[i].*key, 0xFF, N);
    }
    // True when the read found the element's key; clears what is left of the
    // marker behind the text.
    template <size_t N>
    static bool KeyFound(Element &element, char (Element::*key)[N]) {
        char *field = element.*key;
        auto *end = static_cast<char *>(std::memchr(field, '\0', N));
        if (end == nullptr) return false;
        std::memset(end, 0, static_cast<size_t>(field + N - end));
        return true;
    }

    // The descriptor of the array key for this image's elements.
    static JsonFieldDesc ArrayField(const char *key, const JsonFieldDesc *sub, size_t count) {
        return JsonFieldDesc{static_cast<uint32_t>(sizeof(Head)), JSONMAP_ARRAY, key, JSONMAP_OPTIONAL,
                             kArrayOffset, static_cast<uint32_t>(sizeof(Element)), sub,
                             static_cast<uint32_t>(count), JSONMAP_OBJECT};
    }

private:
    size_t count_;
    void *data_;
};

// A store table: the head fields, then the array key when `count` is at least
// 1, then the end mark. An empty store is written without its array key.
template <size_t HeadFields>
std::array<JsonFieldDesc, HeadFields + 2> StoreTable(const std::array<JsonFieldDesc, HeadFields> &head,
                                                     const JsonFieldDesc &array, size_t count) {
    std::array<JsonFieldDesc, HeadFields + 2> table{};
    for (size_t i = 0; i < HeadFields; ++i) table[i] = head[i];
    if (count > 0) table[HeadFields] = array;
    return table;
}

// First pass of a load: reads the head fields alone. On failure logs
// "JsonFile2Obj failed", marks a file that is there and returns false.
bool ReadStoreHead(StoreFile &file, const JsonFieldDesc *table, void *head);

// Second pass: reads the whole image. 0; ZR_QM_ERR_NO_MEMORY when the image
// could not be allocated; -1 (logged) when the read failed. Failures mark the file.
int ReadStoreImage(StoreFile &file, bool allocated, const JsonFieldDesc *table, void *image);

// Second pass of a load for a file whose head counts `count` entries: reads
// the whole record, gives its head to `on_head`, then each entry the file
// holds to `take` in file order. A negative result of `take` is a refused
// entry: it marks the file and the first one is the result. Entries the
// file counts but does not hold are skipped, counted in `missing` (logged).
struct EntriesRead {
    int result = 0; // 0, ZR_QM_ERR_NO_MEMORY, -1 (read failed) or the first refusal
    size_t missing = 0;
};

template <class Head, class Element, size_t N, class TableFor, class OnHead, class Take>
EntriesRead ReadStoreEntries(StoreFile &file, int32_t count, char (Element::*key)[N], TableFor &&table_for,
                             OnHead &&on_head, Take &&take) {
    using Image = StoreImage<Head, Element>;
    Image image(file.PlausibleCount(count));
    if (image.Ok()) image.MarkKeysAbsent(key);
    EntriesRead read;
    read.result = ReadStoreImage(file, image.Ok(), table_for(image.Count()).data(), image.Data());
    if (read.result != 0) return read;
    on_head(image.HeadRecord());
    for (size_t i = 0; i < image.Count(); ++i) {
        Element &entry = image.Elements()[i];
        if (!Image::KeyFound(entry, key)) {
            ++read.missing;
            continue;
        }
        int taken = take(entry);
        if (taken < 0) {
            file.MarkNotWhole();
            if (read.result == 0) read.result = taken;
        }
    }
    file.NoteMissingEntries(read.missing);
    return read;
}

// Writes a store record; 0, or -1 (logged).
int WriteStore(const char *name, const JsonFieldDesc *table, const void *record);

void LogImageAllocationFailed();

// Writes `head` and `elements` with the table `table_for(count)` gives: 0,
// ZR_QM_ERR_NO_MEMORY or -1 (both logged).
template <class Head, class Element, class TableFor>
int WriteStoreImage(const char *name, const Head &head, const std::vector<Element> &elements,
                    TableFor &&table_for) {
    StoreImage<Head, Element> image(elements.size());
    if (!image.Ok()) {
        LogImageAllocationFailed();
        return ZR_QM_ERR_NO_MEMORY;
    }
    image.HeadRecord() = head;
    if (!elements.empty()) std::memcpy(image.Elements(), elements.data(), elements.size() * sizeof(Element));
    return WriteStore(name, table_for(elements.size()).data(), image.Data());
}

} // namespace korvel
