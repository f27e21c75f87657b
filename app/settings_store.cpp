#include "app/settings_store.h"

#include <fcntl.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string_view>
#include <vector>

namespace vask {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSection = "Startup";
constexpr std::size_t kMaxFileSize = std::size_t(64) << 20;

bool is_blank(char c) { return c == ' ' || c == '\t'; }

bool is_control(unsigned char c) { return c < 0x20 || c == 0x7F; }

std::string_view trim(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    return text;
}

char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool same_key(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
    return true;
}

// A key that reads back as itself from a "key=value" line.
bool storable_key(std::string_view key) {
    if (key.empty() || is_blank(key.front()) || is_blank(key.back())) return false;
    if (key.front() == '[' || key.front() == ';' || key.front() == '#') return false;
    for (unsigned char c : key)
        if (c == '=' || is_control(c)) return false;
    return true;
}

// The length of the well-formed UTF-8 sequence at text[i], or 0.
std::size_t utf8_length(std::string_view text, std::size_t i) {
    auto byte = [&](std::size_t k) { return i + k < text.size() ? (unsigned char)text[i + k] : 0; };
    unsigned char b0 = byte(0);
    if (b0 < 0x80) return 1;
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) length = 2;
    else if (b0 == 0xE0) length = 3, low = 0xA0;
    else if (b0 >= 0xE1 && b0 <= 0xEF) length = 3, high = b0 == 0xED ? 0x9F : 0xBF;
    else if (b0 == 0xF0) length = 4, low = 0x90;
    else if (b0 >= 0xF1 && b0 <= 0xF3) length = 4;
    else if (b0 == 0xF4) length = 4, high = 0x8F;
    else return 0;
    if (byte(1) < low || byte(1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (byte(k) < 0x80 || byte(k) > 0xBF) return 0;
    return length;
}

bool needs_quotes(std::string_view value) {
    if (value.empty()) return false;
    if (is_blank(value.front()) || is_blank(value.back())) return true;
    for (std::size_t i = 0; i < value.size();) {
        unsigned char c = value[i];
        if (c == '"' || c == '\\' || is_control(c)) return true;
        std::size_t length = utf8_length(value, i);
        if (length == 0) return true;
        i += length;
    }
    return false;
}

std::string encode_value(std::string_view value) {
    if (!needs_quotes(value)) return std::string(value);
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (std::size_t i = 0; i < value.size();) {
        unsigned char c = value[i];
        std::size_t length = c < 0x80 ? 1 : utf8_length(value, i);
        if (length > 1) {
            out.append(value.substr(i, length));
            i += length;
            continue;
        }
        ++i;
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (is_control(c) || c >= 0x80) {
                out += "\\x";
                out += kHex[c >> 4];
                out += kHex[c & 15];
            } else {
                out += char(c);
            }
        }
    }
    out += '"';
    return out;
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = ascii_lower(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The value of the text after "=" (already without blanks at either end), or
// nothing when a quoted value is malformed.
std::optional<std::string> decode_value(std::string_view text) {
    if (text.empty() || text.front() != '"') return std::string(text);
    std::string out;
    for (std::size_t i = 1; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            if (i + 1 != text.size()) return std::nullopt;
            return out;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == text.size()) return std::nullopt;
        switch (text[i]) {
        case '\\': out += '\\'; break;
        case '"': out += '"'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'x': {
            if (i + 2 >= text.size()) return std::nullopt;
            int high = hex_digit(text[i + 1]), low = hex_digit(text[i + 2]);
            if (high < 0 || low < 0) return std::nullopt;
            out += char(high * 16 + low);
            i += 2;
            break;
        }
        default: return std::nullopt;
        }
    }
    return std::nullopt;  // no closing quote
}

struct Line {
    enum class Kind { Blank, Section, Key, Other, Damaged };
    std::string_view raw;  // as in the file, without the LF
    Kind kind = Kind::Other;
    bool in_section = false;  // in [Startup]
    bool opens_section = false;  // the header of [Startup]
    std::string_view key;     // for Key lines
    std::string_view value;   // for Key lines: the text after "=", trimmed
};

// Splits the file into classified lines. Blank covers comments too.
std::vector<Line> parse_lines(std::string_view content) {
    if (content.starts_with("\xEF\xBB\xBF")) content.remove_prefix(3);  // a byte order mark
    std::vector<Line> lines;
    bool in_section = false;
    while (!content.empty()) {
        std::size_t end = content.find('\n');
        Line line;
        line.raw = content.substr(0, end);
        content.remove_prefix(end == content.npos ? content.size() : end + 1);

        std::string_view body = line.raw;
        if (body.ends_with('\r')) body.remove_suffix(1);
        bool damaged = false;
        for (unsigned char c : body)
            if (is_control(c) && c != '\t') damaged = true;
        std::string_view text = trim(body);
        std::size_t close = text.find(']');
        std::size_t equals = text.find('=');
        if (damaged) {
            line.kind = Line::Kind::Damaged;
        } else if (text.empty() || text.front() == ';' || text.front() == '#') {
            line.kind = Line::Kind::Blank;
        } else if (text.front() == '[' && close != text.npos) {
            line.kind = Line::Kind::Section;
            in_section = same_key(trim(text.substr(1, close - 1)), kSection);
            line.opens_section = in_section;
        } else if (text.front() != '[' && equals != text.npos && !trim(text.substr(0, equals)).empty()) {
            line.kind = Line::Kind::Key;
            line.key = trim(text.substr(0, equals));
            line.value = trim(text.substr(equals + 1));
        }
        line.in_section = in_section && line.kind != Line::Kind::Section;
        lines.push_back(line);
    }
    return lines;
}

// The file with key set to the encoded value, every other readable line kept.
std::string rewrite(std::string_view content, std::string_view key, std::string_view encoded) {
    std::vector<Line> lines = parse_lines(content);
    std::string new_line = std::string(key) + "=" + std::string(encoded) + "\n";
    constexpr std::size_t kNone = std::size_t(-1);
    // The key's first line in the section, or else the place for a new one:
    // after the last key of the first [Startup], or right after its header.
    std::size_t replace = kNone, insert_after = kNone;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (replace == kNone && lines[i].in_section && lines[i].kind == Line::Kind::Key &&
            same_key(lines[i].key, key))
            replace = i;
    for (std::size_t i = 0; i < lines.size() && insert_after == kNone; ++i)
        if (lines[i].opens_section) {
            insert_after = i;
            for (std::size_t j = i + 1; j < lines.size() && lines[j].kind != Line::Kind::Section; ++j)
                if (lines[j].kind == Line::Kind::Key) insert_after = j;
        }

    std::string out;
    out.reserve(content.size() + new_line.size() + 16);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        bool keep = line.kind != Line::Kind::Damaged &&
                    !(line.in_section && line.kind == Line::Kind::Other) &&
                    !(line.in_section && line.kind == Line::Kind::Key && same_key(line.key, key));
        if (i == replace) out += new_line;
        else if (keep) (out += line.raw) += '\n';
        if (i == insert_after && replace == kNone) out += new_line;
    }
    if (replace == kNone && insert_after == kNone) {
        if (!out.empty() && !out.ends_with("\n\n")) out += '\n';
        (out += "[") += kSection;
        out += "]\n";
        out += new_line;
    }
    return out;
}

enum class FileRead { Ok, Missing, Failed };

// Reads the whole file. A file too large to be settings reads as empty.
FileRead read_file(const fs::path& path, std::string& out) {
    out.clear();
    // Non-blocking, so a FIFO in the file's place cannot hang the program.
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? FileRead::Missing : FileRead::Failed;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return FileRead::Failed;
    }
    FileRead result = FileRead::Ok;
    if (std::size_t(st.st_size) <= kMaxFileSize) {
        out.reserve(std::size_t(st.st_size));
        char buffer[65536];
        for (;;) {
            ssize_t n = read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                result = FileRead::Failed;
                break;
            }
            if (n == 0) break;
            out.append(buffer, std::size_t(n));
            if (out.size() > kMaxFileSize) break;
        }
    }
    close(fd);
    if (result != FileRead::Ok || out.size() > kMaxFileSize) out.clear();
    return result;
}

