/* test_ops.cpp -- the device operations' step machines driven as a shell
 * drives them, against kaltro-sim on a thread through the real serial code:
 * for each operation the outcome, its text and place, for success and for
 * the faults the simulator makes, and what the device or the Kaltro holds
 * afterwards. One test per operation, its cases in a table. */
#include "ops/devop.h"
#include "ops/enop.h"
#include "ops/readop.h"
#include "ops/setop.h"
#include "ops/xferop.h"

#include "config/image.h"
#include "config/texts.h"
#include "link/rs232.h"
#include "link/rs232os.h"
#include "tests/support/simthread.h"

#include <algorithm>
#include <functional>
#include <string_view>
#include <thread>
#include <tuple>

namespace
{

/* Every wait asked for (Tick, Linger, Sleep) is cut to this: the simulated
 * device needs none of a real one's rests. */
constexpr unsigned WAIT_CAP_MS = 5;
constexpr int STEP_CAP = 100;              /* more steps than any run here takes */
constexpr int ANY = -2;                    /* a Where not checked */
constexpr int ERR = TX_TRANSMISSION_ERROR; /* the text of most failures */

/* What a case does once the progress reaches MARK: nothing, unplug the
 * Kaltro (stop the simulator), or cancel. */
enum Act { GO_ON, UNPLUG, CANCEL };
constexpr int MARK = 25;

/* A case of an operation: the simulator's options, what is done to the
 * run, the outcome with its text and Where; for a transfer its mode and
 * how the simulator's reception ended. */
struct Case {
    const char *what;
    std::vector<std::string> args;
    Act act;
    OpsOutcome_t outcome;
    int text, where, mode = 0;
    SIM_TransferEnd simEnd = SIM_TransferEnd::Done;
};

/* Bare carriage returns written to the port: closings, and the start of
 * each identification. */
int Returns = 0;

/* What the operation told its display. */
struct Seen {
    std::vector<int> texts, percents;
    std::vector<unsigned> lingers;
    unsigned slept = 0;
    int ends = 0, percentAtEnd = -1;
    OpsEnd_t end{OPS_CANCELLED, -1, -1};
    bool finished = false, due = false;
    unsigned dueMs = 0;
    int closedInSteps = 0, closedByCancel = 0;
    int Percent() const { return percents.empty() ? -1 : percents.back(); }
};

/* The fixture is a shell without windows: it records what it is told and
 * runs the steps; the simulator serves on a thread. */
class Operation : public testing::Test
{
  protected:
    PortsFolder ports;
    SimThread sim;
    Seen seen;
    static Seen &of(void *ctx) { return static_cast<Operation *>(ctx)->seen; }
    static void due(void *c, unsigned ms)
    {
        of(c).due = true;
        of(c).dueMs = ms;
    }
    /* The outcome is seen for a while, then the closing step runs. */
    static void linger(void *c, unsigned ms)
    {
        of(c).lingers.push_back(ms);
        due(c, ms);
    }
    const OpsDisplay_t disp{
        this,
        [](void *c, int id) { of(c).texts.push_back(id); },
        [](void *c, int p) { of(c).percents.push_back(p); },
        due,
        linger,
        [](void *c, unsigned ms) {
            of(c).slept += ms;
            RS232_Pause(std::min(ms, WAIT_CAP_MS)); /* watched, as the shells' pauses are */
        },
        [](void *c, const OpsEnd_t *e) {
            of(c).ends++;
            of(c).end = *e;
            of(c).percentAtEnd = of(c).Percent();
        },
        [](void *c) { of(c).finished = true; },
    };

    void SetUp() override
    {
        Returns = 0;
        RS232_GetOsCalls()->Write = [](int fd, const void *buf, std::size_t len) {
            if (len == 1 && *static_cast<const char *>(buf) == '\r') Returns++;
            return RS232_DefaultOsCalls().Write(fd, buf, len);
        };
    }
    void TearDown() override
    {
        RS232_Term();
        sim.Stop();
        *RS232_GetOsCalls() = RS232_DefaultOsCalls();
    }
    /* A new simulator with a powered device and args, its port opened as
     * the start-up window leaves it, and the main window's table for model m
     * (KX-103 3, KX-108 8) with its defaults. */
    void Connect(std::vector<std::string> args, int m = 3)
    {
        RS232_Term();
        args.insert(args.begin(), {"--voltage", "6", "--power-delay", "0"});
        ASSERT_GT(sim.Start(args), 0);
        ASSERT_EQ(RS232_OpenPort(sim.port), RS232_OK);
        seen = Seen{};
        VelnorData = VelnorData_t{};
        VelnorData.Model = static_cast<std::int8_t>(m);
        MAIN_InitStruct();
    }
    std::string State(const std::string &text) { return ports.dir.File("state.txt", text); }

