#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/settings_store.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace vask {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using test::TempDir;
using test::read_bytes;
using test::write_bytes;

unsigned file_mode(const fs::path& path) {
    struct stat st {};
    EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

// Waits for a forked child and tells whether it ended normally with status 0.
bool child_succeeded(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A folder on tmpfs when the machine has one, else an ordinary one. fsync
// costs nothing there, and most tests are about the file, not the disk.
class FastTempDir {
public:
    FastTempDir() {
        std::string pattern = "/dev/shm/vask-test-XXXXXX";
        if (mkdtemp(pattern.data())) path_ = pattern;
        else path_ = fallback_.emplace().path();
    }
    ~FastTempDir() {
        std::error_code ignored;
        if (!fallback_) fs::remove_all(path_, ignored);
    }
    FastTempDir(const FastTempDir&) = delete;
    FastTempDir& operator=(const FastTempDir&) = delete;
    fs::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::optional<TempDir> fallback_;
    fs::path path_;
};

class IniStore : public ::testing::Test {
protected:
    FastTempDir dir;
    fs::path file = dir / "VASK" / "VASK.ini";
    IniSettingsStore store{file};
};

TEST(IniStorePath, FollowsXdgConfigHomeThenHome) {
    const char* old_xdg = getenv("XDG_CONFIG_HOME");
    const char* old_home = getenv("HOME");
    std::string saved_xdg = old_xdg ? old_xdg : "", saved_home = old_home ? old_home : "";

    setenv("HOME", "/home/someone", 1);
    setenv("XDG_CONFIG_HOME", "/xdg/config", 1);
    EXPECT_EQ(IniSettingsStore::default_path(), "/xdg/config/VASK/VASK.ini");
    setenv("XDG_CONFIG_HOME", "relative/config", 1);  // not absolute: ignored
    EXPECT_EQ(IniSettingsStore::default_path(), "/home/someone/.config/VASK/VASK.ini");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(IniSettingsStore::default_path(), "/home/someone/.config/VASK/VASK.ini");

    if (old_xdg) setenv("XDG_CONFIG_HOME", saved_xdg.c_str(), 1);
    if (old_home) setenv("HOME", saved_home.c_str(), 1);
    else unsetenv("HOME");
}

TEST_F(IniStore, AbsentKeysReadAsTheirDefault) {
    EXPECT_EQ(store.ReadSetting("User", "nobody"), "nobody");
    store.WriteSetting("Tray", "1");
    EXPECT_EQ(store.ReadSetting("User", "nobody"), "nobody");
    EXPECT_EQ(store.ReadSetting("Tray", "0"), "1");
}

TEST_F(IniStore, EveryValueComesBackByteForByte) {
    std::string all_bytes;
    for (int c = 0; c < 256; ++c) all_bytes += char(c);
    std::string long_value;
    for (int i = 0; long_value.size() < 1 << 20; ++i) long_value += "line " + std::to_string(i) + "\r\n";

    struct Case {
        const char* what;
        std::string value;
    } cases[] = {
        {"plain text", "vask.htm"},
        {"inner blanks", "You can reach me at my current IP Address"},
        {"leading blank", " x"},
        {"trailing blank", "x "},
        {"blanks only", "   "},
        {"tabs at the ends", "\tx\t"},
        {"equals signs", "a=b=c"},
        {"leading equals", "=x"},
        {"semicolon", "; not a comment"},
        {"hash", "# not a comment"},
        {"section-like", "[Startup]"},
        {"quotes", "\"quoted\""},
        {"quote inside", "say \"hi\" twice"},
        {"lone quote", "\""},
        {"backslashes", "C:\\Program Files\\vask\\"},
        {"lone backslash", "\\"},
        {"CR", "a\rb"},
        {"LF", "a\nb"},
        {"CR LF", "line one\r\nline two\r\n"},
        {"tab inside", "a\tb"},
        {"looks like an escape", "\\n\\x41\\\""},
        {"quoted escape", "\"\\t\""},
        {"empty", ""},
        {"UTF-8", "caf\xC3\xA9 \xE2\x9C\x93"},
        {"not UTF-8", "caf\xE9 \xFF\xFE"},
        {"truncated UTF-8", "\xE2\x9C"},
        {"encoded surrogate", "\xED\xA0\x80"},
        {"NUL", "a\0b"s},
        {"DEL", "a\x7F"},
        {"every byte", all_bytes},
        {"long", long_value},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        store.WriteSetting("Value" + std::to_string(i), cases[i].value);

    IniSettingsStore other(file);  // another copy of the program
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].what);
        std::string key = "Value" + std::to_string(i);
        EXPECT_EQ(other.ReadSetting(key, "absent"), cases[i].value);
        EXPECT_EQ(other.ReadSetting("vALUE" + std::to_string(i), "absent"), cases[i].value);
    }
}

