/* boxes.cpp -- message boxes and the open-file and save-file dialogs.
 *
 * State: none but the two hooks of winqt.h, which the program leaves empty;
 * the test support sets them to answer boxes and dialogs in the user's place.
 */
#include "platform/winqt.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include <cstring>
#include <string>

using namespace winqt;

int (*winqt::boxAnswer)(const wchar_t *text) = nullptr;
int (*winqt::fileAnswer)(std::string *path) = nullptr;

static QWidget *ownerWidget(HWND owner)
{
    WinWindow *o = liveTop(owner);
    return o ? o->frame.data() : nullptr;
}

int WIN_MessageBox(HWND owner, const wchar_t *text, const wchar_t *caption, unsigned type)
{
    WIN_Init(0, nullptr);
    bool yesNo = (type & 0xF) == MB_YESNO;
    if (boxAnswer) {
        if (int a = boxAnswer(text ? text : L"")) return a;
    }
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

/* A name typed without an extension gets the default one. */
static std::string withDefaultExtension(const std::string &path, const wchar_t *defExt)
{
    if (!defExt || !*defExt) return path;
    if (!QFileInfo(QString::fromStdString(path)).suffix().isEmpty()) return path;
    return path + "." + qstr(defExt).toStdString();
}

static bool chooseFile(WIN_FileDialog *fd, bool save)
{
    WIN_Init(0, nullptr);
    if (!fd || !fd->path || fd->pathMax <= 0) return false;
    std::string chosen;
    const int given = fileAnswer ? fileAnswer(&chosen) : 0;
    if (given < 0) return false;
    if (given > 0) {
        if (save) chosen = withDefaultExtension(chosen, fd->defExt);
    } else {
        flushPending();
        QFileDialog dlg(ownerWidget(fd->owner));
        dlg.setWindowModality(Qt::ApplicationModal);
        dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        dlg.setNameFilter(QString("%1 (%2)").arg(qstr(fd->filterName), qstr(fd->pattern)));
        if (fd->defExt) dlg.setDefaultSuffix(qstr(fd->defExt));
        if (save) dlg.setOption(QFileDialog::DontConfirmOverwrite);
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
        chosen = dlg.selectedFiles().first().toStdString();
    }
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
