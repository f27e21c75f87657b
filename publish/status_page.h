#pragma once
// The user's status page: a small HTML file that tells a visitor whether the
// user is online or offline, since when and at which address. Five marker
// comments ahead of "<HTML>" carry the same facts for another copy of the
// program, which looks them up by name in the fetched page:
//   <!STATUS=ONLINE|OFFLINE>  <!TIME=T D>  <!IP=a.b.c.d>  <!USER=name>  <!VERSION=2.2>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "about/program_info.h"

namespace vask {

class MainWindow;
struct WindowControls;

enum class PageKind { Online, Offline };

// The look of the page, from the page settings of the "HTTP" page; the
// defaults are the settings at first start. Colours are RRGGBB without "#".
struct PageSettings {
    bool background_image = false;
    std::string image_file;
    std::string bg_color = "000000";
    std::string base_color = "FFFFFF";
    std::string title_color = "FF0000";
    std::string text_color = "0000FF";
    bool rules = false;
    std::array<std::string, 4> messages{"You can reach me at my current IP Address",
                                        "I'm using Vask for text based Chat", "", ""};
};

// Reads the local address (dotted decimal) afresh.
using AddressReader = std::function<std::string()>;
// Reads the clock afresh: the time and the long date as the user writes them.
using TimeReader = std::function<std::pair<std::string, std::string>()>;

// The lines of the page, without line ends, in UTF-8. The clock is read
// twice, for the TIME marker and for the "since" line, and so is the address
// for the online page (IP marker and address line); the offline page never
// reads the address. Nothing is escaped; only the image file name and the
// colours are trimmed of blanks.
std::vector<std::string> StatusPageLines(PageKind kind, const std::string& user,
                                         const AddressReader& local_address,
                                         const TimeReader& time_and_date,
                                         const PageSettings& settings);

// Writes the page to path (relative to the current directory), each line in
// Windows-1252 ending with CR LF. The page goes to a new file beside the old
// one, which then replaces it: a failed write leaves the old page as it was.
// An existing page keeps its permission bits, and a page that no one may
// write (no write bit at all, even for a root process) is not replaced.
// Returns nothing on success, else an error message that names the file and
// the reason, e.g. "writing www/vask.htm: No such file or directory".
std::optional<std::string> WriteStatusPage(PageKind kind, const std::string& path,
                                           const std::string& user,
                                           const AddressReader& local_address,
                                           const TimeReader& time_and_date,
                                           const PageSettings& settings);

// The page settings as the controls of the "HTTP" page hold them now.
PageSettings PageSettingsFromControls(const MainWindow& window);

// The actions of the buttons "Online htm" and "Offline htm": the button is
// disabled, the page written with the inputs the controls hold now, the
// button enabled again. A failure is reported in the window's title. Returns
// whether the page was written.
bool CreateOnlinePage(MainWindow& window);
bool CreateOfflinePage(MainWindow& window);

// Of the background image name and the background colour, only the one that
// takes effect can be edited: on a click of "Background Image" and whenever
// the "HTTP" page is selected.
void ApplyBackgroundRule(WindowControls& controls);

}  // namespace vask