TEST_F(IniStore, PlainValuesAreWrittenBareOthersQuoted) {
    struct Case {
        std::string value, line;
    } cases[] = {
        {"vask.htm", "Local_File=vask.htm"},
        {"a=b; #c [d]", "Local_File=a=b; #c [d]"},
        {"caf\xC3\xA9", "Local_File=caf\xC3\xA9"},
        {"", "Local_File="},
        {" padded ", "Local_File=\" padded \""},
        {"one\r\ntwo\tthree", "Local_File=\"one\\r\\ntwo\\tthree\""},
        {"say \"C:\\\"", "Local_File=\"say \\\"C:\\\\\\\"\""},
        {"\xE9t\xE9", "Local_File=\"\\xE9t\\xE9\""},
        {"\0\x1B"s, "Local_File=\"\\x00\\x1B\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        fs::remove(file);
        store.WriteSetting("Local_File", c.value);
        EXPECT_EQ(read_bytes(file), "[Startup]\n" + c.line + "\n");
    }
}

TEST_F(IniStore, KeysMatchWithoutLetterCaseAndKeepOneLine) {
    store.WriteSetting("Local_File", "a.htm");
    store.WriteSetting("LOCAL_FILE", "b.htm");
    EXPECT_EQ(store.ReadSetting("local_file", ""), "b.htm");
    EXPECT_EQ(read_bytes(file), "[Startup]\nLOCAL_FILE=b.htm\n");
}

TEST_F(IniStore, KeysThatCannotBeALineAreNeverStored) {
    for (std::string key : {"", "a=b", " User", "User ", "[User]", ";User", "#User", "Us\ner", "Us\ter"}) {
        SCOPED_TRACE(key);
        store.WriteSetting(key, "x");
        EXPECT_EQ(store.ReadSetting(key, "default"), "default");
    }
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(IniStore, AWriteChangesOnlyItsOwnLine) {
    fs::create_directories(file.parent_path());
    write_bytes(file,
             "; settings of VASK\n"
             "[Other]\n"
             "Color = blue\r\n"
             "[Startup]\n"
             "User=bob\n"
             "# a note\n"
             "local_file = old.htm\n"
             "Local_File=duplicate.htm\n"
             "[Later]\n"
             "x=1");
    store.WriteSetting("Local_File", "new.htm");
    store.WriteSetting("Tray", "1");
    EXPECT_EQ(read_bytes(file),
              "; settings of VASK\n"
              "[Other]\n"
              "Color = blue\r\n"
              "[Startup]\n"
              "User=bob\n"
              "# a note\n"
              "Local_File=new.htm\n"
              "Tray=1\n"
              "[Later]\n"
              "x=1\n");
}

TEST_F(IniStore, StoringTheSameValueAgainLeavesTheFileAsItIs) {
    store.WriteSetting("chatName", "NoName");
    struct stat before {};
    ASSERT_EQ(stat(file.c_str(), &before), 0);
    store.WriteSetting("chatName", "NoName");
    struct stat after {};
    ASSERT_EQ(stat(file.c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);  // a rewrite renames a new file into place
    store.WriteSetting("CHATNAME", "NoName");  // another spelling is a change of the file
    ASSERT_EQ(stat(file.c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino);
}

TEST_F(IniStore, AppendsTheSectionWhenTheFileHasNone) {
    fs::create_directories(file.parent_path());
    write_bytes(file, "[Other]\nUser=elsewhere\n");
    store.WriteSetting("User", "bob");
    EXPECT_EQ(read_bytes(file), "[Other]\nUser=elsewhere\n\n[Startup]\nUser=bob\n");
    EXPECT_EQ(store.ReadSetting("User", ""), "bob");
}

TEST_F(IniStore, ReadsHandWrittenFiles) {
    struct Case {
        const char* what;
        std::string content, expected;
    } cases[] = {
        {"blanks around key and value", "[Startup]\n  User = bob  \n", "bob"},
        {"CR LF and section in other case", "[startup]\r\nUser=bob\r\n", "bob"},
        {"byte order mark, no final LF", "\xEF\xBB\xBF[Startup]\nUser=bob", "bob"},
        {"the last of two lines counts", "[Startup]\nUser=a\nUSER=b\n", "b"},
        {"section given twice", "[Startup]\nUser=a\n[Other]\nUser=x\n[Startup]\nUser=y\n", "y"},
        {"empty value is a value", "[Startup]\nUser=\n", ""},
        {"bare backslashes are literal", "[Startup]\nUser=C:\\dir\\n\n", "C:\\dir\\n"},
        {"hex escapes in either case", "[Startup]\nUser=\"\\x4a\\x4B\"\n", "JK"},
        {"blanks after the closing quote", "[Startup]\nUser=\" a \"  \n", " a "},
        {"key only in another section", "[Other]\nUser=x\n[Startup]\n", "default"},
        {"unterminated quote", "[Startup]\nUser=\"bob\n", "default"},
        {"unknown escape", "[Startup]\nUser=\"b\\qb\"\n", "default"},
        {"short hex escape", "[Startup]\nUser=\"\\x4\"\n", "default"},
        {"text after the closing quote", "[Startup]\nUser=\"a\" b\n", "default"},
        {"malformed last line, good first", "[Startup]\nUser=good\nUser=\"bad\n", "good"},
        {"a tab inside a bare value", "[Startup]\nUser=a\tb\n", "a\tb"},
    };
    fs::create_directories(file.parent_path());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        write_bytes(file, c.content);
        EXPECT_EQ(store.ReadSetting("User", "default"), c.expected);
    }
}

TEST_F(IniStore, DamagedFilesReadAsAbsentKeysAndHealOnTheNextWrite) {
    std::string junk;
    for (int round = 0; round < 4; ++round)
        for (int c = 0; c < 256; ++c) junk += char(c);
    struct Case {
        const char* what;
        std::string content, local_file;  // what "Local_File" reads
    } cases[] = {
        {"binary junk", "[Startup]\n" + junk + "\nLocal_File=kept.htm\n" + junk, "kept.htm"},
        {"NUL in a line", "[Startup]\nUser=bo\0b\nLocal_File=kept.htm\n"s, "kept.htm"},
        {"10 MB line", "[Startup]\n" + std::string(10 << 20, 'x') + "\nLocal_File=kept.htm\n", "kept.htm"},
        {"key without =", "[Startup]\nUser\nLocal_File=kept.htm\n", "kept.htm"},
        {"no section header", "User=bob\nLocal_File=kept.htm\n", "default"},
        {"unclosed section header", "[Startup\nUser=bob\nLocal_File=kept.htm\n", "default"},
        {"empty file", "", "default"},
    };
    fs::create_directories(file.parent_path());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        write_bytes(file, c.content);
        EXPECT_EQ(store.ReadSetting("User", "default"), "default");
        EXPECT_EQ(store.ReadSetting("Local_File", "default"), c.local_file);

        store.WriteSetting("Tray", "1");
        EXPECT_EQ(store.ReadSetting("Local_File", "default"), c.local_file);
        EXPECT_EQ(store.ReadSetting("Tray", "0"), "1");
        // The damage is gone: no control bytes, no 10 MB line.
        std::string healed = read_bytes(file);
        EXPECT_LT(healed.size(), 100u);
        for (char ch : healed) EXPECT_TRUE(ch == '\n' || (unsigned char)ch >= 0x20) << int(ch);
    }
}

TEST_F(IniStore, SomethingOtherThanAFileInItsPlaceIsLeftAlone) {
    fs::create_directories(file.parent_path());
    {
        SCOPED_TRACE("a folder");
        fs::create_directory(file);
        store.WriteSetting("User", "bob");
        EXPECT_EQ(store.ReadSetting("User", "default"), "default");
        EXPECT_TRUE(fs::is_directory(file));
        fs::remove(file);
    }
    {
        SCOPED_TRACE("a FIFO, which must not block the reader");
        ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
        EXPECT_EQ(store.ReadSetting("User", "default"), "default");
        store.WriteSetting("User", "bob");
        EXPECT_TRUE(fs::is_fifo(file));
    }
}

TEST(IniStoreFolder, AFolderThatCannotBeCreatedMakesWritesVanish) {
    TempDir dir;
    write_bytes(dir / "file", "not a folder");
    fs::path file = dir / "file" / "VASK" / "VASK.ini";
    IniSettingsStore store(file);
    EXPECT_EQ(store.ReadSetting("User", "default"), "default");
    store.WriteSetting("User", "bob");
    EXPECT_EQ(store.ReadSetting("User", "default"), "default");
    EXPECT_EQ(read_bytes(dir / "file"), "not a folder");
}

TEST(IniStoreFolder, MissingFoldersAreCreatedPrivate) {
    TempDir dir;
    fs::path file = dir / "config" / "VASK" / "VASK.ini";
    mode_t old_mask = umask(0);
    IniSettingsStore(file).WriteSetting("vaskPassword", "secret");
    umask(old_mask);
    EXPECT_EQ(file_mode(dir / "config"), 0700u);
    EXPECT_EQ(file_mode(dir / "config" / "VASK"), 0700u);
    EXPECT_EQ(file_mode(file), 0600u);
}

TEST_F(IniStore, TheFileIsPrivateEvenIfItWasNot) {
    fs::create_directories(file.parent_path());
    write_bytes(file, "[Startup]\nUser=bob\n");
    chmod(file.c_str(), 0644);
    store.WriteSetting("vaskPassword", "secret");
    EXPECT_EQ(file_mode(file), 0600u);
    EXPECT_EQ(store.ReadSetting("User", ""), "bob");
}

TEST_F(IniStore, ALinkInTheFilesPlaceStaysALink) {
    fs::create_directories(file.parent_path());
    fs::path real = dir / "dotfiles" / "VASK.ini";
    fs::create_directories(real.parent_path());
    write_bytes(real, "[Startup]\nUser=bob\n");
    fs::create_symlink(real, file);
    store.WriteSetting("Tray", "1");
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(read_bytes(real), "[Startup]\nUser=bob\nTray=1\n");
}

TEST_F(IniStore, TwoProcessesWritingAtOnceLoseNothing) {
    constexpr int kWrites = 1000;
    std::vector<pid_t> children;
    for (const char* prefix : {"First", "Second"}) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            IniSettingsStore own(file);
            for (int i = 0; i < kWrites; ++i) own.WriteSetting(prefix + std::to_string(i), std::to_string(i));
            _exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) EXPECT_TRUE(child_succeeded(pid));

    int missing = 0;
    for (const char* prefix : {"First", "Second"})
        for (int i = 0; i < kWrites; ++i)
            if (store.ReadSetting(prefix + std::to_string(i), "") != std::to_string(i)) ++missing;
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(file_mode(file), 0600u);
}

// On a real disk, where a write with its fsync lasts long enough to be hit.
TEST(IniStoreOnDisk, AWriterKilledHalfWayLeavesTheOldOrTheNewFile) {
    TempDir dir;
    fs::path file = dir / "VASK" / "VASK.ini";
    IniSettingsStore store(file);
    const std::string value_a(1 << 20, 'a'), value_b(1 << 20, 'b');
    store.WriteSetting("User", "bob");
    store.WriteSetting("Big", value_a);
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            IniSettingsStore own(file);
            for (int i = 1;; ++i) own.WriteSetting("Big", i % 2 ? value_b : value_a);
        }
        // Once the child has finished a write, read alongside it for a while,
        // longer each round, then kill it wherever it is. Every read must see
        // a whole file, before the kill and after.
        for (int wait = 0; wait < 20000 && store.ReadSetting("Big", "") != value_b; ++wait) usleep(1000);
        int torn = 0;
        auto check = [&] {
            std::string big = store.ReadSetting("Big", "");
            if (store.ReadSetting("User", "") != "bob" || (big != value_a && big != value_b)) ++torn;
        };
        for (int read = 0; read < 3 * round; ++read) check();
        kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFSIGNALED(status));
        check();
        EXPECT_EQ(torn, 0);
        // The lock died with the child: the next write goes through.
        store.WriteSetting("Big", value_a);
        EXPECT_EQ(store.ReadSetting("Big", ""), value_a);
    }
    EXPECT_EQ(store.ReadSetting("User", ""), "bob");
}

}  // namespace
}  // namespace vask
