/* answers.cpp -- answers for message boxes and file dialogs, given in the
 * user's place: a test queues them before it does what opens the box.
 *
 * State: the queued answers and file names, and the text of the last message
 * box. Both hooks of the layer (winqt.h) are set once the program under test
 * uses any of the answer functions (the linker then takes this file in):
 * every box then reports its text here and is never shown, since no test could press its button: a
 * box nobody queued an answer for is answered OK (which a question box takes as No). So a box that
 * only some machines show (a serial port refused to an ordinary user) cannot hang a test.
 */
#include "platform/testsupport/wintest.h"
#include "platform/winqt.h"

#include <deque>
#include <optional>
#include <string>

namespace
{
std::deque<int> answers;
std::deque<std::optional<std::string>> fileNames;
std::wstring lastText;
} // namespace

static int answerBox(const wchar_t *text)
{
    lastText = text;
    if (answers.empty()) return IDOK;
    const int a = answers.front();
    answers.pop_front();
    return a;
}

static int answerFile(std::string *path)
{
    if (fileNames.empty()) return 0;
    std::optional<std::string> name = fileNames.front();
    fileNames.pop_front();
    if (!name) return -1;
    *path = *name;
    return 1;
}

/* Set before main: the layer's hooks start out empty, so this runs after. */
static const bool hooked = (winqt::boxAnswer = answerBox, winqt::fileAnswer = answerFile, true);

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
