#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "settings/IniStore.h"

namespace {

// Texts are code page 932 bytes: "\x95\x5C" is 表 (second byte 0x5C, the backslash), "\x8E\xCA"
// "\x90\x5E" is 写真, "\x83\x5B" is ゼ (second byte '[') and "\x83\x5D" is ゾ (second byte ']').

class IniStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "velmora-ini-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        path_ = dir_ / "Velmora.ini";
        file_ = path_.u16string();
    }

    void TearDown() override {
        SetIniReplaceHookForTests(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    void Put(const std::string& text) const {
        std::ofstream(path_, std::ios::binary | std::ios::trunc) << text;
    }

    std::string Get() const { return Contents(path_); }

    static std::string Contents(const std::filesystem::path& path) {
        std::ifstream stream(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(stream), {});
    }

    // The names in a folder, sorted.
    static std::vector<std::string> NamesIn(const std::filesystem::path& folder) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::vector<std::string> Names() const { return NamesIn(dir_); }

    std::string Read(const std::string& key, std::size_t capacity = 256) const {
        return ReadProfileString("Settings", key, "dflt", capacity, file_);
    }

    // "~vm" and eight hex digits: no longer than "Velmora.ini".
    static bool IsTempName(const std::string& name) {
        return name.size() == 11 && name.rfind("~vm", 0) == 0 &&
               name.find_first_not_of("0123456789abcdef", 3) == std::string::npos;
    }

    std::filesystem::path dir_;
    std::filesystem::path path_;  // the settings file in dir_
    WideString file_;             // its name as the store takes it
};

TEST_F(IniStoreTest, ReadGivesDefaultWhenFileSectionOrKeyIsMissing) {
    struct Case {
        const char* label;
        std::optional<std::string> content;  // no file when empty
        std::string key;
    };
    const Case cases[] = {
        {"no file", std::nullopt, "make date"},
        {"empty file", "", "make date"},
        {"other section only", "[Other]\r\nmake date=false\r\n", "make date"},
        {"key before any section", "make date=false\r\n[Settings]\r\n", "make date"},
        {"key in the next section", "[Settings]\r\nx=1\r\n[Other]\r\nmake date=false\r\n",
         "make date"},
        {"key in a second section of the same name",
         "[Settings]\r\nx=1\r\n[settings]\r\nmake date=false\r\n", "make date"},
        {"key commented out", "[Settings]\r\n  ;make date=false\r\n", "make date"},
        {"key line without '='", "[Settings]\r\nmake date\r\n", "make date"},
        {"section line without ']'", "[Settings\r\nmake date=false\r\n", "make date"},
        {"bytes from 0x80 up do not fold", "[Settings]\r\n\xE4=x\r\n", "\xC4"},
        {"key is a prefix", "[Settings]\r\nmake date time=x\r\n", "make date"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::filesystem::remove(path_);
        if (c.content) Put(*c.content);
        EXPECT_EQ(Read(c.key), "dflt");
    }
    Put("[Settings]\r\nmake date=false\r\n");
    EXPECT_EQ(ReadProfileString("Settings", "make date", "dflt", 256, u""), "dflt");
}

TEST_F(IniStoreTest, ReadFindsValueAsWindowsParsesIt) {
    struct Case {
        const char* label;
        std::string content;
        std::string expected;  // of "make date"
    };
    const Case cases[] = {
        {"CRLF lines", "[Settings]\r\nmake date=false\r\n", "false"},
        {"LF lines", "[Settings]\nx=1\nmake date=false\n", "false"},
        {"no final line end", "[Settings]\r\nmake date=false", "false"},
        {"blanks around key and value", "[Settings]\r\n  make date \t=  false \t\r\n", "false"},
        {"blanks around section name", "  [ Settings ]  \r\nmake date=false\r\n", "false"},
        {"section and key in other case", "[SETTINGS]\r\nMake Date=false\r\n", "false"},
        {"empty value is not missing", "[Settings]\r\nmake date=\r\n", ""},
        {"quotes at both ends dropped", "[Settings]\r\nmake date= \"a b \" \r\n", "a b "},
        {"lone quote kept", "[Settings]\r\nmake date=\"ab\r\n", "\"ab"},
        {"inner quotes kept", "[Settings]\r\nmake date=a\"b\"\r\n", "a\"b\""},
        {"'=' inside value", "[Settings]\r\nmake date=a=b\r\n", "a=b"},
        {"first key wins", "[Settings]\r\nmake date=1\r\nmake date=2\r\n", "1"},
        {"first section wins", "[Settings]\r\nmake date=1\r\n[Settings]\r\nmake date=2\r\n", "1"},
        {"comments and blank lines between", "; top\r\n[Settings]\r\n\r\n; c\r\nmake date=x\r\n",
         "x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Put(c.content);
        EXPECT_EQ(Read("make date"), c.expected);
    }
}

TEST_F(IniStoreTest, ReadCutsToCapacityLessOne) {
    struct Case {
        std::string value;
        std::size_t capacity;
        std::string expected;
    };
    const Case cases[] = {
        {"trueish", 5, "true"},
        {"true", 5, "true"},
        {"2010/09/21 13:45.07", 20, "2010/09/21 13:45.07"},
        {"2010/09/21 13:45.07X", 20, "2010/09/21 13:45.07"},
        {"-1", 2, "-"},
        {std::string(300, 'a'), 256, std::string(255, 'a')},
        {"abc", 1, ""},
        {"abc", 0, ""},
        // 表 is 0x95 0x5C: a cut through it leaves the whole character out.
        {"a\x95\x5C"
         "b",
         3, "a"},
        {"a\x95\x5C"
         "b",
         4, "a\x95\x5C"},
        {std::string(254, 'a') + "\x95\x5C", 256, std::string(254, 'a')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.capacity);
        Put("[Settings]\r\nk=" + c.value + "\r\n");
        EXPECT_EQ(Read("k", c.capacity), c.expected);
    }
    EXPECT_EQ(Read("missing", 3), "df");  // the default is cut as well
}

TEST_F(IniStoreTest, WriteChangesOnlyTheKeysLine) {
    struct Case {
        const char* label;
        std::string before;
        std::string key;
        std::string after;  // with the key set to "new"
    };
    const Case cases[] = {
        {"adds the key after the last key of its section",
         "[Before]\r\na=1\r\n\r\n[Settings]\r\nmake date=true\r\n; note\r\n\r\n[After]\r\nb=2\r\n",
         "path",
         "[Before]\r\na=1\r\n\r\n[Settings]\r\nmake date=true\r\npath=new\r\n; note\r\n\r\n"
         "[After]\r\nb=2\r\n"},
        {"replaces a value and keeps odd spacing, comments and other sections",
         "; Velmora\r\n[Settings]\r\n  Key  =  v  \r\nmake date = true \r\n\r\n\t; c\r\n"
         "[Other]\r\nmake date=true\r\n",
         "make date",
         "; Velmora\r\n[Settings]\r\n  Key  =  v  \r\nmake date=new\r\n\r\n\t; c\r\n"
         "[Other]\r\nmake date=true\r\n"},
        {"replacement spells the key as the caller does", "[settings]\r\nMAKE DATE=true\r\n",
         "make date", "[settings]\r\nmake date=new\r\n"},
        {"only the first of two keys", "[Settings]\r\nk=1\r\nk=2\r\n[Settings]\r\nk=3\r\n", "k",
         "[Settings]\r\nk=new\r\nk=2\r\n[Settings]\r\nk=3\r\n"},
        {"section without keys", "[Settings]\r\n; k=1\r\n[Other]\r\n", "k",
         "[Settings]\r\nk=new\r\n; k=1\r\n[Other]\r\n"},
        {"appends a missing section", "[Other]\r\nk=1\r\n", "k",
         "[Other]\r\nk=1\r\n[Settings]\r\nk=new\r\n"},
        {"empty file", "", "k", "[Settings]\r\nk=new\r\n"},
        {"LF file keeps its LFs", "[Settings]\na=1\n[Other]\nb=2\n", "k",
         "[Settings]\na=1\nk=new\r\n[Other]\nb=2\n"},
        {"no final line end, key added", "[Settings]\r\na=1", "k",
         "[Settings]\r\na=1\r\nk=new\r\n"},
        {"no final line end, key replaced", "[Settings]\r\nk=1", "k", "[Settings]\r\nk=new\r\n"},
        {"no final line end, section added", "[Other]\r\nk=1", "k",
         "[Other]\r\nk=1\r\n[Settings]\r\nk=new\r\n"},
        {"no final line end after the section line", "[Settings]", "k", "[Settings]\r\nk=new\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Put(c.before);
        EXPECT_TRUE(WriteProfileString("Settings", c.key, "new", file_));
        EXPECT_EQ(Get(), c.after);
        EXPECT_EQ(Read(c.key), "new");
    }
}

TEST_F(IniStoreTest, WriteCreatesFileAndLeavesNoTemporaryFile) {
    std::set<WideString> temps;
    SetIniReplaceHookForTests([&](const WideString& temp) {
        temps.insert(temp);
        return true;
    });
    EXPECT_TRUE(WriteProfileString("Settings", "make date", "true", file_));
    EXPECT_TRUE(WriteProfileString("Settings", "make time", "false", file_));
    EXPECT_TRUE(WriteProfileString("Settings", "make date", "false", file_));
    EXPECT_EQ(Get(), "[Settings]\r\nmake date=false\r\nmake time=false\r\n");
    EXPECT_EQ(Names(), std::vector<std::string>{"Velmora.ini"});

    // Each write has a temporary name of its own, in the file's folder.
    EXPECT_EQ(temps.size(), 3u);
    for (const WideString& temp : temps) {
        const std::filesystem::path path(temp);
        EXPECT_EQ(path.parent_path(), dir_);
        EXPECT_TRUE(IsTempName(path.filename().string())) << path;
    }
}

TEST_F(IniStoreTest, DoubleByteTextsRoundTripUnchanged) {
    const std::string values[] = {
        "\x95\x5C",                  // 表
        "C:\\\x8E\xCA\x90\x5E",      // C:\写真
        "D:\\\x95\x5C\\\x83\x5B",    // D:\表\ゼ
        "\x83\x5D\x83\x5D\x8E\xCA",  // ゾゾ写
    };
    for (const std::string& value : values) {
        SCOPED_TRACE(value);
        Put("[Settings]\r\nmake date=true\r\n");
        ASSERT_TRUE(WriteProfileString("Settings", "path", value, file_));
        EXPECT_EQ(Get(), "[Settings]\r\nmake date=true\r\npath=" + value + "\r\n");
        EXPECT_EQ(Read("path"), value);
    }
    // A section name whose last byte is ']' (ゾ).
    ASSERT_TRUE(WriteProfileString("\x83\x5D", "k", "v", file_));
    EXPECT_EQ(ReadProfileString("\x83\x5D", "k", "dflt", 256, file_), "v");
}

TEST_F(IniStoreTest, FailureBeforeRenameLeavesOldFileAndNoTemporaryFile) {
    const std::string old = "[Settings]\r\nmake date=true\r\n";
    Put(old);
    WideString tempPath;
    SetIniReplaceHookForTests([&](const WideString& path) {
        tempPath = path;
        // The new text is complete and the settings still read as before.
        EXPECT_EQ(Contents(path), "[Settings]\r\nmake date=false\r\n");
        EXPECT_EQ(Read("make date"), "true");
        return false;
    });
    EXPECT_FALSE(WriteProfileString("Settings", "make date", "false", file_));
    SetIniReplaceHookForTests(nullptr);

    EXPECT_FALSE(tempPath.empty());
    EXPECT_EQ(Get(), old);
    EXPECT_EQ(Read("make date"), "true");
    EXPECT_EQ(Names(), std::vector<std::string>{"Velmora.ini"});
}

// A crash between writing the temporary file and the rename leaves that file behind: reads and
// later writes go by the settings file alone, and the leftover (which could be another
// instance's file in the making) is left alone.
TEST_F(IniStoreTest, TemporaryFileLeftByACrashIsNeverTakenForTheSettings) {
    Put("[Settings]\r\nmake date=true\r\n");
    const std::string leftover = "~vm0badf00d";
    ASSERT_TRUE(IsTempName(leftover));
    const std::string stray = "[Settings]\r\nmake date=false\r\nmake time=false\r\n";
    std::ofstream(dir_ / leftover, std::ios::binary) << stray;

    EXPECT_EQ(Read("make date"), "true");
    EXPECT_EQ(Read("make time"), "dflt");
    EXPECT_TRUE(WriteProfileString("Settings", "modify date", "false", file_));
    EXPECT_EQ(Get(), "[Settings]\r\nmake date=true\r\nmodify date=false\r\n");
    EXPECT_EQ(Names(), (std::vector<std::string>{"Velmora.ini", leftover}));
    EXPECT_EQ(Contents(dir_ / leftover), stray);
}

// Windows' profile functions read a file with a byte order mark as Unicode text; our code page
// text must never be added to it, and its bytes are no ANSI settings to us.
TEST_F(IniStoreTest, FileWithByteOrderMarkIsLeftAsItIs) {
    // "[Settings]\r\nk=old\r\n" in each encoding, after its mark.
    const std::string ascii = "[Settings]\r\nk=old\r\n";
    std::string utf16le = "\xFF\xFE";
    std::string utf16be = "\xFE\xFF";
    for (char c : ascii) {
        utf16le += {c, '\0'};
        utf16be += {'\0', c};
    }
    struct Case {
        const char* label;
        std::string content;
    };
    const Case cases[] = {
        {"UTF-8", "\xEF\xBB\xBF" + ascii},
        {"UTF-16 LE", utf16le},
        {"UTF-16 BE", utf16be},
        {"mark only", "\xEF\xBB\xBF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Put(c.content);
        EXPECT_FALSE(WriteProfileString("Settings", "k", "new", file_));
        EXPECT_FALSE(WriteProfileString("Other", "x", "1", file_));
        EXPECT_EQ(Get(), c.content);
        EXPECT_EQ(Names(), std::vector<std::string>{"Velmora.ini"});
        EXPECT_EQ(Read("k"), "dflt");
    }

    // Only a whole mark counts: code page 932 text that starts with one of its bytes is ours.
    Put("\xEF\xBB; note\r\n[Settings]\r\nk=old\r\n");
    EXPECT_EQ(Read("k"), "old");
    EXPECT_TRUE(WriteProfileString("Settings", "k", "new", file_));
    EXPECT_EQ(Get(), "\xEF\xBB; note\r\n[Settings]\r\nk=new\r\n");
}

// A name that a write takes is found again by a read, and a second write replaces its line
// rather than adding another.
TEST_F(IniStoreTest, WrittenNamesReadBackAndAreReplacedInPlace) {
    struct Case {
        const char* label;
        std::string section;
        std::string key;
    };
    const Case cases[] = {
        {"']' inside a section name", "Set]tings", "k"},
        {"']' ending a section name", "Settings]", "k"},
        {"'[' starting a section name", "[Settings", "k"},
        {"'[' and ']' around a section name", "[Settings]", "k"},
        {"';' starting a section name", ";Settings", "k"},
        {"'=' in a section name", "a=b", "k"},
        {"blanks inside names", "My Settings", "make\tdate"},
        {"']' starting a key", "Settings", "]k"},
        {"'[', ']' and ';' inside a key", "Settings", "a[b]c;d"},
        {"double-byte section ending in ']' (ゾ)", "\x83\x5D", "k"},
        {"double-byte section ending in '[' (ゼ)", "\x83\x5B", "k"},
        {"double-byte key ending in '[' (ゼ)", "Settings", "\x83\x5B"},
        {"double-byte key ending in ']' (ゾ)", "Settings", "\x83\x5D"},
        {"double-byte key ending in a backslash (表)", "Settings", "\x95\x5C"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Put("[Settings]\r\nother=1\r\n");
        ASSERT_TRUE(WriteProfileString(c.section, c.key, "one", file_));
        const std::string once = Get();
        EXPECT_EQ(ReadProfileString(c.section, c.key, "dflt", 256, file_), "one");
        ASSERT_TRUE(WriteProfileString(c.section, c.key, "two", file_));
        EXPECT_EQ(ReadProfileString(c.section, c.key, "dflt", 256, file_), "two");
        EXPECT_EQ(Get().size(), once.size());
        EXPECT_EQ(Read("other"), "1");
    }
}

TEST_F(IniStoreTest, FailedWriteReturnsFalseAndChangesNothing) {
    const std::filesystem::path missingFolder = dir_ / "missing";
    EXPECT_FALSE(
        WriteProfileString("Settings", "k", "v", (missingFolder / "Velmora.ini").u16string()));
    EXPECT_FALSE(std::filesystem::exists(missingFolder));
    EXPECT_FALSE(WriteProfileString("Settings", "k", "v", u""));
    EXPECT_TRUE(Names().empty());

    struct Case {
        const char* label;
        std::string section;
        std::string key;
        std::string value;
    };
    const Case cases[] = {
        {"empty section", "", "k", "v"},
        {"empty key", "Settings", "", "v"},
        {"'=' in key", "Settings", "a=b", "v"},
        {"line break in section", "Set\ntings", "k", "v"},
        {"line break in key", "Settings", "k\r", "v"},
        {"line break in value", "Settings", "k", "a\r\nb=c"},
        {"zero byte in value", "Settings", "k", std::string("a\0b", 3)},
        // Names a read would not find again: the parser trims blanks from names, takes a line
        // that starts with ';' for a comment and one that starts with '[' for a section line.
        {"space before section", " Settings", "k", "v"},
        {"space after section", "Settings ", "k", "v"},
        {"tab before section", "\tSettings", "k", "v"},
        {"form feed after section", "Settings\f", "k", "v"},
        {"space before key", "Settings", " k", "v"},
        {"space after key", "Settings", "k ", "v"},
        {"tab after key", "Settings", "k\t", "v"},
        {"vertical tab before key", "Settings", "\vk", "v"},
        {"blank key", "Settings", " ", "v"},
        {"';' starting key", "Settings", ";k", "v"},
        {"'[' starting key", "Settings", "[k", "v"},
        {"'[' starting key with ']'", "Settings", "[k]", "v"},
    };
    const std::string old = "[Settings]\r\nk=old\r\n";
    Put(old);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_FALSE(WriteProfileString(c.section, c.key, c.value, file_));
        EXPECT_EQ(Get(), old);
        EXPECT_EQ(Read("k"), "old");
    }
    EXPECT_EQ(Names(), std::vector<std::string>{"Velmora.ini"});
    EXPECT_TRUE(WriteProfileString("Settings", "k", "new", file_));
    EXPECT_EQ(Read("k"), "new");

    // A folder where the file should be: it cannot be read, so it is not replaced.
    std::filesystem::remove(path_);
    std::filesystem::create_directory(path_);
    EXPECT_FALSE(WriteProfileString("Settings", "k", "v", file_));
    EXPECT_TRUE(std::filesystem::is_directory(path_));
    EXPECT_EQ(Names(), std::vector<std::string>{"Velmora.ini"});

    // The rename fails (the file became a folder after it was read): the temporary file goes.
    std::filesystem::remove(path_);
    Put(old);
    SetIniReplaceHookForTests([&](const WideString&) {
        std::filesystem::remove(path_);
        std::filesystem::create_directories(path_ / "inside");
        return true;
    });
    EXPECT_FALSE(WriteProfileString("Settings", "k", "v", file_));
    EXPECT_EQ(Names(), std::vector<std::string>{"Velmora.ini"});
}

// The file is named by its wide path: a folder that code page 932 cannot spell, or whose path
// is longer than the old ANSI limit, holds the settings like any other.
TEST_F(IniStoreTest, FolderOfAnyNameOrLengthHoldsTheSettings) {
    const std::filesystem::path deep = dir_ / std::string(120, 'd') / std::string(120, 'e');
    ASSERT_GE(deep.u16string().size(), 240u);
    const std::filesystem::path folders[] = {
        dir_ / u"한글",
        dir_ / u"\U0001F600 café",
        deep,
        deep / u"한글" / std::string(100, 'f'),
    };
    const std::string value = "C:\\\x95\x5C";  // C:\表
    for (const std::filesystem::path& folder : folders) {
        const WideString file = (folder / "Velmora.ini").u16string();
        SCOPED_TRACE(::testing::PrintToString(file.substr(dir_.u16string().size())));
        ASSERT_TRUE(std::filesystem::create_directories(folder));
        EXPECT_TRUE(WriteProfileString("Settings", "make date", "true", file));
        EXPECT_TRUE(WriteProfileString("Settings", "path", value, file));
        EXPECT_TRUE(WriteProfileString("Settings", "make date", "false", file));
        EXPECT_EQ(ReadProfileString("Settings", "path", "dflt", 256, file), value);
        EXPECT_EQ(ReadProfileString("Settings", "make date", "dflt", 256, file), "false");
        EXPECT_EQ(Contents(folder / "Velmora.ini"),
                  "[Settings]\r\nmake date=false\r\npath=" + value + "\r\n");
        EXPECT_EQ(NamesIn(folder), std::vector<std::string>{"Velmora.ini"});

        // A write whose rename fails removes its temporary file from this folder too.
        SetIniReplaceHookForTests([&](const WideString& temp) {
            EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(temp)));
            EXPECT_EQ(std::filesystem::path(temp).parent_path(), folder);
            std::filesystem::remove(folder / "Velmora.ini");
            std::filesystem::create_directories(folder / "Velmora.ini" / "inside");
            return true;
        });
        EXPECT_FALSE(WriteProfileString("Settings", "k", "v", file));
        SetIniReplaceHookForTests(nullptr);
        EXPECT_EQ(NamesIn(folder), std::vector<std::string>{"Velmora.ini"});
    }
}

}  // namespace
