/* The command protocol against kaltro-sim: every getter's value and failure
 * value, refusal versus silence, late and split replies, voltage levels,
 * "lnbg", "entp", the setters' command texts and answers, and the stored
 * name. */
#include "link/rs232.h"
#include "link/rs232os.h"
#include "tests/support/simthread.h"

#include <cstring>
#include <memory>

class Protocol : public ::testing::Test
{
  protected:
    PortsFolder ports;
    TempDir files;
    std::unique_ptr<SimThread> sim;
    void Open(std::vector<std::string> args)
    {
        sim = std::make_unique<SimThread>(std::move(args));
        ASSERT_GT(sim->port, 0);
        ASSERT_EQ(RS232_OpenPort(sim->port), RS232_OK);
    }
    std::string State(const std::string &text) { return files.File("state.txt", text); }
    static std::string LastCommand()
    {
        char line[128];
        SIM_GetLastCommand(line, sizeof line);
        return line;
    }
    void TearDown() override
    {
        *RS232_GetOsCalls() = RS232_DefaultOsCalls();
        RS232_Term();
        sim.reset();
    }
};

/* Waits that ran to their limit: every read ends with one. */
static int quietWaits = 0;

static void countReads()
{
    quietWaits = 0;
    RS232_GetOsCalls()->Wait = [](int fd, short events, long timeoutUs) {
        const int r = RS232_DefaultOsCalls().Wait(fd, events, timeoutUs);
        if (r == 0) quietWaits++;
        return r;
    };
}

TEST_F(Protocol, GettersReadTheDeviceAndTheKaltro)
{
    Open({"--state", State("model=KX-102\nsn=0x12345678\nfw=1.2.3.4\nlo_low=9750\n"
                           "lo_high=10600\ntemperature=-5\ndbase=0x23\nsw=0x31\n"
                           "en50494plus=0\nwideband=1\nlegacy=2\nchain=10\noutput=1\n"
                           "voltage=6\n")});
    EXPECT_EQ(RS232_GetDeviceID(), 0x4D);
    EXPECT_EQ(RS232_GetSN(), 0x12345678);
    EXPECT_EQ(RS232_GetFWVersion(), 0x01020304);
    int lo = 0, hi = 0;
    EXPECT_EQ(RS232_GetLOFrequency(&lo, &hi), RS232_OK);
    EXPECT_EQ(lo, 9750);
    EXPECT_EQ(hi, 10600);
    EXPECT_EQ(static_cast<std::int16_t>(RS232_GetTemperature()), -5);
    EXPECT_EQ(RS232_GetDBaseVersion(), 0x23);
    EXPECT_EQ(RS232_GetSWVersion(), 0x31);
    EXPECT_EQ(RS232_GetEN50494Plus(), 0);
    EXPECT_EQ(RS232_GetWideBandInfo(), 1);
    EXPECT_EQ(RS232_GetLegacyInfo(), 2);
    EXPECT_EQ(RS232_GetChainConnection(), 10);
    EXPECT_EQ(RS232_GetUBNumber(), 24);
    EXPECT_EQ(RS232_GetOutputNumber(), 1);
    EXPECT_EQ(RS232_GetKaltroSWVer(), 2 * 256 + 13);
    EXPECT_EQ(RS232_GetVoltage(), 6);
}

TEST_F(Protocol, OutOfRangeAnswersAreLimited)
{
    Open({"--voltage", "6", "--state",
          State("legacy=3\nchain=16\noutput=2\nen50494plus=5\nwideband=0xFF\n")});
    EXPECT_EQ(RS232_GetLegacyInfo(), 0);
    EXPECT_EQ(RS232_GetChainConnection(), -1);
    EXPECT_EQ(RS232_GetOutputNumber(), -1);
    EXPECT_EQ(RS232_GetEN50494Plus(), 1);
    EXPECT_EQ(RS232_GetWideBandInfo(), -1) << "0xFF is a negative byte and passes the limit";
}

