/* boxes.cpp -- message boxes, the open-file and save-file dialogs and the
 * bell, and the table of winqt.h through which they, the pauses and the
 * timers reach the user and the clock.
 *
 * State: that table, holding the real entries below unless another library
 * (the test support) has put its own in place.
 */
#include "platform/winqt.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include <cstring>
#include <string>

using namespace winqt;

static QWidget *ownerWidget(HWND owner)
{
    WinWindow *o = liveTop(owner);
    return o ? o->frame.data() : nullptr;
}

/* ---- The real user and clock ---------------------------------------------------- */

static int askBox(HWND owner, const wchar_t *text, const wchar_t *caption, unsigned type)
{
    bool yesNo = (type & 0xF) == MB_YESNO;
    flushPending();
    QMessageBox box(ownerWidget(owner));
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowTitle(qstr(caption));
    box.setText(qstr(text));
    /* the icon bits hold one value, as on Win32: 0x30 is not 0x20 | 0x10 */
    if ((type & 0xF0) == MB_ICONWARNING)
        box.setIcon(QMessageBox::Warning);
    else if (type & MB_ICONQUESTION)
        box.setIcon(QMessageBox::Question);
    else if (type & MB_ICONINFORMATION)
        box.setIcon(QMessageBox::Information);
    if (yesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    int r = box.exec();
    if (!yesNo) return IDOK;
    return r == QMessageBox::Yes ? IDYES : IDNO;
}

static bool askFile(const WIN_FileDialog *fd, bool save, std::string *path)
{
    flushPending();
    QFileDialog dlg(ownerWidget(fd->owner));
    dlg.setWindowModality(Qt::ApplicationModal);
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dlg.setNameFilter(QString("%1 (%2)").arg(qstr(fd->filterName), qstr(fd->pattern)));
    if (fd->defExt) dlg.setDefaultSuffix(qstr(fd->defExt));
    if (fd->folder && *fd->folder) dlg.setDirectory(QString::fromUtf8(fd->folder));
    if (save) dlg.setOption(QFileDialog::DontConfirmOverwrite);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
    *path = dlg.selectedFiles().first().toStdString();
    return true;
}

static double realMillis(unsigned ms)
{
    return ms;
}

static void ringBell()
{
    QApplication::beep();
}

/* In place before any code runs, so before any other library's entries. */
static constinit UserCalls inUse = {askBox, askFile, realMillis, ringBell};

UserCalls &winqt::userCalls()
{
    return inUse;
}

/* ---- Boxes and file dialogs ------------------------------------------------------ */

int WIN_MessageBox(HWND owner, const wchar_t *text, const wchar_t *caption, unsigned type)
{
    WIN_Init(0, nullptr);
    return inUse.MessageBox(owner, text ? text : L"", caption, type);
}

static bool chooseFile(WIN_FileDialog *fd, bool save)
{
    WIN_Init(0, nullptr);
    if (!fd || !fd->path || fd->pathMax <= 0) return false;
    std::string chosen;
    if (!inUse.ChooseFile(fd, save, &chosen)) return false;
    /* A path that does not fit is no path: a cut one would name another file. */
    if (chosen.empty() || chosen.size() + 1 > static_cast<size_t>(fd->pathMax)) return false;
    std::memcpy(fd->path, chosen.c_str(), chosen.size() + 1);
    return true;
}

bool WIN_GetOpenFileName(WIN_FileDialog *fd)
{
    return chooseFile(fd, false);
}

bool WIN_GetSaveFileName(WIN_FileDialog *fd)
{
    return chooseFile(fd, true);
}

void WIN_Beep()
{
    WIN_Init(0, nullptr);
    inUse.Beep();
}
