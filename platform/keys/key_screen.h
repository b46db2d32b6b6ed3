// The two decode screens of both editions: "Straight Key Decode" and "Paddle Key Decode".
//
// A decode screen opens the key from the port setting (not shown at all when that fails), opens
// a side-tone voice whose 5 ms ticks are its clock, and works its decoder once per tick. What
// the editions differ in is data (KeyScreenLayout): the controls, the keys, whether the last
// character is spoken, and the key or button that asks for the timing report.
//
// The voice and the port are let go whichever way the screen ends (Escape, the Close box, the
// program's end); a port that fails or is unplugged is reported once, and the screen can still
// be left. (A sound device that goes away is the sound system's to report; its voice keeps
// ticking, so the decoding goes on.)
#pragma once

#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "key_port.h"
#include "keying/key_source.h"
#include "keying/paddle.h"
#include "keying/sidetone.h"
#include "keying/straight_key.h"
#include "line_watch.h"
#include "platform/ui/app.h"
#include "platform/ui/edition_screens.h"
#include "platform/ui/exercise_registry.h"
#include "platform/ui/exercise_screen.h"
#include "platform/ui/screen.h"

class QPlainTextEdit;

namespace keytut::keys {

// Controls of both screens.
constexpr int kDecodedTextBox = 100;
constexpr int kLastCharLabel = 101;  // Earkey
constexpr int kHintLabel = 102;      // Earkey's straight key screen
constexpr int kTimingsButton = 101;  // Keyview's straight key screen

inline const char* const kStraightKeyTitle = "Straight Key Decode";
inline const char* const kPaddleKeyTitle = "Paddle Key Decode";
inline const char* const kTimingsTitle = "Timings";

struct KeyScreenLayout {
    ui::ScreenSpec screen;  // title, size, font, frame (the owner is filled in)
    std::vector<ui::ControlSpec> controls;
    // Keys the screen takes and ignores (a key table's bindings without an action).
    std::vector<ui::KeyBinding> keys;
    // What the screen reader calls controls whose own text says nothing of what they are.
    std::vector<std::pair<int, std::string>> names;
    // The label that says each decoded character (the screen reader speaks it); 0: none, the
    // text box alone shows the text.
    int spokenLabel = 0;
    // What gives the timing report: a key (Qt::Key_F1), a button among the controls; 0: none.
    int timingsKey = 0;
    int timingsButton = 0;
    // Whether the decoded text box has a vertical scroll bar (otherwise it only scrolls).
    bool textScrollBar = false;
    // Whether the timing report shows a picture of the visit's keying; otherwise it is the
    // message box alone, and a screen with a spoken label then says how the keying went.
    bool timingPicture = false;
};

// How a screen meets the world; the tests put a fake voice and a recorder of boxes here.
struct KeyScreenHooks {
    // A fresh side-tone voice; the default is the program's sound system's.
    std::function<std::unique_ptr<SidetoneVoice>()> openVoice;
    // A message box: title, text, with the exclamation icon or none. Returns when dismissed.
    std::function<void(const std::string& title, const std::string& text, bool exclamation)>
        messageBox;
    // The timing report with its picture: title, text, the keying it pictures. Returns when
    // dismissed. Without it the report is a message box.
    std::function<void(const std::string& title, const std::string& text,
                       const TimingStatistics& statistics)>
        timingPicture;
    // The key from the port setting; the default is openKeyPort().
    std::function<KeyPortResult(const std::string& portText, const KeyPortPlace& place)> openKey;
    // Seconds on a clock that never goes back; the default is the steady clock.
    std::function<double()> now;
};

KeyScreenHooks programHooks(ui::App& app);

class KeyScreen : public ui::ExerciseScreen {
    Q_OBJECT
  public:
    KeyScreen(ui::App& app, const KeyScreenLayout& layout, KeyScreenHooks hooks);
    ~KeyScreen() override;

    // Opens the key from the port setting; on failure the message has been shown and dismissed.
    bool openPort();
    // Opens the port and runs the screen until it has closed; shows nothing when the port
    // cannot be opened.
    void start();

    std::int64_t ticks() const { return ticks_; }
    bool voiceOpen() const { return voice_ != nullptr; }
    bool portOpen() const { return key_ != nullptr; }
    SidetoneVoice* voice() const { return voice_.get(); }

    void done(int result) override;

