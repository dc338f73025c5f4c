/* The configuration text file: exact writing, forgiving reading, the UB
 * number repair, and the safe save. */
#include "config/cfgfile.h"
#include "config/fileio.h"
#include "tests/support/filelimit.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

static const std::string HEAD =
    ";\r\n;UB No\tFeed\tUBFreq\tUBFreqDec\tBW\tConvFreq\tConvPol\tAGCVal\tSpectral Inversion\r\n";

static std::string format(VelnorCfg_t *t, int n)
{
    char out[BREVCFG_TEXT_MAX];
    const int len = BREVCFG_FormatConfig(t, n, out, sizeof out);
    return len < 0 ? std::string("<fail>") : std::string(out, static_cast<std::size_t>(len));
}

static int parse(const std::string &text, VelnorCfg_t *t, int n)
{
    return BREVCFG_ParseConfig(text.data(), text.size(), t, n);
}

static bool sameRow(const VelnorCfg_t &a, const VelnorCfg_t &b)
{
    return a.Active == b.Active && a.UBNo == b.UBNo && a.Feed == b.Feed && a.UBFreq == b.UBFreq &&
           a.UBFreqDec == b.UBFreqDec && a.BW == b.BW && a.StaticMode == b.StaticMode &&
           a.ConvFreq == b.ConvFreq && a.ConvPol == b.ConvPol && a.AGCVal == b.AGCVal &&
           a.SpectralInversion == b.SpectralInversion;
}

static void defaults(int model)
{
    VelnorData.Model = static_cast<std::int8_t>(model);
    MAIN_InitStruct();
}

TEST(CfgFile, WritesTheExactFormat)
{
    defaults(0);
    VelnorCfg[2].Active = 0;
    VelnorCfg[3].UBFreq = 1125; /* active UB 3, the documented example line */
    VelnorCfg[4].StaticMode = 1;
    VelnorCfg[4].ConvPol = 'R';
    VelnorCfg[4].Feed = 2;
    VelnorCfg[4].SpectralInversion = 1;
    const std::string text = format(VelnorCfg, 24);

    ASSERT_EQ(text.compare(0, HEAD.size(), HEAD), 0);
    /* the inactive row sorts to the top with frequency 0 */
    EXPECT_EQ(text.substr(HEAD.size(), text.find('\n', HEAD.size()) + 1 - HEAD.size()),
              "2,\t0,\t0,\t0,\t\t46,\t0,\t\tH,\t-21,\t0,\r\n");
    EXPECT_NE(text.find("\r\n3,\t0,\t1125,\t0,\t\t46,\t0,\t\tH,\t-21,\t0,\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n4,\t2,\t1175,\t0,\t\t46,\t10750,\t\tR,\t-21,\t1,\r\n"),
              std::string::npos);
    /* 26 lines, every one ended by CR LF */
    int lines = 0;
    for (std::size_t i = 0; i < text.size(); i++)
        if (text[i] == '\n') {
            lines++;
            EXPECT_EQ(text[i - 1], '\r');
        }
    EXPECT_EQ(lines, 26);
    /* the table itself is normalised and sorted */
    EXPECT_EQ(VelnorCfg[0].UBNo, 2);
    EXPECT_EQ(VelnorCfg[0].UBFreq, 0);
    EXPECT_EQ(VelnorCfg[5].ConvFreq, 0);
    EXPECT_EQ(VelnorCfg[5].ConvPol, 'H');
    /* saving again gives the same text */
    EXPECT_EQ(format(VelnorCfg, 24), text);
}

