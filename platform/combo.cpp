/* combo.cpp -- combo boxes: the editable drop-down combo box and the
 * drop-down list, their items, selection, typed text and notifications.
 *
 * The notifications follow the Win32 conventions:
 *   the user picks an item         CBN_SELCHANGE, then CBN_SELENDOK
 *   the user types in the field    CBN_EDITCHANGE, once per change
 *   the focus leaves the box       CBN_KILLFOCUS (not when its list opens)
 * Nothing is reported for what the program sets.
 *
 * State: the shared item lists made by WIN_ComboAddRange, one per range,
 * kept for the process. A box shows a shared list until the program changes
 * its items one by one; then it gets a copy of its own.
 */
#include "platform/winqt.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListView>
#include <QStringListModel>
#include <QStyledItemDelegate>
#include <QWheelEvent>

#include <map>
#include <tuple>

using namespace winqt;

namespace
{

/* A combo box takes the wheel only while it has the focus; otherwise the
 * wheel goes on to the window below it. */
class Combo : public QComboBox
{
  public:
    using QComboBox::QComboBox;
    int dropHeight = 0; /* height with the list open, as created */

    /* The list is made only when first opened: most boxes never open. */
    void showPopup() override
    {
        if (auto *list = qobject_cast<QListView *>(view())) list->setUniformItemSizes(true);
        QComboBox::showPopup();
    }

  protected:
    void wheelEvent(QWheelEvent *e) override
    {
        if (hasFocus())
            QComboBox::wheelEvent(e);
        else
            e->ignore();
    }
};

/* Reports the focus reaching and leaving a box. Opening the box's own list,
 * and coming back from it, is neither. */
class FocusWatch : public QObject
{
  protected:
    bool eventFilter(QObject *obj, QEvent *e) override
    {
        const bool in = e->type() == QEvent::FocusIn, out = e->type() == QEvent::FocusOut;
        if ((in || out) && static_cast<QFocusEvent *>(e)->reason() != Qt::PopupFocusReason) {
            HWND h = boundHandle(obj);
            if (live(h)) notify(h, in ? CBN_SETFOCUS : CBN_KILLFOCUS);
        }
        return false;
    }
};

/* List items of one fixed height. */
class ItemHeight : public QStyledItemDelegate
{
  public:
    ItemHeight(int px, QObject *parent) : QStyledItemDelegate(parent), px(px) {}
    QSize sizeHint(const QStyleOptionViewItem &o, const QModelIndex &i) const override
    {
        return {QStyledItemDelegate::sizeHint(o, i).width(), px};
    }

  private:
    int px;
};

using RangeKey = std::tuple<int, int, int>;
std::map<RangeKey, QStringListModel *> *ranges;
FocusWatch *focusWatch;

/* Shows nothing where Qt would otherwise pick the first item by itself. */
const QString NO_SELECTION_TEXT = QString(QChar(0x200B));

} // namespace

static Combo *comboOf(HWND h)
{
    WinWindow *w = live(h);
    if (!w || w->kind != Kind::Control) return nullptr;
    return dynamic_cast<Combo *>(w->widget.data());
}

static int cellHeight(const QFont &f)
{
    QFontMetrics fm(f);
    return fm.ascent() + fm.descent();
}

QWidget *winqt::createCombo(WinWindow *c, bool editable, QWidget *parent)
{
    if (!focusWatch) focusWatch = new FocusWatch;
    HWND h = handle(c);
    auto *cb = new Combo(parent);
    cb->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cb->setPlaceholderText(NO_SELECTION_TEXT);
    if (editable) {
        /* Qt selects the item matching the text when an edit ends and calls
         * that an activation; the user picked nothing, so nothing is
         * reported. The first connection runs before Qt's, the last after. */
        auto *edit = new QLineEdit(cb);
        QObject::connect(edit, &QLineEdit::editingFinished, [c] { c->editFinishing = true; });
        cb->setLineEdit(edit);
        QObject::connect(edit, &QLineEdit::editingFinished, [c] { c->editFinishing = false; });
        cb->setInsertPolicy(QComboBox::NoInsert);
        cb->setCompleter(nullptr);
        edit->setPlaceholderText(QString());
        setTypingRule(edit, c->style);
        QObject::connect(edit, &QLineEdit::textEdited, [h] { notify(h, CBN_EDITCHANGE); });
    }
    QObject::connect(cb, &QComboBox::activated, [h, c](int) {
        if (!live(h) || c->editFinishing) return;
        notify(h, CBN_SELCHANGE);
        notify(h, CBN_SELENDOK);
    });
    cb->installEventFilter(focusWatch);
    return cb;
}

/* The closed height follows the selection field: the program's height, or
 * the font's cell with a pixel above and below. */
void winqt::fitComboHeight(WinWindow *c)
{
    auto *cb = dynamic_cast<Combo *>(c->widget.data());
    if (!cb) return;
    int field = c->fieldHeight > 0 ? c->fieldHeight : cellHeight(c->font) + 2;
    int closed = field + COMBO_EDGE;
    cb->resize(cb->width(), closed);
    int item = cellHeight(c->font);
    int fits = (cb->dropHeight - closed - 2) / std::max(item, 1); /* the open list's room */
    cb->setMaxVisibleItems(c->visibleItems > 0 ? c->visibleItems : std::max(1, fits));
}

