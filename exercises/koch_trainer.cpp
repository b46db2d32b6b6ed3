#include "koch_trainer.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "core/synthesis.h"
#include "punctuation.h"

namespace keytut {

namespace {

bool hasCode(const CodeTable& codes, char c) {
    return codes.codeElements[static_cast<unsigned char>(c)][0] != 0;
}

char capital(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

int wpmOf(int index) {
    if (index < 0 || index >= static_cast<int>(speedChoices.size()))
        return 0;
    return std::atoi(speedChoices[static_cast<std::size_t>(index)]);
}

std::string spelled(std::string_view text, bool spoken) {
    std::string result;
    for (char c : text) {
        if (!result.empty())
            result += ' ';
        result += spoken ? spokenName(c) : std::string(1, c);
    }
    return result;
}

}  // namespace

std::string lessonCourseOrder(const std::vector<std::string>& lessonGroups,
                              const CodeTable& codes) {
    std::string order;
    for (const auto& group : lessonGroups) {
        for (char c : group) {
            if (hasCode(codes, c) && order.find(c) == std::string::npos)
                order += c;
        }
    }
    return order;
}

TypedCourseOrder parseCourseOrder(std::string_view typed, const CodeTable& codes) {
    TypedCourseOrder course;
    for (char c : typed) {
        if (isBlank(c))
            continue;
        const char k = hasCode(codes, capital(c)) ? capital(c) : c;
        if (!hasCode(codes, k)) {
            course.error = std::string("The character ") + c + " has no Morse code";
            return course;
        }
        if (course.characters.find(k) != std::string::npos) {
            course.error = std::string("The character ") + k + " is in the course twice";
            return course;
        }
        course.characters += k;
    }
    if (course.characters.size() < static_cast<std::size_t>(kKochFirstLevel))
        course.error = "A course needs at least two characters";
    return course;
}

std::string normalisedCopy(std::string_view typed) {
    std::string copy;
    for (char c : typed) {
        if (!isBlank(c))
            copy += capital(c);
    }
    return copy;
}

GroupJudgement judgeCopy(std::string_view sent, std::string_view copy) {
    const std::size_t n = sent.size();
    const std::size_t m = copy.size();
    // cost[i][j]: the edit distance between sent[i..] and copy[j..]. Working from the ends lets
    // the walk below go forwards and take a match as early as it can.
    std::vector<std::vector<int>> cost(n + 1, std::vector<int>(m + 1, 0));
    for (std::size_t i = n + 1; i-- > 0;) {
        for (std::size_t j = m + 1; j-- > 0;) {
            if (i == n) {
                cost[i][j] = static_cast<int>(m - j);
            } else if (j == m) {
                cost[i][j] = static_cast<int>(n - i);
            } else {
                const int diagonal = cost[i + 1][j + 1] + (sent[i] == copy[j] ? 0 : 1);
                cost[i][j] = std::min({diagonal, cost[i + 1][j] + 1, cost[i][j + 1] + 1});
            }
        }
    }
    GroupJudgement judged;
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < n) {
        JudgedCharacter c;
        c.sent = sent[i];
        if (j < m && cost[i][j] == cost[i + 1][j + 1] + (sent[i] == copy[j] ? 0 : 1)) {
            c.typed = copy[j];
            c.typedPos = static_cast<int>(j);
            c.right = sent[i] == copy[j];
            ++i;
            ++j;
        } else if (cost[i][j] == cost[i + 1][j] + 1) {
            ++i;  // missed
        } else {
            ++judged.extra;  // a character typed that stands for nothing sent
            ++j;
            continue;
        }
        judged.right += c.right ? 1 : 0;
        judged.characters.push_back(c);
    }
    judged.extra += static_cast<int>(m - j);
    return judged;
}

void RecentResults::load(char c, const std::vector<bool>& oldestFirst) {
    auto& results = results_[c];
    results.assign(oldestFirst.begin(), oldestFirst.end());
    while (results.size() > static_cast<std::size_t>(progress::kRecentAnswers))
        results.pop_front();
}

void RecentResults::add(char c, bool right) {
    auto& results = results_[c];
    results.push_back(right);
    if (results.size() > static_cast<std::size_t>(progress::kRecentAnswers))
        results.pop_front();
}

int RecentResults::count(char c) const {
    auto it = results_.find(c);
    return it == results_.end() ? 0 : static_cast<int>(it->second.size());
}

double RecentResults::errorRate(char c) const {
    auto it = results_.find(c);
    if (it == results_.end() || it->second.empty())
        return 0.0;
    const auto wrong = std::count(it->second.begin(), it->second.end(), false);
    return static_cast<double>(wrong) / static_cast<double>(it->second.size());
}

std::vector<double> drawWeights(std::string_view learnt, const RecentResults& recent,
                                bool favourNewest) {
    std::vector<double> weights;
    weights.reserve(learnt.size());
    for (char c : learnt)
        weights.push_back(1.0 + kErrorWeight * recent.errorRate(c));
    if (favourNewest && !weights.empty())
        weights.back() *= kNewestWeight;
    return weights;
}

std::string drawGroup(Random& random, std::string_view learnt, const std::vector<double>& weights) {
    double total = 0;
    for (double w : weights)
        total += w;
    std::string group;
    for (int k = 0; k < kKochGroupLength; ++k) {
        const double r = random.next() * total;
        double sum = 0;
        std::size_t pick = learnt.size() - 1;
        for (std::size_t i = 0; i < learnt.size(); ++i) {
            sum += weights[i];
            if (r < sum) {
                pick = i;
                break;
            }
        }
        group += learnt[pick];
    }
    return group;
}

std::string spokenName(char c) {
    const Sign* sign = findSign(c);
    if (!sign)
        return std::string(1, c);
    // The prosigns by what they mean ("Pause"), the marks by their names ("Full Stop").
    return std::string(sign->keyviewCaption.size() == 2 ? sign->description : sign->earkeyCaption);
}

std::string groupResultText(std::string_view sent, std::string_view copy,
                            const GroupJudgement& judged, bool spoken) {
    std::string text = std::to_string(judged.right) + " of " + std::to_string(sent.size()) +
                       ". Sent " + spelled(sent, spoken) + ", you typed ";
    text += copy.empty() ? "nothing" : spelled(copy, spoken);
    return text;
}

KochTrainer::KochTrainer(Tutor& tutor, progress::History* history, std::string course, Clock clock)
    : tutor_(tutor),
      history_(history),
      style_(tutor.profile.style),
      clock_(std::move(clock)),
      course_(std::move(course)) {
    const int size = static_cast<int>(course_.size());
    if (history_) {
        if (auto kept = history_->level(course_))
            level_ = *kept;
    }
    level_ = std::clamp(level_, std::min(kKochFirstLevel, size), size);
    if (history_) {
        for (char c : learnt())
            recent_.load(c, history_->recentResults(c, progress::kRecentAnswers));
    }
}

std::string KochTrainer::openingText() const {
    return "Level " + std::to_string(level_) + " of " + std::to_string(course_.size()) + ": " +
           spelled(learnt(), style_.speaksTexts) +
           ". Return sends a group of five; type what you heard and press Return.";
}

void KochTrainer::takeNotice(KochUpdate& update) {
    if (history_ && !update.notice)
        update.notice = history_->takeFaultNotice();
}

KochUpdate KochTrainer::returnKey(std::string_view typed) {
    switch (phase_) {
        case Phase::Waiting:
            return startGroup();
        case Phase::Copying:
            return judge(typed);
        case Phase::NewCharacter:
            break;
    }
    KochUpdate update;
    update.acted = true;
    update.newCharacterSent = true;
    const char c = course_[static_cast<std::size_t>(level_ - 1)];
    // Nothing waits for the end of a sound here.
    tutor_.sender.play(std::string{c, ' ', c, ' ', c}, nullptr);
    phase_ = Phase::Waiting;
    return update;
}

KochUpdate KochTrainer::startGroup() {
    KochUpdate update;
    if (course_.empty())
        return update;
    update.acted = true;
    const std::int64_t now = clock_();
    if (!sessionOpen_) {
        sessionOpen_ = true;
        groupsInSession_ = 0;
        sessionSent_ = 0;
        sessionRight_ = 0;
        if (history_) {
            history_->keepLevel(course_, level_, now);
            session_ = history_->beginSession({std::string(tutor_.profile.name),
                                               std::string(kKochExercise), now, course_, level_});
        }
    }
    const bool pastFirstLevel = level_ > kKochFirstLevel;
    group_ = drawGroup(tutor_.random, learnt(), drawWeights(learnt(), recent_, pastFirstLevel));
    // When each character's sound (with the gap after it) ends, counted from the start.
    characterEndsMs_.clear();
    std::vector<std::int16_t> scratch(kSampleBufferSize);
    std::size_t samples = 0;
    for (char c : group_) {
        samples += synthesiseCharacter(c, tutor_.codes, tutor_.tone, tutor_.timing, scratch);
        characterEndsMs_.push_back(now +
                                   static_cast<std::int64_t>(samples * 1000 / kSamplesPerSecond));
    }
    stampedText_.clear();
    stamps_.clear();
    tutor_.sender.play(group_, nullptr);
    phase_ = Phase::Copying;
    update.groupStarted = true;
    takeNotice(update);
    return update;
}

void KochTrainer::typedChanged(std::string_view typed) {
    if (phase_ != Phase::Copying)
        return;
    std::size_t same = 0;
    while (same < typed.size() && same < stampedText_.size() && typed[same] == stampedText_[same])
        ++same;
    stamps_.resize(same);
    const std::int64_t now = clock_();
    stamps_.resize(typed.size(), now);
    stampedText_.assign(typed);
}

std::optional<int> KochTrainer::responseMs(const GroupJudgement& judged, const std::string& typed,
                                           std::size_t index) const {
    const int pos = judged.characters[index].typedPos;
    if (pos < 0 || typed != stampedText_)
        return std::nullopt;
    // The stamp of the pos-th character that is not a blank.
    int seen = -1;
    for (std::size_t k = 0; k < typed.size(); ++k) {
        if (!isBlank(typed[k]) && ++seen == pos) {
            return static_cast<int>(
                std::max<std::int64_t>(0, stamps_[k] - characterEndsMs_[index]));
        }
    }
    return std::nullopt;
}

KochUpdate KochTrainer::judge(std::string_view typed) {
    KochUpdate update;
    update.acted = true;
    const std::string raw(typed);
    const std::string copy = normalisedCopy(typed);
    const GroupJudgement judged = judgeCopy(group_, copy);
    const std::int64_t now = clock_();
    KochRow row{group_, copy, {}};
    for (std::size_t i = 0; i < judged.characters.size(); ++i) {
        const auto& c = judged.characters[i];
        row.wrong.push_back(!c.right);
        recent_.add(c.sent, c.right);
        if (history_) {
            progress::Answer answer;
            answer.timeMs = now;
            answer.sent = c.sent;
            answer.answered = c.typed;
            answer.right = c.right;
            answer.responseMs = responseMs(judged, raw, i);
            answer.charWpm = wpmOf(tutor_.speeds.charIndex);
            answer.wordWpm = wpmOf(tutor_.speeds.wordIndex);
            history_->record(session_, answer);
        }
    }
    update.result = groupResultText(group_, copy, judged, style_.speaksTexts);
    update.row = std::move(row);
    ++groupsInSession_;
    sessionSent_ += static_cast<int>(group_.size());
    sessionRight_ += judged.right;
    phase_ = Phase::Waiting;
    if (groupsInSession_ >= kKochSessionGroups)
        endSession(update, true);
    takeNotice(update);
    return update;
}

void KochTrainer::endSession(KochUpdate& update, bool whole) {
    if (!sessionOpen_)
        return;
    sessionOpen_ = false;
    const std::int64_t now = clock_();
    if (history_)
        history_->endSession(session_, now);
    session_ = 0;
    if (!whole)
        return;
    const int percent = progress::wholePercent(sessionRight_, sessionSent_);
    std::string text = "Session " + std::to_string(percent) + " percent.";
    // 90 % of the characters sent, counted exactly: 89.6 % says 90 percent but does not pass.
    const bool passed = sessionSent_ > 0 && 100 * sessionRight_ >= kKochPassPercent * sessionSent_;
    if (!passed) {
        text += " " + std::to_string(kKochPassPercent) + " percent adds the next character.";
    } else if (level_ >= static_cast<int>(course_.size())) {
        text += " Every character of the course is learnt.";
    } else {
        ++level_;
        const char added = course_[static_cast<std::size_t>(level_ - 1)];
        if (history_) {
            history_->keepLevel(course_, level_, now);
            recent_.load(added, history_->recentResults(added, progress::kRecentAnswers));
        }
        update.newCharacter = added;
        text +=
            " New character: " + (style_.speaksTexts ? spokenName(added) : std::string(1, added)) +
            ". Press Return to hear it three times.";
        phase_ = Phase::NewCharacter;
    }
    update.sessionResult = std::move(text);
}

KochUpdate KochTrainer::close() {
    KochUpdate update;
    update.acted = true;
    tutor_.sender.stop();
    endSession(update, false);
    phase_ = Phase::Waiting;
    takeNotice(update);
    return update;
}

}  // namespace keytut
