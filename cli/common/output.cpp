#include "common/output.h"

#include <cjson/cJSON.h>

#include <cstdio>
#include <cstdlib>

namespace talvoctl {
namespace {

void PrintJson(cJSON *document) {
    char *text = cJSON_Print(document);
    if (text != nullptr) {
        std::fputs(text, stdout);
        std::fputc('\n', stdout);
        std::free(text);
    }
    cJSON_Delete(document);
}

} // namespace

void Output::Show(const Table &table) const {
    if (json_) {
        PrintJson(table.Json());
    } else {
        std::fputs(table.Render().c_str(), stdout);
    }
}

void Output::Show(const Properties &properties) const {
    if (json_) {
        PrintJson(properties.Json());
    } else {
        std::fputs(properties.Render().c_str(), stdout);
    }
}

void Output::ShowJson(cJSON *document) const {
    if (json_) {
        PrintJson(document);
    } else {
        cJSON_Delete(document);
    }
}

void Output::Note(const std::string &text) const {
    std::fflush(stdout); // what was shown before the note stays before it
    std::fprintf(stderr, "talvoctl: %s\n", text.c_str());
}

void Output::ShowFailure(const Failure &failure) const {
    std::fflush(stdout);
    std::fprintf(stderr, "talvoctl: %s: %s\n", failure.Name().c_str(), failure.what());
    if (!json_ || failure.InDocument()) return;
    cJSON *error = cJSON_CreateObject();
    cJSON_AddStringToObject(error, "name", failure.Name().c_str());
    cJSON_AddNumberToObject(error, "code", failure.Code());
    cJSON_AddStringToObject(error, "message", failure.what());
    cJSON *document = cJSON_CreateObject();
    cJSON_AddItemToObject(document, "error", error);
    PrintJson(document);
}

} // namespace talvoctl
