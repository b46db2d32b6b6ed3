// A screen: a dialog built from a table of controls placed in dialog units.
//
// Each control carries a small integer identifier, which is also its object name ("control101").
// A screen keeps the controls it works with as typed members, from createControlAs() or looked up
// once from its layout, and works them through the forms that take the widget; the forms by id
// serve the layouts, which are data, and the tests.
// A screen binds its buttons, lists and keys to its own functions (onPressed(), onChosen(),
// onMoved(), the key table); Escape and the Close box reach cancelled(), a Return that no button
// takes reaches returnPressed(). Tab order is creation order, and a control destroyed and created
// again goes last.
#pragma once

#include <QColor>
#include <QDialog>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "dialog_units.h"
#include "text.h"

class QListWidget;
class QTimer;

namespace keytut::ui {

class Announcer;
class SpokenBox;

enum class ControlKind {
    PushButton,
    Label,  // static text; with style::TabStop it takes the focus
    GroupBox,
    ReadOnlyEdit,  // one line, focusable, not editable
    Edit,          // one line
    DropDownList,  // not editable
    TextBox,       // several lines
    SpokenText,    // Earkey: a label whose texts the screen reader speaks (SpokenBox); with
                   // style::TabStop it takes the focus
    ListBox,       // lines, read with the cursor keys; see onMoved()
};

namespace style {
constexpr unsigned DefaultButton = 1u << 0;
constexpr unsigned TabStop = 1u << 1;  // labels: reachable with Tab (others are by default)
constexpr unsigned NoTabStop = 1u << 2;
constexpr unsigned Border = 1u << 3;
constexpr unsigned AlignRight = 1u << 4;
constexpr unsigned AlignCentre = 1u << 5;
constexpr unsigned DigitsOnly = 1u << 6;  // edit boxes
constexpr unsigned ReadOnly = 1u << 7;    // text boxes
constexpr unsigned WantReturn = 1u << 8;  // text boxes: Return types a line end
constexpr unsigned NoBorder = 1u << 9;    // edit boxes and text boxes

// List boxes: the scroll bar shows even when every line fits.
constexpr unsigned ScrollBarAlways = 1u << 10;
// List boxes: the current line is shown selected (a list to choose from, not a record).
constexpr unsigned Selectable = 1u << 11;
}  // namespace style

struct ControlSpec {
    int id = 0;
    ControlKind kind = ControlKind::Label;
    std::string caption;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    unsigned style = 0;
};

// A key of a screen's key table: a Qt key with exactly these Shift/Ctrl/Alt modifiers calls
// `action`, wherever the focus is. Return and Enter are one key. A binding without an action
// takes the key and does nothing.
struct KeyBinding {
    int key = 0;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    std::function<void()> action;
};

enum class FrameKind {
    MainWindow,  // caption, system menu, sizing border, minimise and maximise boxes
    Popup,       // caption bar without system menu: no close box
    Closable,    // caption bar with system menu and close box, fixed size
};

struct ScreenSpec {
    std::string title;
    int width = 0;  // client area in dialog units
    int height = 0;
    DialogFont font = DialogFont::SansSerif8;
    FrameKind frame = FrameKind::Popup;
    QWidget* owner = nullptr;  // modal above this window; none for a main window
};

// The background of the main windows and their labels: black on red 150, green 255, blue 255.
inline const QColor kScreenBackground{150, 255, 255};

class Screen : public QDialog {
    Q_OBJECT
  public:
    explicit Screen(const ScreenSpec& spec);
    ~Screen() override;

    // Runs the screen modally until it is closed.
    int run();
    // Closes the screen; posted messages and poller ticks that come later go nowhere.
    void endScreen(int result = 0);
    // What Escape does: the screen's cancelled(), which decides whether it closes.
    void cancel() { cancelled(); }
    // What Return does where no button takes it: the screen's returnPressed().
    void pressReturn() { returnPressed(); }
    bool ended() const { return ended_; }

    // Controls.
    QWidget* createControl(const ControlSpec& spec);
    // The control built, as the type its kind makes (a QPushButton for a PushButton, ...).
    template <class T>
    T* createControlAs(const ControlSpec& spec) {
        return qobject_cast<T*>(createControl(spec));
    }
    void destroyControl(int id);
    QWidget* control(int id) const;
    template <class T>
    T* controlAs(int id) const {
        return qobject_cast<T*>(control(id));
    }
    int idOf(const QWidget* widget) const;
    // Live controls in creation order.
    std::vector<int> controlIds() const;
    // The place given in dialog units.
    const ControlSpec* specOf(int id) const;

