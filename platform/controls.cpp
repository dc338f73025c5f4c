/* controls.cpp -- child controls other than combo boxes: push buttons, check
 * boxes that do not toggle themselves, static texts, sunken labels, one-line
 * edit fields, read-only text boxes and progress bars; and what all controls share: creation,
 * texts and fonts.
 *
 * State: none of its own. Combo boxes are in combo.cpp. Values set from the
 * program never report anything: Qt's signals are blocked around them, and
 * only signals that Qt sends for the user's own actions are connected.
 */
#include "platform/winqt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QValidator>

using namespace winqt;

namespace
{

/* A check box that changes only when the program sets it; a click reports
 * BN_CLICKED and leaves the mark alone. */
class FixedCheckBox : public QCheckBox
{
  public:
    using QCheckBox::QCheckBox;

  protected:
    void nextCheckState() override {}
};

} // namespace

/* Turns typed letters to upper case and, for a field that does not scroll,
 * refuses text wider than the field shows. */
class TypingRule : public QValidator
{
  public:
    TypingRule(QLineEdit *edit, bool upper, bool fit)
        : QValidator(edit), edit(edit), upper(upper), fit(fit)
    {
    }
    State validate(QString &text, int &) const override
    {
        if (upper) text = text.toUpper();
        if (fit) {
            int frame = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit);
            int room = edit->width() - 2 * frame - 4; /* the edit keeps 2 pixels each side */
            if (edit->fontMetrics().horizontalAdvance(text) > room) return Invalid;
        }
        return Acceptable;
    }

  private:
    QLineEdit *edit;
    bool upper, fit;
};

void winqt::setTypingRule(QLineEdit *edit, unsigned style)
{
    bool upper = style & CS_UPPERCASE, fit = style & CS_NOHSCROLL;
    if (upper || fit) edit->setValidator(new TypingRule(edit, upper, fit));
}

static QWidget *makeButton(HWND h, WinControl kind, const QString &text, QWidget *parent)
{
    if (kind == WinControl::CheckBox) {
        auto *b = new FixedCheckBox(text, parent);
        QObject::connect(b, &QAbstractButton::clicked, [h] { notify(h, BN_CLICKED); });
        return b;
    }
    auto *b = new QPushButton(text, parent);
    b->setAutoDefault(false);
    b->setDefault(kind == WinControl::DefPushButton);
    QObject::connect(b, &QAbstractButton::clicked, [h] { notify(h, BN_CLICKED); });
    return b;
}

