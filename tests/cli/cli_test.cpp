/* cli_test.cpp -- brevant-cli as a user runs it: the built program against
 * kaltro-sim on a thread of this test (its port published in a private
 * ports folder the program inherits), and its file answers compared with
 * the plain functions behind the main window's File menu.
 */
#include "tests/support/simthread.h"

#include "config/cfgfile.h"
#include "config/dcss.h"
#include "config/image.h"
#include "config/texts.h"
#include "config/validate.h"
#include "config/velnor.h"

#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{

struct Ran {
    int code;
    std::string out, err;
};

std::string utf8(const wchar_t *w)
{
    std::string s;
    for (; *w != L'\0'; w++)
        s += static_cast<char>(*w); /* every status text is ASCII */
    return s;
}

/* A JSON value as a script reads it; the tests' own reader, strict enough
 * to refuse what a JSON parser refuses in the program's output. */
struct Json {
    enum Kind { Absent, Null, Bool, Number, String, Array, Object } kind = Absent;
    bool truth = false;
    double number = 0;
    std::string str;
    std::vector<std::string> keys; /* an object's, in order */
    std::vector<Json> items;       /* an array's items, or an object's values */

    const Json &operator[](const std::string &key) const
    {
        static const Json absent;
        for (std::size_t i = 0; i < keys.size(); i++)
            if (keys[i] == key) return items[i];
        return absent;
    }
};

void skipSpace(const char *&p)
{
    while (std::isspace(static_cast<unsigned char>(*p)))
        p++;
}

bool parseValue(const char *&p, Json &v)
{
    skipSpace(p);
    if (*p == '{' || *p == '[') {
        const char close = *p == '{' ? '}' : ']';
        v.kind = *p++ == '{' ? Json::Object : Json::Array;
        skipSpace(p);
        if (*p == close) return ++p, true;
        for (;;) {
            Json key;
            if (v.kind == Json::Object) {
                if (!parseValue(p, key) || key.kind != Json::String) return false;
                skipSpace(p);
                if (*p++ != ':') return false;
                v.keys.push_back(key.str);
            }
            v.items.emplace_back();
            if (!parseValue(p, v.items.back())) return false;
            skipSpace(p);
            if (*p == close) return ++p, true;
            if (*p++ != ',') return false;
        }
    }
    if (*p == '"') {
        v.kind = Json::String;
        for (p++; *p != '"'; p++) {
            if (static_cast<unsigned char>(*p) < 0x20) return false; /* the end included */
            if (*p == '\\' && std::strchr("\"\\/bfnrtu", *++p) == nullptr) return false;
            v.str += *p;
        }
        return ++p, true;
    }
    for (const char *word : {"true", "false", "null"})
        if (std::strncmp(p, word, std::strlen(word)) == 0) {
            v.kind = word[0] == 'n' ? Json::Null : Json::Bool;
            v.truth = word[0] == 't';
            p += std::strlen(word);
            return true;
        }
    if (*p != '-' && !std::isdigit(static_cast<unsigned char>(*p))) return false;
    char *end = nullptr;
    v.kind = Json::Number;
    v.number = std::strtod(p, &end);
    const bool digitLast =
        end > p && std::isdigit(static_cast<unsigned char>(end[-1])); /* not "1." */
    p = end;
    return digitLast;
}

/* text as exactly one JSON value. */
bool ParseJson(const std::string &text, Json &v)
{
    const char *p = text.c_str();
    if (!parseValue(p, v)) return false;
    skipSpace(p);
    return *p == '\0';
}

void setModel(const char *name)
{
    const std::wstring wide(name, name + std::strlen(name));
    VelnorData.Model = static_cast<std::int8_t>(DCSS_FindModel(wide.c_str()));
    MAIN_InitStruct();
}

class Cli : public ::testing::Test
{
  protected:
    PortsFolder ports;
    TempDir dir;

    /* env: variables set for the run, "LANGUAGE=de" */
    Ran run(const std::string &args, const std::string &env = "")
    {
        const std::string out = dir.File("stdout"), err = dir.File("stderr");
        const int st = std::system(
            (env + " " + BREVANT_CLI + " " + args + " >" + out + " 2>" + err + " </dev/null")
                .c_str());
        return {WIFEXITED(st) ? WEXITSTATUS(st) : -1, ReadFile(out), ReadFile(err)};
    }

