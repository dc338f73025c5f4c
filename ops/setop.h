/* setop.h -- the device settings as two step sequences: the read of the
 * device's identity, versions, serial number, LO frequencies, UB count,
 * temperature and four options into VelnorData, one query per step, and the
 * write of those options back, one setter per step, each checked for the
 * device's acknowledgement.
 *
 * The device settings dialog shows the fields and option boxes and drives the
 * steps from its timers; brevant-cli keeps them in memory and drives the
 * steps from a loop. The UB table itself is never touched.
 */
#pragma once

/* The value fields, in the order of the read. */
enum SetopField_t : int {
    SETOP_MODEL,
    SETOP_SW,
    SETOP_FW,
    SETOP_DBASE,
    SETOP_SN,
    SETOP_LO,
    SETOP_UBS,
    SETOP_TEMP,
    SETOP_FIELD_COUNT
};
/* The options, in the order of the read and of the write. */
enum SetopOption_t : int {
    SETOP_EN50494,
    SETOP_INPUTS,
    SETOP_OUTPUT,
    SETOP_CHAIN,
    SETOP_OPTION_COUNT
};

/* Wide characters of a field's text. */
constexpr int SETOP_FIELD_LEN = 64;
/* Chain list entries after "No": the single outputs, or half as many pairs. */
constexpr int SETOP_CHAIN_OUTPUTS = 8;

/* Label texts (TX_) of the fields and of the options. */
extern const int SETOP_FieldLabels[SETOP_FIELD_COUNT];
extern const int SETOP_OptionLabels[SETOP_OPTION_COUNT];
/* The entries of each option's list as texts; the chain list has only its
 * "No" here, the shell adds the outputs or the pairs (see ChainList). */
struct SetopEntries_t {
    int Texts[3];
    int Count;
};
extern const SetopEntries_t SETOP_OptionEntries[SETOP_OPTION_COUNT];

struct SetopDisplay_t {
    void *Ctx;
    /* A field shows text. */
    void (*Field)(void *ctx, int field, const wchar_t *text);
    /* An option shows entry and may be changed by the user (enable) or not. */
    void (*Option)(void *ctx, int option, int entry, bool enable);
    /* The chain list rebuilt after "No": the pairs "1+2" .. "7+8" (pairs) or
     * the outputs "1" .. "8"; "No" is selected. */
    void (*ChainList)(void *ctx, bool pairs);
    /* The entry of option the user has chosen. */
    int (*Chosen)(void *ctx, int option);
    /* Whether a write may start: off when a read starts, on after a read
     * that gave at least one option to write. */
    void (*Writable)(void *ctx, bool any);
    /* A setter of option was sent; acked: the device acknowledged it. May
     * be nullptr: the write's end tells whether all were. */
    void (*Written)(void *ctx, int option, bool acked);
    /* The next step is due in ms milliseconds; a step that calls neither this
     * nor Done ended its sequence. */
    void (*Tick)(void *ctx, unsigned ms);
    /* A sequence ended with a message (TX_): the write's result, or
     * "Transmission error" for a port lost during either. */
    void (*Done)(void *ctx, int textId);
};

/* Opens the settings on d (kept until the next opening): the fields show
 * their placeholders, the options their first entries and none may be
 * changed; the device's 22 kHz tone is switched off. */
void SETOP_Open(const SetopDisplay_t *d);
/* Starts the read; its first step is due through Tick. */
void SETOP_StartRead();
/* Starts the write of the options a complete read enabled; first step due
 * through Tick. */
void SETOP_StartWrite();
/* Runs the step that is due. */
void SETOP_Step();
/* The user chose inputs entry (0 Quattro, 1 Wide Band): kept in VelnorData
 * and the chain list rebuilt for it. */
void SETOP_ChooseInputs(int entry);
/* Whether option may be changed and written after the last read. */
bool SETOP_Enabled(int option);
/* The text of chain list entry (1 and up): the output pair "3+4" or the
 * output "3". */
void SETOP_ChainEntryText(int entry, bool pairs, wchar_t *text, int len);
/* Whether the chain list holds output pairs for VelnorData's model and
 * inputs. */
bool SETOP_ChainPairs();