static QWidget *makeLabel(const QString &text, bool sunken, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setAutoFillBackground(true); /* statics fill with the dialog face */
    QPalette pal = l->palette();
    pal.setColor(QPalette::Window, qcolor(WIN_COLOR_DIALOG));
    pal.setColor(QPalette::WindowText, Qt::black);
    l->setPalette(pal);
    if (sunken) {
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        l->setLineWidth(1);
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        l->setIndent(1);
    } else {
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    return l;
}

HWND WIN_CreateControl(HWND parent, WinControl kind, const wchar_t *text, unsigned style, int x,
                       int y, int w, int h, int id)
{
    WinWindow *p = liveTop(parent);
    if (!p) return nullptr;
    WinWindow *c = newWindow(Kind::Control);
    HWND ch = handle(c);
    c->parent = parent;
    c->id = id;
    c->style = style;
    c->control = kind;
    c->font = p->kind == Kind::Dialog ? p->font : defaultControlFont();
    QString s = qstr(text);
    QWidget *parentWidget = p->client;
    QWidget *q = nullptr;
    switch (kind) {
    case WinControl::PushButton:
    case WinControl::DefPushButton:
    case WinControl::CheckBox: q = makeButton(ch, kind, s, parentWidget); break;
    case WinControl::ComboEdit:
    case WinControl::ComboList:
        q = createCombo(c, kind == WinControl::ComboEdit, parentWidget);
        break;
    case WinControl::Static:
    case WinControl::StaticSunken:
        q = makeLabel(s, kind == WinControl::StaticSunken, parentWidget);
        break;
    case WinControl::Edit: {
        auto *e = new QLineEdit(s, parentWidget);
        setTypingRule(e, style);
        QObject::connect(e, &QLineEdit::textEdited, [ch] { notify(ch, EN_CHANGE); });
        q = e;
        break;
    }
    case WinControl::TextBox: {
        auto *t = new QPlainTextEdit(s, parentWidget);
        t->setReadOnly(true);
        t->setLineWrapMode(QPlainTextEdit::NoWrap);
        q = t;
        break;
    }
    case WinControl::ProgressBar: {
        auto *b = new QProgressBar(parentWidget);
        b->setRange(0, 100);
        b->setValue(0);
        b->setTextVisible(false);
        q = b;
        break;
    }
    }
    c->widget = q;
    bindWidget(q, ch);
    q->setFont(c->font);
    bool label = kind == WinControl::Static || kind == WinControl::StaticSunken ||
                 kind == WinControl::ProgressBar;
    q->setFocusPolicy(label                  ? Qt::NoFocus
                      : (style & CS_TABSTOP) ? Qt::StrongFocus
                                             : Qt::ClickFocus);
    if (style & CS_DISABLED) q->setEnabled(false);
    if (kind == WinControl::ComboEdit || kind == WinControl::ComboList)
        placeCombo(c, x, y, w, h);
    else
        q->setGeometry(x, y, w, h);
    p->children.push_back(ch);
    q->show();
    return ch;
}

/* The control's widget when h is a live control of one of the given kinds. */
static QWidget *controlOf(HWND h)
{
    WinWindow *w = live(h);
    return w && w->kind == Kind::Control ? w->widget.data() : nullptr;
}

void WIN_SetWindowText(HWND h, const wchar_t *text)
{
    WinWindow *w = live(h);
    if (!w) return;
    QString s = qstr(text);
    if (w->kind != Kind::Control) {
        if (w->frame) w->frame->setWindowTitle(s);
        return;
    }
    QWidget *q = w->widget;
    if (!q) return;
    QSignalBlocker block(q);
    if (auto *b = qobject_cast<QAbstractButton *>(q))
        b->setText(s);
    else if (auto *l = qobject_cast<QLabel *>(q))
        l->setText(s);
    else if (auto *e = qobject_cast<QLineEdit *>(q))
        e->setText(s);
    else if (auto *t = qobject_cast<QPlainTextEdit *>(q))
        t->setPlainText(s);
    else if (auto *cb = qobject_cast<QComboBox *>(q)) {
        if (cb->lineEdit()) {
            QSignalBlocker blockEdit(cb->lineEdit());
            cb->lineEdit()->setText(s);
        }
    }
}

int WIN_GetWindowText(HWND h, wchar_t *buf, int max)
{
    WinWindow *w = live(h);
    QString s;
    if (w && w->kind != Kind::Control && w->frame) s = w->frame->windowTitle();
    QWidget *q = w && w->kind == Kind::Control ? w->widget.data() : nullptr;
    if (auto *b = qobject_cast<QAbstractButton *>(q))
        s = b->text();
    else if (auto *l = qobject_cast<QLabel *>(q))
        s = l->text();
    else if (auto *e = qobject_cast<QLineEdit *>(q))
        s = e->text();
    else if (auto *t = qobject_cast<QPlainTextEdit *>(q))
        s = t->toPlainText();
    else if (auto *cb = qobject_cast<QComboBox *>(q))
        s = cb->currentText();
    return copyOut(s, buf, max);
}

void WIN_SetFont(HWND h, HFONT font)
{
    WinWindow *w = live(h);
    QFont f;
    if (!w || w->kind != Kind::Control || !w->widget || !fontValue(font, &f)) return;
    w->font = f;
    w->widget->setFont(f);
    if (w->control == WinControl::ComboEdit || w->control == WinControl::ComboList)
        fitComboHeight(w);
}

/* ---- Check boxes, edit fields, progress bars ---------------------------------------- */

void WIN_SetCheck(HWND h, int checked)
{
    auto *b = qobject_cast<QCheckBox *>(controlOf(h));
    if (!b) return;
    QSignalBlocker block(b);
    b->setChecked(checked != 0);
}

int WIN_GetCheck(HWND h)
{
    auto *b = qobject_cast<QCheckBox *>(controlOf(h));
    return b && b->isChecked() ? 1 : 0;
}

void WIN_EditLimitText(HWND h, int chars)
{
    if (auto *e = qobject_cast<QLineEdit *>(controlOf(h)))
        e->setMaxLength(chars > 0 ? chars : 32767);
}

void WIN_ProgressSetRange(HWND h, int low, int high)
{
    if (auto *b = qobject_cast<QProgressBar *>(controlOf(h))) b->setRange(low, high);
}

void WIN_ProgressSetPos(HWND h, int pos)
{
    if (auto *b = qobject_cast<QProgressBar *>(controlOf(h)))
        b->setValue(std::clamp(pos, b->minimum(), b->maximum()));
}

int WIN_ProgressGetPos(HWND h)
{
    auto *b = qobject_cast<QProgressBar *>(controlOf(h));
    return b ? b->value() : 0;
}