    /* Runs args against sim started with simArgs (none when empty), its
     * "--port P" naming the simulator's port. */
    Ran runOn(SimThread &sim, const std::vector<std::string> &simArgs, std::string args)
    {
        if (!simArgs.empty()) {
            sim.Start(simArgs);
            if (const auto p = args.find("--port P"); p != std::string::npos)
                args.replace(p, 8, "--port " + std::to_string(sim.port));
        }
        return run(args);
    }

    /* The model's default table with a change the device keeps (a tenth of
     * a MHz for the MxL group, a level for the EN group, which takes whole
     * MHz), saved as "Save File..." saves it. */
    std::string tableFile(const char *model, const std::string &name)
    {
        setModel(model);
        if (DCSS_IsENGroup(VelnorData.Model))
            VelnorCfg[2].AGCVal = -25;
        else
            VelnorCfg[2].UBFreqDec = 5;
        const std::string path = dir.File(name);
        EXPECT_EQ(
            BREVCFG_SaveConfigFile(path.c_str(), VelnorCfg, VelnorData.UBNumber, BREVCFG_REPLACE),
            BREVCFG_FILE_OK);
        return path;
    }

    /* Runs args with standard error on a pseudo-terminal whose TERM is
     * term; what the terminal got. */
    std::string onTerminal(const std::string &args, const char *term)
    {
        const int master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return "no terminal";
        const std::string slave = ptsname(master);
        const int held = open(slave.c_str(), O_RDWR | O_NOCTTY); /* no EIO while none else has it */
        const std::string cmd = std::string("TERM=") + term + " exec " + BREVANT_CLI + " " + args +
                                " >/dev/null 2>" + slave + " </dev/null";
        const pid_t pid = fork();
        if (pid == 0) {
            execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char *>(nullptr));
            _exit(127);
        }
        std::string shown;
        for (bool ended = false;;) {
            pollfd p{master, POLLIN, 0};
            if (poll(&p, 1, 50) > 0) {
                char buf[512];
                const ssize_t n = read(master, buf, sizeof buf);
                if (n > 0) shown.append(buf, static_cast<std::size_t>(n));
                continue;
            }
            if (ended) break;
            ended = waitpid(pid, nullptr, WNOHANG) == pid; /* then what is left, once more */
        }
        close(held);
        close(master);
        return shown;
    }

    /* What the main window's File > Open gives for path: the status text and
     * whether it is an error, per row. */
    void openAsWindow(const char *model, const std::string &path)
    {
        setModel(model);
        ASSERT_EQ(BREVCFG_LoadConfigFile(path.c_str(), VelnorCfg, VelnorData.UBNumber),
                  BREVCFG_FILE_OK);
        BREVCFG_RepairRanges(VelnorCfg, VelnorData.UBNumber, DCSS_IsENGroup(VelnorData.Model));
        MAIN_ValidateTable();
    }
};

/* Programming a file and reading it back gives the same file and the
 * configuration version given, by both programming paths: the MxL image by
 * XModem and the EN rows one by one. */
TEST_F(Cli, ProgramThenReadoutGivesTheSameFile)
{
    for (const char *model : {"KX-103", "KX-107"}) {
        SCOPED_TRACE(model);
        SimThread sim({"--model", model, "--powered"});
        const std::string file = tableFile(model, std::string(model) + ".txt");
        const std::string port = " --port " + std::to_string(sim.port);
        Ran r = run("program " + file + " --config-version 2.13 --verify" + port);
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_NE(r.err.find(utf8(TXT(TX_SW_UPGRADE_OK))), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "The device holds this table.\n");
        const std::string back = dir.File(std::string(model) + "-back.txt");
        r = run("readout -o " + back + port);
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out, "Configuration version 2.13\n");
        EXPECT_EQ(ReadFile(back), ReadFile(file));

        /* verify agrees, and names a band the device does not hold as the
         * file says, and a configuration version other than the one given. */
        r = run("verify " + file + " --config-version 2.13" + port);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out, "The device holds this table.\n");
        VelnorCfg[4].AGCVal = -27; /* a level both groups offer */
        ASSERT_EQ(
            BREVCFG_SaveConfigFile(file.c_str(), VelnorCfg, VelnorData.UBNumber, BREVCFG_REPLACE),
            BREVCFG_FILE_OK);
        r = run("verify " + file + port);
        EXPECT_EQ(r.code, 1) << r.err;
        EXPECT_EQ(
            r.out.rfind("configuration version 0.0 to be programmed, 2.13 in the device\n", 0), 0u)
            << r.out;
        EXPECT_NE(r.out.find(": level -27 dBm in the file"), std::string::npos) << r.out;
    }
}