TEST(CfgFile, RoundTripOfInactiveStaticAndInvertedRows)
{
    defaults(8);
    VelnorCfg[1].Active = 0;
    VelnorCfg[6].StaticMode = 1;
    VelnorCfg[6].ConvFreq = 11800;
    VelnorCfg[6].ConvPol = 'L';
    VelnorCfg[6].Feed = 1;
    VelnorCfg[9].UBFreqDec = 7;
    for (int i = 0; i < 32; i++)
        VelnorCfg[i].SpectralInversion = 1;
    const std::string text = format(VelnorCfg, 32);

    VelnorCfg_t back[MAX_UB];
    EXPECT_EQ(parse(text, back, 32), 32);
    for (int i = 1; i < 32; i++)
        EXPECT_TRUE(sameRow(back[i], VelnorCfg[i])) << i;
    /* the inactive row reads back with the reader's inactive values */
    EXPECT_EQ(back[0].Active, 0);
    EXPECT_EQ(back[0].UBNo, 1);
    EXPECT_EQ(back[0].UBFreq, 950);
    EXPECT_EQ(back[0].BW, 46);
    EXPECT_EQ(back[0].ConvPol, 'H');
    EXPECT_EQ(back[0].AGCVal, -22);
    EXPECT_EQ(back[0].Feed, 0);
    EXPECT_EQ(back[6].StaticMode, 1);
    EXPECT_EQ(back[7].StaticMode, 0);
}

TEST(CfgFile, ReadsHandEditedText)
{
    VelnorCfg_t t[MAX_UB];
    /* single spaces, lower-case polarity, no line end after the last row */
    EXPECT_EQ(parse("  ;comment\n x 5, 1, 1500, 3, 40, 10750, v, -25, 1,", t, 24), 1);
    EXPECT_EQ(t[0].Active, 1);
    EXPECT_EQ(t[0].UBNo, 5);
    EXPECT_EQ(t[0].Feed, 1);
    EXPECT_EQ(t[0].UBFreq, 1500);
    EXPECT_EQ(t[0].UBFreqDec, 3);
    EXPECT_EQ(t[0].BW, 40);
    EXPECT_EQ(t[0].StaticMode, 1);
    EXPECT_EQ(t[0].ConvFreq, 10750);
    EXPECT_EQ(t[0].ConvPol, 'V');
    EXPECT_EQ(t[0].AGCVal, -25);
    EXPECT_EQ(t[0].SpectralInversion, 1);
    /* the rows the file does not reach are inactive; the default row that
     * carried number 5 gets the free number 0 */
    EXPECT_EQ(t[1].Active, 0);
    EXPECT_EQ(t[1].UBNo, 1);
    EXPECT_EQ(t[5].UBNo, 0);
    EXPECT_EQ(t[5].ConvFreq, 10700);

    /* digits in order, "-" anywhere, last polarity and inversion win, a
     * field without one keeps the value */
    parse("1 ,0,1x2y3z4,\t9,36,0,H v R,2-0,1 0 7,\n", t, 1);
    EXPECT_EQ(t[0].UBFreq, 1234);
    EXPECT_EQ(t[0].StaticMode, 0);
    EXPECT_EQ(t[0].ConvPol, 'R');
    EXPECT_EQ(t[0].AGCVal, -20);
    EXPECT_EQ(t[0].SpectralInversion, 0);
    parse("0,0,1500,0,36,0,?,-22,x,\n", t, 1);
    EXPECT_EQ(t[0].ConvPol, 'V');
    EXPECT_EQ(t[0].SpectralInversion, 0);

    /* line feeds alone read like CR LF; a ";" alone is a comment either way */
    const std::string crlf = ";\r\n;\r\n3,0,1000,0,36,0,H,-22,0,\r\n0,0,1100,0,36,0,H,-22,0,\r\n";
    std::string lf;
    for (char c : crlf)
        if (c != '\r') lf += c;
    VelnorCfg_t a[MAX_UB], b[MAX_UB];
    EXPECT_EQ(parse(crlf, a, 4), 2);
    EXPECT_EQ(parse(lf, b, 4), 2);
    for (int i = 0; i < 4; i++)
        EXPECT_TRUE(sameRow(a[i], b[i])) << i;
}

