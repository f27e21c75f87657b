#include "publish/status_page.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "desktop/ansi_text.h"

namespace vask {

namespace {

std::string trim_spaces(const std::string& text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string font_line(const std::string& color, const char* size) {
    return std::string("<FONT FACE=\"Verdana, Arial, Helvetica\" COLOR=\"#") + trim_spaces(color) +
           "\" SIZE=\"" + size + "\">";
}

}  // namespace

std::vector<std::string> StatusPageLines(PageKind kind, const std::string& user,
                                         const AddressReader& local_address,
                                         const TimeReader& time_and_date,
                                         const PageSettings& settings) {
    const bool online = kind == PageKind::Online;
    std::vector<std::string> lines;
    auto add = [&lines](std::string line) { lines.push_back(std::move(line)); };

    add(online ? "<!STATUS=ONLINE>" : "<!STATUS=OFFLINE>");
    {
        auto [time, date] = time_and_date();
        add("<!TIME=" + time + " " + date + ">");
    }
    add("<!IP=" + (online ? local_address() : std::string("127.0.0.1")) + ">");
    add("<!USER=" + user + ">");
    add("<!VERSION=2.2>");
    add("<HTML>");
    add("<HEAD>");
    add("</HEAD>");
    if (settings.background_image)
        add("<BODY  BACKGROUND=" + trim_spaces(settings.image_file) + ">");
    else
        add("<BODY  BGCOLOR=\"#" + trim_spaces(settings.bg_color) + "\">");
    add("<BASEFONT FACE=\"Verdana, Arial, Helvetica\" COLOR=\"#" + trim_spaces(settings.base_color) +
        "\" SIZE=\"2\">");
    add(font_line(settings.title_color, "6"));
    add("<CENTER>");
    add("<P>" + user + (online ? " is currently online" : " is currently offline"));
    add("</CENTER>");
    add("</FONT>");
    add("<P>");
    if (settings.rules) add("<HR>");
    add(font_line(settings.text_color, "2"));
    {
        auto [time, date] = time_and_date();
        add(std::string("<P>") + (online ? "I have been online since: " : "I have been offline since: ") +
            time + " " + date);
    }
    if (online) add("<P>My Current IP Address is: " + local_address());
    add("</FONT>");
    if (settings.rules) add("<HR>");
    if (online) {
        add("<UL>");
        // The first message leads the list without a bullet of its own.
        if (!settings.messages[0].empty()) {
            add(settings.messages[0]);
            add("<P>");
        }
        for (size_t i = 1; i < settings.messages.size(); ++i) {
            if (settings.messages[i].empty()) continue;
            add("<LI>");
            add(settings.messages[i]);
            add("<P>");
        }
        add("</UL>");
    }
    add("<P>");
    add("<!--Begin Comment                    -->");
    add(std::string("<!--") + kHomePageAddress + "-->");
    add("<!--This Page was Generated with Vask.exe  -->");
    add(std::string("<!--E-Mail: ") + kContactAddress + "-->");
    add("<!--End Comment                      -->");
    add("</BODY>");
    add("</HTML>");
    return lines;
}

namespace {

std::string reason(int error) { return std::generic_category().message(error); }

bool write_all(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += size_t(n);
    }
    return true;
}

// Writes bytes to a new file in the folder of target and renames it over
// target. Returns 0 or the errno of the step that failed.
int replace_file(const std::string& target, const std::string& bytes) {
    if (target.empty()) return ENOENT;

    // A link is followed, so the page replaces the file it points to.
    std::string real = target;
    struct stat link_status {};
    if (::lstat(target.c_str(), &link_status) == 0 && S_ISLNK(link_status.st_mode)) {
        char* resolved = ::realpath(target.c_str(), nullptr);
        if (!resolved) return errno;
        real = resolved;
        std::free(resolved);
    }

    struct stat old_status {};
    bool exists = ::stat(real.c_str(), &old_status) == 0;
    if (!exists && errno != ENOENT) return errno;
    if (exists) {
        if (S_ISDIR(old_status.st_mode)) return EISDIR;
        // The write bits are honoured even where the process could ignore
        // them, as a file emptied in place would be refused.
        if ((old_status.st_mode & 0222) == 0) return EACCES;
        if (::access(real.c_str(), W_OK) != 0) return errno;
    }

    size_t slash = real.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : real.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? real : real.substr(slash + 1);

    static std::atomic<unsigned> counter{0};
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        temporary = folder + "." + name + "." + std::to_string(::getpid()) + "-" +
                    std::to_string(counter++) + ".tmp";
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt >= 100)) return errno;
    }

    int error = 0;
    if (!write_all(fd, bytes)) error = errno;
    // Best effort: only the owner may set the bits.
    if (!error && exists) (void)::fchmod(fd, old_status.st_mode & 07777);
    if (!error && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && !error) error = errno;
    if (!error && ::rename(temporary.c_str(), real.c_str()) != 0) error = errno;
    if (error) ::unlink(temporary.c_str());
    return error;
}

}  // namespace

std::optional<std::string> WriteStatusPage(PageKind kind, const std::string& path,
                                           const std::string& user,
                                           const AddressReader& local_address,
                                           const TimeReader& time_and_date,
                                           const PageSettings& settings) {
    std::vector<std::string> lines =
        StatusPageLines(kind, user, local_address, time_and_date, settings);
    for (std::string& line : lines) line = to_ansi(line);
    if (int error = replace_file(path, crlf_lines(lines)))
        return "writing " + path + ": " + reason(error);
    return std::nullopt;
}

}  // namespace vask