/* program --verify catches a device that acknowledges its image but does
 * not store one band of it: the simulator's faulty devices, swapped in. */
TEST_F(Cli, ProgramVerifyCatchesABandNotStored)
{
    SimThread sim({"--model", "KX-103", "--powered", "--swap-gap", "0", "--power-delay", "0",
                   "--faulty", "100", "--seed", "11"});
    SIM_Device d{};
    for (int i = 0; i < 40 && d.fault != SIM_Fault::BandNotStored; i++) {
        const int before = SIM_SwapCount();
        SIM_RequestSwap();
        for (int w = 0; w < 200 && SIM_SwapCount() <= before; w++)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        SIM_GetDevice(&d);
    }
    ASSERT_EQ(d.fault, SIM_Fault::BandNotStored);
    setModel("KX-103");
    for (int r = 0; r < VelnorData.UBNumber; r++)
        if (VelnorCfg[r].UBNo == d.faultBand) VelnorCfg[r].UBFreqDec = 5;
    const std::string file = dir.File("t.txt");
    ASSERT_EQ(BREVCFG_SaveConfigFile(file.c_str(), VelnorCfg, VelnorData.UBNumber, BREVCFG_REPLACE),
              BREVCFG_FILE_OK);
    const Ran r = run("program " + file + " --verify --port " + std::to_string(sim.port));
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_NE(r.out.find(", UB " + std::to_string(d.faultBand) + ": frequency "), std::string::npos)
        << r.out;
    EXPECT_NE(r.err.find("brevant-cli: verification failed"), std::string::npos) << r.err;
}

/* check and export answer for a file as the main window does: the same
 * status per UB after the same repairs (UB numbers made a permutation, EN
 * levels and bandwidths brought into range), and the same image. */
TEST_F(Cli, CheckAndExportAgreeWithTheMainWindow)
{
    for (const char *model : {"KX-103", "KX-107"}) {
        SCOPED_TRACE(model);
        const std::string bad = tableFile(model, "bad.txt");
        /* rows 0 and 1 both claim UB 0, row 1 overlaps row 0, row 4 has a
         * level the EN group repairs */
        VelnorCfg[1].UBNo = 0;
        VelnorCfg[1].UBFreq = static_cast<std::uint16_t>(VelnorCfg[0].UBFreq + 10);
        VelnorCfg[4].AGCVal = -40;
        ASSERT_EQ(
            BREVCFG_SaveConfigFile(bad.c_str(), VelnorCfg, VelnorData.UBNumber, BREVCFG_REPLACE),
            BREVCFG_FILE_OK);

        Ran r = run(std::string("--json check ") + bad + " --model " + model);
        openAsWindow(model, bad);
        ASSERT_NE(ConfigOK, 0);
        EXPECT_EQ(r.code, 1);
        EXPECT_NE(r.out.find("\"ok\": false"), std::string::npos);
        for (int row = 0; row < VelnorData.UBNumber; row++) {
            const VelnorCfg_t &w = VelnorCfg[row];
            const std::string entry =
                "{\"row\": " + std::to_string(row) + ", \"ub\": " + std::to_string(w.UBNo) +
                ", \"status\": \"" + utf8(ErrorText[w.UBNo]) +
                "\", \"error\": " + (BoxColor[w.UBNo] == BOX_RED ? "true" : "false") +
                ", \"Active\": " + std::to_string(w.Active) +
                ", \"UBNo\": " + std::to_string(w.UBNo);
            EXPECT_NE(r.out.find(entry), std::string::npos) << entry << "\n" << r.out;
            EXPECT_NE(r.out.find("\"AGCVal\": " + std::to_string(w.AGCVal)), std::string::npos);
        }
        r = run(std::string("export ") + bad + " --model " + model + " -o " + dir.File("x.bin"));
        EXPECT_EQ(r.code, 1);
        EXPECT_FALSE(std::filesystem::exists(dir.File("x.bin")));

        const std::string good = tableFile(model, "good.txt");
        r = run(std::string("check ") + good + " --model " + model);
        EXPECT_EQ(r.code, 0) << r.out << r.err;
        const std::string image = dir.File("good.bin");
        r = run(std::string("export ") + good + " --model " + model + " -o " + image);
        ASSERT_EQ(r.code, 0) << r.err;
        openAsWindow(model, good);
        unsigned char expected[BREVCFG_IMAGE_MAX] = {};
        const int size = DCSS_IsENGroup(VelnorData.Model)
                             ? BREVCFG_CompileEN(VelnorCfg, &VelnorData, expected, 0)
                             : BREVCFG_CompileMxL(VelnorCfg, &VelnorData, expected);
        EXPECT_EQ(ReadFile(image), std::string(reinterpret_cast<char *>(expected), size));
    }
}

