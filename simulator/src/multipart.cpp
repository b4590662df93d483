#include "multipart.h"

namespace talvo_sim {

std::string BoundaryOf(const std::string &content_type) {
    const std::string name = "boundary=";
    std::size_t at = content_type.find(name);
    if (at == std::string::npos) return "";
    std::string boundary = content_type.substr(at + name.size());
    std::size_t end = boundary.find_first_of("; \t");
    if (end != std::string::npos) boundary.resize(end);
    if (boundary.size() >= 2 && boundary.front() == '"' && boundary.back() == '"') {
        boundary = boundary.substr(1, boundary.size() - 2);
    }
    return boundary;
}

namespace {

std::string FileNameOf(std::string_view head) {
    const std::string_view name = "filename=\"";
    std::size_t at = head.find(name);
    if (at == std::string_view::npos) return "";
    at += name.size();
    std::size_t end = head.find('"', at);
    if (end == std::string_view::npos) return "";
    return std::string(head.substr(at, end - at));
}

} // namespace

bool ParseUpload(std::string_view body, const std::string &boundary, UploadPart &part) {
    if (boundary.empty()) return false;
    const std::string opening = "--" + boundary + "\r\n";
    const std::string closing = "\r\n--" + boundary + "--";
    if (body.substr(0, opening.size()) != opening) return false;
    std::size_t head_end = body.find("\r\n\r\n", opening.size());
    if (head_end == std::string_view::npos) return false;
    head_end += 4;
    std::size_t content_end = body.rfind(closing);
    if (content_end == std::string_view::npos || content_end < head_end) return false;
    std::string_view after = body.substr(content_end + closing.size());
    if (after != "\r\n" && !after.empty()) return false;
    part.head = std::string(body.substr(0, head_end));
    part.file_name = FileNameOf(part.head);
    part.content = body.substr(head_end, content_end - head_end);
    return true;
}

} // namespace talvo_sim
