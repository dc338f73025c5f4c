/* boxes.cpp -- message boxes and the open-file and save-file dialogs, with
 * the answers a test can queue for them.
 *
 * State: the queued answers and file names, and the text of the last
 * message box. While an answer is queued no box is shown at all.
 */
#include "platform/winqt.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include <cstring>
#include <deque>
#include <optional>
#include <string>

using namespace winqt;

namespace
{
std::deque<int> *answers;
std::deque<std::optional<std::string>> *fileNames;
std::wstring *lastText;
} // namespace

static QWidget *ownerWidget(HWND owner)
{
    WinWindow *o = liveTop(owner);
    return o ? o->frame.data() : nullptr;
}

int WIN_MessageBox(HWND owner, const wchar_t *text, const wchar_t *caption, unsigned type)
{
    WIN_Init(0, nullptr);
    if (!lastText) lastText = new std::wstring;
    *lastText = text ? text : L"";
    bool yesNo = (type & 0xF) == MB_YESNO;
    if (answers && !answers->empty()) {
        int a = answers->front();
        answers->pop_front();
        return a;
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

void WIN_QueueMessageBoxAnswer(int answer)
{
    if (!answers) answers = new std::deque<int>;
    answers->push_back(answer);
}

const wchar_t *WIN_LastMessageBoxText()
{
    return lastText ? lastText->c_str() : L"";
}

void WIN_QueueFileName(const char *path)
{
    if (!fileNames) fileNames = new std::deque<std::optional<std::string>>;
    if (path)
        fileNames->push_back(std::string(path));
    else
        fileNames->push_back(std::nullopt);
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
    if (fileNames && !fileNames->empty()) {
        std::optional<std::string> name = fileNames->front();
        fileNames->pop_front();
        if (!name) return false;
        chosen = save ? withDefaultExtension(*name, fd->defExt) : *name;
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