/* The lines for people take the text table's words in the locale's
 * language; --json stays English whatever the locale. */
TEST_F(Cli, TheLocaleSpeaksInTheLinesButNotInJson)
{
    const std::string file = tableFile("KX-103", "level.txt");
    VelnorCfg[3].AGCVal = -45;
    ASSERT_EQ(BREVCFG_SaveConfigFile(file.c_str(), VelnorCfg, 24, BREVCFG_REPLACE),
              BREVCFG_FILE_OK);
    const std::string german = "Ausgangspegel nicht im Bereich",
                      english = "Output level out of range";

    Ran r = run("check " + file + " --model KX-103", "LANG=de_AT.UTF-8 LANGUAGE=");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("ERROR " + german), std::string::npos) << r.out;
    r = run("--json check " + file + " --model KX-103", "LANGUAGE=de");
    EXPECT_NE(r.out.find("\"status\": \"" + english + "\""), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find(german), std::string::npos);
}

/* Each failure has its exit code and one line on standard error. */
TEST_F(Cli, FailuresHaveTheirExitCodes)
{
    const std::string enFile = tableFile("KX-108", "en-table.txt");
    const std::string file = tableFile("KX-103", "t.txt");
    /* A level the EN group does not offer, tenths it does not keep, and a
     * UB number given twice. */
    const std::string repaired = dir.File("en.txt", "0,\t0,\t1210,\t5,\t36,\t0,\tH,\t-20,\t0,\n"
                                                    "0,\t0,\t1300,\t0,\t36,\t0,\tH,\t-22,\t0,\n");
    Ran warned = run("check " + repaired + " --model KX-108");
    EXPECT_EQ(warned.code, 0) << warned.err;
    EXPECT_EQ(warned.err, "brevant-cli: warning: row 1: UB 0 is taken by an earlier row on the "
                          "KX-108; UB 1 is used\n"
                          "brevant-cli: warning: row 0: level -20 dBm is not offered by the "
                          "KX-108; -22 dBm is used\nbrevant-cli: warning: row 0: frequency "
                          "1210.5 MHz: the KX-108 takes whole MHz; 1210 MHz is programmed\n");
    struct Case {
        std::vector<std::string> sim;
        std::string args;
        int code;
    };
    const std::vector<Case> cases = {
        {{}, "program", 2},                                               /* no file */
        {{}, "check " + file, 2},                                         /* no model */
        {{}, "check " + file + " --model KX-999", 2},                     /* no such model */
        {{}, "program " + file + " --bogus", 2},                          /* unknown option */
        {{}, "frobnicate", 2},                                            /* unknown command */
        {{}, "check /nonexistent/x.txt --model KX-103", 4},               /* unreadable file */
        {{}, "program " + dir.File("empty.txt", "") + " --port 1000", 4}, /* no user band */
        {{}, "check " + repaired + " --model KX-108 --strict", 1}, /* values reading changed */
        {{}, "export " + file + " --model KX-103 -o /nonexistent/x.bin", 4},
        {{}, "identify --port 1000", 3},                   /* a number with no device */
        {{}, "program /nonexistent/x.txt --port 1000", 4}, /* the file is told first */
        {{}, "readout -o /nonexistent/x.txt --port 1000", 4},
        {{"--model", "KX-103"}, "program " + file + " --port /dev/null", 3}, /* not a terminal */
        {{"--model", "KX-103", "--powered", "--no-device"}, "program " + file + " --port P", 3},
        {{"--model", "KX-107", "--powered"}, "program " + file + " --port P --model KX-103", 1},
        {{"--model", "KX-103", "--powered", "--can-at", "1"}, "program " + file + " --port P", 1},
        /* an EN-group device that refuses the configuration version */
        {{"--model", "KX-108", "--powered", "--refuse", "lnad"},
         "program " + enFile + " --port P --config-version 7.7",
         1},
        /* a receiver or a device that goes quiet on a live line */
        {{"--model", "KX-103", "--powered", "--mute-at", "2"},
         "program " + file + " --port P --timeout 1",
         5},
        {{"--model", "KX-103", "--powered", "--no-verdict"},
         "program " + file + " --port P --timeout 1",
         5},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args);
        SimThread sim;
        const Ran r = runOn(sim, c.sim, c.args);
        EXPECT_EQ(r.code, c.code) << r.err;
        if (c.code != 0) {
            /* progress lines and warnings may come first; the failure is the
             * one last line */
            const auto last = r.err.rfind('\n', r.err.size() - 2);
            const std::string tail = r.err.substr(last == std::string::npos ? 0 : last + 1);
            EXPECT_EQ(tail.rfind("brevant-cli: ", 0), 0u) << r.err;
            std::string before = r.err.substr(0, r.err.size() - tail.size());
            for (auto w = before.find("brevant-cli: warning: "); w != std::string::npos;
                 w = before.find("brevant-cli: warning: "))
                before.erase(w, 13);
            EXPECT_EQ(before.find("brevant-cli: "), std::string::npos) << r.err;
        }
        /* A transfer that timed out was abandoned: the Kaltro answers at once. */
        if (c.code == 5) {
            EXPECT_EQ(run("voltage --port " + std::to_string(sim.port)).code, 0);
        }
    }
}

