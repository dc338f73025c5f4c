/* setop.h -- the device settings as two step sequences: the read of the
 * device's identity, versions, serial number, LO frequencies, UB count,
 * temperature and four options into VelnorData, one query per step, and the
 * write of those options back, one setter per step, each checked for the
 * device's acknowledgement.
 *
 * The device settings dialog shows the values in its fields and option boxes
 * and drives the steps from its timers; brevant-cli prints them and drives
 * the steps from a loop. The UB table itself is never touched.
 */
#pragma once

#include "ops/ops.h"

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
 * "No" here, the outputs or the pairs follow (SETOP_ChainEntryText). */
struct SetopEntries_t {
    int Texts[3];
    int Count;
};
extern const SetopEntries_t SETOP_OptionEntries[SETOP_OPTION_COUNT];

/* What the sequences have read and written, as plain values: the dialog
 * shows them in its fields and boxes after every step, brevant-cli prints
 * them. */
struct SetopValues_t {
    /* Each field's text: "Unknown" and "???" until read. */
    wchar_t Field[SETOP_FIELD_COUNT][SETOP_FIELD_LEN];
    /* The entry of each option's list that shows what the device holds. */
    int Entry[SETOP_OPTION_COUNT];
    /* Whether each option may be changed and written after the last read. */
    bool Settable[SETOP_OPTION_COUNT];
    /* The chain list holds output pairs ("1+2" .. "7+8"), else outputs. */
    bool ChainPairs;
    /* Counts the rebuilds of the chain list (each selects "No"). */
    int ChainBuilds;
    /* A write may start: off when a read starts, on after a read that came
     * to its end with an option to write. */
    bool Writable;
    /* The device's answer to each setter of the last write: RS232_REPLY_
     * ACCEPTED, _REFUSED or _NONE; -1 for a setter not sent. */
    int Written[SETOP_OPTION_COUNT];
};
const SetopValues_t *SETOP_Values();

/* Opens the settings on d: the fields show their placeholders, the options
 * their first entries and none may be changed; the device's 22 kHz tone is
 * switched off. Steps are due through d->Tick and the outcome comes through
 * d->Ended; d is kept until the next opening. */
void SETOP_Open(const OpsDisplay_t *d);
/* Starts the read into VelnorData and the values. Its outcome: done; no
 * device when no model answered (Where 1) or when the device stopped
 * answering (every query from step Where to the last got no reply at all;
 * "Transmission error"); line lost ("Transmission error"). Changes
 * VelnorData.Model, SWVersion, FWVersion, DBaseVersion, SN, LOFreqL/H,
 * UBNumber, Temperature, EN50494Plus, WideBand, Legacy and ChainConnection. */
void SETOP_StartRead();
/* Starts the write of the options a complete read made settable, with the
 * entries chosen[option]. Its outcome: done ("Configuration upgrade
 * successful!"); refused or no device at the first option (Where) whose
 * setter was refused or got no answer; line lost; all but done with
 * "Transmission error". */
void SETOP_StartWrite(const int chosen[SETOP_OPTION_COUNT]);
/* The steps of the running sequence; its cancel sends nothing (a setter
 * already sent stays sent). */
extern const OpsOperation_t SETOP_Operation;
/* The user chose inputs entry (0 Quattro, 1 Wide Band): kept in VelnorData
 * (WideBand) and the chain list rebuilt for it. */
void SETOP_ChooseInputs(int entry);
/* The label (TX_) of what read step step asks for, or -1. */
int SETOP_StepLabel(int step);
/* The entries of the chain list: "No", then the pairs or the outputs. */
int SETOP_ChainEntryCount(bool pairs);
/* The text of chain list entry (1 and up): the output pair "3+4" or the
 * output "3". */
void SETOP_ChainEntryText(int entry, bool pairs, wchar_t *text, int len);
