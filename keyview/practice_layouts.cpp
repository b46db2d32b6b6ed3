#include "practice_layouts.h"

#include "exercises/edition_profiles.h"
#include "exercises/lesson.h"
#include "platform/ui/edition_screens.h"

namespace keyview {

using namespace keytut;
using namespace keytut::ui;

namespace {

// A button shows '&' only when doubled; single ones would mark a mnemonic.
std::string buttonCaption(const std::string& caption) {
    std::string result;
    for (char c : caption) {
        result += c;
        if (c == '&')
            result += '&';
    }
    return result;
}

MessageLayout messageLayout() {
    using namespace message;
    MessageLayout layout = textToSendLayout(16, 15);
    layout.controls.insert(
        layout.controls.end(),
        {{kSend, ControlKind::PushButton, std::string(kSendCaption), 280, 40, 25, 15},
         {kExit, ControlKind::PushButton, std::string(kExitCaption), 320, 40, 25, 15}});
    layout.exitButton = kExit;
    // Return in the text box is Send, as the button is.
    layout.sendButton = kSend;
    return layout;
}

WordTestLayout wordTestLayout() {
    using namespace word_test;
    WordTestLayout layout;
    layout.screen = {std::string(kWordTestTitle), 160, 255, DialogFont::Courier8, FrameKind::Popup};
    layout.controls = {
        {kList, ControlKind::Label, "", 5, 5, 100, 242, style::Border},
        {kStart, ControlKind::PushButton, std::string(kStartCaption), 120, 210, 25, 15},
        {kExit, ControlKind::PushButton, std::string(kExitCaption), 120, 230, 25, 15},
    };
    layout.openingFocus = kStart;
    layout.exitButton = kExit;
    layout.wordBox = kList;
    // Return away from the buttons means nothing here.
    layout.startButton = kStart;
    return layout;
}

FileLayout fileLayout() {
    using namespace file;
    FileLayout layout =
        sendFileLayout(style::NoTabStop, style::NoTabStop,
                       {
                           {kStart, ControlKind::PushButton, "Start", 230, 5, 25, 15},
                           {kExit, ControlKind::PushButton, "Exit", 260, 5, 25, 15},
                       });
    layout.exitButton = kExit;
    // Return away from the buttons starts nothing: only Start sends.
    layout.startButton = kStart;
    layout.linesInView = kFileListLinesInView;
    return layout;
}

QsoLayout qsoLayout() {
    using namespace qso;
    QsoLayout layout;
    layout.screen = {std::string(kKeyviewQsoCaption), 310, 260, DialogFont::Courier8,
                     FrameKind::Popup};
    layout.controls = {
        {kStart, ControlKind::PushButton, "Start", 270, 200, 25, 15},
        {kStop, ControlKind::PushButton, "Stop", 270, 220, 25, 15},
        {kExit, ControlKind::PushButton, "Exit", 270, 240, 25, 15},
        {kList, ControlKind::ListBox, "", 5, 2, 240, 260, style::NoTabStop},
        {kFileLabel, ControlKind::Label, std::string(kKeyviewQsoFileLabel), 260, 10, 50, 10},
        {kFileList, ControlKind::DropDownList, "", 250, 20, 60, 50, style::NoTabStop},
    };
    layout.exitButton = kExit;
    layout.practice = QsoPractice::Runs;
    layout.fileList = kFileList;
    layout.list = kList;
    // Return away from the buttons starts nothing.
    layout.startButton = kStart;
    layout.stopButton = kStop;
    return layout;
}

PunctuationLayout punctuationLayout(const LessonState& opened) {
    using namespace punctuation;
    // Each button with the name of its mark or prosign beside it.
    PunctuationLayout layout = headedPunctuationLayout(
        opened, [](const SignButton& sign, int button, int y) -> std::vector<ControlSpec> {
            return {{button, ControlKind::PushButton, buttonCaption(sign.keyviewCaption), 20, y, 25,
                     15},
                    {kFirstDescription + button - kFirstSignButton, ControlKind::Label,
                     sign.description, 50, y + 2, 80, 30}};
        });
    layout.controls.push_back(
        {kExit, ControlKind::PushButton, std::string(kExitCaption), 260, 200, 25, 15});
    layout.exitButton = kExit;
    // Return away from the buttons means nothing here.
    return layout;
}

LessonLayout lessonLayout() {
    using namespace lesson;
    LessonLayout layout;
    const std::string instructions(kKeyviewHearingInstructions);
    layout.instructions = {kInstructions, ControlKind::Label, instructions, 5, 16, 180, 30};
    layout.characterBox = {kCharacterBox, ControlKind::Label, "", 265, 14, 6, 10, style::Border};
    // 22 units hold five characters of the lesson's font but not six, so the test text wraps at
    // its blanks into a column of one group per line.
    layout.resultsBox = {kResultsBox, ControlKind::Label, "", 200, 5, 22, 162, style::Border};
    layout.startButton = {kStart, ControlKind::PushButton, std::string(kStartCaption), 260, 160, 25,
                          15};
    layout.controls = {
        layout.instructions,
        {kNext, ControlKind::PushButton, std::string(kNextCaption), 260, 180, 25, 15},
        {kExit, ControlKind::PushButton, std::string(kExitCaption), 260, 200, 25, 15},
        {kKeyPressedLabel, ControlKind::Label, std::string(kKeyPressedCaption), 210, 16, 50, 10,
         style::AlignRight},
        {kKeyCapture, ControlKind::Edit, "", 265, 34, 0, 0, style::NoBorder},
        layout.characterBox,
    };
    layout.openingFocus = kKeyCapture;
    layout.exitButton = kExit;
    layout.keyCapture = kKeyCapture;
    layout.recognitionControls = {kCharacterBox, kKeyPressedLabel, kKeyCapture, kNext};
    layout.nextButton = kNext;
    // Return where the focus is on no button, as Start does.
    layout.returnStarts = true;
    return layout;
}

}  // namespace

const PracticeLayouts kPracticeLayouts{messageLayout, wordTestLayout,    fileLayout,
                                       qsoLayout,     punctuationLayout, lessonLayout};

const EditionScreens kPractice{kKeyviewProfile.name, Practice::opened()};

}  // namespace keyview
