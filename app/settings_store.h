#pragma once
// The settings on disk: one INI file per user, section [Startup], one
// key=value a line. Keys are compared without letter case (ASCII letters).
//
// Values are bytes and round-trip exactly. A plain value is written bare:
//     Local_File=vask.htm
// A value with blanks at either end, a quote, a backslash, a control byte or
// bytes that are not UTF-8 is written in double quotes with the escapes
// \\ \" \n \r \t and \xHH (any other control byte, and each byte that is not
// part of valid UTF-8); valid UTF-8 stays as it is:
//     Remote_Path="  two leading blanks"
//     httptxtHtmMessage3="line one\r\nline two"
// Read back, blanks around the key and a bare value are ignored, so a
// hand-edited "Key = value" reads as "value"; a bare value is taken
// literally, backslashes included.
//
// Reading parses the file anew each time (the file is small and read
// rarely), so two copies of the program see each other's writes at once.
// Readers take no lock: a write replaces the file by rename, so a reader
// sees the old file or the new one, never half of one.
//
// A write takes an exclusive flock on "<file>.lock" beside the file, reads
// the file again, changes only its own key (the first line of that key in
// [Startup]; further lines of the same key are dropped, new keys go after
// the last key of the section), writes "<file>.tmp" with mode 0600, fsyncs
// it, renames it over the file and fsyncs the folder. Missing folders are
// created with mode 0700. A symbolic link at the file's place is followed,
// so the link stays a link.
//
// What a write keeps: other sections, comments and blank lines, byte for
// byte. What it drops as damage: lines holding a NUL or another control
// byte (other than a tab, and the CR of a CR LF line end), and lines of
// [Startup] that are neither key=value, comment nor blank.
//
// Nothing here ever throws or reports. An unreadable or damaged file, or a
// damaged line, reads as absent keys: ReadSetting gives the default. A write
// that cannot be done is dropped, leaving the file as it was. A file larger
// than 64 MB is taken as damage: it reads as empty and a write replaces it.
// A key that cannot be written as one (empty, blanks at either end, "=",
// a control byte, or a first character of "[", ";" or "#") is never stored
// and always reads as its default.
#include <filesystem>
#include <string>

#include "app/settings.h"

namespace vask {

class IniSettingsStore : public Settings {
public:
    explicit IniSettingsStore(std::filesystem::path file);

    // ${XDG_CONFIG_HOME:-$HOME/.config}/VASK/VASK.ini. An XDG_CONFIG_HOME
    // that is not an absolute path is ignored, as the XDG rules say; without
    // HOME the password database gives the home folder.
    static std::filesystem::path default_path();

    const std::filesystem::path& path() const { return path_; }

    std::string ReadSetting(const std::string& key, const std::string& default_value) override;
    void WriteSetting(const std::string& key, const std::string& value) override;

private:
    std::filesystem::path path_;
};

}  // namespace vask