void winqt::placeCombo(WinWindow *c, int x, int y, int w, int h)
{
    auto *cb = dynamic_cast<Combo *>(c->widget.data());
    if (!cb) return;
    cb->dropHeight = h;
    cb->setGeometry(x, y, w, cb->height());
    fitComboHeight(c);
}

/* Gives a box a list of its own before its items change one by one. A new
 * box has Qt's empty list until then. */
static QStringListModel *ownList(HWND h, Combo *cb)
{
    auto *model = qobject_cast<QStringListModel *>(cb->model());
    if (model && !h->sharedList) return model;
    if (!model) {
        QSignalBlocker block(cb);
        model = new QStringListModel(cb);
        cb->setModel(model);
        cb->setCurrentIndex(-1);
        return model;
    }
    int sel = cb->currentIndex();
    QString text = cb->lineEdit() ? cb->lineEdit()->text() : QString();
    QSignalBlocker block(cb);
    auto *own = new QStringListModel(model->stringList(), cb);
    cb->setModel(own);
    cb->setCurrentIndex(sel);
    if (cb->lineEdit()) cb->lineEdit()->setText(text);
    h->sharedList = false;
    return own;
}

int WIN_ComboAddString(HWND h, const wchar_t *text)
{
    Combo *cb = comboOf(h);
    if (!cb) return -1;
    QSignalBlocker block(cb);
    QStringListModel *m = ownList(h, cb);
    int row = m->rowCount();
    m->insertRows(row, 1);
    m->setData(m->index(row), qstr(text));
    return row;
}

void WIN_ComboAddRange(HWND h, int first, int last, int step)
{
    Combo *cb = comboOf(h);
    if (!cb || step == 0 || (step > 0 ? first > last : first < last)) return;
    auto items = [=] {
        QStringList list;
        for (long long v = first; step > 0 ? v <= last : v >= last; v += step)
            list << QString::number(v);
        return list;
    };
    QSignalBlocker block(cb);
    if (cb->count() > 0) {
        QStringListModel *m = ownList(h, cb);
        m->setStringList(m->stringList() + items());
        return;
    }
    if (!ranges) ranges = new std::map<RangeKey, QStringListModel *>;
    QStringListModel *&shared = (*ranges)[{first, last, step}];
    if (!shared) shared = new QStringListModel(items(), qApp);
    QString text = cb->lineEdit() ? cb->lineEdit()->text() : QString();
    cb->setModel(shared);
    cb->setCurrentIndex(-1); /* a new list has no selection */
    if (cb->lineEdit()) cb->lineEdit()->setText(text);
    h->sharedList = true;
}

int WIN_ComboDeleteString(HWND h, int index)
{
    Combo *cb = comboOf(h);
    if (!cb || index < 0 || index >= cb->count()) return -1;
    QSignalBlocker block(cb);
    bool selected = cb->currentIndex() == index;
    QStringListModel *m = ownList(h, cb);
    m->removeRows(index, 1);
    if (selected) cb->setCurrentIndex(-1);
    return cb->count();
}

void WIN_ComboResetContent(HWND h)
{
    Combo *cb = comboOf(h);
    if (!cb) return;
    QSignalBlocker block(cb);
    if (h->sharedList || !qobject_cast<QStringListModel *>(cb->model())) {
        cb->setModel(new QStringListModel(cb));
        h->sharedList = false;
    } else {
        static_cast<QStringListModel *>(cb->model())->setStringList({});
    }
    cb->setCurrentIndex(-1);
    if (cb->lineEdit()) cb->lineEdit()->clear();
}

int WIN_ComboGetCount(HWND h)
{
    Combo *cb = comboOf(h);
    return cb ? cb->count() : 0;
}

void WIN_ComboSetCurSel(HWND h, int index)
{
    Combo *cb = comboOf(h);
    if (!cb) return;
    QSignalBlocker block(cb);
    bool valid = index >= 0 && index < cb->count();
    cb->setCurrentIndex(valid ? index : -1);
    if (cb->lineEdit()) {
        QSignalBlocker blockEdit(cb->lineEdit());
        cb->lineEdit()->setText(valid ? cb->itemText(index) : QString());
    }
}

int WIN_ComboGetCurSel(HWND h)
{
    Combo *cb = comboOf(h);
    return cb ? cb->currentIndex() : -1;
}

int WIN_ComboGetItemText(HWND h, int index, wchar_t *buf, int max)
{
    Combo *cb = comboOf(h);
    if (!cb || index < 0 || index >= cb->count()) {
        copyOut(QString(), buf, max);
        return -1;
    }
    return copyOut(cb->itemText(index), buf, max);
}

void WIN_ComboLimitText(HWND h, int chars)
{
    Combo *cb = comboOf(h);
    if (cb && cb->lineEdit()) cb->lineEdit()->setMaxLength(chars > 0 ? chars : 32767);
}

void WIN_ComboSetMinVisible(HWND h, int items)
{
    Combo *cb = comboOf(h);
    if (!cb) return;
    h->visibleItems = std::max(items, 1);
    cb->setMaxVisibleItems(h->visibleItems);
}

void WIN_ComboSetFieldHeight(HWND h, int pixels)
{
    if (!comboOf(h) || pixels <= 0) return;
    h->fieldHeight = pixels;
    fitComboHeight(h);
}

void WIN_ComboSetItemHeight(HWND h, int pixels)
{
    Combo *cb = comboOf(h);
    if (!cb || pixels <= 0) return;
    cb->setItemDelegate(new ItemHeight(pixels, cb));
}
