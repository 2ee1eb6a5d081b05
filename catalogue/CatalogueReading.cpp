#include "catalogue/CatalogueReading.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace
{
constexpr std::size_t chunkBytes = 1 << 20;
constexpr std::size_t headBytes = 1 << 16;
constexpr std::size_t linesBetweenReports = 8192;

// ------------------------------------------------------------ byte sources

class Source
{
public:
    virtual ~Source() = default;
    // Up to `size` bytes; 0 at the end.
    virtual std::size_t read(char* into, std::size_t size) = 0;
    // The share of the underlying file read so far, 0 to 1.
    virtual double share() const = 0;
    // Why the source stopped early; empty at a clean end.
    virtual std::string failure() const { return {}; }
};

class MemorySource final : public Source
{
public:
    explicit MemorySource(std::string_view source) : bytes(source) {}
    std::size_t read(char* into, std::size_t size) override
    {
        const std::size_t n = std::min(size, bytes.size() - position);
        std::memcpy(into, bytes.data() + position, n);
        position += n;
        return n;
    }
    double share() const override { return bytes.empty() ? 1.0 : double(position) / double(bytes.size()); }

private:
    std::string_view bytes;
    std::size_t position = 0;
};

class FileSource final : public Source
{
public:
    explicit FileSource(std::FILE* opened) : file(opened)
    {
        if (std::fseek(file, 0, SEEK_END) == 0)
        {
            const long end = std::ftell(file);
            total = end > 0 ? std::size_t(end) : 0;
        }
        std::rewind(file);
    }
    ~FileSource() override { std::fclose(file); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    std::size_t read(char* into, std::size_t size) override
    {
        const std::size_t n = std::fread(into, 1, size, file);
        position += n;
        return n;
    }
    double share() const override { return total == 0 ? 1.0 : std::min(1.0, double(position) / double(total)); }
    std::size_t size() const { return total; }

private:
    std::FILE* file;
    std::size_t total = 0;
    std::size_t position = 0;
};

// Bytes already taken from a source, given again before the rest of it.
class PrefixedSource final : public Source
{
public:
    PrefixedSource(std::string taken, Source& rest) : prefix(std::move(taken)), source(rest) {}
    std::size_t read(char* into, std::size_t size) override
    {
        if (position < prefix.size())
        {
            const std::size_t n = std::min(size, prefix.size() - position);
            std::memcpy(into, prefix.data() + position, n);
            position += n;
            return n;
        }
        return source.read(into, size);
    }
    double share() const override { return source.share(); }
    std::string failure() const override { return source.failure(); }

private:
    std::string prefix;
    std::size_t position = 0;
    Source& source;
};

// A gzip stream (one or more members, as gzip and pigz write them).
class GzipSource final : public Source
{
public:
    explicit GzipSource(Source& compressed) : source(compressed), input(chunkBytes, '\0')
    {
        stream.zalloc = Z_NULL;
        stream.zfree = Z_NULL;
        stream.opaque = Z_NULL;
        // 15 + 16: a window of 32 KiB with the gzip header expected.
        ready = inflateInit2(&stream, 15 + 16) == Z_OK;
        if (!ready)
            why = "zlib could not start";
    }
    ~GzipSource() override
    {
        if (ready)
            inflateEnd(&stream);
    }
    GzipSource(const GzipSource&) = delete;
    GzipSource& operator=(const GzipSource&) = delete;

    std::size_t read(char* into, std::size_t size) override
    {
        if (!ready || done)
            return 0;
        stream.next_out = reinterpret_cast<Bytef*>(into);
        stream.avail_out = uInt(size);
        while (stream.avail_out == size)
        {
            if (stream.avail_in == 0)
            {
                const std::size_t n = source.read(input.data(), input.size());
                if (n == 0)
                {
                    if (!memberEnded)
                        why = "the gzip stream ends early";
                    done = true;
                    break;
                }
                stream.next_in = reinterpret_cast<Bytef*>(input.data());
                stream.avail_in = uInt(n);
            }
            if (memberEnded)
            {
                // Another member follows the one ended.
                if (inflateReset(&stream) != Z_OK)
                    return fail("zlib could not start the next member");
                memberEnded = false;
            }
            const int status = inflate(&stream, Z_NO_FLUSH);
            if (status == Z_STREAM_END)
                memberEnded = true;
            else if (status != Z_OK && status != Z_BUF_ERROR)
                return fail(std::string("the gzip stream is damaged (") + (stream.msg ? stream.msg : "zlib error") +
                            ")");
        }
        return size - stream.avail_out;
    }
    double share() const override { return source.share(); }
    std::string failure() const override { return why; }

private:
    std::size_t fail(std::string reason)
    {
        why = std::move(reason);
        done = true;
        return 0;
    }

    Source& source;
    std::string input;
    z_stream stream{};
    bool ready = false;
    bool done = false;
    bool memberEnded = false;
    std::string why;
};

std::string readUpTo(Source& source, std::size_t limit)
{
    std::string text(limit, '\0');
    std::size_t filled = 0;
    while (filled < limit)
    {
        const std::size_t n = source.read(text.data() + filled, limit - filled);
        if (n == 0)
            break;
        filled += n;
    }
    text.resize(filled);
    return text;
}

std::string readAll(Source& source)
{
    std::string text;
    std::size_t filled = 0;
    while (true)
    {
        text.resize(filled + chunkBytes);
        const std::size_t n = source.read(text.data() + filled, chunkBytes);
        filled += n;
        if (n == 0)
            break;
    }
    text.resize(filled);
    return text;
}

// ------------------------------------------------------------ what a file is

std::string printable(std::string_view text, std::size_t limit = 60)
{
    std::string shown;
    for (char c : text.substr(0, limit))
        shown += (c >= ' ' && c < 127) ? c : '?';
    return shown;
}

// The encodings refused, from the byte-order mark or the zero bytes that
// UTF-16 and UTF-32 put between ASCII letters; empty for 8-bit text.
std::string wideEncoding(std::string_view head)
{
    auto starts = [&](std::string_view mark) { return head.substr(0, mark.size()) == mark; };
    using namespace std::string_view_literals;
    if (starts("\xFF\xFE\0\0"sv))
        return "UTF-32 (little-endian, with a byte-order mark)";
    if (starts("\0\0\xFE\xFF"sv))
        return "UTF-32 (big-endian, with a byte-order mark)";
    if (starts("\xFF\xFE"sv))
        return "UTF-16 (little-endian, with a byte-order mark)";
    if (starts("\xFE\xFF"sv))
        return "UTF-16 (big-endian, with a byte-order mark)";
    const std::size_t zeros = std::size_t(std::count(head.begin(), head.begin() + std::min<std::size_t>(head.size(), 512), '\0'));
    if (zeros > 0 && zeros * 4 >= std::min<std::size_t>(head.size(), 512))
        return "UTF-16 or UTF-32 (zero bytes between the letters)";
    return {};
}

struct TextShape
{
    CatalogueFormat format = CatalogueFormat::MpcOrbits;
    int headerLines = 0;   // lines up to and with the dashed line
    std::string why;       // empty when recognised
};

std::vector<std::string_view> headLines(std::string_view head)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < head.size() && lines.size() < 400)
    {
        const std::size_t end = head.find('\n', start);
        if (end == std::string_view::npos)
            break;   // a line cut by the head's end is left out
        std::string_view line = head.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    if (lines.empty() && start < head.size())
        lines.push_back(head.substr(start));
    return lines;
}

bool blank(std::string_view line)
{
    return line.find_first_not_of(" \t\r") == std::string_view::npos;
}

TextShape recogniseText(std::string_view head)
{
    const std::vector<std::string_view> lines = headLines(head);
    TextShape shape;
    // MPCORB.DAT opens with the MPC's notes, ended by a line of dashes.
    std::size_t first = 0;
    if (!lines.empty() && !looksLikeMpcOrbitLine(lines[0]) && !looksLikeMpcCometLine(lines[0]))
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (lines[i].substr(0, 10) == "----------")
            {
                first = i + 1;
                shape.headerLines = int(i + 1);
                break;
            }
    int orbits = 0, comets = 0, others = 0;
    std::string_view firstOther;
    for (std::size_t i = first; i < lines.size() && orbits + comets + others < 50; ++i)
    {
        if (blank(lines[i]))
            continue;
        if (looksLikeMpcOrbitLine(lines[i]))
            ++orbits;
        else if (looksLikeMpcCometLine(lines[i]))
            ++comets;
        else if (others++ == 0)
            firstOther = lines[i];
    }
    if (orbits > 0 && orbits >= comets)
        shape.format = CatalogueFormat::MpcOrbits;
    else if (comets > 0)
        shape.format = CatalogueFormat::MpcComets;
    else if (shape.headerLines > 0)
        shape.format = CatalogueFormat::MpcOrbits;   // the header alone: a catalogue without bodies
    else
    {
        const std::string_view shown = !lines.empty() ? lines[0] : head;
        shape.why = "is none of the formats read here (MPCORB, MPC comets, JPL SBDB JSON): it is text whose first "
                    "line reads \"" + printable(shown) + "\"";
        if (others > 0 && !(firstOther == shown))
            shape.why += " and whose first data-like line reads \"" + printable(firstOther) + "\"";
    }
    return shape;
}

// ------------------------------------------------------------ reading lines

class Reading
{
public:
    Reading(const std::string& fileName, const ReadOptions& readOptions, Catalogue& into)
        : file(fileName), options(readOptions), catalogue(into)
    {
    }

    void problem(int line, const char* kind, std::string message)
    {
        if (catalogue.problems.size() < options.problemLimit)
            catalogue.problems.push_back({file, line, kind, std::move(message)});
        else
            ++catalogue.problemsNotKept;
    }

    // Reports progress; false when the caller asks to stop.
    bool report(double share)
    {
        if (!options.progress)
            return true;
        if (!options.progress({catalogue.bodies.size(), share}))
        {
            catalogue.cancelled = true;
            return false;
        }
        return true;
    }

    void take(int line, const LineReading& reading)
    {
        if (reading.ok)
            catalogue.bodies.add(reading.body);
        else
            problem(line, "malformed-line", reading.why + "; the line is skipped");
    }

    void readLines(Source& text, const TextShape& shape)
    {
        std::string buffer(chunkBytes, '\0');
        std::size_t begin = 0, end = 0;
        int lineNumber = 0;
        bool atEnd = false;
        std::size_t sinceReport = 0;
        while (true)
        {
            const char* newline = static_cast<const char*>(std::memchr(buffer.data() + begin, '\n', end - begin));
            if (!newline && !atEnd)
            {
                // Keep the partial line and fill the rest of the buffer.
                std::memmove(buffer.data(), buffer.data() + begin, end - begin);
                end -= begin;
                begin = 0;
                if (end == buffer.size())
                    buffer.resize(buffer.size() * 2);
                const std::size_t n = text.read(buffer.data() + end, buffer.size() - end);
                if (n == 0)
                    atEnd = true;
                end += n;
                continue;
            }
            const std::size_t lineEnd = newline ? std::size_t(newline - buffer.data()) : end;
            if (!newline && lineEnd == begin)
                break;
            std::string_view line(buffer.data() + begin, lineEnd - begin);
            begin = newline ? lineEnd + 1 : end;
            ++lineNumber;
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            if (lineNumber > shape.headerLines && !blank(line))
                take(lineNumber, shape.format == CatalogueFormat::MpcOrbits ? readMpcOrbitLine(line)
                                                                            : readMpcCometLine(line));
            if (++sinceReport == linesBetweenReports)
            {
                sinceReport = 0;
                if (!report(text.share()))
                    return;
            }
        }
        if (const std::string why = text.failure(); !why.empty())
            problem(lineNumber, "damaged-gzip", why + " after line " + std::to_string(lineNumber));
    }

    const std::string& file;
    const ReadOptions& options;
    Catalogue& catalogue;
};

// ------------------------------------------------------------ JSON

// Just enough JSON for JPL's answers: objects, arrays, strings with their
// escapes, numbers and literals, nested to a depth that no answer reaches.
class Json
{
public:
    explicit Json(std::string_view document) : text(document) {}

    std::size_t position = 0;

    void space()
    {
        while (position < text.size() && (text[position] == ' ' || text[position] == '\n' || text[position] == '\r' ||
                                           text[position] == '\t'))
            ++position;
    }
    bool next(char c)
    {
        space();
        if (position < text.size() && text[position] == c)
        {
            ++position;
            return true;
        }
        return false;
    }
    bool peek(char c)
    {
        space();
        return position < text.size() && text[position] == c;
    }
    bool string(std::string& out)
    {
        if (!next('"'))
            return false;
        out.clear();
        while (position < text.size())
        {
            const char c = text[position++];
            if (c == '"')
                return true;
            if (c != '\\')
            {
                out += c;
                continue;
            }
            if (position >= text.size())
                return false;
            const char e = text[position++];
            switch (e)
            {
            case '"': case '\\': case '/': out += e; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u':
            {
                unsigned code = 0;
                if (!hex4(code))
                    return false;
                if (code >= 0xD800 && code < 0xDC00 && text.substr(position, 2) == "\\u")
                {
                    position += 2;
                    unsigned low = 0;
                    if (!hex4(low) || low < 0xDC00 || low > 0xDFFF)
                        return false;
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                }
                utf8(code, out);
                break;
            }
            default:
                return false;
            }
        }
        return false;
    }
    // A string, a number or a literal as text (empty for null); nested
    // values are skipped and read as null.
    bool scalar(std::string& out)
    {
        space();
        if (position >= text.size())
            return false;
        const char c = text[position];
        if (c == '"')
            return string(out);
        out.clear();
        if (c == '{' || c == '[')
            return skip();
        const std::size_t start = position;
        while (position < text.size() && std::strchr("+-.0123456789eEtrufalsn", text[position]) && text[position])
            ++position;
        const std::string_view token = text.substr(start, position - start);
        if (token.empty())
            return false;
        if (token != "null")
            out = std::string(token);
        return true;
    }
    bool skip(int depth = 0)
    {
        if (depth > 200)
            return false;
        space();
        if (position >= text.size())
            return false;
        std::string ignored;
        if (next('{'))
        {
            if (next('}'))
                return true;
            do
            {
                if (!string(ignored) || !next(':') || !skip(depth + 1))
                    return false;
            } while (next(','));
            return next('}');
        }
        if (next('['))
        {
            if (next(']'))
                return true;
            do
            {
                if (!skip(depth + 1))
                    return false;
            } while (next(','));
            return next(']');
        }
        return scalar(ignored);
    }
    // The members of an object as key and the position of its value.
    bool members(std::vector<std::pair<std::string, std::size_t>>& found)
    {
        if (!next('{'))
            return false;
        if (next('}'))
            return true;
        do
        {
            std::string key;
            if (!string(key) || !next(':'))
                return false;
            space();
            found.emplace_back(key, position);
            if (!skip())
                return false;
        } while (next(','));
        return next('}');
    }
    // The line of a position, counting on from the last one asked.
    int lineAt(std::size_t at)
    {
        if (at < countedTo)
        {
            countedTo = 0;
            line = 1;
        }
        line += int(std::count(text.begin() + std::ptrdiff_t(countedTo), text.begin() + std::ptrdiff_t(at), '\n'));
        countedTo = at;
        return line;
    }
    double share() const { return text.empty() ? 1.0 : double(position) / double(text.size()); }

private:
    bool hex4(unsigned& code)
    {
        if (position + 4 > text.size())
            return false;
        for (int i = 0; i < 4; ++i)
        {
            const char h = text[position++];
            code = code * 16 + unsigned(h >= '0' && h <= '9' ? h - '0' : h >= 'a' && h <= 'f' ? h - 'a' + 10
                                        : h >= 'A' && h <= 'F' ? h - 'A' + 10 : 99);
            if (code > 0xFFFF)
                return false;
        }
        return true;
    }
    static void utf8(unsigned code, std::string& out)
    {
        if (code < 0x80)
            out += char(code);
        else if (code < 0x800)
            out += {char(0xC0 | (code >> 6)), char(0x80 | (code & 0x3F))};
        else if (code < 0x10000)
            out += {char(0xE0 | (code >> 12)), char(0x80 | ((code >> 6) & 0x3F)), char(0x80 | (code & 0x3F))};
        else
            out += {char(0xF0 | (code >> 18)), char(0x80 | ((code >> 12) & 0x3F)), char(0x80 | ((code >> 6) & 0x3F)),
                    char(0x80 | (code & 0x3F))};
    }

    std::string_view text;
    std::size_t countedTo = 0;
    int line = 1;
};

std::size_t memberAt(const std::vector<std::pair<std::string, std::size_t>>& members, std::string_view key)
{
    for (const auto& [name, at] : members)
        if (name == key)
            return at;
    return std::string_view::npos;
}

Result<void> readJplQuery(Json& json, std::size_t fieldsAt, std::size_t dataAt, Reading& reading)
{
    json.position = fieldsAt;
    std::vector<std::string> fields;
    if (!json.next('['))
        return Failure{"\"fields\" is no array"};
    if (!json.next(']'))
        do
        {
            std::string field;
            if (!json.string(field))
                return Failure{"line " + std::to_string(json.lineAt(json.position)) + ": \"fields\" holds a non-string"};
            fields.push_back(field);
        } while (json.next(','));
    if (!fields.empty() && !json.next(']'))
        return Failure{"line " + std::to_string(json.lineAt(json.position)) + ": \"fields\" does not close"};
    const std::vector<std::string_view> names(fields.begin(), fields.end());
    const bool named = std::any_of(fields.begin(), fields.end(),
                                   [](const std::string& f) { return f == "full_name" || f == "name" || f == "pdes"; });
    if (!named)
        return Failure{"its \"fields\" have no full_name, name or pdes to name the bodies"};

    json.position = dataAt;
    if (!json.next('['))
        return Failure{"\"data\" is no array"};
    if (json.next(']'))
        return {};
    std::vector<std::string> values;
    std::size_t row = 0;
    do
    {
        ++row;
        const std::size_t rowStart = (json.space(), json.position);
        const int line = json.lineAt(rowStart);
        values.clear();
        bool sound = json.next('[');
        if (sound && !json.next(']'))
        {
            do
            {
                values.emplace_back();
                sound = json.scalar(values.back());
            } while (sound && json.next(','));
            sound = sound && json.next(']');
        }
        if (!sound)
        {
            reading.problem(line, "malformed-line",
                            "data row " + std::to_string(row) + " breaks off; the rest of the file is skipped");
            return {};
        }
        if (values.size() != fields.size())
            reading.problem(line, "malformed-line",
                            "data row " + std::to_string(row) + " has " + std::to_string(values.size()) +
                                " values for " + std::to_string(fields.size()) + " fields; the row is skipped");
        else
        {
            LineReading body = readJplBody(names, values);
            if (!body.ok)
                body.why = "data row " + std::to_string(row) + ": " + body.why;
            reading.take(line, body);
        }
        if (row % linesBetweenReports == 0 && !reading.report(json.share()))
            return {};
    } while (json.next(','));
    if (!json.next(']'))
        reading.problem(json.lineAt(json.position), "malformed-line", "\"data\" does not close after row " +
                                                                          std::to_string(row));
    return {};
}

// name/value pairs of an array of objects (SBDB's orbit.elements and phys_par).
bool namedValues(Json& json, std::vector<std::string>& names, std::vector<std::string>& values)
{
    if (!json.next('['))
        return false;
    if (json.next(']'))
        return true;
    do
    {
        std::vector<std::pair<std::string, std::size_t>> members;
        if (!json.members(members))
            return false;
        const std::size_t end = json.position;
        const std::size_t nameAt = memberAt(members, "name"), valueAt = memberAt(members, "value");
        if (nameAt != std::string_view::npos && valueAt != std::string_view::npos)
        {
            std::string name, value;
            json.position = nameAt;
            json.scalar(name);
            json.position = valueAt;
            json.scalar(value);
            names.push_back(name);
            values.push_back(value);
        }
        json.position = end;
    } while (json.next(','));
    return json.next(']');
}

Result<void> readJplObject(Json& json, const std::vector<std::pair<std::string, std::size_t>>& top, Reading& reading)
{
    std::vector<std::string> names, values;
    json.position = memberAt(top, "orbit");
    const int line = json.lineAt(json.position);
    std::vector<std::pair<std::string, std::size_t>> orbit;
    if (!json.members(orbit))
        return Failure{"\"orbit\" is no object"};
    const std::size_t elementsAt = memberAt(orbit, "elements");
    if (elementsAt == std::string_view::npos)
        return Failure{"\"orbit\" has no \"elements\""};
    json.position = elementsAt;
    if (!namedValues(json, names, values))
        return Failure{"line " + std::to_string(json.lineAt(json.position)) + ": \"orbit\".\"elements\" does not read"};
    if (const std::size_t epochAt = memberAt(orbit, "epoch"); epochAt != std::string_view::npos)
    {
        json.position = epochAt;
        names.emplace_back("epoch");
        values.emplace_back();
        json.scalar(values.back());
    }
    if (const std::size_t objectAt = memberAt(top, "object"); objectAt != std::string_view::npos)
    {
        json.position = objectAt;
        std::vector<std::pair<std::string, std::size_t>> object;
        if (json.members(object))
            for (const char* key : {"fullname", "des"})
                if (const std::size_t at = memberAt(object, key); at != std::string_view::npos)
                {
                    json.position = at;
                    names.emplace_back(key == std::string_view("fullname") ? "full_name" : "pdes");
                    values.emplace_back();
                    json.scalar(values.back());
                }
    }
    if (const std::size_t physicalAt = memberAt(top, "phys_par"); physicalAt != std::string_view::npos)
    {
        json.position = physicalAt;
        namedValues(json, names, values);
    }
    const std::vector<std::string_view> keys(names.begin(), names.end());
    reading.take(line, readJplBody(keys, values));
    return {};
}

Result<Catalogue> readFrom(const std::string& name, Source& raw, std::size_t rawSize, const ReadOptions& options)
{
    // Gzip by its magic bytes, whatever the name.
    std::string rawHead = readUpTo(raw, 2);
    const bool gzip = rawHead.size() == 2 && rawHead[0] == '\x1f' && rawHead[1] == '\x8b';
    PrefixedSource rawAgain(std::move(rawHead), raw);
    std::unique_ptr<GzipSource> inflated;
    Source* text = &rawAgain;
    if (gzip)
    {
        inflated = std::make_unique<GzipSource>(rawAgain);
        text = inflated.get();
    }
    std::string head = readUpTo(*text, headBytes);
    const std::string within = gzip ? " (within its gzip compression)" : "";
    if (head.empty())
    {
        if (gzip && !text->failure().empty())
            return Failure{name + ": " + text->failure()};
        return Failure{name + " is empty" + within};
    }
    if (const std::string wide = wideEncoding(head); !wide.empty())
        return Failure{name + " is " + wide + " text" + within + "; save it as UTF-8 or ASCII"};
    std::size_t bom = head.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;

    Catalogue catalogue;
    Reading reading(name, options, catalogue);
    const std::size_t firstChar = head.find_first_not_of(" \t\r\n", bom);
    if (firstChar != std::string::npos && (head[firstChar] == '{' || head[firstChar] == '['))
    {
        // JSON: the whole document, then its members.
        PrefixedSource again(std::move(head), *text);
        std::string document = readAll(again);
        Json json(std::string_view(document).substr(bom));
        std::vector<std::pair<std::string, std::size_t>> top;
        // A document cut short still gives the rows before the cut.
        const bool whole = json.members(top);
        const std::size_t fieldsAt = memberAt(top, "fields"), dataAt = memberAt(top, "data");
        if (!whole && (fieldsAt == std::string_view::npos || dataAt == std::string_view::npos))
            return Failure{name + " is JSON" + within + ", but not an object that reads: it breaks off at line " +
                           std::to_string(json.lineAt(json.position))};
        Result<void> read;
        if (fieldsAt != std::string_view::npos && dataAt != std::string_view::npos)
        {
            catalogue.format = CatalogueFormat::JplQuery;
            read = readJplQuery(json, fieldsAt, dataAt, reading);
        }
        else if (memberAt(top, "orbit") != std::string_view::npos)
        {
            catalogue.format = CatalogueFormat::JplObject;
            read = readJplObject(json, top, reading);
        }
        else
            return Failure{name + " is JSON" + within +
                           ", but has neither the SBDB query API's \"fields\" and \"data\" nor the SBDB API's \"orbit\""};
        if (!read)
            return Failure{name + " is JSON in the form of " + formatName(catalogue.format) + within +
                           ", but " + read.why()};
        reading.report(1.0);
        return catalogue;
    }

    const TextShape shape = recogniseText(std::string_view(head).substr(bom));
    if (!shape.why.empty())
        return Failure{name + within + " " + shape.why};
    catalogue.format = shape.format;
    // About 203 bytes a line in MPCORB, 170 in CometEls; four times as many for gzip.
    const std::size_t estimate = rawSize / (shape.format == CatalogueFormat::MpcOrbits ? 203 : 170) * (gzip ? 4 : 1);
    catalogue.bodies.reserve(std::min<std::size_t>(estimate + 16, 50000000), std::min<std::size_t>(estimate * 24, 1u << 30));
    if (bom > 0)
        head.erase(0, bom);
    PrefixedSource again(std::move(head), *text);
    reading.readLines(again, shape);
    catalogue.bodies.shrinkToFit();
    if (!catalogue.cancelled)
        reading.report(1.0);
    return catalogue;
}
}

std::string CatalogueProblem::where() const
{
    return file + ":" + std::to_string(line) + ": " + message;
}

Result<Catalogue> readCatalogueFile(const std::string& path, const ReadOptions& options)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return Failure{path + " cannot be opened: " + std::strerror(errno)};
    FileSource source(file);
    return readFrom(path, source, source.size(), options);
}

Result<Catalogue> readCatalogueBytes(const std::string& name, std::string_view bytes, const ReadOptions& options)
{
    MemorySource source(bytes);
    return readFrom(name, source, bytes.size(), options);
}