/* Ctrl-C during a transfer ends it cleanly: exit 130 with one line, and the
 * Kaltro, told to stop receiving, answers the next command at once. Two
 * signals back to back (GNU timeout signals the program, then its group) are
 * one request, not the user's second Ctrl-C. */
TEST_F(Cli, InterruptedTransferLeavesTheKaltroReady)
{
    SimThread sim({"--model", "KX-103", "--powered"});
    const std::string port = " --port " + std::to_string(sim.port);
    const std::string file = tableFile("KX-103", "t.txt"), err = dir.File("err");
    const std::string cmd = std::string("exec ") + BREVANT_CLI + " program " + file + port +
                            " >/dev/null 2>" + err + " </dev/null";
    for (const int signals : {1, 2}) {
        SCOPED_TRACE(signals);
        std::filesystem::remove(err); /* the last run's text is not this one's */
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char *>(nullptr));
            _exit(127);
        }
        const std::string started = utf8(TXT(TX_TRANSMISSION_STARTED));
        for (int i = 0; i < 200 && ReadFile(err).find(started) == std::string::npos; i++)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        for (int i = 0; i < signals; i++)
            kill(pid, signals == 1 ? SIGINT : SIGTERM);
        int st = 0;
        ASSERT_EQ(waitpid(pid, &st, 0), pid);
        ASSERT_TRUE(WIFEXITED(st));
        EXPECT_EQ(WEXITSTATUS(st), 130) << ReadFile(err);
        EXPECT_NE(ReadFile(err).find("brevant-cli: interrupted at"), std::string::npos)
            << ReadFile(err);
        const Ran r = run("voltage" + port);
        EXPECT_EQ(r.code, 0) << r.err;
    }
}

/* What the transfers bring: device and Kaltro software as the file holds
 * it, and a configuration kept in the Kaltro as the image of the validated
 * table, under its name and group's type. */