// Creates the folder and its missing parents, each with mode 0700.
bool make_folders(const fs::path& folder) {
    if (folder.empty()) return true;
    struct stat st;
    if (stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    if (errno != ENOENT) return false;
    fs::path parent = folder.parent_path();
    if (parent != folder && !make_folders(parent)) return false;
    return mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

// An exclusive flock on the lock file, held while the object lives.
class WriteLock {
public:
    explicit WriteLock(const fs::path& path) {
        fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
        if (fd_ < 0) return;
        int rc;
        while ((rc = flock(fd_, LOCK_EX)) != 0 && errno == EINTR) {
        }
        held_ = rc == 0;
    }
    ~WriteLock() {
        if (fd_ >= 0) close(fd_);  // releases the lock
    }
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;
    bool held() const { return held_; }

private:
    int fd_ = -1;
    bool held_ = false;
};

bool write_all(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data.remove_prefix(std::size_t(n));
    }
    return true;
}

bool sync_fd(int fd) {
    int rc;
    while ((rc = fsync(fd)) != 0 && errno == EINTR) {
    }
    return rc == 0;
}

// Replaces the file by a complete new one, or leaves it as it was.
void replace_file(const fs::path& target, std::string_view content, bool locked) {
    // Under the lock no other writer is busy, so a fixed name is safe and a
    // temporary left by a killed writer is reused; without it, a unique name.
    std::string temp = target.string() + ".tmp";
    int fd;
    if (locked) {
        unlink(temp.c_str());
        fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    } else {
        temp += ".XXXXXX";
        fd = mkostemp(temp.data(), O_CLOEXEC);
    }
    if (fd < 0) return;
    bool ok = fchmod(fd, 0600) == 0 && write_all(fd, content) && sync_fd(fd);
    ok = close(fd) == 0 && ok;
    if (!ok || rename(temp.c_str(), target.c_str()) != 0) {
        unlink(temp.c_str());
        return;
    }
    fs::path folder = target.parent_path();
    int dir = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        sync_fd(dir);
        close(dir);
    }
}

}  // namespace