  protected:
    void initialise() override;
    // One tick of the side-tone clock, with the key to read.
    virtual void tick(KeySource& key) = 0;
    // The key changed this moment (sources that know it at once).
    virtual void keyChanged(KeySource& key) { (void)key; }
    // Whether ticks change nothing until the key moves, while the lines of keyLineMask() stay
    // open.
    virtual bool resting() const = 0;
    virtual std::uint32_t keyLineMask() const = 0;
    // `ticks` ticks passed at rest, with the key as it was.
    virtual void rested(std::int64_t ticks) = 0;

    void setTone(bool on);
    // Shows the decoded text and has the last character spoken (Earkey).
    void show(const std::string& text, const std::optional<std::string>& character);
    void messageBox(const std::string& title, const std::string& text, bool exclamation);
    // The timing report, with its picture where the layout asks for one; returns when dismissed.
    void timingReport(const std::string& text, const TimingStatistics& statistics);

    const KeyScreenLayout layout_;
    QPlainTextEdit* decodedTextBox_ = nullptr;
    ui::SpokenBox* lastCharLabel_ = nullptr;  // Earkey's, spoken

  private:
    void onTick();
    void watch();
    void release();
    void say(const std::string& text);
    double now() const;

    // At rest the voice is paused: the machine is not woken 200 times a second for ticks that
    // would change nothing. The key's next move ends the rest, and the ticks of the rest are
    // made up then, so that the decoders, the key script's clock and the word speed count the
    // time as if the voice had ticked on.
    void restIfIdle();
    void wake();
    void wakeOnMove();  // the key moved: wake, and follow the key

    KeyScreenHooks hooks_;
    std::unique_ptr<KeySource> key_;
    std::unique_ptr<SidetoneVoice> voice_;
    std::int64_t ticks_ = 0;
    bool portFaultReported_ = false;
    double lastTick_ = 0;              // when the latest tick was handled
    double nextRestTry_ = 0;           // a voice that would not pause is asked again from then
    std::optional<double> idleSince_;  // the ticks have changed nothing since
    bool resting_ = false;
    bool woken_ = false;           // the voice's first tick since the rest is awaited
    double accountedTo_ = 0;       // the time the ticks counted so far reach
    QTimer* restTimer_ = nullptr;  // for a key script's next change
    LineWatch lineWatch_;          // for a serial key's lines
};

class StraightKeyScreen : public KeyScreen {
    Q_OBJECT
  public:
    // `decoder` keeps its state from one visit to the next: it lives as long as the program.
    StraightKeyScreen(ui::App& app, const KeyScreenLayout& layout, StraightKeyDecoder& decoder,
                      KeyScreenHooks hooks);

  protected:
    void tick(KeySource& key) override;
    void keyChanged(KeySource& key) override;
    bool resting() const override { return decoder_.resting(); }
    std::uint32_t keyLineMask() const override { return StraightKeyDecoder::kKeyLineMask; }
    void rested(std::int64_t ticks) override { decoder_.rest(ticks); }

  private:
    void output(const KeyedCharacter& c);
    void showTimings();

    StraightKeyDecoder& decoder_;
    bool reporting_ = false;  // the report is up: the ticks count, the key is not read
};

class PaddleKeyScreen : public KeyScreen {
    Q_OBJECT
  public:
    // `wpmText`: the character speed as the main window shows it ("12").
    PaddleKeyScreen(ui::App& app, const KeyScreenLayout& layout, const std::string& wpmText,
                    KeyScreenHooks hooks);
    const PaddleKeyer& keyer() const { return keyer_; }

  protected:
    void tick(KeySource& key) override;
    bool resting() const override { return keyer_.resting(); }
    std::uint32_t keyLineMask() const override { return PaddleKeyer::kPaddleLineMask; }
    void rested(std::int64_t ticks) override { keyer_.rest(ticks); }

  private:
    PaddleKeyer keyer_;
};

// The main window's two key buttons open these screens, with the layouts the functions return,
// and its Key button the key setting screen; the straight-key decoder made for a main window
// keeps its state for the whole run.
ui::AddOpeners opensKeyScreens(KeyScreenLayout (*straight)(), KeyScreenLayout (*paddle)());

// A program-wide straight-key decoder timed by the monotonic clock.
std::shared_ptr<StraightKeyDecoder> makeStraightKeyDecoder(const CodeTable& codes,
                                                           const EditionProfile& profile);

}  // namespace keytut::keys