TEST_F(Protocol, RefusalsGiveFailureValuesAfterOneRead)
{
    std::vector<std::string> args{"--voltage", "6"};
    for (const char *v : {"lnbe", "lnbd", "lnbv", "lnbc", "lnbm", "lnbn", "lnbk", "lnab", "legg",
                          "lncb", "lnbj", "lnbb", "lndo", "lnbg", "entp", "prsw", "volt"})
        args.insert(args.end(), {"--refuse", v});
    Open(args);
    VelnorCfg_t cfg{}, before{};
    cfg.UBFreq = 1234;
    before = cfg;
    int lo = 1, hi = 1;
    double t = Seconds([&] {
        EXPECT_EQ(RS232_GetDeviceID(), -1);
        EXPECT_EQ(RS232_GetDBaseVersion(), 0);
        EXPECT_EQ(RS232_GetSWVersion(), 0);
        EXPECT_EQ(RS232_GetTemperature(), 0);
        EXPECT_EQ(RS232_GetFWVersion(), 0);
        EXPECT_EQ(RS232_GetSN(), 0);
        EXPECT_EQ(RS232_GetEN50494Plus(), -1);
        EXPECT_EQ(RS232_GetWideBandInfo(), -1);
        EXPECT_EQ(RS232_GetLegacyInfo(), -1);
        EXPECT_EQ(RS232_GetChainConnection(), -1);
        EXPECT_EQ(RS232_GetLOFrequency(&lo, &hi), RS232_FAILED);
        EXPECT_EQ(RS232_GetUBNumber(), -1);
        EXPECT_EQ(RS232_GetOutputNumber(), -1);
        EXPECT_EQ(RS232_ReadConfig(&cfg, 2), 0);
        EXPECT_EQ(RS232_ProgramEN5520(0, 1, 1210, 46, -21, 0, 0, 0, 0), RS232_EN_REFUSED);
    });
    EXPECT_LT(t, 15 * 0.25) << "no refused command reads seven times";
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 0);
    EXPECT_EQ(std::memcmp(&cfg, &before, sizeof cfg), 0);
    EXPECT_EQ(SIM_CommandCount("lnbe"), 1);
    EXPECT_EQ(SIM_CommandCount("entp"), 1);
    EXPECT_EQ(RS232_GetKaltroSWVer(), 0) << "seven reads without \"ver.\"";
    EXPECT_EQ(RS232_GetVoltage(), 0) << "the echo without a reading";
}

TEST_F(Protocol, SilentDeviceTakesSevenAttemptsUntilPowered)
{
    Open({}); /* the supply is off: the device does not answer */
    double t = Seconds(
        [] { EXPECT_EQ(RS232_ProgramEN5520(0, 1, 1210, 46, -21, 0, 0, 0, 0), RS232_EN_NO_REPLY); });
    EXPECT_GT(t, 1.4);
    EXPECT_LT(t, 4.0);
    EXPECT_EQ(SIM_CommandCount("entp"), 1) << "a command is written once";
    EXPECT_EQ(RS232_SetVoltage(6), 0);
    RS232_Pause(400); /* the device starts */
    EXPECT_EQ(RS232_GetVoltage(), 6);
    EXPECT_EQ(RS232_GetDeviceID(), 0x4E);
}

TEST_F(Protocol, LateReplyIsTakenAndSplitDataIsNot)
{
    Open({"--voltage", "6", "--reply-delay", "600"});
    double t = Seconds([] { EXPECT_EQ(RS232_GetDeviceID(), 0x4E); });
    EXPECT_GT(t, 0.5) << "the answer came in the third read";
    EXPECT_EQ(SIM_CommandCount("lnbe"), 1);
    RS232_Term();
    sim.reset();

    /* The acknowledgement in one read, the data bytes in the next. */
    Open({"--voltage", "6", "--split"});
    EXPECT_EQ(RS232_GetDeviceID(), -1);
    VelnorCfg_t cfg{}, before{};
    cfg.BW = 77;
    before = cfg;
    RS232_ReadConfig(&cfg, 0);
    EXPECT_EQ(std::memcmp(&cfg, &before, sizeof cfg), 0) << "not a row of zeros";
}

TEST_F(Protocol, VoltageLevelsRoundTrip)
{
    Open({"--power-delay", "0"});
    for (int level = 0; level < 16; level++) {
        RS232_SetVoltage(level);
        EXPECT_EQ(RS232_GetVoltage(), level);
    }
}

TEST_F(Protocol, BandsReadAndProgrammed)
{
    Open({"--voltage", "6", "--no-space", "1", "--state",
          State("ub.3=empty\nub.4=1210.5,46,-21,300,H,2,1\n")});
    VelnorCfg_t cfg{};
    RS232_ReadConfig(&cfg, 3);
    EXPECT_EQ(cfg.UBNo, 3);
    EXPECT_EQ(cfg.Active, 0);
    EXPECT_EQ(cfg.BW, 40);
    EXPECT_EQ(cfg.AGCVal, -22);
    RS232_ReadConfig(&cfg, 4);
    EXPECT_EQ(cfg.Active, 1);
    EXPECT_EQ(cfg.UBFreq, 1210);
    EXPECT_EQ(cfg.UBFreqDec, 5);
    EXPECT_EQ(cfg.ConvPol, 'H');
    EXPECT_EQ(cfg.ConvFreq, 300);
    EXPECT_EQ(cfg.StaticMode, 1);
    EXPECT_EQ(cfg.Feed, 2);
    EXPECT_EQ(cfg.SpectralInversion, 1);

    EXPECT_EQ(RS232_ProgramEN5520(0, 5, 1210, 46, -25, 11000, 1, 0, 1), RS232_EN_ACCEPTED);
    EXPECT_EQ(LastCommand(), "entp 0 5 1210 0 46 -25 11000 1 0 1");
    RS232_ReadConfig(&cfg, 5);
    EXPECT_EQ(cfg.UBNo, 5);
    EXPECT_EQ(cfg.UBFreq, 1210);
    EXPECT_EQ(cfg.AGCVal, -25);
    EXPECT_EQ(cfg.ConvFreq, 11000);
    EXPECT_EQ(cfg.ConvPol, 'H');
    EXPECT_EQ(RS232_ProgramEN5520(0, 6, 1300, 46, -21, 0, 0, 0, 0), RS232_EN_REFUSED)
        << "no space for a second active band";
    EXPECT_EQ(RS232_ProgramEN5520(0, 7, 0, 46, -21, 0, 0, 0, 0), RS232_EN_ACCEPTED)
        << "an inactive band needs no space";
    EXPECT_EQ(RS232_ProgramEN5520(255, 255, 65535, 255, -128, 65535, 255, 255, 255),
              RS232_EN_REFUSED);
    EXPECT_EQ(LastCommand(), "entp 255 255 65535 0 255 -128 65535 255 255 255");
}