TEST(CfgFile, RowCountsAndNumbersOutOfRange)
{
    VelnorCfg_t t[MAX_UB];
    std::string many = HEAD;
    for (int i = 0; i < 30; i++)
        many += std::to_string(i) + ",0," + std::to_string(1000 + 30 * i) + ",0,24,0,H,-22,0,\r\n";
    EXPECT_EQ(parse(many, t, 24), 24);
    EXPECT_EQ(t[23].UBFreq, 1000 + 30 * 23);
    EXPECT_EQ(parse(many.substr(0, many.find("3,0,1090")), t, 24), 3);
    EXPECT_EQ(t[3].Active, 0);
    EXPECT_EQ(t[3].UBNo, 3);

    /* Too large for the field: the field's largest value, never a wrap into
     * something valid (292 would wrap to 36, 70000 to 4464). */
    parse("0,0,70000,0,292,0,H,-300,0,\n", t, 1);
    EXPECT_EQ(t[0].UBFreq, 65535);
    EXPECT_EQ(t[0].Active, 1);
    EXPECT_EQ(t[0].BW, 255);
    EXPECT_EQ(t[0].AGCVal, -128);
    parse("0,0,1500,99999999999999999999,36,0,H,-22,0,\n", t, 1);
    EXPECT_EQ(t[0].UBFreqDec, 255);

    /* Numbers out of range or repeated take the free ones, lowest first. */
    parse("3,0,1000,0,36,0,H,-22,0,\n3,0,1100,0,36,0,H,-22,0,\n"
          "40,0,1200,0,36,0,H,-22,0,\n0,0,1300,0,36,0,H,-22,0,\n",
          t, 4);
    EXPECT_EQ(t[0].UBNo, 3);
    EXPECT_EQ(t[1].UBNo, 1);
    EXPECT_EQ(t[2].UBNo, 2);
    EXPECT_EQ(t[3].UBNo, 0);
    t[0].UBNo = 255;
    t[1].UBNo = 255;
    EXPECT_EQ(BREVCFG_RestoreUBNumbers(t, 4), 2);
    EXPECT_EQ(t[0].UBNo, 1);
    EXPECT_EQ(t[1].UBNo, 3);

    /* A row cut short by the end of the data keeps the fields it has. */
    EXPECT_EQ(parse("7, 0, 1500, 0, 40", t, 8), 1);
    EXPECT_EQ(t[0].Active, 1);
    EXPECT_EQ(t[0].BW, 40);
    EXPECT_EQ(t[0].StaticMode, 0);
    EXPECT_EQ(t[0].AGCVal, -22);
    EXPECT_EQ(parse("7,0,1500,0,40,0,H,-25,\t1\r\n", t, 8), 1); /* no last comma */
    EXPECT_EQ(t[0].SpectralInversion, 1);

    EXPECT_EQ(parse("", t, 2), 0);
    EXPECT_EQ(BREVCFG_ParseConfig(nullptr, 0, t, 2), 0);
    EXPECT_EQ(t[1].Active, 0);
}

/* A fresh folder for files, removed with its contents afterwards. */
class CfgFileDisk : public ::testing::Test
{
  protected:
    TempDir folder;
    const std::string dir = folder.path;
    void SetUp() override { ASSERT_FALSE(dir.empty()); }
    int entries()
    {
        int n = 0;
        DIR *d = opendir(dir.c_str());
        while (dirent *e = readdir(d))
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) n++;
        closedir(d);
        return n;
    }
};