TEST_F(Cli, TransfersBringTheFilesAndTheKeptConfiguration)
{
    SimThread sim({"--model", "KX-103", "--powered"});
    const std::string port = " --port " + std::to_string(sim.port);
    std::string software(3000, '\0');
    for (std::size_t i = 0; i < software.size(); i++)
        software[i] = static_cast<char>(i * 7 + (i >> 8));
    const std::string file = dir.File("sw.bin", software);
    unsigned char got[8192];
    SIM_Transfer t{};

    for (const char *cmd : {"upgrade-device", "upgrade-kaltro"}) {
        SCOPED_TRACE(cmd);
        const Ran r = run(std::string(cmd) + " " + file + port);
        ASSERT_EQ(r.code, 0) << r.err;
        const int n = SIM_GetTransfer(&t, got, sizeof got);
        EXPECT_EQ(t.end, SIM_TransferEnd::Done);
        ASSERT_GE(n, static_cast<int>(software.size()));
        EXPECT_EQ(std::string(reinterpret_cast<char *>(got), software.size()), software);
    }

    const std::string cfg = tableFile("KX-103", "keep.txt");
    const Ran r = run("save-in-kaltro " + cfg + " --name roof-12" + port);
    ASSERT_EQ(r.code, 0) << r.err;
    SIM_Kaltro k{};
    SIM_GetKaltro(&k);
    EXPECT_STREQ(k.name, "roof-12");
    EXPECT_EQ(k.configType, 255); /* the MxL group's type */
    unsigned char expected[BREVCFG_IMAGE_MAX] = {};
    const int size = BREVCFG_CompileMxL(VelnorCfg, &VelnorData, expected);
    SIM_GetTransfer(&t, got, sizeof got);
    EXPECT_EQ(t.kind, SIM_ImageKind::KaltroConfig);
    EXPECT_EQ(std::string(reinterpret_cast<char *>(got), size),
              std::string(reinterpret_cast<char *>(expected), size));
}

/* settings writes as the dialog's Program does: every option the device
 * offers, those given changed, each acknowledgement reported. A new inputs
 * type keeps the chain's output; an option the device does not offer and a
 * refused setter fail the run. */
TEST_F(Cli, SettingsAreWrittenAsTheDialogWritesThem)
{
    SimThread sim({"--model", "KX-108", "--powered"});
    const std::string port = " --port " + std::to_string(sim.port);
    Ran r = run("settings --en50494plus on --output legacy --chain 3" + port);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "EN50494+ Yes: accepted\nInputs Wide Band: accepted\n"
                     "Output Port Legacy: accepted\nChain Connection 3: accepted\n"
                     "Configuration upgrade successful!\n");
    r = run("--json settings" + port);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("\"en50494plus\": \"on\", \"inputs\": \"wideband\", \"output\": "
                         "\"legacy\", \"chain\": \"3\""),
              std::string::npos)
        << r.out;
    EXPECT_EQ(run("settings --chain 9" + port).code, 2);

    /* A chain-pair model: the pair 3+4 is output 3 on the single list. */
    SimThread pairs({"--model", "KX-102", "--powered", "--state",
                     dir.File("s", "model=KX-102\nwideband=1\nchain=10\n")});
    const std::string pairPort = " --port " + std::to_string(pairs.port);
    r = run("--json settings --inputs quattro" + pairPort);
    ASSERT_EQ(r.code, 0) << r.err;
    r = run("--json settings" + pairPort);
    EXPECT_NE(r.out.find("\"inputs\": \"quattro\", \"output\": \"dcss\", \"chain\": \"3\""),
              std::string::npos)
        << r.out;
    r = run("settings --output legacy" + pairPort); /* not an EN-group model */
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");

    SimThread refusing({"--model", "KX-108", "--powered", "--refuse", "lnah"});
    r = run("settings --en50494plus off --port " + std::to_string(refusing.port));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out.rfind("EN50494+ No: refused\n", 0), 0u) << r.out;

    /* A device that stops answering is told as such, not as an option it
     * lacks or a refusal: during the read (after the opening's five commands
     * and nine queries), and at the first setter (after the 17 commands of
     * the opening and the read). */
    SimThread stops({"--model", "KX-103", "--powered", "--stop-after", "14"});
    r = run("settings --chain 3+4 --port " + std::to_string(stops.port));
    EXPECT_EQ(r.code, 3);
    EXPECT_NE(r.err.find("stopped answering at the Inputs query"), std::string::npos) << r.err;
    SimThread mute({"--model", "KX-103", "--powered", "--stop-after", "17"});
    r = run("settings --en50494plus on --port " + std::to_string(mute.port));
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.out.rfind("EN50494+ Yes: no answer\n", 0), 0u) << r.out;
}

/* --json gives numbers as numbers, units in the key names: identify's
 * fields, and the read-out's table row by row as the file it saved holds
 * it. */
