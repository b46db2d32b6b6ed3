#include "word_test.h"

namespace keytut {

WordTestDraw drawWordTest(Random& random, const std::vector<std::string>& wordList) {
    WordTestDraw draw;
    draw.words.reserve(kTestWords);
    for (int i = 0; i < kTestWords; ++i) {
        draw.words.push_back(wordList[random.index(wordList.size())]);
        draw.text += draw.words.back();
        draw.text += "\r\n";
    }
    return draw;
}

ThirtyWordTest::ThirtyWordTest(Tutor& tutor, Sender::TextDone sent)
    : tutor_(tutor), sent_(std::move(sent)), style_(tutor.profile.style) {}

WordTestUpdate ThirtyWordTest::start() {
    WordTestUpdate update;
    update.acted = true;
    if (tutor_.data.wordList.empty()) {
        // Thirty word spaces of silence would teach nothing: the learner is told instead.
        review_.clear();
        update.box = std::string(kNoWordsMessage);
        update.speak = style_.speaksTexts;
        return update;
    }
    WordTestDraw draw = drawWordTest(tutor_.random, tutor_.data.wordList);
    if (style_.readsBack)
        review_.fill(draw.words);
    tutor_.sender.play(draw.text, sent_);
    listSending_ = true;
    update.box = "";
    update.started = true;
    return update;
}

WordTestUpdate ThirtyWordTest::sendDone() {
    WordTestUpdate update;
    // Only the end of this screen's list counts, not that of a character another screen left
    // playing.
    if (!listSending_ || tutor_.sender.sending())
        return update;
    listSending_ = false;
    update.acted = true;
    if (style_.readsBack) {
        review_.show(0);
        update.box = review_.shown();
    } else {
        update.box = tutor_.sender.text();
    }
    return update;
}

WordTestUpdate ThirtyWordTest::shownWord(std::optional<int> entry) const {
    WordTestUpdate update;
    if (!entry)
        return update;
    update.acted = true;
    update.box = review_[*entry];
    update.speak = style_.speaksTexts;
    return update;
}

WordTestUpdate ThirtyWordTest::down() {
    if (!style_.readsBack)
        return {};
    return shownWord(review_.down());
}

WordTestUpdate ThirtyWordTest::up() {
    if (!style_.readsBack)
        return {};
    return shownWord(review_.up());
}

void ThirtyWordTest::close() {
    tutor_.sender.stop();
    listSending_ = false;
}

}  // namespace keytut
