#include "directives.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <memory>
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

// Reads directive lines from a file's bytes as they arrive, in pieces of any size, so that a long
// file never has to be held whole beside the records made of it.
class DirectiveReader
{
public:
    // Reads the lines these bytes complete. False once nothing later in the file can change the
    // result: reading has ended and text was found after its end.
    bool feed(std::string_view bytes);
    // The records, once every piece has been fed.
    DirectiveRead finish();
    // Room for the records of a file of that many bytes, made once: growing the list by doubling
    // moves every record made so far, again and again. Room never used costs no memory, up to a
    // point: beyond a few hundred thousand records the list grows as they come, so that a huge
    // file (or a sparse one that reads as nothing) cannot ask for more than a machine has.
    void expect(std::size_t bytes)
    {
        m_read.directives.reserve(std::min(bytes / shortestTypicalLine, mostRecordsReserved));
    }

private:
    bool feedStart(std::string_view bytes);
    void readLine(std::string_view line);

    // What a text editor may put at the start of a UTF-8 file.
    static constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

    // A "#saveditem" line of a project with times is rarely shorter.
    static constexpr std::size_t shortestTypicalLine = 32;
    static constexpr std::size_t mostRecordsReserved = std::size_t { 256 } * 1024;

    // The start of a line whose end has not arrived yet.
    std::string m_partial;
    // The file's first bytes have been told apart from a byte-order mark.
    bool m_startSeen = false;
    // The last piece ended with "\r": a "\n" at the start of the next belongs to it.
    bool m_afterCarriageReturn = false;
    // A line that does not begin with "#" ended the reading.
    bool m_ended = false;
    DirectiveRead m_read;
};

bool DirectiveReader::feed(std::string_view bytes)
{
    if (!m_startSeen)
        return feedStart(bytes);
    if (m_afterCarriageReturn && !bytes.empty()) {
        m_afterCarriageReturn = false;
        if (bytes.front() == '\n')
            bytes.remove_prefix(1);
    }
    while (!bytes.empty() && !m_ended) {
        // A line that does not begin with "#" ends the reading at its first byte: its end is
        // never looked for, so a file without line breaks is not held whole to find one.
        if (m_partial.empty() && bytes.front() != '#') {
            m_ended = true;
            break;
        }
        // memchr for each kind of line end, the second only within the line the first found:
        // both run at memory speed, and neither looks past the line.
        const char *data = bytes.data();
        const auto *lineFeed = static_cast<const char *>(std::memchr(data, '\n', bytes.size()));
        std::size_t end = lineFeed ? static_cast<std::size_t>(lineFeed - data) : bytes.size();
        if (const auto *carriageReturn = static_cast<const char *>(std::memchr(data, '\r', end)))
            end = static_cast<std::size_t>(carriageReturn - data);
        if (end == bytes.size()) {
            m_partial.append(bytes);
            return true;
        }
        if (m_partial.empty()) {
            readLine(bytes.substr(0, end));
        } else {
            m_partial.append(bytes.substr(0, end));
            readLine(m_partial);
            m_partial.clear();
        }
        std::size_t next = end + 1;
        if (bytes[end] == '\r') {
            if (next == bytes.size())
                m_afterCarriageReturn = true;
            else if (bytes[next] == '\n')
                ++next;
        }
        bytes.remove_prefix(next);
    }
    // Empty lines left at the end hold nothing; anything else after the end was not read.
    if (m_ended && bytes.find_first_not_of("\r\n") != std::string_view::npos)
        m_read.leftUnread = true;
    return !(m_ended && m_read.leftUnread);
}

// The first bytes, up to the length of a byte-order mark, are held until they show whether they
// are one.
bool DirectiveReader::feedStart(std::string_view bytes)
{
    const std::size_t wanted = std::min(byteOrderMark.size() - m_partial.size(), bytes.size());
    m_partial.append(bytes.substr(0, wanted));
    bytes.remove_prefix(wanted);
    if (m_partial == byteOrderMark) {
        m_partial.clear();
        // The mark is in no record, and the writer never writes one: a save would not give the
        // file back as it was.
        m_read.leftUnread = true;
    } else if (byteOrderMark.starts_with(m_partial)) {
        return true;
    }
    m_startSeen = true;
    std::string start;
    start.swap(m_partial);
    return feed(start) && feed(bytes);
}

DirectiveRead DirectiveReader::finish()
{
    if (!m_partial.empty() && !m_ended)
        readLine(m_partial);
    m_partial.clear();
    return std::move(m_read);
}

void DirectiveReader::readLine(std::string_view line)
{
    if (line.empty() || line.front() != '#') {
        m_ended = true;
        m_read.leftUnread = m_read.leftUnread || !line.empty();
        return;
    }
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos) {
        m_read.leftUnread = true;
        return;
    }
    m_read.directives.push_back(
        { asciiLower(line.substr(1, space - 1)), std::string(line.substr(space + 1)) });
}

} // namespace

DirectiveRead readDirectives(std::string_view bytes)
{
    DirectiveReader reader;
    reader.feed(bytes);
    return reader.finish();
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

bool readRegularFile(const std::string &path, const std::function<bool(std::string_view)> &take,
    const std::function<void(std::size_t)> &sized)
{
    // The look by name keeps anything else from being opened at all (opening some devices has
    // effects of its own); the open cannot wait, and the look at what was opened catches a pipe
    // put in the file's place between the two.
    struct stat status = {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    if (sized)
        sized(static_cast<std::size_t>(status.st_size));
    // Large pieces: a long file in few reads.
    constexpr std::size_t pieceSize = std::size_t { 256 } * 1024;
    const auto buffer = std::make_unique_for_overwrite<char[]>(pieceSize);
    for (;;) {
        const ssize_t count = ::read(file.get(), buffer.get(), pieceSize);
        if (count == 0)
            return true;
        if (count > 0) {
            if (!take(std::string_view(buffer.get(), static_cast<std::size_t>(count))))
                return true;
        } else if (errno != EINTR) {
            return false;
        }
    }
}

namespace GlobalsModule {

bool extractDirectives(const std::string &path, bool *leftUnread)
{
    DirectiveReader reader;
    if (!readRegularFile(
            path, [&reader](std::string_view piece) { return reader.feed(piece); },
            [&reader](std::size_t size) { reader.expect(size); }))
        return false;
    DirectiveRead read = reader.finish();
    if (leftUnread)
        *leftUnread = read.leftUnread;
    if (gDirectives.empty())
        gDirectives = std::move(read.directives);
    else
        gDirectives.insert(gDirectives.end(), std::make_move_iterator(read.directives.begin()),
            std::make_move_iterator(read.directives.end()));
    return true;
}

} // namespace GlobalsModule
