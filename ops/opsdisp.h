/* opsdisp.h -- what a device operation's step machine tells whoever shows
 * it: a dialog (its status line, bar, OK button and timer) or the terminal.
 *
 * A step machine calls these in the order the steps do them; the shell
 * decides how each looks. Ctx is the shell's own (the dialog's window).
 */
#pragma once

/* Colours of the status text: progress, errors, success. */
enum OpsColour_t : int { OPS_BLACK = 0, OPS_RED = 1, OPS_GREEN = 2 };

struct OpsDisplay_t {
    void *Ctx;
    /* The status text TXT(textId) in colour. */
    void (*Show)(void *ctx, int textId, OpsColour_t colour);
    /* Progress, 0 to 100. */
    void (*Progress)(void *ctx, int percent);
    /* Whether OK may end the operation now. */
    void (*EnableOK)(void *ctx, bool enable);
    /* The next step is due in ms milliseconds; a step that calls nothing of
     * this has no step after it (the operation waits for OK or Cancel). */
    void (*Tick)(void *ctx, unsigned ms);
    /* A pause inside a step: the device's rest between two exchanges. */
    void (*Sleep)(void *ctx, unsigned ms);
    /* The operation has ended by itself with result. */
    void (*End)(void *ctx, int result);
};