IniSettingsStore::IniSettingsStore(std::filesystem::path file) : path_(std::move(file)) {}

std::filesystem::path IniSettingsStore::default_path() {
    fs::path config;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') {
        config = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !home[0]) {
            const passwd* entry = getpwuid(getuid());
            home = entry && entry->pw_dir ? entry->pw_dir : "";
        }
        config = fs::path(home) / ".config";
    }
    return config / "VASK" / "VASK.ini";
}

std::string IniSettingsStore::ReadSetting(const std::string& key, const std::string& default_value) {
    try {
        if (!storable_key(key)) return default_value;
        std::string content;
        if (read_file(path_, content) != FileRead::Ok) return default_value;
        std::optional<std::string> found;
        for (const Line& line : parse_lines(content))
            if (line.in_section && line.kind == Line::Kind::Key && same_key(line.key, key))
                if (auto value = decode_value(line.value)) found = std::move(value);  // the last one counts
        return found ? *found : default_value;
    } catch (const std::exception&) {
        return default_value;
    }
}

void IniSettingsStore::WriteSetting(const std::string& key, const std::string& value) {
    try {
        if (!storable_key(key) || path_.filename().empty()) return;
        if (!make_folders(path_.parent_path())) return;
        fs::path target = path_;
        std::error_code error;
        if (fs::is_symlink(path_, error)) {
            fs::path resolved = fs::canonical(path_, error);
            if (!error) target = resolved;
        }
        WriteLock lock(path_.string() + ".lock");
        std::string content;
        // A file that exists but cannot be read is left alone.
        if (read_file(target, content) == FileRead::Failed) return;
        std::string rewritten = rewrite(content, key, encode_value(value));
        // Start-up stores back values just loaded: an unchanged file is not rewritten.
        if (rewritten == content) return;
        replace_file(target, rewritten, lock.held());
    } catch (const std::exception&) {
    }
}

}  // namespace vask