TEST_F(CfgFileDisk, SaveAsksBeforeReplacingAndLoads)
{
    const std::string path = dir + "/cfg.txt";
    defaults(0);
    EXPECT_EQ(BREVCFG_SaveConfigFile(path.c_str(), VelnorCfg, 24, BREVCFG_CREATE_NEW),
              BREVCFG_FILE_OK);
    const std::string first = ReadFile(path);
    EXPECT_EQ(first, format(VelnorCfg, 24));

    /* the name exists: neither the table nor the file changes */
    VelnorCfg[0].Active = 0;
    VelnorCfg[0].UBFreq = 2000;
    EXPECT_EQ(BREVCFG_SaveConfigFile(path.c_str(), VelnorCfg, 24, BREVCFG_CREATE_NEW),
              BREVCFG_FILE_EXISTS);
    EXPECT_EQ(VelnorCfg[0].UBFreq, 2000);
    EXPECT_EQ(ReadFile(path), first);
    EXPECT_EQ(BREVCFG_SaveConfigFile(path.c_str(), VelnorCfg, 24, BREVCFG_REPLACE),
              BREVCFG_FILE_OK);
    EXPECT_NE(ReadFile(path), first);
    EXPECT_EQ(entries(), 1);

    VelnorCfg_t t[MAX_UB];
    EXPECT_EQ(BREVCFG_LoadConfigFile(path.c_str(), t, 24), BREVCFG_FILE_OK);
    EXPECT_EQ(t[0].Active, 0);
    EXPECT_EQ(t[0].UBNo, 0);
    t[0].UBFreq = 1;
    EXPECT_EQ(BREVCFG_LoadConfigFile((dir + "/none.txt").c_str(), t, 24), BREVCFG_FILE_CANNOT_READ);
    EXPECT_EQ(t[0].UBFreq, 1);

    /* a folder that does not exist: nothing is made, the table unchanged */
    defaults(0);
    VelnorCfg[0].Active = 0;
    EXPECT_EQ(BREVCFG_SaveConfigFile((dir + "/no/cfg.txt").c_str(), VelnorCfg, 24, BREVCFG_REPLACE),
              BREVCFG_FILE_CANNOT_WRITE);
    EXPECT_EQ(VelnorCfg[0].UBFreq, 975);
}

TEST_F(CfgFileDisk, SavingThroughALinkWritesTheLinkedFile)
{
    /* the file lives in another folder, reached through a link */
    ASSERT_EQ(mkdir((dir + "/real").c_str(), 0700), 0);
    const std::string real = dir + "/real/cfg.txt";
    const std::string link = dir + "/cfg.txt";
    defaults(0);
    ASSERT_EQ(BREVCFG_SaveConfigFile(real.c_str(), VelnorCfg, 24, BREVCFG_CREATE_NEW),
              BREVCFG_FILE_OK);
    ASSERT_EQ(symlink("real/cfg.txt", link.c_str()), 0);

    EXPECT_EQ(BREVCFG_SaveConfigFile(link.c_str(), VelnorCfg, 24, BREVCFG_CREATE_NEW),
              BREVCFG_FILE_EXISTS);
    VelnorCfg[0].UBFreq = 1000;
    EXPECT_EQ(BREVCFG_SaveConfigFile(link.c_str(), VelnorCfg, 24, BREVCFG_REPLACE),
              BREVCFG_FILE_OK);
    struct stat st;
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)); /* the link stays a link */
    EXPECT_EQ(ReadFile(real), format(VelnorCfg, 24));
    EXPECT_NE(ReadFile(real).find(",\t1000,"), std::string::npos);

    /* an image export through the link likewise */
    const unsigned char bytes[] = {1, 2, 3};
    EXPECT_EQ(BREVCFG_SaveBytesFile(link.c_str(), bytes, 3, BREVCFG_REPLACE), BREVCFG_FILE_OK);
    EXPECT_EQ(ReadFile(real), std::string("\x01\x02\x03"));
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(entries(), 2); /* the link and the folder: no temporary files */
}

TEST_F(CfgFileDisk, FailedWriteKeepsTheOldFile)
{
    const std::string path = dir + "/cfg.txt";
    defaults(7);
    ASSERT_EQ(BREVCFG_SaveConfigFile(path.c_str(), VelnorCfg, 32, BREVCFG_REPLACE),
              BREVCFG_FILE_OK);
    const std::string old = ReadFile(path);

    /* Let no file grow past 200 bytes: the full table cannot be written. */
    defaults(7);
    VelnorCfg[0].UBFreq = 1000;
    int rc;
    {
        FileSizeLimit full(200);
        rc = BREVCFG_SaveConfigFile(path.c_str(), VelnorCfg, 32, BREVCFG_REPLACE);
    }

    EXPECT_EQ(rc, BREVCFG_FILE_CANNOT_WRITE);
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_EQ(entries(), 1); /* no temporary file left behind */
}