TEST_F(Protocol, SettersSendTheirTexts)
{
    Open({"--voltage", "6"});
    RS232_SetLegacyInfo(3);
    EXPECT_EQ(LastCommand(), "legs 0");
    RS232_SetChainConnection(1, 9);
    EXPECT_EQ(LastCommand(), "lnca 1 1");
    EXPECT_EQ(RS232_GetChainConnection(), 9);
    RS232_SetChainConnection(0, 5);
    EXPECT_EQ(LastCommand(), "lnca 0 0");
    RS232_SetEN50494Plus(5);
    EXPECT_EQ(LastCommand(), "lnah 1");
    RS232_SetInputsType(7);
    EXPECT_EQ(LastCommand(), "lnaa 1");
    RS232_Set22kHzTone(5);
    EXPECT_EQ(LastCommand(), "to22 1");
    RS232_SetConfigType(254);
    EXPECT_EQ(LastCommand(), "lnal 254");
    RS232_StoreDBaseVer(0x23);
    EXPECT_EQ(RS232_GetDBaseVersion(), 0x23);
    SIM_Kaltro k{};
    SIM_GetKaltro(&k);
    EXPECT_EQ(k.tone, 1);
    EXPECT_EQ(k.configType, 254);
}

TEST_F(Protocol, StoredNameIsCutAndCannotStartAnotherCommand)
{
    Open({});
    EXPECT_EQ(RS232_ReadConfigName(), nullptr) << "no name stored yet";
    RS232_StoreConfigName((std::string(40, 'a') + "bcdefgh").c_str());
    char *name = RS232_ReadConfigName();
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(std::string(name), std::string(40, 'a') + "bcd");
    RS232_StoreConfigName("roof\rsetv 15");
    name = RS232_ReadConfigName();
    ASSERT_NE(name, nullptr);
    EXPECT_STREQ(name, "roof?setv 15");
    EXPECT_EQ(SIM_CommandCount("setv"), 0);
    EXPECT_EQ(SIM_CommandCount("lnaw"), 2);
}

TEST_F(Protocol, SetterAnswersAreWaitedForAsAReadWaitsAndToldApart)
{
    /* A prompt device: its answer, then one quiet read, as always. */
    Open({"--voltage", "6", "--refuse", "legs"});
    countReads();
    RS232_SetChainConnection(1, 2);
    EXPECT_EQ(quietWaits, 2);
    EXPECT_EQ(RS232_GetDrainAnswer(), RS232_REPLY_ACCEPTED);
    RS232_SetLegacyInfo(1);
    EXPECT_EQ(RS232_GetDrainReply(), RS232_FAILED);
    EXPECT_EQ(RS232_GetDrainAnswer(), RS232_REPLY_REFUSED);
    RS232_Term();
    sim.reset();

    /* A device that answers 350 ms late, first without power. */
    Open({"--reply-delay", "350", "--refuse", "lnbv"});
    RS232_SetInputsType(1);
    EXPECT_EQ(RS232_GetDrainAnswer(), RS232_REPLY_NONE);
    EXPECT_EQ(RS232_GetDeviceID(), -1);
    EXPECT_EQ(RS232_GetLastAnswer(), RS232_REPLY_NONE);
    RS232_SetVoltage(6);
    RS232_Pause(400); /* the device starts */
    RS232_StoreDBaseVer(0x23);
    EXPECT_EQ(RS232_GetDrainReply(), RS232_OK);
    EXPECT_EQ(RS232_GetDrainAnswer(), RS232_REPLY_ACCEPTED);
    EXPECT_EQ(RS232_GetDBaseVersion(), 0x23) << "no answer left over for the next command";
    EXPECT_EQ(RS232_GetLastAnswer(), RS232_REPLY_ACCEPTED);
    EXPECT_EQ(RS232_GetSWVersion(), 0);
    EXPECT_EQ(RS232_GetLastAnswer(), RS232_REPLY_REFUSED);
    /* The Kaltro answers its own commands itself, at once. */
    countReads();
    RS232_SetConfigType(3);
    EXPECT_EQ(quietWaits, 2);
    EXPECT_EQ(RS232_GetDrainAnswer(), RS232_REPLY_NONE);
}