    /* Runs the steps at the times asked for (a step's wait is not watched,
     * as a window's timer is not) until none is due or the operation
     * Finished, doing act at MARK; then closes with how, as a shell does,
     * and returns what the cancel says. */
    OpsEnd_t Run(const OpsOperation_t &op, OpsCancel_t how = OPS_CLOSE, Act act = GO_ON,
                 const std::function<void()> &beforeUnplug = nullptr)
    {
        const int before = Returns;
        int steps = 0;
        for (; seen.due && !seen.finished && steps < STEP_CAP; steps++) {
            seen.due = false;
            std::this_thread::sleep_for(
                std::chrono::milliseconds(std::min(seen.dueMs, WAIT_CAP_MS)));
            op.Step();
            if (act == CANCEL && seen.Percent() >= MARK) break;
            if (act == UNPLUG && seen.Percent() >= MARK && sim.worker.joinable()) {
                if (beforeUnplug) beforeUnplug();
                sim.Stop();
            }
        }
        EXPECT_LT(steps, STEP_CAP) << "the steps never end";
        seen.closedInSteps = Returns - before;
        const OpsEnd_t e = op.Cancel(how);
        seen.closedByCancel = Returns - before - seen.closedInSteps;
        return e;
    }
    /* The outcome as the cancel tells it, reported once, and the exchange
     * closed that many times (never on a lost port). */
    void ExpectEnd(const OpsEnd_t &e, OpsOutcome_t outcome, int text, int where, int closed = 1)
    {
        EXPECT_EQ(e.Outcome, outcome) << OPS_OutcomeName(e.Outcome);
        EXPECT_EQ(e.TextId, text);
        EXPECT_EQ(e.Where, where == ANY ? e.Where : where);
        EXPECT_EQ(seen.ends, outcome == OPS_CANCELLED ? 0 : 1);
        EXPECT_EQ(std::tie(seen.end.Outcome, seen.end.Where), std::tie(e.Outcome, e.Where));
        const int closings = seen.closedInSteps + seen.closedByCancel;
        if (outcome == OPS_LINE_LOST) closed = 0;
        EXPECT_EQ(closings, closed == ANY ? closings : closed);
    }
};

TEST_F(Operation, ReadOut)
{
    /* Eight bands. Commands before them: the port's opening (2) and the
     * read-out's (3); --stop-after 12 leaves the last band unanswered. */
    const std::string state = State("dbase=0x23\nub.4=1210.5,46,-21,11720,H,1,0\nub.6=empty\n");
    const Case cases[] = {
        {"done", {"--state", state}, GO_ON, OPS_DONE, TX_UPLOAD_FINISHED, -1},
        {"Kaltro silent", {"--stop-after", "2"}, GO_ON, OPS_NO_KALTRO, TX_NO_REPLY_KALTRO, -1},
        {"no device", {"--no-device"}, GO_ON, OPS_NO_DEVICE, TX_NO_DEVICE, -1},
        {"another model", {"--model", "KX-107"}, GO_ON, OPS_REFUSED, TX_WRONG_DEVICE, -1},
        {"bands refused", {"--refuse", "lnbg"}, GO_ON, OPS_REFUSED, ERR, 0},
        {"band unanswered", {"--stop-after", "12"}, GO_ON, OPS_NO_DEVICE, ERR, 7},
        {"unplugged", {}, UNPLUG, OPS_LINE_LOST, ERR, ANY},
        {"cancelled", {}, CANCEL, OPS_CANCELLED, -1, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Connect(c.args);
        /* The rows in reverse UBNo order, nothing of the device's in them. */
        VelnorData.UBNumber = 8;
        for (int r = 0; r < 8; r++) {
            VelnorCfg[r].UBNo = static_cast<std::uint8_t>(7 - r);
            VelnorCfg[r].UBFreq = 999;
        }
        if (c.outcome == OPS_DONE) READOP_ReadVersion();
        READOP_Open(&disp);
        int asked = -1;
        const OpsEnd_t e =
            Run(READOP_Operation, OPS_CLOSE, c.act, [&] { asked = SIM_CommandCount("lnbg"); });
        /* A band lost to the port is the first not asked for. */
        ExpectEnd(e, c.outcome, c.text, c.act == UNPLUG ? asked : c.where);
        EXPECT_TRUE(c.act != CANCEL || SIM_CommandCount("lnbg") == 2) << "nothing after it";
        /* Once reading began, row k is band k's, also where the band did not come. */
        for (int k = 0; k < 8; k++)
            EXPECT_EQ(static_cast<int>(VelnorCfg[k].UBNo), seen.texts.empty() ? 7 - k : k) << k;
        if (c.outcome != OPS_DONE) continue;
        EXPECT_TRUE(seen.finished);
        EXPECT_EQ(seen.Percent(), 100);
        EXPECT_GE(seen.slept, 7 * 100u) << "the device rests between bands";
        EXPECT_EQ(VelnorData.DBaseVersion, 0x23);
        SIM_Device dev;
        SIM_GetDevice(&dev);
        for (int k = 0; k < 8; k++) {
            SCOPED_TRACE(k);
            const VelnorCfg_t &row = VelnorCfg[k];
            EXPECT_EQ(row.Active != 0, dev.ub[k].used);
            if (!dev.ub[k].used) continue;
            const SIM_UB &ub = dev.ub[k];
            EXPECT_EQ(std::tuple(row.UBFreq, row.UBFreqDec, row.BW, row.AGCVal, row.ConvFreq),
                      std::tuple(ub.freq, ub.dec, ub.bw, ub.level, ub.conv));
        }
    }
}

TEST_F(Operation, Transfer)
{
    /* Modes 1 and 2 send eight 1024-byte packets; no answer is waited for
     * longer than 1 s. A run is closed as brevant-cli closes one after a
     * signal or a time-out, abandoning the Kaltro's reception, except in
     * "closed", the windows' Cancel. */
    using End = SIM_TransferEnd;
    std::vector<unsigned char> pattern(8192);
    for (std::size_t i = 0; i < pattern.size(); i++)
        pattern[i] = static_cast<unsigned char>(i * 7 + i / 256);
    const Case cases[] = {
        {"device image", {}, GO_ON, OPS_DONE, TX_SW_UPGRADE_OK, -1, 0, End::Done},
        {"Kaltro software", {}, GO_ON, OPS_DONE, TX_SW_UPGRADE_OK, -1, 1, End::Done},
        {"stored configuration", {}, GO_ON, OPS_DONE, TX_SW_UPGRADE_OK, -1, 2, End::Done},
        {"wrong file", {"--can-at", "1"}, GO_ON, OPS_REFUSED, TX_WRONG_FILE, 1, 1, End::Cancelled},
        {"three NAKs", {"--nak", "3"}, GO_ON, OPS_REFUSED, ERR, 1, 2, End::Cancelled},
        {"receiver mute", {"--mute-at", "2"}, GO_ON, OPS_TIMED_OUT, ERR, 2, 1, End::Cancelled},
        {"no verdict", {"--no-verdict"}, GO_ON, OPS_TIMED_OUT, ERR, ANY, 0, End::Done},
        {"image refused", {}, GO_ON, OPS_REFUSED, TX_WRONG_FILE, ANY, 0, End::Done},
        {"abandoned", {}, CANCEL, OPS_CANCELLED, -1, -1, 1, End::Cancelled},
        {"closed", {}, CANCEL, OPS_CANCELLED, -1, -1, 1, End::Running},
        {"unplugged", {}, UNPLUG, OPS_LINE_LOST, ERR, ANY, 1, End::Running},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Connect(c.args);
        unsigned char device[BREVCFG_IMAGE_MAX];
        const int deviceSize = BREVCFG_CompileMxL(VelnorCfg, &VelnorData, device);
        if (std::string_view(c.what) == "image refused") device[5] ^= 1; /* its CRC is wrong */
        const unsigned char *image = c.mode == 0 ? device : pattern.data();
        const int size = c.mode == 0 ? deviceSize : 8192;
        const XferArgs_t args = {c.mode, image, size, 1000};
        XFEROP_Open(&args, &disp);
        SIM_Transfer t{};
        const OpsCancel_t how = std::string_view(c.what) == "closed" ? OPS_CLOSE : OPS_ABANDON;
        const OpsEnd_t e =
            Run(XFEROP_Operation, how, c.act, [&] { SIM_GetTransfer(&t, nullptr, 0); });
        /* Lost at the packet after the last one taken. */
        ExpectEnd(e, c.outcome, c.text, c.act == UNPLUG ? t.packets + 1 : c.where);
        if (c.act == UNPLUG) continue;
        /* An abandoned reception ends at once, a closed one goes on. */
        if (c.simEnd == End::Running) std::this_thread::sleep_for(std::chrono::milliseconds(300));
        std::vector<unsigned char> got(SIM_IMAGE_MAX);
        int received = 0;
        for (int i = 0; i < 100; i++) { /* its end, within a second */
            received = SIM_GetTransfer(&t, got.data(), SIM_IMAGE_MAX);
            if (t.end == c.simEnd) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        EXPECT_EQ(t.end, c.simEnd);
        EXPECT_TRUE(how == OPS_CLOSE || RS232_KaltroIdentification() == RS232_OK)
            << "the Kaltro takes commands again at once";
        if (c.outcome != OPS_DONE) continue;
        EXPECT_EQ(static_cast<int>(t.kind), c.mode + 1) << "device, Kaltro software, its memory";
        ASSERT_GE(received, size);
        EXPECT_TRUE(std::equal(image, image + size, got.begin()));
        EXPECT_EQ(seen.Percent(), 100);
        EXPECT_EQ(std::ranges::count(seen.texts, TX_VERIFICATION), c.mode == 0 ? 1 : 0);
        if (c.mode == 0) {
            /* Accepted by the device: nothing lingers, the shell closes. */
            EXPECT_TRUE(seen.lingers.empty());
            EXPECT_FALSE(seen.finished);
            SIM_Device dev;
            SIM_GetDevice(&dev);
            for (int r = 0; r < 24; r++)
                EXPECT_EQ(dev.ub[VelnorCfg[r].UBNo].freq, VelnorCfg[r].UBFreq) << r;
        } else {
            EXPECT_EQ(seen.lingers, std::vector<unsigned>{10000});
            EXPECT_TRUE(seen.finished);
            EXPECT_EQ(seen.closedInSteps, 1) << "the closing step closes";
        }
    }
}

TEST_F(Operation, ENProgramming)
{
    /* Twelve rows, row 5 inactive (it takes no space), row 3 static.
     * Commands before the rows: the port's opening (2) and the
     * programming's (4); --stop-after 16 leaves row 10 unanswered. */
    const Case cases[] = {
        {"done", {}, GO_ON, OPS_DONE, TX_SW_UPGRADE_OK, -1},
        {"room for five", {"--no-space", "5"}, GO_ON, OPS_REFUSED, TX_NO_MORE_SPACE, 6},
        {"device silent", {"--stop-after", "16"}, GO_ON, OPS_NO_DEVICE, ERR, 10},
    };
    std::string empty = "model=KX-108\n";
    for (int k = 0; k < 32; k++)
        empty += "ub." + std::to_string(k) + "=empty\n";
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        auto args = c.args;
        args.insert(args.end(), {"--state", State(empty)});
        Connect(args, 8);
        VelnorData.UBNumber = 12;
        VelnorCfg[5].Active = 0;
        VelnorCfg[3].StaticMode = 1;
        VelnorCfg[3].ConvFreq = 11000;
        VelnorCfg[3].ConvPol = 'H';
        ENOP_Open(&disp);
        ExpectEnd(Run(ENOP_Operation), c.outcome, c.text, c.where, ANY);
        EXPECT_EQ(seen.closedInSteps, 1) << "the closing step closes";
        EXPECT_TRUE(c.outcome != OPS_DONE || seen.percentAtEnd == 100) << "100 % first";
        /* The rows before a failure stay programmed; none after it is sent. */
        const int programmed = c.where < 0 ? 12 : c.where;
        EXPECT_EQ(SIM_CommandCount("entp"), std::min(programmed + 1, 12));
        SIM_Device dev;
        SIM_GetDevice(&dev);
        for (int k = 0; k < 12; k++)
            EXPECT_EQ(dev.ub[k].used ? dev.ub[k].freq : 0,
                      k < programmed && k != 5 ? VelnorCfg[k].UBFreq : 0)
                << k;
        EXPECT_EQ(dev.ub[3].conv, 11000);
        EXPECT_EQ(dev.ub[3].pol, 1);
    }
}

TEST_F(Operation, DeviceSettings)
{
    /* Commands before the read: the port's opening (2) and the tone (1),
     * then twelve queries; a read that ends at a silent query (readWhere)
     * writes nothing. Chosen: EN50494+, inputs, output, chain. */
    const std::string st = State("sn=77\nlo_low=9750\nlo_high=10600\nen50494plus=0\nwideband=0\n");
    const struct {
        const char *what;
        std::vector<std::string> args;
        int readWhere, chosen[SETOP_OPTION_COUNT];
        OpsOutcome_t write;
        int writeWhere;
    } cases[] = {
        {"refused", {"--refuse", "lnah", "--state", st}, -1, {1, 1, -1, 2}, OPS_REFUSED, 0},
        {"slow", {"--reply-delay", "350"}, -1, {1, 1, -1, 2}, OPS_DONE, -1},
        {"silent after the read", {"--stop-after", "15"}, -1, {1, -1, -1, 0}, OPS_NO_DEVICE, 0},
        {"silent at the chain", {"--stop-after", "14"}, 12, {}, OPS_DONE, -1},
    };
    const SetopValues_t *v = SETOP_Values();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Connect(c.args);
        SETOP_Open(&disp);
        SETOP_StartRead();
        const bool read = c.readWhere < 0;
        ExpectEnd(Run(SETOP_Operation), read ? OPS_DONE : OPS_NO_DEVICE, read ? -1 : ERR,
                  c.readWhere, 0);
        EXPECT_EQ(std::wstring(v->Field[SETOP_MODEL]), L"KX-103");
        if (!read) continue;
        EXPECT_TRUE(v->Writable);
        if (c.chosen[SETOP_INPUTS] >= 0) SETOP_ChooseInputs(c.chosen[SETOP_INPUTS]);
        seen = Seen{};
        SETOP_StartWrite(c.chosen);
        ExpectEnd(Run(SETOP_Operation), c.write, c.write == OPS_DONE ? TX_CONFIG_UPGRADE_OK : ERR,
                  c.writeWhere, 0);
        if (c.write != OPS_REFUSED) continue;
        /* The write went on past the refusal, and the next read shows it. */
        EXPECT_EQ(std::wstring(v->Field[SETOP_SN]), L"77");
        EXPECT_EQ(std::wstring(v->Field[SETOP_LO]), L"9750 / 10600");
        seen = Seen{};
        SETOP_StartRead();
        EXPECT_EQ(Run(SETOP_Operation).Outcome, OPS_DONE);
        EXPECT_EQ(v->Entry[SETOP_EN50494], 0);
        EXPECT_EQ(v->Entry[SETOP_INPUTS], 1);
        EXPECT_EQ(v->Entry[SETOP_CHAIN], 2);
    }
}

TEST_F(Operation, PowerAndIdentify)
{
    static unsigned slept;
    const DEVOP_Sleep_t sleep = [](unsigned ms) {
        slept += ms;
        RS232_Pause(std::min(ms, 200u)); /* the device starts after 50 ms */
    };
    Connect({"--voltage", "0", "--power-delay", "50"});
    int model = -1;
    slept = 0;
    EXPECT_EQ(DEVOP_PowerAndIdentify(sleep, &model), OPS_DONE);
    EXPECT_EQ(model, 3);
    EXPECT_EQ(slept, 5000u) << "the device's start is waited for";

    slept = 0;
    EXPECT_EQ(DEVOP_PowerAndIdentify(sleep, &model), OPS_DONE);
    EXPECT_EQ(slept, 0u) << "a powered device is not started again";
    EXPECT_EQ(SIM_CommandCount("setv"), 1);

    Connect({"--no-device"});
    EXPECT_EQ(DEVOP_PowerAndIdentify(sleep, &model), OPS_NO_DEVICE);
    EXPECT_EQ(model, -1);
}

} // namespace