/* Runs check as an ordinary user: in a child process that has given up root
 * when the suite runs as root (root writes into any folder), else here. */
static bool asOrdinaryUser(bool (*check)(const std::string &), const std::string &dir)
{
    if (geteuid() != 0) return check(dir);
    const pid_t pid = fork();
    if (pid == 0) _exit(setgid(65534) == 0 && setuid(65534) == 0 && check(dir) ? 0 : 1);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(CfgFileDisk, SavePathsThatMustWorkAndFailuresThatKeepTheOldFile)
{
    defaults(0);
    /* a link to a file not made yet makes that file, and stays a link */
    ASSERT_EQ(mkdir((dir + "/real").c_str(), 0755), 0);
    ASSERT_EQ(symlink("real/new.txt", (dir + "/dangling.txt").c_str()), 0);
    EXPECT_EQ(
        BREVCFG_SaveConfigFile((dir + "/dangling.txt").c_str(), VelnorCfg, 24, BREVCFG_CREATE_NEW),
        BREVCFG_FILE_OK);
    EXPECT_EQ(ReadFile(dir + "/real/new.txt"), format(VelnorCfg, 24));
    struct stat st;
    ASSERT_EQ(lstat((dir + "/dangling.txt").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));

    /* a name that takes the whole file-name limit */
    const std::string longName = dir + "/" + std::string(251, 'n') + ".txt";
    EXPECT_EQ(BREVCFG_SaveConfigFile(longName.c_str(), VelnorCfg, 24, BREVCFG_CREATE_NEW),
              BREVCFG_FILE_OK);
    EXPECT_EQ(ReadFile(longName), format(VelnorCfg, 24));

    /* a replaced file keeps its permissions */
    ASSERT_EQ(chmod(longName.c_str(), 0640), 0);
    EXPECT_EQ(BREVCFG_SaveBytesFile(longName.c_str(), "x", 1, BREVCFG_REPLACE), BREVCFG_FILE_OK);
    ASSERT_EQ(stat(longName.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    /* "create only if new" and a file that appears meanwhile: that file wins */
    BrevSave_t s;
    const std::string raced = dir + "/raced.txt";
    ASSERT_EQ(BREVCFG_SaveBegin(&s, raced.c_str(), BREVCFG_CREATE_NEW), BREVCFG_FILE_OK);
    std::FILE *f = std::fopen(raced.c_str(), "w");
    std::fputs("theirs", f);
    std::fclose(f);
    EXPECT_EQ(BREVCFG_SaveCommit(&s, "ours", 4), BREVCFG_FILE_EXISTS);
    EXPECT_EQ(ReadFile(raced), "theirs");

    /* a folder the user may not write into: the old file stays, and the
     * reason is the system's */
    ASSERT_EQ(chmod(dir.c_str(), 0755), 0);
    ASSERT_EQ(chmod((dir + "/real").c_str(), 0555), 0);
    EXPECT_TRUE(asOrdinaryUser(
        [](const std::string &d) {
            const std::string path = d + "/real/new.txt";
            const std::string old = ReadFile(path);
            return BREVCFG_SaveBytesFile(path.c_str(), "new", 3, BREVCFG_REPLACE) ==
                       BREVCFG_FILE_CANNOT_WRITE &&
                   std::strcmp(BREVCFG_FileReason(), std::strerror(EACCES)) == 0 &&
                   ReadFile(path) == old;
        },
        dir));
    chmod((dir + "/real").c_str(), 0755);
    EXPECT_EQ(entries(), 4); /* real, dangling.txt, the long name, raced.txt: no temporary file */
}
