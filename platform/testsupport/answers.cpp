/* answers.cpp -- answers for message boxes and file dialogs, given in the
 * user's place: a test queues them before it does what opens the box; and
 * the bell, counted instead of rung.
 *
 * State: the queued answers and file names, the text of the last message
 * box, and the rings of the bell. The box, file and bell entries of the
 * layer's user table (winqt.h) are put in place once the program under test
 * uses any of the functions here (the linker then takes this file in): every
 * box then reports its text here and is never shown, since no test could
 * press its button: a box nobody queued an answer for is answered OK (which
 * a question box takes as No). So a box that only some machines show (a
 * serial port refused to an ordinary user) cannot hang a test. A file dialog
 * with no name queued is shown as usual.
 */
#include "platform/testsupport/wintest.h"
#include "platform/winqt.h"

#include <QFileInfo>

#include <deque>
#include <optional>
#include <string>

namespace
{
/* The layer's own file dialog, for a dialog no name was queued for. */
bool (*const showFileDialog)(const WIN_FileDialog *, bool,
                             std::string *) = winqt::userCalls().ChooseFile;
std::deque<int> answers;
std::deque<std::optional<std::string>> fileNames;
std::wstring lastText;
std::string lastFolder;
int beeps = 0;
} // namespace

static int answerBox(HWND, const wchar_t *text, const wchar_t *, unsigned)
{
    lastText = text;
    if (answers.empty()) return IDOK;
    const int a = answers.front();
    answers.pop_front();
    return a;
}

/* A name without an extension gets the default one, as a save dialog gives
 * it to a typed name. */
static std::string withDefaultExtension(const std::string &path, const wchar_t *defExt)
{
    if (!defExt || !*defExt) return path;
    if (!QFileInfo(QString::fromStdString(path)).suffix().isEmpty()) return path;
    return path + "." + winqt::qstr(defExt).toStdString();
}

static bool answerFile(const WIN_FileDialog *fd, bool save, std::string *path)
{
    lastFolder = fd->folder != nullptr ? fd->folder : "";
    if (fileNames.empty()) return showFileDialog(fd, save, path);
    std::optional<std::string> name = fileNames.front();
    fileNames.pop_front();
    if (!name) return false;
    *path = save ? withDefaultExtension(*name, fd->defExt) : *name;
    return true;
}

static void countBeep()
{
    beeps++;
}

/* Set before main, after showFileDialog above has kept the layer's own. */
static const bool answering =
    (winqt::userCalls().MessageBox = answerBox, winqt::userCalls().ChooseFile = answerFile,
     winqt::userCalls().Beep = countBeep, true);

int WIN_BeepCount()
{
    return beeps;
}

void WIN_QueueMessageBoxAnswer(int answer)
{
    answers.push_back(answer);
}

const wchar_t *WIN_LastMessageBoxText()
{
    return lastText.c_str();
}

void WIN_QueueFileName(const char *path)
{
    if (path)
        fileNames.push_back(std::string(path));
    else
        fileNames.push_back(std::nullopt);
}

const char *WIN_LastFileFolder()
{
    return lastFolder.c_str();
}