TEST_F(Cli, JsonCarriesNumbersAsNumbers)
{
    SimThread sim({"--model", "KX-103", "--powered", "--serial", "4294967295"});
    const std::string port = " --port " + std::to_string(sim.port);
    Ran r = run("--json identify" + port);
    ASSERT_EQ(r.code, 0) << r.err;
    Json id;
    ASSERT_TRUE(ParseJson(r.out, id)) << r.out;
    EXPECT_TRUE(id["ok"].truth);
    EXPECT_EQ(id["ubs"].number, 24);
    EXPECT_EQ(id["level"].number, 6);
    EXPECT_EQ(id["voltage_v"].number, 14.66);
    EXPECT_EQ(id["temperature_c"].kind, Json::Number);
    ASSERT_EQ(id["lo_frequencies_mhz"].items.size(), 2u) << r.out;
    EXPECT_EQ(id["lo_frequencies_mhz"].items[0].number, 9750);
    EXPECT_EQ(id["lo_frequencies_mhz"].items[1].number, 10600);
    EXPECT_EQ(id["serial"].kind, Json::Null); /* the device has none */
    EXPECT_EQ(id["software"].kind, Json::String);

    /* a band with tenths, and one with a static transponder on input 2 */
    const std::string file = tableFile("KX-103", "t.txt");
    VelnorCfg[5].StaticMode = 1;
    VelnorCfg[5].ConvFreq = 11914;
    VelnorCfg[5].ConvPol = 'V';
    VelnorCfg[5].Feed = 2;
    ASSERT_EQ(BREVCFG_SaveConfigFile(file.c_str(), VelnorCfg, VelnorData.UBNumber, BREVCFG_REPLACE),
              BREVCFG_FILE_OK);
    ASSERT_EQ(run("program " + file + port).code, 0);
    const std::string back = dir.File("back.txt");
    r = run("--json readout -o " + back + port);
    ASSERT_EQ(r.code, 0) << r.err;
    Json out;
    ASSERT_TRUE(ParseJson(r.out, out)) << r.out;
    EXPECT_EQ(out["config_version"].str, "0.0");
    ASSERT_EQ(BREVCFG_LoadConfigFile(back.c_str(), VelnorCfg, VelnorData.UBNumber),
              BREVCFG_FILE_OK);
    const Json &rows = out["rows"];
    ASSERT_EQ(rows.items.size(), 24u);
    int fixed = 0;
    for (int i = 0; i < 24; i++) {
        SCOPED_TRACE(i);
        const Json &j = rows.items[static_cast<std::size_t>(i)];
        const VelnorCfg_t &w = VelnorCfg[i];
        EXPECT_EQ(j["row"].number, i);
        EXPECT_EQ(j["ub"].number, w.UBNo);
        EXPECT_EQ(j["active"].kind, Json::Bool);
        EXPECT_DOUBLE_EQ(j["frequency_mhz"].number, w.UBFreq + w.UBFreqDec / 10.0);
        EXPECT_EQ(j["bandwidth_mhz"].number, w.BW);
        EXPECT_EQ(j["level_dbm"].number, w.AGCVal);
        EXPECT_EQ(j["static_transponder_mhz"].number, w.ConvFreq);
        EXPECT_EQ(j["polarity"].str, std::string(1, w.ConvPol));
        EXPECT_EQ(j["input"].number, w.Feed);
        EXPECT_FALSE(j["spectral_inversion"].truth);
        if (w.ConvFreq == 11914 && w.Feed == 2 && j["polarity"].str == "V") fixed++;
    }
    EXPECT_EQ(fixed, 1) << r.out;
}

/* Under --json every failure prints one object on standard output, its
 * error the line on standard error, merged with what the command tells of
 * its own: usage errors (once --json is seen), files, device operations. */
