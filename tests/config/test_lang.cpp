/* The language: the locale's rules, the remembered choice in the settings
 * file, and the records' printf formats. */
#include "config/lang.h"
#include "config/resource.h"
#include "config/settings.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>

TEST(Lang, TheLocaleChoosesAsEveryProgramDoes)
{
    const struct {
        const char *language, *lcAll, *lcMessages, *lang;
        int record;
    } table[] = {
        {nullptr, nullptr, nullptr, nullptr, LANG_EN},
        {nullptr, nullptr, nullptr, "de_AT.UTF-8", LANG_DE},
        {nullptr, nullptr, "fr_CA.UTF-8", "de_DE.UTF-8", LANG_FR},
        {nullptr, "it_IT@euro", "fr_FR", "de_DE", LANG_IT},
        {"es", "it_IT", "fr_FR", "de_DE", LANG_ES},
        {"", "", "", "pl_PL.UTF-8", LANG_PL}, /* empty is not set */
        {"pt_BR:nl:de", nullptr, nullptr, "C.UTF-8", LANG_NL},
        {"pt_BR", nullptr, nullptr, "de_DE.UTF-8", LANG_EN}, /* none it has: English */
        {nullptr, "C", nullptr, "de_DE.UTF-8", LANG_EN},
        {nullptr, nullptr, nullptr, "POSIX", LANG_EN},
        {nullptr, nullptr, nullptr, "ja_JP.UTF-8", LANG_EN},
        {nullptr, nullptr, nullptr, "NL_be", LANG_NL},
        {nullptr, nullptr, nullptr, "d", LANG_EN},
        {nullptr, nullptr, nullptr, "deu_DE", LANG_EN},
    };
    for (const auto &t : table)
        EXPECT_EQ(LANG_FromLocale(t.language, t.lcAll, t.lcMessages, t.lang), t.record)
            << (t.language ? t.language : "-") << " " << (t.lcAll ? t.lcAll : "-") << " "
            << (t.lcMessages ? t.lcMessages : "-") << " " << (t.lang ? t.lang : "-");
    for (int l = 0; l < LANG_COUNT; l++)
        EXPECT_EQ(LANG_FromName(LANG_Code(l)), l);
}

/* A settings folder of the test's own. */
class Settings : public testing::Test
{
  protected:
    TempDir dir;
    std::string file;
    void SetUp() override
    {
        setenv("XDG_CONFIG_HOME", (dir.path + "/config").c_str(), 1);
        file = dir.path + "/config/brevant/settings";
    }
    void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }
    void write(const std::string &text)
    {
        mkdir((dir.path + "/config").c_str(), 0700);
        mkdir((dir.path + "/config/brevant").c_str(), 0700);
        dir.File("config/brevant/settings", text);
    }
};

TEST_F(Settings, TheChoiceIsRememberedBesideWhatOthersKeep)
{
    /* nothing yet: the locale's language; the folders are made at the first choice */
    EXPECT_EQ(LANG_Remembered(), -1);
    ASSERT_EQ(LANG_Remember(LANG_PL), 0) << SETTINGS_Reason();
    EXPECT_EQ(ReadFile(file), "language=pl\n");
    EXPECT_EQ(LANG_Remembered(), LANG_PL);
    setenv("LANGUAGE", "fr", 1);
    EXPECT_EQ(LANG_ForWindows(), LANG_PL) << "the choice overrides the locale";

    /* other features' lines stay as they were, the key's own is replaced */
    write("folder=/home/me/roofs\n# kept\nlanguage = de\nlanguage=it\nwidth=3");
    EXPECT_EQ(LANG_Remembered(), LANG_IT) << "the last line that sets it";
    ASSERT_EQ(LANG_Remember(LANG_NL), 0);
    EXPECT_EQ(ReadFile(file), "folder=/home/me/roofs\n# kept\nwidth=3\nlanguage=nl\n");
    ASSERT_EQ(LANG_Remember(-1), 0);
    EXPECT_EQ(ReadFile(file), "folder=/home/me/roofs\n# kept\nwidth=3\n");
    EXPECT_EQ(LANG_ForWindows(), LANG_FR);
    unsetenv("LANGUAGE");
}

TEST_F(Settings, ABadFileMeansDefaultsAndIsNotOverwritten)
{
    char value[SETTINGS_VALUE_LEN];
    for (const std::string &bad :
         {std::string("language=klingon\n"), std::string("\x01\xff\xfe language\n=de\n", 16),
          std::string("languagede\nlanguage\n")}) {
        write(bad);
        EXPECT_EQ(LANG_Remembered(), -1) << bad;
    }
    write(std::string(SETTINGS_FILE_MAX + 1, '#'));
    EXPECT_EQ(SETTINGS_Get("language", value, sizeof value), 1);
    EXPECT_NE(LANG_Remember(LANG_DE), 0) << "its other lines would be lost";
    EXPECT_EQ(ReadFile(file).size(), SETTINGS_FILE_MAX + 1);
    EXPECT_NE(SETTINGS_Set("language", "de\nfolder=/"), 0);

    /* a folder where the file should be, and no folder that can be made */
    std::remove(file.c_str());
    mkdir(file.c_str(), 0700);
    EXPECT_EQ(LANG_Remembered(), -1);
    EXPECT_NE(LANG_Remember(LANG_DE), 0);
    EXPECT_STRNE(SETTINGS_Reason(), "");
    setenv("XDG_CONFIG_HOME", "/dev/null/config", 1);
    EXPECT_EQ(LANG_Remembered(), -1);
    EXPECT_NE(LANG_Remember(LANG_DE), 0);
    EXPECT_STRNE(SETTINGS_Reason(), "");
}

/* The printf conversions of a text, in order: "%ls%d". */
static std::wstring conversions(const wchar_t *text)
{
    std::wstring out;
    for (const wchar_t *p = text; *p != L'\0'; p++) {
        if (*p != L'%') continue;
        const wchar_t *start = p++;
        while (*p != L'\0' && std::wcschr(L"-+ #0123456789.l", *p) != nullptr)
            p++;
        out.append(start, static_cast<std::size_t>(p - start + (*p != L'\0')));
        if (*p == L'\0') break;
    }
    return out;
}

TEST(Lang, EveryRecordKeepsTheEnglishFormats)
{
    for (int l = 1; l < LANG_COUNT; l++) {
        for (int k = 0; k < TEXT_COUNT; k++)
            EXPECT_EQ(conversions(Str[l]->Text[k]), conversions(Str[LANG_EN]->Text[k]))
                << LANG_Code(l) << " text " << k;
        for (int k = 0; k < RES_TEXT_COUNT; k++)
            EXPECT_EQ(conversions(Res[l]->Text[k]), conversions(Res[LANG_EN]->Text[k]))
                << LANG_Code(l) << " resource " << k;
    }
}
