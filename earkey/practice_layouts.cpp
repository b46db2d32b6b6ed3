#include "practice_layouts.h"

#include "exercises/edition_profiles.h"
#include "platform/ui/edition_screens.h"

namespace earkey {

using namespace keytut;
using namespace keytut::ui;

namespace {

MessageLayout messageLayout() {
    using namespace message;
    MessageLayout layout = textToSendLayout(20, 20);
    layout.controls.insert(layout.controls.begin(),
                           {kInstructions, ControlKind::Label,
                            std::string(kEarkeyMessageInstructions), 5, 5, 160, 10});
    return layout;
}

WordTestLayout wordTestLayout() {
    using namespace word_test;
    WordTestLayout layout;
    layout.screen = {std::string(kWordTestTitle), 180, 175, DialogFont::Courier8, FrameKind::Popup};
    layout.controls = {
        {kInstructions, ControlKind::Label, std::string(kEarkeyWordTestInstructions), 5, 5, 170,
         30},
        // The only control that takes the focus; its words are spoken each time they change.
        {kWordBox, ControlKind::SpokenText, "", 5, 65, 150, 10, style::Border | style::TabStop},
    };
    // What the screen reader calls the box, before its word.
    layout.names = {{kWordBox, "Word"}};
    layout.openingFocus = kWordBox;
    layout.wordBox = kWordBox;
    layout.spoken = true;
    layout.startKey = Qt::Key_Return;
    layout.readBackKeys = true;
    return layout;
}

FileLayout fileLayout() {
    using namespace file;
    // The name box is a Tab stop, unlike Keyview's: once the focus has moved to the list at the
    // end of a file, Tab is the only way back to the name for a learner who cannot use the mouse.
    FileLayout layout = sendFileLayout(0, 0);
    // What the screen reader calls the list, before the line it is on.
    layout.names = {{kList, "Lines sent"}};
    // The screen reader names the box by its label ("File: text") instead of "text".
    layout.labels = {{kNameLabel, kNameBox}};
    layout.startKey = Qt::Key_Return;
    layout.readBackAtEnd = true;
    return layout;
}

QsoLayout qsoLayout() {
    using namespace qso;
    QsoLayout layout;
    layout.screen = {std::string(kEarkeyQsoCaption), 320, 220, DialogFont::Courier8,
                     FrameKind::Popup};
    layout.controls = {
        {kInstructions, ControlKind::Label, std::string(kEarkeyQsoInstructions), 5, 35, 200, 20,
         style::TabStop},
        {kFileLabel, ControlKind::Label, std::string(kEarkeyQsoFileLabel), 20, 5, 50, 10,
         style::AlignRight},
        // A list box rather than a drop-down list: Orca 43 says neither a Qt drop-down list's
        // entry when it gets the focus nor the new entry when Up or Down changes it, while it
        // reads a list box's lines as the cursor moves. Same place; it stays open, so it ends
        // above the instructions instead of covering them as the drop-down's open list would.
        {kFileList, ControlKind::ListBox, "", 80, 5, 60, 29, style::Selectable},
        {kLineBox, ControlKind::SpokenText, "", 5, 65, 300, 12, style::Border | style::TabStop},
    };
    // Qt names a list by its accessible name alone, not by the label that points to it.
    std::string listName(kEarkeyQsoFileLabel);
    std::erase(listName, '&');
    // What the screen reader calls the line box, before its line.
    layout.names = {{kFileList, listName}, {kLineBox, "Q S O line"}};
    // Plain Up and Down in the list choose another file and load it at once.
    layout.openingFocus = kFileList;
    layout.practice = QsoPractice::WholeQsos;
    layout.fileList = kFileList;
    layout.sendKey = Qt::Key_Return;
    layout.lineBox = kLineBox;
    return layout;
}

PunctuationLayout punctuationLayout(const LessonState& opened) {
    using namespace punctuation;
    // The captions spell letter pairs out, so that the screen reader names the letters.
    PunctuationLayout layout = headedPunctuationLayout(
        opened, [](const SignButton& sign, int button, int y) -> std::vector<ControlSpec> {
            const unsigned first = button == kFirstSignButton ? style::DefaultButton : 0u;
            return {{button, ControlKind::PushButton, sign.earkeyCaption, 20, y, 80, 15,
                     style::AlignCentre | first}};
        });
    layout.returnNamesSign = true;
    return layout;
}

LessonLayout lessonLayout() {
    using namespace lesson;
    LessonLayout layout;
    const unsigned spoken = style::Border | style::TabStop;
    const std::string instructions(kEarkeyHearingInstructions);
    layout.characterBox = {kCharacterBox, ControlKind::SpokenText, "", 265, 2, 10, 10, spoken};
    layout.instructions = {kInstructions, ControlKind::SpokenText, instructions, 5, 16, 240, 40,
                           spoken};
    layout.resultsBox = {kResultsBox, ControlKind::SpokenText, "", 200, 65, 70, 12, spoken};
    layout.controls = {layout.characterBox, layout.instructions};
    // The screen reader reads the instructions as the window appears.
    layout.openingFocus = kInstructions;
    layout.startKey = Qt::Key_Return;
    layout.repeatKey = Qt::Key_Space;
    layout.nextStageKey = kNextStageKey;
    layout.readBackKeys = true;
    return layout;
}

}  // namespace

const PracticeLayouts kPracticeLayouts{messageLayout, wordTestLayout,    fileLayout,
                                       qsoLayout,     punctuationLayout, lessonLayout};

const EditionScreens kPractice{kEarkeyProfile.name, Practice::opened()};

}  // namespace earkey
