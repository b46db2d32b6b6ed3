#include "qso_practice.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

namespace keytut {

std::string QsoFile::qsoText(std::size_t k) const {
    if (k >= starts.size())
        return {};
    std::size_t end = k + 1 < starts.size() ? starts[k + 1] : lines.size();
    std::string text = lines[starts[k]];
    for (std::size_t i = starts[k] + 1; i < end; ++i) {
        text += "\r\n";
        text += lines[i];
    }
    return text;
}

QsoFile parseQsoFile(std::string_view bytes) {
    QsoFile file;
    LineSplitter splitter;
    splitter.feed(bytes);
    splitter.finish();
    while (auto line = splitter.next()) {
        if (line->empty())
            continue;
        if (line->find('+') != std::string::npos)
            file.starts.push_back(file.lines.size());
        file.lines.push_back(std::move(*line));
    }
    return file;
}

QsoLoad loadQsoFile(const std::filesystem::path& folder, const std::string& name) {
    QsoLoad load;
    if (name.empty())
        return load;
    FileContents contents = readRegularFile(folder / name, kMaxQsoFileBytes);
    if (contents.fault != TextFileFault::None)
        load.message = fileFaultMessage(contents.fault, name);
    else
        load.file = parseQsoFile(contents.bytes);
    load.file.name = name;
    return load;
}

std::string qsoDisplayText(std::string_view line) {
    static constexpr std::array<std::pair<char, std::string_view>, 5> kSpoken{{
        {'+', " C T "},
        {'@', " A R "},
        {'!', " V A "},
        {'=', " B T "},
        {'/', " slash "},
    }};
    std::string text;
    text.reserve(line.size());
    for (char c : line) {
        auto it = std::find_if(kSpoken.begin(), kSpoken.end(),
                               [c](const auto& entry) { return entry.first == c; });
        if (it != kSpoken.end())
            text += it->second;
        else
            text += c;
    }
    return text;
}

std::vector<std::string> sortedQsoFiles(std::vector<std::string> names) {
    auto lower = [](std::string text) {
        for (char& c : text)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    };
    std::stable_sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
        return lower(a) < lower(b);
    });
    return names;
}

bool endsOver(std::string_view line) {
    return line.find('!') != std::string_view::npos || line.ends_with("KN");
}

std::optional<int> ListTail::add() {
    ++lines_;
    if (lines_ > inView_)
        return lines_ - inView_;
    return std::nullopt;
}

// Earkey ------------------------------------------------------------------------------------------

void WholeQsos::load(QsoFile file) {
    file_ = std::move(file);
    lastQso_ = 0;
}

QsoUpdate WholeQsos::sendQso(Random& random) {
    QsoUpdate update;
    update.acted = true;
    auto count = static_cast<int>(std::min<std::size_t>(file_.qsoCount(), 1u << 30));
    if (count == 0) {
        update.lineBox = std::string(file_.name.empty() ? kEarkeyNoQsoFile : kEarkeyNoQsos);
        update.speakLineBox = true;
        return update;
    }
    // Any QSO but the last one sent, each as likely: one draw among the others, never a loop
    // that could not end. With a single QSO it is sent again.
    int q = 1;
    if (count == 1) {
        q = 1;
    } else if (lastQso_ < 1 || lastQso_ > count) {
        q = static_cast<int>(random.index(static_cast<std::size_t>(count))) + 1;
    } else {
        q = static_cast<int>(random.index(static_cast<std::size_t>(count - 1))) + 1;
        if (q >= lastQso_)
            ++q;
    }
    lastQso_ = q;

    std::string text = file_.qsoText(static_cast<std::size_t>(q - 1));
    std::vector<std::string> lines;
    std::size_t from = file_.starts[static_cast<std::size_t>(q - 1)];
    std::size_t end = q < count ? file_.starts[static_cast<std::size_t>(q)] : file_.lines.size();
    for (std::size_t i = from; i < end && lines.size() < ReviewList::kLastEntry; ++i)
        lines.push_back(qsoDisplayText(file_.lines[i]).substr(0, kMaxShownLine));
    review_.fill(lines);

    update.lineBox = std::string();
    update.send = std::move(text);
    sending_ = true;
    return update;
}

QsoUpdate WholeQsos::lineUp() {
    return showLine(review_.up().has_value());
}

QsoUpdate WholeQsos::lineDown() {
    return showLine(review_.down().has_value());
}

QsoUpdate WholeQsos::showLine(bool moved) const {
    QsoUpdate update;
    if (!moved)
        return update;
    update.acted = true;
    update.lineBox = review_.shown();
    update.speakLineBox = true;
    return update;
}

QsoUpdate WholeQsos::sendDone() {
    QsoUpdate update;
    if (!std::exchange(sending_, false))
        return update;
    update.acted = true;
    update.lineBox = std::string();
    update.focusLineBox = true;
    return update;
}

// Keyview -----------------------------------------------------------------------------------------

void QsoRuns::load(QsoFile file) {
    stopRequested_ = true;
    file_ = std::make_shared<const QsoFile>(std::move(file));
}

QsoRunUpdate QsoRuns::start(Random& random) {
    if (file_->starts.empty()) {
        running_ = false;
        return addToList(
            std::string(file_->name.empty() ? kKeyviewNoQsoFile : kKeyviewNoStartLine));
    }
    stopRequested_ = false;
    runFile_ = file_;
    linePos_ = runFile_->starts[random.index(runFile_->starts.size())];
    running_ = true;
    return sendLine();
}

QsoRunUpdate QsoRuns::restart(Random& random) {
    if (stopRequested_ || running_)
        return {};
    return start(random);
}

QsoRunUpdate QsoRuns::lineSent() {
    if (!running_)
        return {};
    const std::string& line = runFile_->lines[linePos_];
    QsoRunUpdate update = addToList(line);
    if (endsOver(line) || linePos_ + 1 >= runFile_->lines.size()) {
        // The run is over, at its last line or at the end of the file.
        running_ = false;
        update.restart = !stopRequested_;
        return update;
    }
    ++linePos_;
    update.send = sendLine().send;
    return update;
}

QsoRunUpdate QsoRuns::addToList(std::string line) {
    QsoRunUpdate update;
    update.acted = true;
    update.addLine = std::move(line);
    update.topIndex = list_.add();
    return update;
}

QsoRunUpdate QsoRuns::sendLine() {
    QsoRunUpdate update;
    update.acted = true;
    // The blank makes a word space before the next line, as between the words of a line.
    update.send = runFile_->lines[linePos_] + " ";
    return update;
}

}  // namespace keytut
