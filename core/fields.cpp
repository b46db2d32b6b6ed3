#include "fields.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace keytut {

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
}  // namespace

bool FieldReader::atEnd() const {
    for (std::size_t i = pos_; i < data_.size(); ++i) {
        char c = data_[i];
        if (!isBlank(c) && c != '\r' && c != '\n')
            return false;
    }
    return true;
}

void FieldReader::skipBlankLines() {
    while (pos_ < data_.size()) {
        char c = data_[pos_];
        if (isBlank(c) || c == '\r' || c == '\n') {
            ++pos_;
        } else {
            break;
        }
    }
}

bool FieldReader::atLineEnd() const {
    return pos_ >= data_.size() || data_[pos_] == '\r' || data_[pos_] == '\n';
}

void FieldReader::skipLineEnd() {
    if (pos_ < data_.size() && data_[pos_] == '\r')
        ++pos_;
    if (pos_ < data_.size() && data_[pos_] == '\n')
        ++pos_;
}

// After a field's text: step over trailing blanks and the comma or line end that closes it.
void FieldReader::finishField() {
    while (pos_ < data_.size() && isBlank(data_[pos_]))
        ++pos_;
    if (pos_ < data_.size() && data_[pos_] == ',') {
        ++pos_;
    } else {
        skipLineEnd();
    }
}

std::string FieldReader::readTextField() {
    while (pos_ < data_.size() && isBlank(data_[pos_]))
        ++pos_;
    std::string field;
    if (pos_ < data_.size() && data_[pos_] == '"') {
        ++pos_;
        while (pos_ < data_.size() && data_[pos_] != '"') {
            char c = data_[pos_++];
            if (c != '\t' && c != '\n' && c != '\r')
                field += c;
        }
        if (pos_ < data_.size())
            ++pos_;  // the closing quote
        // Anything between the closing quote and the delimiter is not part of the field.
        while (pos_ < data_.size() && data_[pos_] != ',' && !atLineEnd())
            ++pos_;
        finishField();
        return field;
    }
    while (pos_ < data_.size() && data_[pos_] != ',' && !atLineEnd()) {
        char c = data_[pos_++];
        if (c != '\t')
            field += c;
    }
    while (!field.empty() && field.back() == ' ')
        field.pop_back();
    finishField();
    return field;
}

long long FieldReader::readNumberField() {
    while (pos_ < data_.size() && isBlank(data_[pos_]))
        ++pos_;
    std::string text;
    if (pos_ < data_.size() && data_[pos_] == '"') {
        ++pos_;
        while (pos_ < data_.size() && data_[pos_] != '"')
            text += data_[pos_++];
        if (pos_ < data_.size())
            ++pos_;
    } else {
        while (pos_ < data_.size() && data_[pos_] != ',' && data_[pos_] != ' ' && !atLineEnd()) {
            char c = data_[pos_++];
            if (c != '\t')
                text += c;
        }
    }
    finishField();
    const char* begin = text.c_str();
    char* end = nullptr;
    double value = std::strtod(begin, &end);
    if (end == begin || !std::isfinite(value))
        return 0;
    constexpr double kLimit = static_cast<double>(std::numeric_limits<int>::max());
    if (value > kLimit)
        return std::numeric_limits<int>::max();
    if (value < -kLimit)
        return -std::numeric_limits<int>::max();
    return static_cast<long long>(std::nearbyint(value));
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

}  // namespace keytut