TEST_F(Cli, JsonFailuresAreOneObject)
{
    const std::string file = tableFile("KX-103", "t.txt");
    VelnorCfg[3].AGCVal = -45; /* below the MxL group's levels */
    const std::string bad = dir.File("bad.txt");
    ASSERT_EQ(BREVCFG_SaveConfigFile(bad.c_str(), VelnorCfg, VelnorData.UBNumber, BREVCFG_REPLACE),
              BREVCFG_FILE_OK);
    struct Case {
        std::vector<std::string> sim;
        std::string args;
        int code;
        const char *member; /* what the command adds of its own, or nullptr */
    };
    const std::vector<Case> cases = {
        {{}, "--json program", 2, nullptr},
        {{}, "check " + file + " --json", 2, nullptr},
        {{}, "--json identify --port 1000", 3, nullptr},
        {{}, "--json check " + bad + " --model KX-103", 1, "rows"},
        {{"--model", "KX-103", "--no-device"}, "--json identify --port P", 3, "kaltro_version"},
        {{"--model", "KX-103", "--powered", "--can-at", "1"},
         "--json program " + file + " --port P",
         1,
         "outcome"},
        {{"--model", "KX-103", "--powered", "--mute-at", "2"},
         "--json program " + file + " --port P --timeout 1",
         5,
         "at"},
        {{"--model", "KX-103", "--powered"},
         "--json verify " + file + " --config-version 3.3 --port P",
         1,
         "differences"},
        {{"--model", "KX-108", "--powered", "--refuse", "lnah"},
         "--json settings --en50494plus off --port P",
         1,
         "answers"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args);
        SimThread sim;
        const Ran r = runOn(sim, c.sim, c.args);
        EXPECT_EQ(r.code, c.code) << r.err;
        Json j;
        ASSERT_TRUE(ParseJson(r.out, j)) << r.out;
        EXPECT_EQ(j["ok"].kind, Json::Bool);
        EXPECT_FALSE(j["ok"].truth);
        EXPECT_EQ(j["exit"].number, c.code);
        const auto last = r.err.rfind("brevant-cli: ");
        ASSERT_NE(last, std::string::npos) << r.err;
        EXPECT_EQ(j["error"].str + "\n", r.err.substr(last + 13)) << r.err;
        if (c.member != nullptr) {
            EXPECT_NE(j[c.member].kind, Json::Absent) << r.out;
        }
    }
}

/* Small things a real install showed: --port values that are neither a COM
 * number nor a path are usage errors; readout -o FOLDER fails before the
 * read-out; no ESC[K on a dumb terminal; "1 faulty row"; a name the Kaltro
 * cannot keep as given is told with what it keeps. */
TEST_F(Cli, SmallFixesOfTheCommandLine)
{
    for (const char *port : {"-1", "abc", "0", "99999"})
        EXPECT_EQ(run(std::string("identify --port ") + port).code, 2) << port;
    EXPECT_EQ(run("identify --port /nonexistent/tty").code, 3);

    SimThread sim({"--model", "KX-103", "--powered"});
    const std::string port = " --port " + std::to_string(sim.port);
    Ran r = run("readout -o " + dir.path + port);
    EXPECT_EQ(r.code, 4);
    EXPECT_EQ(r.err, "brevant-cli: cannot write " + dir.path + ": " + std::strerror(EISDIR) + "\n");

    const std::string back = dir.File("back.txt");
    EXPECT_NE(onTerminal("readout -o " + back + port, "xterm").find("\033[K"), std::string::npos);
    const std::string dumb = onTerminal("readout -o " + back + port, "dumb");
    EXPECT_EQ(dumb.find('\033'), std::string::npos) << dumb;
    EXPECT_NE(dumb.find("100%"), std::string::npos) << dumb;

    const std::string file = tableFile("KX-103", "t.txt");
    VelnorCfg[3].AGCVal = -45;
    ASSERT_EQ(BREVCFG_SaveConfigFile(file.c_str(), VelnorCfg, VelnorData.UBNumber, BREVCFG_REPLACE),
              BREVCFG_FILE_OK);
    EXPECT_NE(run("check " + file + " --model KX-103").err.find(" has 1 faulty row for "),
              std::string::npos);

    const std::string good = tableFile("KX-103", "good.txt");
    const std::string name = "Dachgescho\xc3\x9f-Nord-und-S\xc3\xbc"
                             "d-mit-einem-sehr-langen-Namen";
    const std::string kept = "Dachgescho?\?-Nord-und-S?\?d-mit-einem-sehr-l";
    r = run("save-in-kaltro " + good + " --name '" + name + "'" + port);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("warning: --name: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("\"" + kept + "\" is stored"), std::string::npos) << r.err;
    SIM_Kaltro k{};
    SIM_GetKaltro(&k);
    EXPECT_EQ(k.name, kept);
}

} // namespace