    // Runs `action` when the button is pressed (a click, Space, Return on it, its mnemonic).
    void onPressed(QWidget* button, std::function<void()> action);
    // Runs `action` with the entry the learner chose in a drop-down list (the cursor keys, or a
    // choice from the opened list); see noteChange().
    void onChosen(QWidget* list, std::function<void(int index)> action);
    // Runs `action` with the entry the pointer or the cursor keys move to in a drop-down list's
    // open list, before any choice.
    void onHighlighted(QWidget* list, std::function<void(int index)> action);
    // Runs `action` with the line a list box moves to (the cursor keys, a click, the program).
    void onMoved(QWidget* list, std::function<void(int row)> action);

    std::string text(int id) const;
    void setText(int id, const std::string& text);
    void setItems(int id, const std::vector<std::string>& items);
    int selection(int id) const;           // -1: none
    void setSelection(int id, int index);  // sends no notification
    // While a list's choice is handled (onChosen()): what the change did beyond the list itself
    // (another list that followed), said by the screen reader with the list's new value.
    void noteChange(const std::string& note);

    // List boxes: a line added at the end (its first 1,000 characters are shown), the lines, and
    // the entry (0-based) shown at the top.
    // setTopIndex() also keeps the last line in view where fewer lines fit than expected.
    void addItem(int id, const std::string& text);
    std::vector<std::string> items(int id) const;
    int itemCount(int id) const;
    void setTopIndex(int id, int index);
    int topIndex(int id) const;
    // Makes entry `index` of a list box the current one, which the screen reader reads.
    void setCurrentItem(int id, int index);

    void focus(int id);
    int focusedId() const;  // 0: none of the screen's controls

    // Earkey: puts `text` into a SpokenText control and moves the focus onto it, coming from the
    // control before it in tab order, so that the screen reader speaks the text. Returns whether
    // the focus is on the control afterwards.
    bool speak(int id, const std::string& text);
    // Has the screen reader say `text` while the focus stays where it is.
    void announce(const std::string& text);

    // Makes label `labelId` the caption of control `controlId`, so that a screen reader names
    // the control by it (and does not read the label again as loose text of the window). The
    // label's text must hold no single '&'.
    void labelControl(int labelId, int controlId);

    // Colours: the window itself, or one control (text and background).
    void setWindowColours(QColor text, QColor background);
    void setColours(int id, QColor text, QColor background);

    // The same on a control a screen holds as a typed member; a null one (a control the layout
    // does not have) is left alone. The forms by id above look the control up and call these.
    std::string text(const QWidget* control) const;
    void setText(QWidget* control, const std::string& text);
    void setItems(QWidget* list, const std::vector<std::string>& items);
    void setSelection(QWidget* list, int index);
    void addItem(QListWidget* list, const std::string& text);
    void setTopIndex(QListWidget* list, int index);
    void setCurrentItem(QListWidget* list, int index);
    void focus(QWidget* control);
    // Whether the focus is on the control (or on a part of it, a SpokenBox's label).
    bool focusIsOn(const QWidget* control) const;
    bool speak(SpokenBox* box, const std::string& text);
    void setColours(QWidget* control, QColor text, QColor background);

    void setKeyTable(std::vector<KeyBinding> table) { keyTable_ = std::move(table); }

    // A Tab key press delivered to the focused control inside the program, as if typed: the
    // focus moves on to the next control in tab order after the current handler has returned.
    void pressTab();

    // A periodic timer owned by the screen; it stops when the screen is closed, and its ticks
    // are skipped while a blocking wait runs.
    void startPoller(int intervalMs, std::function<void()> tick);
    void stopPoller();

    // A call that runs `action` on this screen later, behind what is waiting (and after a
    // blocking wait that runs then). Once the screen has closed, or is gone, it does nothing.
    // What the sender, the pollers and the screen itself report comes in this way.
    std::function<void()> queued(std::function<void()> action);
    // Runs `action` on this screen later, as queued() does.
    void runLater(std::function<void()> action) { queued(std::move(action))(); }

    // Sets the client area's size in dialog units and centres the window in the work area.
    void resizeClient(int width, int height);

    // The conversion of this screen's font.
    BaseUnits baseUnits() const { return base_; }
    QRect toPixels(int x, int y, int width, int height) const;

  protected:
    // Called once before the screen is first shown.
    virtual void initialise() {}
    // Escape, the Close box, and the screen's cancel button: by default the screen closes.
    virtual void cancelled() { endScreen(); }
    // Return where no focused or default button takes it: by default nothing happens.
    virtual void returnPressed() {}

    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    struct Control {
        ControlSpec spec;
        QPointer<QWidget> widget;
    };

    bool handleKey(QKeyEvent* event);
    void restoreTabOrder();

    BaseUnits base_;
    std::vector<Control> controls_;  // creation order
    std::vector<KeyBinding> keyTable_;
    std::string valueNote_;  // see noteChange()
    std::unique_ptr<Announcer> announcer_;
    std::vector<QPointer<QWidget>> pendingMnemonics_;  // labels waiting for their control
    QTimer* poller_ = nullptr;
    std::function<void()> pollerTick_;
    bool initialised_ = false;
    bool ended_ = false;
};

}  // namespace keytut::ui
