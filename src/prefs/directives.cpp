#include "directives.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

namespace GlobalsModule {

std::vector<directiveClass> gDirectives;

} // namespace GlobalsModule

namespace {

// Only ASCII letters change: every other byte, the parts of a multi-byte character included,
// stays as it is, so a name never turns into different bytes than the file held.
std::string asciiLower(std::string_view text)
{
    std::string result(text);
    for (char &c : result) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return result;
}

// Where the line starting at begin ends, before its line end; bytes.size() when it has none.
// A plain byte loop: the line may be megabytes long, and looking for "\r" and "\n" separately
// would scan the rest of the file once per line.
std::size_t lineEnd(std::string_view bytes, std::size_t begin)
{
    std::size_t at = begin;
    while (at < bytes.size() && bytes[at] != '\n' && bytes[at] != '\r')
        ++at;
    return at;
}

// Where the line after the one ending at end begins: past "\n", "\r\n" or a lone "\r".
std::size_t nextLine(std::string_view bytes, std::size_t end)
{
    if (end >= bytes.size())
        return bytes.size();
    if (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n')
        return end + 2;
    return end + 1;
}

} // namespace

DirectiveRead readDirectives(std::string_view bytes)
{
    DirectiveRead result;
    std::size_t begin = 0;
    while (begin < bytes.size()) {
        const std::size_t end = lineEnd(bytes, begin);
        const std::string_view line = bytes.substr(begin, end - begin);
        if (line.empty() || line.front() != '#') {
            // Empty lines left at the end hold nothing; anything else from here on was not read.
            result.stoppedEarly = bytes.find_first_not_of("\r\n", begin) != std::string_view::npos;
            return result;
        }
        const std::size_t space = line.find(' ');
        if (space != std::string_view::npos) {
            result.directives.push_back(
                { asciiLower(line.substr(1, space - 1)), std::string(line.substr(space + 1)) });
        }
        begin = nextLine(bytes, end);
    }
    return result;
}

namespace {

// The directives of the file at path; nothing when it cannot be read (missing, a folder, no
// permission, a read error).
std::optional<DirectiveRead> readFile(const std::string &path)
{
    // An ifstream opens a folder without complaint and then reads nothing from it.
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string bytes;
    char buffer[64 * 1024];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (in.bad())
        return std::nullopt;
    return readDirectives(bytes);
}

} // namespace

namespace GlobalsModule {

bool extractDirectives(const std::string &path, bool *stoppedEarly)
{
    std::optional<DirectiveRead> read = readFile(path);
    if (!read)
        return false;
    if (stoppedEarly)
        *stoppedEarly = read->stoppedEarly;
    gDirectives.insert(gDirectives.end(), std::make_move_iterator(read->directives.begin()),
        std::make_move_iterator(read->directives.end()));
    return true;
}

} // namespace GlobalsModule
