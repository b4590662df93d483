// The model table and the per-model product table.
#pragma once

#include <cstdint>

#include "korvel.h"

namespace korvel {

constexpr uint32_t kModelCount = 6;     // rows 0..5 are real models
constexpr uint32_t kUnknownModel = 6;   // "unknow": never admitted

// Name of a model index; "unknow" for 6 and anything out of range.
const char *ModelName(uint32_t index);

// Row of the model table whose name equals `name` without regard to letter
// case; 6 (logged "unkown device type!") for any other name.
uint32_t ModelIndex(const char *name);

// Exact, case-sensitive membership in the six model names (discovery's check).
bool IsKnownModel(const char *name);

// Copies the product row of `model` (compared case-sensitively, at most 32
// characters); 0, -1 for a missing argument, -2 for a model not in the table.
int GetProductInfo(const char *model, ProductInfo *info);

} // namespace korvel
