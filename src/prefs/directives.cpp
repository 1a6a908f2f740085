#include "directives.h"

#include <cerrno>
#include <fcntl.h>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

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
            if (bytes.find_first_not_of("\r\n", begin) != std::string_view::npos)
                result.leftUnread = true;
            return result;
        }
        const std::size_t space = line.find(' ');
        if (space == std::string_view::npos) {
            result.leftUnread = true;
        } else {
            result.directives.push_back(
                { asciiLower(line.substr(1, space - 1)), std::string(line.substr(space + 1)) });
        }
        begin = nextLine(bytes, end);
    }
    return result;
}

namespace {

// Closes the descriptor on every way out.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd)
        : m_fd(fd)
    {
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    [[nodiscard]] int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

std::optional<std::string> readRegularFile(const std::string &path)
{
    // The look by name keeps anything else from being opened at all (opening some devices has
    // effects of its own); the open cannot wait, and the look at what was opened catches a pipe
    // put in the file's place between the two.
    struct stat status = {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    std::string bytes;
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t count = ::read(file.get(), buffer, sizeof buffer);
        if (count == 0)
            return bytes;
        if (count > 0)
            bytes.append(buffer, static_cast<std::size_t>(count));
        else if (errno != EINTR)
            return std::nullopt;
    }
}

namespace GlobalsModule {

bool extractDirectives(const std::string &path, bool *leftUnread)
{
    const std::optional<std::string> bytes = readRegularFile(path);
    if (!bytes)
        return false;
    DirectiveRead read = readDirectives(*bytes);
    if (leftUnread)
        *leftUnread = read.leftUnread;
    gDirectives.insert(gDirectives.end(), std::make_move_iterator(read.directives.begin()),
        std::make_move_iterator(read.directives.end()));
    return true;
}

} // namespace GlobalsModule
