// Reading the comma-separated input fields of the tutor's data files.
//
// A numeric field ends at a comma, a blank or the end of the line; a text field skips leading
// blanks and ends at a comma or the end of the line. Tabs and stray line feeds inside a field are
// dropped, and a field that begins with a double quote runs to the next double quote. Lines may
// end in CR LF, CR or LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace keytut {

class FieldReader {
  public:
    explicit FieldReader(std::string data) : data_(std::move(data)) {}

    // True when nothing but blanks, tabs and line ends is left.
    bool atEnd() const;
    // Skips blank lines (and blanks or tabs) up to the next field.
    void skipBlankLines();

    std::string readTextField();
    // The field's value as a number, rounded to the nearest integer (halves to even); a field
    // that is not a number reads as 0. Values beyond the 32-bit range are clamped.
    long long readNumberField();

  private:
    bool atLineEnd() const;
    void skipLineEnd();
    void finishField();

    std::string data_;
    std::size_t pos_ = 0;
};

// Splits text into lines, accepting CR LF, CR or LF line ends; a final line end does not make an
// extra empty line.
std::vector<std::string> splitLines(std::string_view text);

}  // namespace keytut
