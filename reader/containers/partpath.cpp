#include "partpath.h"

#include <vector>

namespace reader {
namespace partpath {

std::string folder(const std::string& part)
{
    const std::size_t slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

std::string relationshipsOf(const std::string& part)
{
    const std::size_t slash = part.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    return part.substr(0, nameStart) + "_rels/" + part.substr(nameStart) + ".rels";
}

std::string resolve(const std::string& sourceFolder, const std::string& target)
{
    const std::string joined = !target.empty() && target[0] == '/' ? target : sourceFolder + target;
    std::vector<std::string> segments;
    std::size_t start = 0;
    while (start <= joined.size()) {
        std::size_t end = joined.find('/', start);
        if (end == std::string::npos)
            end = joined.size();
        const std::string segment = joined.substr(start, end - start);
        if (segment == "..") {
            if (!segments.empty())
                segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = end + 1;
    }
    std::string resolved;
    for (const std::string& segment : segments) {
        if (!resolved.empty())
            resolved += '/';
        resolved += segment;
    }
    return resolved;
}

} // namespace partpath
} // namespace reader
